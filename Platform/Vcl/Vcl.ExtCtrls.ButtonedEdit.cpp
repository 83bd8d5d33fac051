#include "Vcl.ExtCtrls.ButtonedEdit.hpp"
#include "Vcl.Menus.hpp"

#include "Vcl.ImgList.Link.hpp"

namespace Vcl {

QX_PUBLISHED(TEditButton)
{
  Property("DisabledImageIndex", &T::DisabledImageIndex, &T::SetDisabledImageIndex).Default(TImageIndex(-1));
  Property("DropDownMenu", &T::DropDownMenu, &T::SetDropDownMenu);
  Property("Enabled", &T::Enabled, &T::SetEnabled).Default(true);
  Property("Hint", &T::Hint, &T::SetHint).Default(String());
  Property("HotImageIndex", &T::HotImageIndex, &T::SetHotImageIndex).Default(TImageIndex(-1));
  Property("ImageIndex", &T::ImageIndex, &T::SetImageIndex).Default(TImageIndex(-1));
  Property("PressedImageIndex", &T::PressedImageIndex, &T::SetPressedImageIndex).Default(TImageIndex(-1));
  Property("Visible", &T::Visible, &T::SetVisible).Default(false);
}

namespace {

// Between a button and the text.
constexpr Integer kButtonGap = 2;

} // namespace

// ---- TEditButtonGlyph ---------------------------------------------------------------------

TEditButtonGlyph::TEditButtonGlyph(TCustomButtonedEdit* Edit, TEditButton* Button)
  : TCustomControl(Edit), FEdit(Edit), FButton(Button)
{
  SetVisible(false);
  SetCursor(crArrow);
  SetParent(Edit);
}

void TEditButtonGlyph::Dispatch(TMessage& Message)
{
  if (Message.Msg == CM_MOUSEENTER || Message.Msg == CM_MOUSELEAVE)
    SetHot(Message.Msg == CM_MOUSEENTER);
  inherited::Dispatch(Message);
}

void TEditButtonGlyph::SetHot(bool Value)
{
  if (Value == FHot)
    return;
  FHot = Value;
  Invalidate();
}

void TEditButtonGlyph::Paint()
{
  Canvas()->Brush()->SetColor(FEdit->Color());
  Canvas()->FillRect(ClientRect());
  TCustomImageList* images = FEdit->Images();
  const TImageIndex index = FButton->CurrentImageIndex();
  if (!images || index < 0)
    return;
  // A disabled look without an image of its own is the normal image greyed.
  const bool greyed = !FButton->Enabled() || !FEdit->Enabled();
  images->Draw(Canvas(), (Width() - images->Width()) / 2, (Height() - images->Height()) / 2, index,
               !(greyed && FButton->DisabledImageIndex() < 0));
}

void TEditButtonGlyph::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y)
{
  inherited::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft || !FButton->Enabled() || !FEdit->Enabled())
    return;
  FPressed = true;
  SetMouseCapture(true);
  Invalidate();
}

void TEditButtonGlyph::MouseMove(TShiftState Shift, Integer X, Integer Y)
{
  inherited::MouseMove(Shift, X, Y);
  if (FPressed)
    SetHot(ClientRect().Contains(TPoint(X, Y)));
}

void TEditButtonGlyph::MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y)
{
  inherited::MouseUp(Button, Shift, X, Y);
  if (Button != mbLeft || !FPressed)
    return;
  FPressed = false;
  SetMouseCapture(false);
  Invalidate();
  if (ClientRect().Contains(TPoint(X, Y)))
    FEdit->ButtonClick(FButton);
}

// ---- TEditButton ----------------------------------------------------------------------------

TEditButton::TEditButton(TCustomButtonedEdit* EditControl, TButtonPosition Position)
  : FEditControl(EditControl), FPosition(Position), FGlyph(new TEditButtonGlyph(EditControl, this))
{
  FGlyph->SetName(Position == TButtonPosition::bpLeft ? "LeftButton" : "RightButton");
}

TEditButton::~TEditButton() = default;

void TEditButton::Assign(const TPersistent* Source)
{
  const auto* button = dynamic_cast<const TEditButton*>(Source);
  if (!button) {
    inherited::Assign(Source);
    return;
  }
  FDisabledImageIndex = button->FDisabledImageIndex;
  FHotImageIndex = button->FHotImageIndex;
  FImageIndex = button->FImageIndex;
  FPressedImageIndex = button->FPressedImageIndex;
  FEnabled = button->FEnabled;
  SetDropDownMenu(button->FDropDownMenu);
  SetHint(button->Hint());
  Changed();
  SetVisible(button->FVisible);
}

String TEditButton::Hint() const
{
  return FGlyph->Hint();
}

void TEditButton::SetHint(const String& Value)
{
  FGlyph->SetHint(Value);
}

void TEditButton::SetDropDownMenu(TPopupMenu* Value)
{
  if (Value == FDropDownMenu)
    return;
  TPopupMenu* old = FDropDownMenu;
  FDropDownMenu = Value;
  if (Value)
    Value->FreeNotification(FEditControl);
  // The other button may still hold the old menu.
  if (old && old != FEditControl->LeftButton()->FDropDownMenu && old != FEditControl->RightButton()->FDropDownMenu)
    old->RemoveFreeNotification(FEditControl);
}

bool TEditButton::Hot() const
{
  return FGlyph->Hot();
}

bool TEditButton::Pressed() const
{
  return FGlyph->Pressed();
}

TImageIndex TEditButton::CurrentImageIndex() const
{
  auto orNormal = [&](TImageIndex index) { return index >= 0 ? index : FImageIndex; };
  if (!FEnabled || !FEditControl->Enabled())
    return orNormal(FDisabledImageIndex);
  if (Pressed())
    return orNormal(FPressedImageIndex);
  if (Hot())
    return orNormal(FHotImageIndex);
  return FImageIndex;
}

void TEditButton::Changed()
{
  FGlyph->Invalidate();
}

void TEditButton::SetDisabledImageIndex(TImageIndex Value)
{
  FDisabledImageIndex = Value;
  Changed();
}

void TEditButton::SetHotImageIndex(TImageIndex Value)
{
  FHotImageIndex = Value;
  Changed();
}

void TEditButton::SetImageIndex(TImageIndex Value)
{
  FImageIndex = Value;
  Changed();
}

void TEditButton::SetPressedImageIndex(TImageIndex Value)
{
  FPressedImageIndex = Value;
  Changed();
}

void TEditButton::SetVisible(bool Value)
{
  if (Value == FVisible)
    return;
  FVisible = Value;
  FEditControl->UpdateEditButtons();
}

void TEditButton::SetEnabled(bool Value)
{
  if (Value == FEnabled)
    return;
  FEnabled = Value;
  Changed();
}

// ---- TCustomButtonedEdit ----------------------------------------------------------------------

TCustomButtonedEdit::TCustomButtonedEdit(TComponent* AOwner)
  : TCustomEdit(AOwner), FImageChangeLink(std::make_unique<TChangeLink>()),
    FLeftButton(std::make_unique<TEditButton>(this, TEditButton::TButtonPosition::bpLeft)),
    FRightButton(std::make_unique<TEditButton>(this, TEditButton::TButtonPosition::bpRight))
{
  FImageChangeLink->OnChange = [this](TObject*) { UpdateEditButtons(); };
}

TCustomButtonedEdit::~TCustomButtonedEdit()
{
  *FAlive = false;
  if (FImages)
    FImages->UnRegisterChanges(FImageChangeLink.get());
}

void TCustomButtonedEdit::SetImages(TCustomImageList* Value)
{
  if (LinkImageList(FImages, Value, FImageChangeLink.get(), this))
    UpdateEditButtons();
}

void TCustomButtonedEdit::SetLeftButton(const TEditButton* Value)
{
  if (Value)
    FLeftButton->Assign(Value);
}

void TCustomButtonedEdit::SetRightButton(const TEditButton* Value)
{
  if (Value)
    FRightButton->Assign(Value);
}

void TCustomButtonedEdit::Notification(TComponent* AComponent, TOperation Operation)
{
  inherited::Notification(AComponent, Operation);
  if (Operation != opRemove)
    return;
  for (TEditButton* button : {FLeftButton.get(), FRightButton.get()})
    if (button && AComponent == button->FDropDownMenu)
      button->FDropDownMenu = nullptr;
  if (AComponent == FImages) {
    FImages = nullptr;
    UpdateEditButtons();
  }
}

void TCustomButtonedEdit::Resize()
{
  inherited::Resize();
  UpdateEditButtons();
}

void TCustomButtonedEdit::CreateWnd()
{
  inherited::CreateWnd();
  UpdateEditButtons();
}

void TCustomButtonedEdit::UpdateEditButtons()
{
  if (!FLeftButton || !FRightButton)
    return; // still being made
  TRect inner = ClientRect();
  AdjustClientRect(inner);
  const Integer width = FImages ? FImages->Width() : 0;
  Integer margins[2] = {1, 1}; // the window's own
  for (TEditButton* button : {FLeftButton.get(), FRightButton.get()}) {
    const bool left = button->FPosition == TEditButton::TButtonPosition::bpLeft;
    const bool shown = button->Visible() && width > 0;
    button->FGlyph->SetVisible(shown);
    if (!shown)
      continue;
    button->FGlyph->SetBounds(left ? inner.Left : inner.Right - width, inner.Top, width, inner.Height());
    margins[left ? 0 : 1] = width + kButtonGap;
  }
  SetMargins(margins[0], margins[1]);
}

void TCustomButtonedEdit::ButtonClick(TEditButton* Button)
{
  const std::shared_ptr<bool> alive = FAlive;
  const TNotifyEvent handler =
    Button->FPosition == TEditButton::TButtonPosition::bpLeft ? OnLeftButtonClick : OnRightButtonClick;
  if (handler)
    handler(this);
  if (!*alive || !Button->FDropDownMenu)
    return;
  TPopupMenu* menu = Button->FDropDownMenu;
  const TPoint anchor = Button->FGlyph->ClientToScreen(menu->AnchorBelow(Button->FGlyph->ClientRect()));
  menu->Popup(anchor.X, anchor.Y);
}

} // namespace Vcl
