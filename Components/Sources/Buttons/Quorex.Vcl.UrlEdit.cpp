#include "Quorex.Vcl.UrlEdit.hpp"

#include "Quorex.Vcl.Button.ImageBuilder.hpp"

#include <QxRtl.Url.hpp>
#include <Quorex.Resources.hpp>
#include <Quorex.Vcl.ControlProperties.hpp>
#include <System.Streams.hpp>
#include <Winapi.Windows.hpp>

#include <string_view>

namespace Quorex {

using namespace Vcl;

TQxUrlEdit::TQxUrlEdit(TComponent* AOwner)
  : TCustomButtonedEdit(AOwner), FImages(std::make_unique<TPngImageList>()), FIcon(std::make_unique<TIconEx>())
{
  LeftButton()->SetVisible(false);
  TEditButton* button = RightButton();
  button->SetVisible(true);
  button->SetEnabled(false);
  button->SetDisabledImageIndex(0);
  button->SetImageIndex(1);
  button->SetHotImageIndex(2);
  button->SetPressedImageIndex(3);
  OnRightButtonClick = [this](TObject* Sender) { RightButtonClick(Sender); };
  SetImages(FImages.get());
  SetDoubleBuffered(true);
  TResourceStream stream(HInstance(), "OPENURL_ICON", Win::RT_RCDATA);
  FIcon->LoadFromStream(&stream);
}

TQxUrlEdit::~TQxUrlEdit()
{
  SetImages(nullptr);
}

bool TQxUrlEdit::GetIsValidUrl() const
{
  return QxRtl::gUrl.VerifyUrl(Text());
}

void TQxUrlEdit::RightButtonClick(TObject*)
{
  QxRtl::gUrl.GoUrl(Text());
}

void TQxUrlEdit::Change()
{
  inherited::Change();
  RightButton()->SetEnabled(GetIsValidUrl() && Enabled());
}

void TQxUrlEdit::SetEnabled(bool Value)
{
  inherited::SetEnabled(Value);
  RightButton()->SetEnabled(Value && GetIsValidUrl());
}

// The images are as tall as the text area. A window not yet sized, or sized
// to nothing, gets none; the same height keeps the ones it has.
void TQxUrlEdit::UpdateImages()
{
  TRect inner = ClientRect();
  AdjustClientRect(inner);
  const Integer size = inner.Height();
  if (size < 1 || size == FImagesHeight)
    return;
  FImagesHeight = size;
  TButtonImageBuilder::Build(FImages.get(), FIcon.get(), size, size, false);
}

void TQxUrlEdit::Resize()
{
  if (HandleAllocated())
    UpdateImages();
  inherited::Resize();
}

// Text given before the window existed raised no change: the button is
// set from it here.
void TQxUrlEdit::CreateWnd()
{
  inherited::CreateWnd();
  UpdateImages();
  RightButton()->SetEnabled(GetIsValidUrl() && Enabled());
}

QX_PUBLISHED_CONTROL(TQxUrlEdit)
{
  EditProperties({"DoubleBuffered", "NumbersOnly", "PasswordChar"});
  Publish("ParentDoubleBuffered").Default(false);
  Publish("DoubleBuffered").Default(true);
  for (const char* name : ButtonedEditProperties) {
    TPropBuilder property = Publish(name);
    // Each edit makes its own images again: only other lists are named.
    if (std::string_view(name) == "Images")
      property.StoredWhen([](const TObject* o) {
        const auto* edit = static_cast<const TQxUrlEdit*>(o);
        return edit->Images() != edit->ButtonImages();
      });
  }
}

} // namespace Quorex
