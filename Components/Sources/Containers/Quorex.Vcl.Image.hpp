// A windowless picture control: one image of an image list, centred or at
// the top-left corner, never scaled; it can size itself to the list.
#pragma once

#include <Vcl.Controls.hpp>
#include <Vcl.ImgList.hpp>

#include <memory>

namespace Quorex {

using Vcl::Integer;

class TQxCustomImage : public Vcl::TGraphicControl {
  QX_CLASS(TQxCustomImage, Vcl::TGraphicControl)
public:
  explicit TQxCustomImage(Vcl::TComponent* AOwner);
  ~TQxCustomImage() override;

  // Referred to, not owned; the control lets go when the list is freed.
  Vcl::TCustomImageList* Images() const { return FImages; }
  void SetImages(Vcl::TCustomImageList* Value);
  Vcl::TImageIndex ImageIndex() const { return FImageIndex; }
  void SetImageIndex(Vcl::TImageIndex Value);
  bool Center() const { return FCenter; }
  void SetCenter(bool Value);
  // Where the image's top-left corner goes; negative when the image is
  // larger than the control and centred.
  Vcl::TPoint GetImagePos() const;

protected:
  bool CanAutoSize(Integer& NewWidth, Integer& NewHeight) override;
  void Notification(Vcl::TComponent* AComponent, Vcl::TOperation Operation) override;
  void Paint() override;

private:
  void ImageListChange(Vcl::TObject* Sender);

  Vcl::TCustomImageList* FImages = nullptr;
  std::unique_ptr<Vcl::TChangeLink> FImageChangeLink;
  Vcl::TImageIndex FImageIndex = -1;
  bool FCenter = true;
};

class TQxImage : public TQxCustomImage {
  QX_CLASS(TQxImage, TQxCustomImage)
public:
  using TQxCustomImage::TQxCustomImage;
};

} // namespace Quorex
