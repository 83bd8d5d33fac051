#include "Quorex.Vcl.ComplexList.hpp"

#include <Win.ScrollBars.hpp>

#include <algorithm>

namespace Quorex {

using namespace Vcl;

TControlScrollBar::TControlScrollBar(TWinControl* AControl, TScrollBarKind AKind)
  : FControl(AControl), FKind(AKind), FNativeKind(AKind == sbVertical ? Win::SB_VERT : Win::SB_HORZ)
{
}

void TControlScrollBar::SetParams(Integer AMin, Integer AMax, Integer APageSize)
{
  APageSize = std::max(APageSize, 0);
  Win::HWND window = FControl->HandleAllocated() ? FControl->Handle() : nullptr;
  if (AMin == FMin && AMax == FMax && APageSize == FPageSize && window == FWrittenTo)
    return;
  FMin = AMin;
  FMax = AMax;
  FPageSize = APageSize;
  FWrittenTo = window;
  if (!window)
    return;
  Win::SCROLLINFO si;
  si.fMask = Win::SIF_RANGE | Win::SIF_PAGE;
  si.nMin = FMin;
  si.nMax = FMax;
  si.nPage = Win::UINT(FPageSize);
  Win::SetScrollInfo(FControl->Handle(), FNativeKind, &si, Win::TRUE);
}

Integer TControlScrollBar::ClampedPos(Integer Pos) const
{
  // The same bound the window's bar keeps: the last page ends at Max.
  return std::max(FMin, std::min(Pos, FMax - FPageSize + 1));
}

void TControlScrollBar::DoScroll(Integer NewPos)
{
  FPos = ClampedPos(NewPos);
  if (FControl->HandleAllocated()) {
    Win::SCROLLINFO si;
    si.fMask = Win::SIF_POS;
    si.nPos = FPos;
    Win::SetScrollInfo(FControl->Handle(), FNativeKind, &si, Win::TRUE);
  }
  if (OnChangePosition)
    OnChangePosition(this);
}

bool TControlScrollBar::ScrollMessage(TMessage& Message)
{
  Win::UINT expected = FNativeKind == Win::SB_VERT ? Win::WM_VSCROLL : Win::WM_HSCROLL;
  if (Message.Msg != expected || Message.LParam != 0)
    return false;
  Integer pos = FPos;
  switch (Win::LOWORD(Message.WParam)) {
  case Win::SB_LINEUP: pos -= FLineSize; break;
  case Win::SB_LINEDOWN: pos += FLineSize; break;
  case Win::SB_PAGEUP: pos -= FPageSize; break;
  case Win::SB_PAGEDOWN: pos += FPageSize; break;
  case Win::SB_TOP: pos = FMin; break;
  case Win::SB_BOTTOM: pos = FMax; break;
  case Win::SB_THUMBPOSITION:
  case Win::SB_THUMBTRACK: {
    Win::SCROLLINFO si;
    si.fMask = Win::SIF_TRACKPOS;
    Win::GetScrollInfo(FControl->Handle(), FNativeKind, &si);
    pos = si.nTrackPos;
    break;
  }
  default: break;
  }
  DoScroll(pos);
  Message.Result = 0;
  return true;
}

} // namespace Quorex
