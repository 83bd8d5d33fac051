// What the implementation files of Vcl.Controls share: which control has the
// mouse and the capture, and the window a graphic control lives in.
#pragma once

#include "Vcl.Controls.hpp"

namespace Vcl::ControlsInternal {

// A graphic control holds the capture through its parent's window.
extern TControl* gCaptureControl;
// The control under the mouse (it had CM_MOUSEENTER, will get CM_MOUSELEAVE).
extern TControl* gMouseControl;

Win::HWND ParentHandleOf(const TControl* Control);
// Moves the mouse to Control: CM_MOUSELEAVE to the old one, CM_MOUSEENTER to it.
void SetMouseControl(TControl* Control);

// A flag of a control's state, set now when On and cleared at the end.
class TStateFlag {
public:
  TStateFlag(TControlState& State, TControlStateItem Flag, bool On = true) : FState(State), FFlag(Flag)
  {
    if (On)
      FState.Include(Flag);
  }
  ~TStateFlag() { FState.Exclude(FFlag); }
  TStateFlag(const TStateFlag&) = delete;
  TStateFlag& operator=(const TStateFlag&) = delete;

private:
  TControlState& FState;
  TControlStateItem FFlag;
};

} // namespace Vcl::ControlsInternal
