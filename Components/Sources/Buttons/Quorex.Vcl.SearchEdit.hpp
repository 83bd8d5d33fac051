// A search field: a search icon at the right that turns into a clear button
// once text is typed, a grey hint while the field is empty and unfocused, and
// Escape to clear.
#pragma once

#include <Quorex.Imaging.IconEx.hpp>
#include <Quorex.Vcl.PngImageList.hpp>
#include <Vcl.ExtCtrls.ButtonedEdit.hpp>

#include <memory>

namespace Quorex {

enum class TQxSearchEditState { sesEmpty, sesShowClearButton };
using enum TQxSearchEditState;

class TQxSearchEdit : public Vcl::TCustomButtonedEdit {
  QX_CLASS(TQxSearchEdit, Vcl::TCustomButtonedEdit)
public:
  explicit TQxSearchEdit(Vcl::TComponent* AOwner);
  ~TQxSearchEdit() override;

  Vcl::String EmptyCaption() const { return FEmptyCaption; }
  void SetEmptyCaption(const Vcl::String& Value);
  TQxSearchEditState State() const { return FState; }
  // The button's images: the clear icon's four looks (0 to 3), then the
  // search icon's disabled and normal looks (4, 5).
  TPngImageList* ButtonImages() const { return FImages.get(); }

  void WndProc(Vcl::TMessage& Message) override;

protected:
  void SetState(TQxSearchEditState Value);
  void UpdateImages();
  void RightButtonClick(Vcl::TObject* Sender);
  void Change() override;
  void KeyDown(Vcl::Word& Key, Vcl::TShiftState Shift) override;
  void Resize() override;
  void CreateWnd() override;

private:
  void PaintEmptyCaption();

  std::unique_ptr<TIconEx> FClearIcon;
  std::unique_ptr<TIconEx> FSearchIcon;
  std::unique_ptr<TPngImageList> FImages;
  Vcl::String FEmptyCaption = "Search";
  TQxSearchEditState FState = sesEmpty;
  // The height the images were last built for.
  Vcl::Integer FImagesHeight = 0;
};

} // namespace Quorex
