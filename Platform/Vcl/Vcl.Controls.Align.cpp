// Alignment, anchors, auto-size and scaling of controls within their parent.
#include "Vcl.Controls.Internal.hpp"

#include <algorithm>

namespace Vcl {

using namespace ControlsInternal;

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

void TWinControl::Realign()
{
  if (FAlignLevel > 0 || FControlState.Contains(csAligning) || ComponentState().Contains(csLoading) ||
      ComponentState().Contains(csDestroying))
    return;
  {
    TStateFlag aligning(FControlState, csAligning);
    TRect r = ClientRect();
    AdjustClientRect(r);
    AlignControls(nullptr, r);
  }
  if (AutoSize())
    AdjustSize();
}

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
    switch (Align) {
    case alTop:
      c->SetBounds(Rect.Left, Rect.Top, Rect.Width(), c->Height());
      Rect.Top += c->Height();
      break;
    case alBottom:
      c->SetBounds(Rect.Left, Rect.Bottom - c->Height(), Rect.Width(), c->Height());
      Rect.Bottom -= c->Height();
      break;
    case alLeft:
      c->SetBounds(Rect.Left, Rect.Top, c->Width(), Rect.Height());
      Rect.Left += c->Width();
      break;
    case alRight:
      c->SetBounds(Rect.Right - c->Width(), Rect.Top, c->Width(), Rect.Height());
      Rect.Right -= c->Width();
      break;
    case alClient:
      c->SetBounds(Rect.Left, Rect.Top, std::max(Rect.Width(), 0), std::max(Rect.Height(), 0));
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
    right = std::max(right, c->Left() + c->Width());
    bottom = std::max(bottom, c->Top() + c->Height());
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
