// The base of the library's custom-drawn windowed controls: an optional
// transparent mode that shows the parent's background and the graphic
// controls behind, nested locking of window redraw, and invalidation of the
// whole window tree.
#pragma once

#include <System.ScopeGuards.hpp>
#include <Vcl.Controls.hpp>

namespace Quorex {

using Vcl::Integer;

class TQxCustomControl : public Vcl::TCustomControl {
  QX_CLASS(TQxCustomControl, Vcl::TCustomControl)
public:
  explicit TQxCustomControl(Vcl::TComponent* AOwner);

  // Ends hover states (a mouse leave to the control itself) before the
  // window goes.
  void DestroyHandle() override;

  // Locks nest: drawing stops at the first lock and resumes at the last
  // unlock. Unlocks beyond the locks are ignored.
  void LockRedraw();
  void UnlockRedraw(bool AInvalidate = true);
  // LockRedraw now, UnlockRedraw(AInvalidate) when the scope ends: a handler
  // that raises in between must not leave the control never drawing again.
  [[nodiscard]] auto ScopedRedrawLock(bool AInvalidate = true)
  {
    LockRedraw();
    return Vcl::Finally([this, AInvalidate] { UnlockRedraw(AInvalidate); });
  }
  Integer LockReadrawCount() const { return FLockReadrawCount; }
  // The window, its frame and all its children, erased and repainted.
  void InvalidateAll();
  void InvalidateAllControls();
  Win::LRESULT QxPerformEraseBackground(Vcl::TControl* Control, Win::HDC DC);

  void Dispatch(Vcl::TMessage& Message) override;

protected:
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool Value);
  // Paints the background on Canvas (attached to the erase message's DC).
  virtual void EraseBkGnd();
  // The platform's windowed controls have neither bevels nor border widths.
  virtual bool NeedPaintBorder() { return false; }
  void CreateParams(Vcl::TCreateParams& Params) override;
  void FillBackground();

private:
  void WMEraseBackground(Vcl::TMessage& Message);
  void EraseTransparent();
  void PaintGraphicSiblings();

  Integer FLockReadrawCount = 0;
  bool FTransparent = false;
};

} // namespace Quorex
