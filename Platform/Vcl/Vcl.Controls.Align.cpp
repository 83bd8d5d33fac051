// Alignment, anchors, auto-size and scaling of controls within their parent.
#include "Vcl.Controls.Internal.hpp"
#include "Vcl.Controls.Padding.hpp"

#include <algorithm>
#include <limits>

namespace Vcl {

using namespace ControlsInternal;

namespace {

void ScaleInsets(TMargins& Insets, Integer M, Integer D)
{
  auto scale = [M, D](Integer Value) { return Win::MulDiv(Value, M, D); };
  Insets.SetBounds(scale(Insets.Left()), scale(Insets.Top()), scale(Insets.Right()), scale(Insets.Bottom()));
}

} // namespace

void TControl::ChangeScale(Integer M, Integer D)
{
  if (M == D || M <= 0 || D <= 0)
    return;
  auto scale = [M, D](Integer Value) { return Win::MulDiv(Value, M, D); };
  // Taken before the constraints change, which may move the control.
  TRect bounds = BoundsRect();
  const TSize client = ClientRect().Size();
  TSizeConstraints constraints(nullptr);
  constraints.SetMinWidth(scale(FConstraints->MinWidth()));
  constraints.SetMaxWidth(scale(FConstraints->MaxWidth()));
  constraints.SetMinHeight(scale(FConstraints->MinHeight()));
  constraints.SetMaxHeight(scale(FConstraints->MaxHeight()));
  FConstraints->Assign(&constraints);
  ScaleInsets(*FMargins, M, D);
  if (!FParentFont)
    FFont->SetHeight(scale(FFont->Height()));
  if (FParent)
    SetBounds(scale(bounds.Left), scale(bounds.Top), scale(bounds.Width()), scale(bounds.Height()));
  else
    SetBounds(bounds.Left, bounds.Top, bounds.Width() - client.cx + scale(client.cx),
              bounds.Height() - client.cy + scale(client.cy));
}

void TControl::SetAlign(TAlign Value)
{
  if (FAlign == Value)
    return;
  FAlign = Value;
  RequestAlign();
}

void TControl::SetAnchors(TAnchors Value)
{
  if (FAnchors == Value)
    return;
  FAnchors = Value;
  UpdateAnchorRules();
}

void TControl::UpdateAnchorRules()
{
  if (!FParent)
    return;
  TSize client = FParent->ClientRect().Size();
  FAnchorParentSize = client;
  FAnchorRules = TRect(FLeft, FTop, client.cx - (FLeft + FWidth), client.cy - (FTop + FHeight));
}

void TControl::ApplyAnchors(TSize NewParentClient)
{
  Integer l = FLeft, t = FTop, w = FWidth, h = FHeight;
  Integer dx = NewParentClient.cx - FAnchorParentSize.cx;
  Integer dy = NewParentClient.cy - FAnchorParentSize.cy;
  bool left = FAnchors.Contains(akLeft), right = FAnchors.Contains(akRight);
  bool top = FAnchors.Contains(akTop), bottom = FAnchors.Contains(akBottom);
  if (left && right)
    w = NewParentClient.cx - FAnchorRules.Left - FAnchorRules.Right;
  else if (right)
    l = NewParentClient.cx - FAnchorRules.Right - w;
  else if (!left)
    l = FAnchorRules.Left + dx / 2;
  if (top && bottom)
    h = NewParentClient.cy - FAnchorRules.Top - FAnchorRules.Bottom;
  else if (bottom)
    t = NewParentClient.cy - FAnchorRules.Bottom - h;
  else if (!top)
    t = FAnchorRules.Top + dy / 2;
  SetBounds(l, t, w, h);
}

void TControl::RequestAlign()
{
  if (FParent && !FParent->FControlState.Contains(csAligning) && !FParent->ComponentState().Contains(csDestroying))
    FParent->Realign();
}

void TControl::SetAutoSize(bool Value)
{
  if (FAutoSize == Value)
    return;
  FAutoSize = Value;
  if (Value)
    AdjustSize();
}

void TControl::AdjustSize()
{
  if (!ComponentState().Contains(csLoading))
    SetBounds(FLeft, FTop, FWidth, FHeight);
}

// ---- alignment -----------------------------------------------------------------------------

void TWinControl::DisableAlign()
{
  ++FAlignLevel;
}

void TWinControl::EnableAlign()
{
  if (--FAlignLevel == 0)
    Realign();
}

void TWinControl::Loaded()
{
  TControl::Loaded();
  Realign();
}

void TWinControl::Realign()
{
  if (FAlignLevel > 0 || FControlState.Contains(csAligning) || ComponentState().Contains(csLoading) ||
      ComponentState().Contains(csDestroying))
    return;
  {
    TStateFlag aligning(FControlState, csAligning);
    TRect r = ClientRect();
    AdjustClientRect(r);
    r = FPadding->Inset(r);
    AlignControls(nullptr, r);
  }
  if (AutoSize())
    AdjustSize();
}

namespace {

// The space a control keeps free around itself in its parent's align pass.
TRect AlignMargins(const TControl* Control)
{
  if (!Control->AlignWithMargins())
    return TRect();
  const TMargins* m = Control->Margins();
  return TRect(m->Left(), m->Top(), m->Right(), m->Bottom());
}

// Margins from a resource may be anything: edges saturate rather than wrap.
Integer Saturate(Int64 Value)
{
  return Integer(std::clamp<Int64>(Value, std::numeric_limits<Integer>::min(), std::numeric_limits<Integer>::max()));
}

// The length from From to To less what the margins take off it, never below zero.
Integer Less(Integer From, Integer To, Integer Before, Integer After)
{
  return Saturate(std::max<Int64>(Int64(To) - From - Before - After, 0));
}

} // namespace

void TWinControl::DoAlign(TAlign Align, TRect& Rect, TControl* AControl)
{
  std::vector<TControl*> list;
  for (TControl* c : FControls)
    if (c->Align() == Align && c->Visible())
      list.push_back(c);
  // Controls keep their order along the edge they stick to; the one that
  // moved wins a tie.
  auto key = [Align](const TControl* c) {
    switch (Align) {
    case alTop:
      return c->Top();
    case alBottom:
      return -(c->Top() + c->Height());
    case alLeft:
      return c->Left();
    case alRight:
      return -(c->Left() + c->Width());
    default:
      return 0;
    }
  };
  std::stable_sort(list.begin(), list.end(), [&](const TControl* a, const TControl* b) {
    if (key(a) != key(b))
      return key(a) < key(b);
    return a == AControl && b != AControl;
  });
  for (TControl* c : list) {
    // m holds the four margins as left, top, right and bottom.
    const TRect m = AlignMargins(c);
    const Integer across = Less(Rect.Left, Rect.Right, m.Left, m.Right);
    const Integer down = Less(Rect.Top, Rect.Bottom, m.Top, m.Bottom);
    const Integer left = Saturate(Int64(Rect.Left) + m.Left), top = Saturate(Int64(Rect.Top) + m.Top);
    switch (Align) {
    case alTop:
      c->SetBounds(left, top, across, c->Height());
      Rect.Top = Saturate(Int64(top) + c->Height() + m.Bottom);
      break;
    case alBottom:
      c->SetBounds(left, Saturate(Int64(Rect.Bottom) - m.Bottom - c->Height()), across, c->Height());
      Rect.Bottom = Saturate(Int64(Rect.Bottom) - m.Bottom - c->Height() - m.Top);
      break;
    case alLeft:
      c->SetBounds(left, top, c->Width(), down);
      Rect.Left = Saturate(Int64(left) + c->Width() + m.Right);
      break;
    case alRight:
      c->SetBounds(Saturate(Int64(Rect.Right) - m.Right - c->Width()), top, c->Width(), down);
      Rect.Right = Saturate(Int64(Rect.Right) - m.Right - c->Width() - m.Left);
      break;
    case alClient:
      c->SetBounds(left, top, across, down);
      break;
    default:
      break;
    }
  }
}

// The children scale from the places they had before: this control's own
// new size would otherwise have moved the anchored ones already.
void TWinControl::ChangeScale(Integer M, Integer D)
{
  if (M == D || M <= 0 || D <= 0)
    return;
  const std::vector<TControl*> children = FControls;
  std::vector<TRect> before;
  for (TControl* c : children)
    before.push_back(c->BoundsRect());
  DisableAlign();
  try {
    TControl::ChangeScale(M, D);
    ScaleInsets(*FPadding, M, D);
    for (size_t i = 0; i < children.size(); ++i) {
      children[i]->SetBoundsRect(before[i]);
      children[i]->ChangeScale(M, D);
    }
  } catch (...) {
    EnableAlign();
    throw;
  }
  EnableAlign();
}

void TWinControl::AlignControls(TControl* AControl, TRect& Rect)
{
  for (TAlign a : {alTop, alBottom, alLeft, alRight, alClient})
    DoAlign(a, Rect, AControl);
  DoCustomAlign(Rect);
}

// The host orders the custom-aligned controls (each goes before the first
// one it is to precede) and places them one by one.
void TWinControl::DoCustomAlign(TRect& Rect)
{
  std::vector<TControl*> list;
  for (TControl* c : FControls) {
    if (c->Align() != alCustom || !c->Visible())
      continue;
    auto at = std::find_if(list.begin(), list.end(), [&](TControl* o) { return CustomAlignInsertBefore(c, o); });
    list.insert(at, c);
  }
  for (size_t i = 0; i < list.size(); ++i) {
    TControl* c = list[i];
    Integer l = c->Left(), t = c->Top(), w = c->Width(), h = c->Height();
    CustomAlignPosition(c, l, t, w, h, Rect, TAlignInfo{&list, Integer(i), alCustom, 0});
    c->SetBounds(l, t, w, h);
  }
}

bool TWinControl::CustomAlignInsertBefore(TControl* C1, TControl* C2)
{
  return OnAlignInsertBefore && OnAlignInsertBefore(this, C1, C2);
}

void TWinControl::CustomAlignPosition(TControl* Control, Integer& NewLeft, Integer& NewTop, Integer& NewWidth,
                                      Integer& NewHeight, TRect& AlignRect, const TAlignInfo& AlignInfo)
{
  if (OnAlignPosition)
    OnAlignPosition(this, Control, NewLeft, NewTop, NewWidth, NewHeight, AlignRect, AlignInfo);
}

void TWinControl::SizeChanged(TSize OldClientSize)
{
  (void)OldClientSize;
  TSize client = ClientRect().Size();
  {
    TStateFlag aligning(FControlState, csAligning);
    for (TControl* c : std::vector<TControl*>(FControls))
      if (c->Align() == alNone && c->Anchors() != TAnchors{akLeft, akTop})
        c->ApplyAnchors(client);
  }
  Realign();
}

bool TWinControl::CanAutoSize(Integer& NewWidth, Integer& NewHeight)
{
  bool any = false;
  Integer right = 0, bottom = 0;
  for (TControl* c : FControls) {
    if (!c->Visible() || c->Align() == alClient)
      continue;
    any = true;
    const TRect m = AlignMargins(c);
    right = std::max(right, Saturate(Int64(c->Left()) + c->Width() + m.Right));
    bottom = std::max(bottom, Saturate(Int64(c->Top()) + c->Height() + m.Bottom));
  }
  if (!any)
    return true;
  NewWidth = right + (Width() - ClientWidth());
  NewHeight = bottom + (Height() - ClientHeight());
  return true;
}

void TWinControl::SetBounds(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight)
{
  TRect before = BoundsRect();
  TControl::SetBounds(ALeft, ATop, AWidth, AHeight);
  if (FHandle && BoundsRect() != before)
    Win::SetWindowPos(FHandle, nullptr, Left(), Top(), Width(), Height(), Win::SWP_NOZORDER | Win::SWP_NOACTIVATE);
}

} // namespace Vcl
