#include "Quorex.Vcl.SearchEdit.hpp"

#include "Quorex.Vcl.Button.ImageBuilder.hpp"

#include <Quorex.Resources.hpp>
#include <Quorex.Vcl.ControlProperties.hpp>
#include <System.Streams.hpp>
#include <Winapi.Windows.hpp>

namespace Quorex {

using namespace Vcl;

namespace {

std::unique_ptr<TIconEx> LoadIcon(const char* Name)
{
  auto icon = std::make_unique<TIconEx>();
  TResourceStream stream(HInstance(), Name, Win::RT_RCDATA);
  icon->LoadFromStream(&stream);
  return icon;
}

// The colour of the hint text.
constexpr TColor kEmptyCaptionColor = TColor(0x00C0C0C0);

} // namespace

TQxSearchEdit::TQxSearchEdit(TComponent* AOwner)
  : TCustomButtonedEdit(AOwner), FClearIcon(LoadIcon("CLEAR_ICON")), FSearchIcon(LoadIcon("SEARCH_ICON")),
    FImages(std::make_unique<TPngImageList>())
{
  LeftButton()->SetVisible(false);
  RightButton()->SetVisible(true);
  OnRightButtonClick = [this](TObject* Sender) { RightButtonClick(Sender); };
  SetImages(FImages.get());
  SetState(sesEmpty);
}

TQxSearchEdit::~TQxSearchEdit()
{
  SetImages(nullptr);
}

void TQxSearchEdit::SetEmptyCaption(const String& Value)
{
  if (Value == FEmptyCaption)
    return;
  FEmptyCaption = Value;
  Invalidate();
}

void TQxSearchEdit::SetState(TQxSearchEditState Value)
{
  FState = Value;
  const bool clear = Value == sesShowClearButton;
  TEditButton* button = RightButton();
  button->SetDisabledImageIndex(clear ? 0 : 4);
  button->SetImageIndex(clear ? 1 : 5);
  button->SetHotImageIndex(clear ? 2 : -1);
  button->SetPressedImageIndex(clear ? 3 : -1);
}

// The images are as tall as the text area. A window not yet sized, or
// sized to nothing, gets none; the same height keeps the ones it has.
void TQxSearchEdit::UpdateImages()
{
  TRect inner = ClientRect();
  AdjustClientRect(inner);
  const Integer size = inner.Height();
  if (size < 1 || size == FImagesHeight)
    return;
  FImagesHeight = size;
  TButtonImageBuilder::Build(FImages.get(), FClearIcon.get(), size, size, false);
  TPngImageList search;
  TButtonImageBuilder::Build(&search, FSearchIcon.get(), size, size, false);
  for (Integer i = 0; i < 2; ++i)
    FImages->AddPng(search.PngImages()->Items(i)->PngImage());
}

void TQxSearchEdit::Resize()
{
  if (HandleAllocated())
    UpdateImages();
  inherited::Resize();
}

// Text given before the window existed raised no change: the state is
// taken from it here.
void TQxSearchEdit::CreateWnd()
{
  inherited::CreateWnd();
  UpdateImages();
  SetState(Text().empty() ? sesEmpty : sesShowClearButton);
}

void TQxSearchEdit::Change()
{
  inherited::Change();
  SetState(Text().empty() ? sesEmpty : sesShowClearButton);
}

void TQxSearchEdit::KeyDown(Word& Key, TShiftState Shift)
{
  inherited::KeyDown(Key, Shift);
  if (Key == Win::VK_ESCAPE)
    Clear();
}

void TQxSearchEdit::RightButtonClick(TObject*)
{
  Clear();
}

void TQxSearchEdit::WndProc(TMessage& Message)
{
  inherited::WndProc(Message);
  switch (Message.Msg) {
  case CM_ENABLEDCHANGED:
    RightButton()->SetEnabled(Enabled());
    break;
  case Win::WM_PAINT:
    PaintEmptyCaption();
    break;
  case Win::WM_SETFOCUS:
  case Win::WM_KILLFOCUS:
    Invalidate();
    break;
  default:
    break;
  }
}

// Drawn over the empty text area with a font of its own, so that the edit's
// font keeps its colour for the text the user types.
void TQxSearchEdit::PaintEmptyCaption()
{
  if (!HandleAllocated() || !Text().empty() || Focused() || Trim(FEmptyCaption).empty())
    return;
  Win::RECT area;
  Perform(Win::EM_GETRECT, 0, Win::LPARAM(&area));
  TControlCanvas canvas;
  canvas.SetControl(this);
  canvas.Brush()->SetColor(Color());
  canvas.Pen()->SetStyle(psClear);
  canvas.FillRect(area);
  canvas.Font()->Assign(Font());
  canvas.Font()->SetColor(kEmptyCaptionColor);
  TRect text(area.Left + 2, area.Top, area.Right - 2, area.Bottom);
  String caption = FEmptyCaption;
  canvas.TextRect(text, caption, {tfLeft, tfSingleLine, tfVerticalCenter, tfEndEllipsis});
}

QX_PUBLISHED_CONTROL(TQxSearchEdit)
{
  EditProperties({"NumbersOnly", "PasswordChar"});
  Property("EmptyCaption", &T::EmptyCaption, &T::SetEmptyCaption).Default(String("Search"));
}

} // namespace Quorex
