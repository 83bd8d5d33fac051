// The speed button with a PNG glyph that keeps its alpha; disabled, the PNG
// is drawn in the look its PngOptions choose.
#pragma once

#include <Quorex.Vcl.PngFunctions.hpp>
#include <Vcl.Buttons.hpp>

#include <memory>

namespace Quorex {

class TPngSpeedButton : public Vcl::TSpeedButton {
  QX_CLASS(TPngSpeedButton, Vcl::TSpeedButton)
public:
  explicit TPngSpeedButton(Vcl::TComponent* AOwner);
  ~TPngSpeedButton() override;

  Vcl::TPngImage* PngImage() const { return FPngImage.get(); }
  // Keeps a copy; nil empties it.
  void SetPngImage(Vcl::TPngImage* Value);
  TPngOptions PngOptions() const { return FPngOptions; }
  void SetPngOptions(TPngOptions Value);
  bool PngImageStored() const { return !FImageFromAction; }

  void Loaded() override;

protected:
  template <class, class>
  friend class TPngButtonActionLink;
  Vcl::TControlActionLinkClass GetActionLinkClass() const override;
  void ActionChange(Vcl::TObject* Sender, bool CheckDefaults) override;
  void TakeActionImage(Vcl::TObject* Sender, Vcl::Integer Index);
  void Paint() override;
  // The base button lays out and paints a bitmap glyph: give it a blank one
  // of the PNG's size so that it keeps the PNG's room and shows nothing.
  void CreatePngGlyph();

private:
  std::unique_ptr<Vcl::TPngImage> FPngImage;
  TPngOptions FPngOptions{pngBlendOnDisabled};
  bool FImageFromAction = false;
};

} // namespace Quorex
