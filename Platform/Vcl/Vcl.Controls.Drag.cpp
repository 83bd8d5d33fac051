#include "Vcl.Controls.Drag.hpp"

#include <cstdlib>
#include <memory>

namespace Vcl {

namespace {

// Watches the source and the target, so that freeing either mid-drag
// neither leaves a dangling pointer nor goes unnoticed.
class TDragWatcher : public TComponent {
  QX_CLASS(TDragWatcher, TComponent)
public:
  TDragWatcher() : TComponent(nullptr) {}
  std::function<void(TComponent*)> OnRemoved;

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override
  {
    inherited::Notification(AComponent, Operation);
    if (Operation == opRemove && OnRemoved)
      OnRemoved(AComponent);
  }
};

struct TDrag {
  TControl* Source = nullptr;
  TDragObject* Object = nullptr;
  std::unique_ptr<TDragObject> Owned;
  bool Started = false;
  TPoint Start;
  Integer Threshold = kDragThreshold;
  TControl* Target = nullptr;
  bool Accepted = false;
  TPoint Last;
  Win::HHOOK MouseHook = nullptr;
  Win::HHOOK KeyHook = nullptr;
};

std::unique_ptr<TDrag> gDrag;

std::unique_ptr<TDrag> TakeDrag();

TDragWatcher& Watcher()
{
  static TDragWatcher* watcher = [] {
    auto* w = new TDragWatcher();
    w->OnRemoved = [](TComponent* removed) {
      if (!gDrag)
        return;
      if (removed == gDrag->Target)
        gDrag->Target = nullptr;
      // A source freed mid-drag hears nothing more: the drag just ends.
      if (removed == gDrag->Source) {
        TakeDrag();
        Win::SetCursor(CursorHandle(crDefault));
      }
    };
    return w;
  }();
  return *watcher;
}

void Watch(TControl* Control)
{
  if (Control)
    Control->FreeNotification(&Watcher());
}

void Unwatch(TControl* Control)
{
  if (Control && (!gDrag || (Control != gDrag->Source && Control != gDrag->Target)))
    Control->RemoveFreeNotification(&Watcher());
}

Win::LRESULT SendDrag(TControl* Target, TDragMessage Kind, TPoint Pos, TDragObject* Object)
{
  TDragRec rec{Pos, Object};
  return Target->Perform(CM_DRAG, Win::WPARAM(Kind), Win::LPARAM(&rec));
}

void ShowCursor()
{
  Win::SetCursor(CursorHandle(gDrag->Accepted ? gDrag->Source->DragCursor() : crNoDrop));
}

void DragTo(TPoint Pos)
{
  gDrag->Last = Pos;
  TControl* target = FindDragTarget(Pos, false);
  if (target != gDrag->Target) {
    TControl* old = gDrag->Target;
    gDrag->Target = target;
    gDrag->Accepted = false;
    if (old) {
      Unwatch(old);
      SendDrag(old, dmDragLeave, Pos, gDrag->Object);
    }
    if (!gDrag)
      return;
    if (target && gDrag->Target == target) {
      Watch(target);
      gDrag->Accepted = SendDrag(target, dmDragEnter, Pos, gDrag->Object) != 0;
    }
  } else if (target) {
    gDrag->Accepted = SendDrag(target, dmDragMove, Pos, gDrag->Object) != 0;
  }
  if (gDrag)
    ShowCursor();
}

void Start()
{
  gDrag->Started = true;
  TDragObject* supplied = nullptr;
  if (gDrag->Source->OnStartDrag)
    gDrag->Source->OnStartDrag(gDrag->Source, supplied);
  if (!gDrag)
    return;
  if (supplied) {
    gDrag->Object = supplied;
  } else {
    gDrag->Owned = std::make_unique<TDragControlObject>(gDrag->Source);
    gDrag->Object = gDrag->Owned.get();
  }
}

// Everything the drag held goes before any event runs: the events may
// start another drag or free the source.
std::unique_ptr<TDrag> TakeDrag()
{
  std::unique_ptr<TDrag> d = std::move(gDrag);
  Win::UnhookWindowsHookEx(d->MouseHook);
  Win::UnhookWindowsHookEx(d->KeyHook);
  TControl* source = d->Source;
  TControl* target = d->Target;
  Unwatch(source);
  Unwatch(target);
  return d;
}

void Finish(bool Drop)
{
  std::unique_ptr<TDrag> d = TakeDrag();
  Win::SetCursor(CursorHandle(crDefault));
  if (!d->Started)
    return;
  // Both ends may go while the other hears of it: each is watched until
  // its turn comes.
  TDragWatcher sentinel;
  TControl* source = d->Source;
  TControl* target = d->Target;
  bool dropped = Drop && target && d->Accepted;
  std::function<void(TComponent*)> forget = [&](TComponent* removed) {
    if (removed == source)
      source = nullptr;
    if (removed == target)
      target = nullptr;
  };
  sentinel.OnRemoved = forget;
  if (source)
    source->FreeNotification(&sentinel);
  if (target)
    target->FreeNotification(&sentinel);
  TPoint at = target ? target->ScreenToClient(d->Last) : TPoint();
  if (target)
    SendDrag(target, dropped ? dmDragDrop : dmDragLeave, d->Last, d->Object);
  if (source)
    SendDrag(source, dmDragEnd, d->Last, d->Object);
  if (source && source->OnEndDrag)
    source->OnEndDrag(source, dropped ? target : nullptr, at.X, at.Y);
  if (source)
    source->RemoveFreeNotification(&sentinel);
  if (target)
    target->RemoveFreeNotification(&sentinel);
}

Win::LRESULT DragMouseHook(int code, Win::WPARAM wParam, Win::LPARAM lParam)
{
  if (code != Win::HC_ACTION || !gDrag)
    return Win::CallNextHookEx(nullptr, code, wParam, lParam);
  auto* info = reinterpret_cast<const Win::MOUSEHOOKSTRUCT*>(lParam);
  TPoint pos = info->pt;
  switch (Win::UINT(wParam)) {
  case Win::WM_MOUSEMOVE:
    if (!gDrag->Started) {
      if (std::abs(pos.X - gDrag->Start.X) < gDrag->Threshold && std::abs(pos.Y - gDrag->Start.Y) < gDrag->Threshold)
        return Win::CallNextHookEx(nullptr, code, wParam, lParam);
      Start();
    }
    if (gDrag)
      DragTo(pos);
    return 1;
  case Win::WM_LBUTTONUP: {
    bool started = gDrag->Started;
    if (started) {
      gDrag->Last = pos;
      if (gDrag->Source->MouseCapture())
        gDrag->Source->SetMouseCapture(false);
    }
    Finish(true);
    // A press that never became a drag is an ordinary click.
    return started ? 1 : Win::CallNextHookEx(nullptr, code, wParam, lParam);
  }
  default:
    return gDrag->Started ? 1 : Win::CallNextHookEx(nullptr, code, wParam, lParam);
  }
}

Win::LRESULT DragKeyHook(int code, Win::WPARAM wParam, Win::LPARAM lParam)
{
  bool press = !(std::uintptr_t(lParam) & (std::uintptr_t(1) << 31));
  if (code != Win::HC_ACTION || !gDrag || wParam != Win::WPARAM(Win::VK_ESCAPE) || !press)
    return Win::CallNextHookEx(nullptr, code, wParam, lParam);
  if (gDrag->Source->MouseCapture())
    gDrag->Source->SetMouseCapture(false);
  Finish(false);
  return 1;
}

} // namespace

void BeginDrag(TControl* Control, bool Immediate, Integer Threshold)
{
  if (!Control || gDrag)
    return;
  gDrag = std::make_unique<TDrag>();
  gDrag->Source = Control;
  gDrag->Threshold = Threshold < 0 ? kDragThreshold : Threshold;
  Win::POINT start;
  Win::GetCursorPos(&start);
  gDrag->Start = start;
  gDrag->Last = start;
  gDrag->MouseHook = Win::SetWindowsHookEx(Win::WH_MOUSE, &DragMouseHook, nullptr, 0);
  gDrag->KeyHook = Win::SetWindowsHookEx(Win::WH_KEYBOARD, &DragKeyHook, nullptr, 0);
  Watch(Control);
  if (!Immediate)
    return;
  Start();
  if (gDrag)
    DragTo(start);
}

void EndDrag(TControl* Control, bool Drop)
{
  if (gDrag && gDrag->Source == Control)
    Finish(Drop);
}

bool Dragging(const TControl* Control)
{
  return gDrag && gDrag->Source == Control && gDrag->Started;
}

void DefaultDragMessage(TControl* Control, TMessage& Message)
{
  const auto* rec = reinterpret_cast<const TDragRec*>(Message.LParam);
  if (!rec || !rec->Source)
    return;
  TPoint p = Control->ScreenToClient(rec->Pos);
  TObject* source = rec->Source->EventSource();
  switch (TDragMessage(Message.WParam)) {
  case dmDragEnter:
  case dmDragLeave:
  case dmDragMove: {
    bool accept = bool(Control->OnDragOver);
    TDragState state = TDragMessage(Message.WParam) == dmDragEnter   ? dsDragEnter
                       : TDragMessage(Message.WParam) == dmDragLeave ? dsDragLeave
                                                                     : dsDragMove;
    if (Control->OnDragOver)
      Control->OnDragOver(Control, source, p.X, p.Y, state, accept);
    Message.Result = accept ? 1 : 0;
    return;
  }
  case dmDragDrop:
    if (Control->OnDragDrop)
      Control->OnDragDrop(Control, source, p.X, p.Y);
    return;
  default:
    return;
  }
}

} // namespace Vcl
