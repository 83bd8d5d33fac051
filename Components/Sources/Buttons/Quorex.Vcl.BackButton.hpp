// A fixed-size "back" navigation button: the theme's back arrow where the
// navigation class is drawn, else one of four built-in pictures (normal,
// hot, pressed, disabled) over the parent's background.
#pragma once

#include <Quorex.Vcl.PngImageList.hpp>

#include <Vcl.Graphics.hpp>
#include <Vcl.StdCtrls.hpp>

#include <memory>

namespace Quorex {

class TQxBackButton : public Vcl::TCustomButton {
  QX_CLASS(TQxBackButton, Vcl::TCustomButton)
public:
  explicit TQxBackButton(Vcl::TComponent* AOwner);
  ~TQxBackButton() override;

  bool MouseInControl() const { return FMouseInControl; }
  bool IsFocused() const { return FIsFocused; }
  // The four pictures, by state: normal, hot, pressed, disabled.
  TPngImageList* Images() const { return FImages.get(); }
  // The canvas the button draws with; it holds a context only while a paint
  // runs.
  Vcl::TCanvas* Canvas() const { return FCanvas.get(); }

  void Dispatch(Vcl::TMessage& Message) override;

protected:
  void CreateParams(Vcl::TCreateParams& Params) override;
  void SetButtonStyle(bool ADefault) override;
  void ChangeScale(Vcl::Integer M, Vcl::Integer D) override;
  virtual void DrawItem(const Win::DRAWITEMSTRUCT& DrawItemStruct);
  void LoadImages();
  void UpdateButtonSize();

private:
  void EraseBackground(Vcl::TMessage& Message);
  void DrawBackground(Win::HDC DC);
  void MouseEnter();
  void MouseLeave();

  std::unique_ptr<Vcl::TBitmap> FBackground;
  std::unique_ptr<Vcl::TCanvas> FCanvas;
  bool FMouseInControl = false;
  bool FIsFocused = false;
  std::unique_ptr<TPngImageList> FImages;
  bool FIsVistaPlus = true;
};

} // namespace Quorex
