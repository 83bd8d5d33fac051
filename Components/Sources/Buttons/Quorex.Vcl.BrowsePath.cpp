#include "Quorex.Vcl.BrowsePath.hpp"

#include <Quorex.Resources.hpp>
#include <Quorex.Vcl.ControlProperties.hpp>
#include <System.Streams.hpp>
#include <Vcl.FileCtrl.hpp>
#include <Vcl.Graphics.hpp>

namespace Quorex {

using namespace Vcl;

TBrowsePath::TBrowsePath(TComponent* AOwner) : TCustomButtonedEdit(AOwner), FImages(std::make_unique<TImageList>())
{
  LoadImages();
  SetImages(FImages.get());
  TEditButton* button = RightButton();
  button->SetDisabledImageIndex(0);
  button->SetImageIndex(0);
  button->SetHotImageIndex(0);
  button->SetPressedImageIndex(0);
  button->SetVisible(true);
  OnRightButtonClick = [this](TObject* Sender) { ButtonClick(Sender); };
}

TBrowsePath::~TBrowsePath()
{
  SetImages(nullptr);
}

// The folder picture, its bottom-left colour taken as transparent.
void TBrowsePath::LoadImages()
{
  TResourceStream stream(HInstance(), "OPENFOLDERIMAGE", "QX_PICTURES");
  TBitmap bitmap;
  bitmap.LoadFromStream(&stream);
  FImages->SetWidth(bitmap.Width());
  FImages->SetHeight(bitmap.Height());
  FImages->AddMasked(&bitmap, bitmap.Canvas()->Pixels(0, bitmap.Height() - 1));
}

bool TBrowsePath::Execute()
{
  FPath = Text();
  const std::optional<String> chosen = BrowseForFolder({FCaption, FPath});
  if (!chosen)
    return false;
  FPath = *chosen;
  return true;
}

void TBrowsePath::ButtonClick(TObject*)
{
  if (!Execute())
    return;
  SetText(FPath);
  if (OnPathSelected)
    OnPathSelected(this);
}

QX_PUBLISHED_CONTROL(TBrowsePath)
{
  EditProperties({"NumbersOnly", "PasswordChar"});
  Property("Caption", &T::Caption, &T::SetCaption).Default(String("Select directory"));
  Event("OnPathSelected", &T::OnPathSelected);
}

} // namespace Quorex
