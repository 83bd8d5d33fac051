// An address field whose right button opens the typed address; the button is
// enabled only while the text is a valid address.
#pragma once

#include <Quorex.Imaging.IconEx.hpp>
#include <Quorex.Vcl.PngImageList.hpp>
#include <Vcl.ExtCtrls.ButtonedEdit.hpp>

#include <memory>

namespace Quorex {

class TQxUrlEdit : public Vcl::TCustomButtonedEdit {
  QX_CLASS(TQxUrlEdit, Vcl::TCustomButtonedEdit)
public:
  explicit TQxUrlEdit(Vcl::TComponent* AOwner);
  ~TQxUrlEdit() override;

  bool GetIsValidUrl() const;
  void SetEnabled(bool Value) override;
  TPngImageList* ButtonImages() const { return FImages.get(); }

protected:
  void RightButtonClick(Vcl::TObject* Sender);
  void UpdateImages();
  void Change() override;
  void Resize() override;
  void CreateWnd() override;

private:
  std::unique_ptr<TPngImageList> FImages;
  std::unique_ptr<TIconEx> FIcon;
  // The height the images were last built for.
  Vcl::Integer FImagesHeight = 0;
};

} // namespace Quorex
