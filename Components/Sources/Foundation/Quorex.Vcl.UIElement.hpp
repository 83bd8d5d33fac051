// One rectangular area inside a control (an expander, a glyph) with its own
// normal, hot, pressed and disabled states, driven by the owner's mouse and
// keyboard messages and painted through a callback.
#pragma once

#include "Quorex.Vcl.Types.hpp"

#include <Vcl.Controls.hpp>

#include <functional>
#include <memory>

namespace Quorex {

using Vcl::Integer;

class IUIElement;
using TUIPaintEvent =
  std::function<void(const std::shared_ptr<IUIElement>& ASender, Vcl::TCanvas* ACanvas, TUIControlState AState)>;

// How owners drive an element and paint handlers receive it.
class IUIElement {
public:
  virtual ~IUIElement() = default;
  virtual bool MouseInItem() const = 0;
  virtual Vcl::TRect Rect() const = 0;
  virtual void SetRect(const Vcl::TRect& Value) = 0;
  virtual TUIControlState State() const = 0;
  virtual void Paint(Vcl::TCanvas* ACanvas) = 0;
  virtual void MouseMove(Integer AX, Integer AY) = 0;
  virtual void EnabledChanged() = 0;
  virtual void LButtonDown(Integer AX, Integer AY) = 0;
  virtual void LButtonUp(Integer AX, Integer AY) = 0;
  virtual void MouseLeave() = 0;
  virtual void KeyDown() = 0;
  virtual void KeyUp() = 0;
};

// Create it with std::make_shared; it must not outlive its owner.
class TUIElement : public IUIElement, public std::enable_shared_from_this<TUIElement> {
public:
  TUIElement(Vcl::TWinControl* AOwner, TUIPaintEvent APaintEvent);

  bool MouseInItem() const override { return FMouseInItem; }
  Vcl::TRect Rect() const override { return FRect; }
  void SetRect(const Vcl::TRect& Value) override { FRect = Value; }
  TUIControlState State() const override { return FState; }
  void SetState(TUIControlState Value);
  bool KeyPressed() const { return FKeyPressed; }

  void Paint(Vcl::TCanvas* ACanvas) override;
  void MouseMove(Integer AX, Integer AY) override;
  void EnabledChanged() override;
  void LButtonDown(Integer AX, Integer AY) override;
  void LButtonUp(Integer AX, Integer AY) override;
  void MouseLeave() override;
  void KeyDown() override;
  void KeyUp() override;

private:
  bool Contains(Integer AX, Integer AY) const { return FRect.Contains(Vcl::TPoint(AX, AY)); }
  void InvalidateOwner();

  Vcl::TWinControl* FOwner;
  TUIPaintEvent FOnPaint;
  Vcl::TRect FRect;
  TUIControlState FState = uicsNormal;
  bool FMouseInItem = false;
  bool FKeyPressed = false;
};

} // namespace Quorex
