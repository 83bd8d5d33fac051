#include "Win.SizeMove.hpp"

#include <algorithm>

namespace Win {

namespace {

HWND gHeld = nullptr;

// The held window, unless it was destroyed meanwhile.
HWND Held()
{
  if (gHeld && !IsWindow(gHeld))
    gHeld = nullptr;
  return gHeld;
}

} // namespace

bool InjectSizeMoveStart(HWND hWnd)
{
  if (!IsWindow(hWnd) || GetAncestorRoot(hWnd) != hWnd)
    return false;
  InjectSizeMoveEnd();
  gHeld = hWnd;
  SendMessage(hWnd, WM_ENTERSIZEMOVE, 0, 0);
  return true;
}

void InjectSizeMoveDrag(int width, int height)
{
  if (HWND hWnd = Held())
    SetWindowPos(hWnd, nullptr, 0, 0, std::max(width, 1), std::max(height, 1),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void InjectSizeMoveEnd()
{
  HWND hWnd = Held();
  gHeld = nullptr;
  if (hWnd)
    SendMessage(hWnd, WM_EXITSIZEMOVE, 0, 0);
}

HWND SizeMoveWindow()
{
  return Held();
}

void ResetSizeMove()
{
  gHeld = nullptr;
}

} // namespace Win
