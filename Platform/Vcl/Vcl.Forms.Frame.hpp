// Frames: part of a form designed on its own, then placed in forms (inline
// in their resources, with what it holds written 'inherited') or read from a
// resource of its own as the root.
#pragma once

#include "Vcl.Controls.hpp"

namespace Vcl {

class TCustomFrame : public TWinControl {
  QX_CLASS(TCustomFrame, TWinControl)
public:
  explicit TCustomFrame(TComponent* AOwner);
};

class TFrame : public TCustomFrame {
  QX_CLASS(TFrame, TCustomFrame)
public:
  using TCustomFrame::TCustomFrame;
};

} // namespace Vcl
