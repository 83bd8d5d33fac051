// The bitmap button with a PNG glyph that keeps its alpha; disabled, the PNG
// is drawn in the look its PngOptions choose.
#pragma once

#include <Quorex.Vcl.PngFunctions.hpp>
#include <Vcl.Buttons.hpp>

#include <memory>

namespace Quorex {

class TPngBitBtn : public Vcl::TBitBtn {
  QX_CLASS(TPngBitBtn, Vcl::TBitBtn)
public:
  explicit TPngBitBtn(Vcl::TComponent* AOwner);
  ~TPngBitBtn() override;

  Vcl::TPngImage* PngImage() const { return FPngImage.get(); }
  // Keeps a copy; nil empties it.
  void SetPngImage(Vcl::TPngImage* Value);
  TPngOptions PngOptions() const { return FPngOptions; }
  void SetPngOptions(TPngOptions Value);
  // An image taken from an action is the action's to store.
  bool PngImageStored() const { return !FImageFromAction; }

  void Dispatch(Vcl::TMessage& Message) override;

protected:
  template <class, class>
  friend class TPngButtonActionLink;
  Vcl::TControlActionLinkClass GetActionLinkClass() const override;
  void ActionChange(Vcl::TObject* Sender, bool CheckDefaults) override;
  void TakeActionImage(Vcl::TObject* Sender, Vcl::Integer Index);
  void SetButtonStyle(bool ADefault) override;
  void CNDrawItem(const Win::DRAWITEMSTRUCT& Item) override;

private:
  // The frame for the state; returns the rectangle inside it.
  Vcl::TRect DrawFrame(const Win::DRAWITEMSTRUCT& Item, bool Pressed, bool Focused);

  std::unique_ptr<Vcl::TPngImage> FPngImage;
  TPngOptions FPngOptions{pngBlendOnDisabled};
  std::unique_ptr<Vcl::TCanvas> FCanvas;
  bool FImageFromAction = false;
  bool FMouseInControl = false;
  bool FIsFocused = false;
};

} // namespace Quorex
