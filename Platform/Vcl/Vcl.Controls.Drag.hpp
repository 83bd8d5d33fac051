// Dragging between controls. A drag starts on a control (at once, or once
// the mouse has moved the threshold away from where it was pressed), follows
// the mouse asking each control under it through CM_DRAG whether it takes
// the drop, shows the source's drag cursor or the no-drop cursor, and ends
// with the release (a drop where it was accepted) or Escape (a cancel). The
// source hears OnStartDrag and OnEndDrag; targets OnDragOver and OnDragDrop.
// A control with DragMode dmAutomatic starts a drag with its left button.
#pragma once

#include "Vcl.Controls.hpp"

namespace Vcl {

// What a CM_DRAG message asks (its WParam). The source itself hears
// dmDragEnd when its drag is over, dropped or not, before OnEndDrag.
enum class TDragMessage { dmDragEnter, dmDragLeave, dmDragMove, dmDragDrop, dmDragEnd };
using enum TDragMessage;

// How far (pixels, either way) the mouse moves before a pending drag starts.
constexpr Integer kDragThreshold = 5;

// What is being dragged: by default the source control itself.
class TDragObject : public TObject {
  QX_CLASS(TDragObject, TObject)
public:
  // The object the targets' events get as their Source.
  virtual TObject* EventSource() { return this; }
};

class TDragControlObject : public TDragObject {
  QX_CLASS(TDragControlObject, TDragObject)
public:
  explicit TDragControlObject(TControl* AControl) : FControl(AControl) {}
  TControl* Control() const { return FControl; }
  TObject* EventSource() override { return FControl; }

private:
  TControl* FControl;
};

// CM_DRAG's LParam. Pos is on the screen; Result answers whether the target
// accepts (enter and move).
struct TDragRec {
  TPoint Pos;
  TDragObject* Source = nullptr;
};

// Threshold < 0 takes kDragThreshold. A drag already running is left alone.
void BeginDrag(TControl* Control, bool Immediate, Integer Threshold = -1);
// Ends the control's drag: a drop on the current target when Drop and the
// target accepts, a cancel otherwise.
void EndDrag(TControl* Control, bool Drop);
bool Dragging(const TControl* Control);

// The framework's handling of CM_DRAG: OnDragOver decides acceptance (no
// handler, no drop) and OnDragDrop takes the drop.
void DefaultDragMessage(TControl* Control, TMessage& Message);

} // namespace Vcl
