#include "Quorex.Vcl.HoldCombobox.hpp"

#include <Quorex.Vcl.ControlProperties.hpp>
#include <Vcl.ImgList.Link.hpp>
#include <Vcl.Menus.ItemDraw.hpp>
#include <Vcl.Themes.hpp>

#include <cstdlib>

namespace Quorex {

using namespace Vcl;

// ---- TComboItem ---------------------------------------------------------------------------

void TComboItem::Assign(const TPersistent* Source)
{
  const auto* item = dynamic_cast<const TComboItem*>(Source);
  if (!item) {
    inherited::Assign(Source);
    return;
  }
  FCaption = item->FCaption;
  FImageIndex = item->FImageIndex;
  FData = item->FData;
  Changed(false);
}

String TComboItem::DisplayName() const
{
  return FCaption.empty() ? inherited::DisplayName() : FCaption;
}

void TComboItem::SetCaption(const String& Value)
{
  if (FCaption == Value)
    return;
  FCaption = Value;
  Changed(false);
}

void TComboItem::SetImageIndex(Integer Value)
{
  if (FImageIndex == Value)
    return;
  FImageIndex = Value;
  Changed(false);
}

// ---- TComboItems --------------------------------------------------------------------------

TComboItems::TComboItems(TCustomHoldCombobox* AOwner)
  : TOwnedCollection(AOwner, &TComboItem::StaticClass()), FCombo(AOwner)
{
}

Integer TComboItems::IndexOfObject(const TObject* Obj) const
{
  for (Integer i = 0; i < Count(); ++i)
    if (Items(i)->Data() == Obj)
      return i;
  return -1;
}

void TComboItems::Update(TCollectionItem* Item)
{
  inherited::Update(Item);
  FCombo->ItemsChanged();
}

// ---- TComboPopup --------------------------------------------------------------------------

TComboPopup::TComboPopup(TComponent* AOwner)
  : TPopupForm(AOwner), FMenu(new TPopupMenu(this)), FMenuItem(new TMenuItem(FMenu))
{
  FMenu->Items()->Add(FMenuItem);
}

TComboPopup::~TComboPopup() = default;

Integer TComboPopup::ItemHeight() const
{
  return FOwnerControl ? FOwnerControl->Height() : 0;
}

void TComboPopup::SetPopupBounds()
{
  const Integer count = FItems ? FItems->Count() : 0;
  const Integer itemHeight = ItemHeight();
  const TPoint origin = FOwnerControl->ClientToScreen(TPoint(0, 0));
  Integer top = origin.Y - MarginTop();
  if (FItemIndex >= 0 && FItemIndex < count)
    top -= itemHeight * FItemIndex;
  SetBounds(origin.X, top, FOwnerControl->Width(), itemHeight * count + MarginHeight());
}

TRect TComboPopup::GetItemRect(Integer I) const
{
  const Integer h = ItemHeight();
  return TRect(MarginLeft(), MarginTop() + I * h, ClientWidth() - MarginRight(), MarginTop() + (I + 1) * h);
}

bool TComboPopup::GetItemState(Integer I) const
{
  Win::POINT cursor;
  Win::GetCursorPos(&cursor);
  return GetItemRect(I).Contains(ScreenToClient(TPoint(cursor.X, cursor.Y)));
}

Integer TComboPopup::GetCurrentIndex() const
{
  const Integer count = FItems ? FItems->Count() : 0;
  for (Integer i = 0; i < count; ++i)
    if (GetItemState(i))
      return i;
  return -1;
}

void TComboPopup::Popup()
{
  HandleNeeded();
  SetPopupBounds();
  FOpeningPress = FOwnerControl->FMousePos;
  FAwaitingOpeningRelease = true;
  Show();
  // The combo took the mouse on the press; the list needs the release and
  // the moves that follow it.
  Win::SetCapture(Handle());
}

void TComboPopup::MakeMenuItem(const TComboItem* Item)
{
  FMenuItem->SetCaption(Item->Caption());
  FMenuItem->SetImageIndex(Item->ImageIndex());
}

void TComboPopup::DrawMenuEdge(TCanvas* Canvas)
{
  const TRect client = ClientRect();
  if (ThemeControl(this)) {
    StyleServices()->DrawElement(Canvas->Handle(), StyleServices()->GetElementDetails(tmPopupBackground), client);
    StyleServices()->DrawElement(Canvas->Handle(), StyleServices()->GetElementDetails(tmPopupBorders), client);
    return;
  }
  Canvas->Brush()->SetColor(clMenu);
  Canvas->Brush()->SetStyle(bsSolid);
  Canvas->Rectangle(client);
}

void TComboPopup::PaintWindow(Win::HDC DC)
{
  TCanvas canvas;
  TCanvasAttachment attach(&canvas, DC);
  DrawMenuEdge(&canvas);
  const Integer count = FItems ? FItems->Count() : 0;
  for (Integer i = 0; i < count; ++i) {
    MakeMenuItem(FItems->Items(i));
    DrawMenuItem(FMenuItem, &canvas, GetItemRect(i), GetItemState(i));
  }
}

void TComboPopup::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y)
{
  inherited::MouseDown(Button, Shift, X, Y);
  FAwaitingOpeningRelease = false;
}

void TComboPopup::MouseMove(TShiftState Shift, Integer X, Integer Y)
{
  inherited::MouseMove(Shift, X, Y);
  Invalidate();
}

bool TComboPopup::NearOpeningPress() const
{
  Win::POINT cursor;
  Win::GetCursorPos(&cursor);
  return std::abs(cursor.X - FOpeningPress.X) <= Win::GetSystemMetrics(Win::SM_CXDRAG) &&
         std::abs(cursor.Y - FOpeningPress.Y) <= Win::GetSystemMetrics(Win::SM_CYDRAG);
}

void TComboPopup::MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y)
{
  inherited::MouseUp(Button, Shift, X, Y);
  // The release of the opening click leaves the list open; a press dragged
  // onto an item and released there chooses it.
  const bool openingClick = FAwaitingOpeningRelease && NearOpeningPress();
  FAwaitingOpeningRelease = false;
  if (!Visible())
    return;
  // Held no longer: the next press outside goes to the window under it
  // (after it closed the list), so one press opens another combo.
  if (openingClick) {
    if (Win::GetCapture() == Handle())
      Win::ReleaseCapture();
    return;
  }
  const Integer index = GetCurrentIndex();
  if (index >= 0)
    FItemIndex = index;
  Hide();
}

void TComboPopup::Dispatch(TMessage& Message)
{
  // Without the mouse held, leaving the list must drop the highlight.
  if (Message.Msg == CM_MOUSELEAVE)
    Invalidate();
  inherited::Dispatch(Message);
}

void TComboPopup::Closed()
{
  if (FOwnerControl)
    FOwnerControl->PopupClosed(this);
}

// ---- TCustomHoldCombobox ------------------------------------------------------------------

TCustomHoldCombobox::TCustomHoldCombobox(TComponent* AOwner)
  : TCustomButton(AOwner), FItems(std::make_unique<TComboItems>(this)),
    FImageChangeLink(std::make_unique<TChangeLink>())
{
  FItems->SetPropName("Items");
  FImageChangeLink->OnChange = [this](TObject*) { Invalidate(); };
  SetAlign(alClient);
  SetColor(clWindow);
  SetParentColor(true);
  if (!ComponentState().Contains(csDesigning))
    FPopup = new TComboPopup(this);
}

TCustomHoldCombobox::~TCustomHoldCombobox()
{
  // The list goes first, while the items it shows and the combo it reports
  // to still stand; closing it now reports nothing.
  if (FPopup) {
    FPopup->FOwnerControl = nullptr;
    delete FPopup;
    FPopup = nullptr;
  }
  SetImages(nullptr);
}

void TCustomHoldCombobox::SetComboItems(TComboItems* Value)
{
  FItems->Assign(Value);
}

void TCustomHoldCombobox::SetImages(TCustomImageList* Value)
{
  if (LinkImageList(FImages, Value, FImageChangeLink.get(), this))
    Invalidate();
}

void TCustomHoldCombobox::Notification(TComponent* AComponent, TOperation Operation)
{
  inherited::Notification(AComponent, Operation);
  if (Operation != opRemove)
    return;
  if (AComponent == FImages) {
    FImages = nullptr;
    if (FPopup)
      FPopup->SetImages(nullptr);
    Invalidate();
  }
  if (AComponent == FPopup)
    FPopup = nullptr;
}

TComboItem* TCustomHoldCombobox::SelectedItem() const
{
  if (FItemIndex < 0 || FItemIndex >= FItems->Count())
    return nullptr;
  return FItems->Items(FItemIndex);
}

String TCustomHoldCombobox::GetDisplayCaption() const
{
  const TComboItem* item = SelectedItem();
  return item ? item->Caption() : String();
}

void TCustomHoldCombobox::StoreItemIndex(Integer Value)
{
  FItemIndex = Value;
  Invalidate();
  if (OnChange)
    OnChange(this);
}

void TCustomHoldCombobox::SetItemIndex(Integer Value)
{
  if (Value == FItemIndex)
    return;
  // A resource may name the index before its items; Loaded checks it.
  if (ComponentState().Contains(csLoading)) {
    FItemIndex = Value;
    return;
  }
  if (Value >= FItems->Count())
    throw Exception("Index out of bounds");
  StoreItemIndex(Value);
}

void TCustomHoldCombobox::Loaded()
{
  inherited::Loaded();
  if (FItemIndex >= FItems->Count())
    FItemIndex = -1;
}

void TCustomHoldCombobox::ItemsChanged()
{
  // Items deleted under the selection leave nothing selected.
  if (!ComponentState().Contains(csLoading) && FItemIndex >= FItems->Count())
    StoreItemIndex(-1);
  else
    Invalidate();
  if (FPopup && FPopup->Visible())
    FPopup->Hide();
}

void TCustomHoldCombobox::Clear()
{
  FItems->Clear();
  SetItemIndex(-1);
}

void TCustomHoldCombobox::PopupClosed(TComboPopup* Sender)
{
  if (Sender->ItemIndex() < FItems->Count())
    SetItemIndex(Sender->ItemIndex());
}

void TCustomHoldCombobox::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y)
{
  inherited::MouseDown(Button, Shift, X, Y);
  if (CanFocus() && !Focused())
    SetFocus();
  Win::POINT cursor;
  Win::GetCursorPos(&cursor);
  FMousePos = TPoint(cursor.X, cursor.Y);
  if (!FPopup || FItems->Count() == 0)
    return;
  FPopup->FOwnerControl = this;
  FPopup->SetItems(FItems.get());
  FPopup->FItemIndex = FItemIndex;
  FPopup->SetImages(FImages);
  FPopup->Popup();
}

bool TCustomHoldCombobox::DoMouseWheelDown(TShiftState Shift, TPoint MousePos)
{
  inherited::DoMouseWheelDown(Shift, MousePos);
  const Integer current = SelectedItem() ? FItemIndex : -1;
  if (current < FItems->Count() - 1)
    SetItemIndex(current + 1);
  return true;
}

bool TCustomHoldCombobox::DoMouseWheelUp(TShiftState Shift, TPoint MousePos)
{
  inherited::DoMouseWheelUp(Shift, MousePos);
  if (SelectedItem() && FItemIndex > 0)
    SetItemIndex(FItemIndex - 1);
  return true;
}

Integer TCustomHoldCombobox::ImageWidth() const
{
  return FImages && SelectedItem() ? FImages->Width() : 0;
}

TRect TCustomHoldCombobox::CaptionRect(const TRect& R) const
{
  return TRect(R.Left + LeftMargin() + ImageWidth(), R.Top, R.Right - ArrowMargin() - ArrowWidth(), R.Bottom);
}

TPoint TCustomHoldCombobox::GetTopArrowPoint(const TRect& R) const
{
  return TPoint(R.Right - ArrowWidth() - ArrowMargin(), R.Height() / 2 - ArrowSize() - 2);
}

TPoint TCustomHoldCombobox::GetBottomArrowPoint(const TRect& R) const
{
  return TPoint(R.Right - ArrowWidth() - ArrowMargin(), R.Height() / 2 + ArrowSize() - 2);
}

void TCustomHoldCombobox::DrawArrowsCaptionAndImage(TCanvas* Canvas, const TRect& R, bool Themed)
{
  Canvas->Brush()->SetColor(Canvas->Font()->Color());
  Canvas->Pen()->SetColor(Canvas->Font()->Color());
  DrawArrow(Canvas, sdUp, GetTopArrowPoint(R), ArrowSize());
  DrawArrow(Canvas, sdDown, GetBottomArrowPoint(R), ArrowSize());
  Canvas->Brush()->SetStyle(bsClear);
  TRect caption = CaptionRect(R);
  const String text = GetDisplayCaption();
  const TThemedElementDetails button = StyleServices()->GetElementDetails(tbPushButtonNormal);
  if (!Themed || !StyleServices()->DrawText(Canvas->Handle(), button, text, caption,
                                            {tfLeft, tfSingleLine, tfVerticalCenter}, Canvas->Font()->Color())) {
    Win::SetBkMode(Canvas->Handle(), Win::TRANSPARENT);
    Win::SetTextColor(Canvas->Handle(), Win::COLORREF(ColorToRGB(Canvas->Font()->Color())));
    Win::DrawText(Canvas->Handle(), text.c_str(), Integer(text.size()), &caption,
                  Win::DT_SINGLELINE | Win::DT_VCENTER);
  }
  if (const TComboItem* item = SelectedItem(); item && FImages)
    FImages->Draw(Canvas, R.Left + 4, R.Top + 4, item->ImageIndex(), true);
}

void TCustomHoldCombobox::DrawClassic(TCanvas* Canvas)
{
  TRect r = ClientRect();
  Win::UINT state = Win::DFCS_BUTTONPUSH;
  if (!Enabled())
    state |= Win::DFCS_INACTIVE;
  else if (FMouseInControl)
    state |= Win::DFCS_HOT;
  Win::RECT frame = r;
  Win::DrawFrameControl(Canvas->Handle(), &frame, Win::DFC_BUTTON, state);
  DrawArrowsCaptionAndImage(Canvas, r, false);
}

void TCustomHoldCombobox::DrawThemeCombo(TCanvas* Canvas)
{
  TRect r = ClientRect();
  const TThemedElementDetails details =
    StyleServices()->GetElementDetails(FMouseInControl ? tbPushButtonHot : tbPushButtonNormal);
  StyleServices()->DrawParentBackground(Handle(), Canvas->Handle(), &details, true);
  StyleServices()->DrawElement(Canvas->Handle(), details, r);
  DrawArrowsCaptionAndImage(Canvas, r, true);
}

void TCustomHoldCombobox::WMPaint(TMessage& Message)
{
  auto dc = reinterpret_cast<Win::HDC>(Message.WParam);
  Win::PAINTSTRUCT ps;
  if (!dc)
    dc = Win::BeginPaint(Handle(), &ps);
  {
    TCanvas canvas;
    TCanvasAttachment attach(&canvas, dc);
    canvas.SetFont(Font());
    if (ThemeControl(this))
      DrawThemeCombo(&canvas);
    else
      DrawClassic(&canvas);
  }
  if (!Message.WParam)
    Win::EndPaint(Handle(), &ps);
}

void TCustomHoldCombobox::Dispatch(TMessage& Message)
{
  switch (Message.Msg) {
  case Win::WM_PAINT:
    WMPaint(Message);
    return;
  case CM_MOUSEENTER:
  case CM_MOUSELEAVE:
    if (Message.LParam == 0) {
      FMouseInControl = Message.Msg == CM_MOUSEENTER;
      Invalidate();
    }
    break;
  default:
    break;
  }
  inherited::Dispatch(Message);
}

// ---- published ----------------------------------------------------------------------------

QX_PUBLISHED(TComboItem)
{
  Property("Caption", &T::Caption, &T::SetCaption).Default(String());
  Property("ImageIndex", &T::ImageIndex, &T::SetImageIndex).Default(-1);
}

QX_PUBLISHED_CONTROL(THoldCombobox)
{
  for (const char* name :
       {"Anchors", "BiDiMode", "Constraints", "DragCursor", "DragKind", "DragMode", "Enabled", "ParentFont", "Font",
        "ParentBiDiMode", "ParentShowHint", "PopupMenu", "ShowHint", "TabOrder", "Visible", "OnClick",
        "OnContextPopup", "OnDblClick", "OnDragDrop", "OnDragOver", "OnEndDock", "OnEndDrag", "OnExit", "OnKeyDown",
        "OnKeyPress", "OnKeyUp", "OnMouseActivate", "OnMouseDown", "OnMouseEnter", "OnMouseLeave", "OnMouseMove",
        "OnMouseUp", "OnStartDock", "OnStartDrag", "ParentDoubleBuffered", "DoubleBuffered", "ParentCtl3D", "Ctl3D",
        "Touch", "OnGesture"})
    Publish(name);
  Publish("Align").Default(alClient);
  Publish("AutoSize").Default(false);
  // The parent switch before the colour, so that a stored colour wins.
  Publish("ParentColor").Default(true);
  Publish("Color").Default(clWindow);
  Publish("TabStop").Default(true);
  Property("Items", &T::Items, &T::SetComboItems);
  Property("Images", &T::Images, &T::SetImages);
  Property("ItemIndex", &T::ItemIndex, &T::SetItemIndex);
  Event("OnChange", &T::OnChange);
}

} // namespace Quorex
