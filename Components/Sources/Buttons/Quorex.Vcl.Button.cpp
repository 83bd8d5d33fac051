#include "Quorex.Vcl.Button.hpp"

#include "Quorex.Vcl.Button.FlatPainter.hpp"
#include "Quorex.Vcl.Button.GlassPainter.hpp"
#include "Quorex.Vcl.Button.SolidPainter.hpp"
#include "Quorex.Vcl.Button.StandardPainter.hpp"
#include "Quorex.Vcl.Button.StaticPainter.hpp"

#include <Quorex.Vcl.ControlProperties.hpp>

#include <Vcl.Forms.hpp>
#include <Vcl.ImgList.Link.hpp>
#include <Win.Gdi.Guards.hpp>

namespace Quorex {

using namespace Vcl;

namespace {

// The click that closes an open menu over the button must not open it again.
constexpr Win::DWORD MenuReopenGuardMs = 300;

bool IsPressKey(Word Key)
{
  return Key == Win::VK_RETURN || Key == Win::VK_SPACE;
}

bool IsArrowKey(Word Key)
{
  return Key == Win::VK_UP || Key == Win::VK_DOWN;
}

// Holds the flag set for its life, also when what runs meanwhile raises.
class TFlagHeld {
public:
  explicit TFlagHeld(bool& Flag) : FFlag(Flag) { FFlag = true; }
  ~TFlagHeld() { FFlag = false; }
  TFlagHeld(const TFlagHeld&) = delete;
  TFlagHeld& operator=(const TFlagHeld&) = delete;

private:
  bool& FFlag;
};

} // namespace

std::unique_ptr<TQxButtonPainter> CreateButtonPainter(TQxButtonTheme Theme)
{
  switch (Theme) {
  case btFlat:
    return std::make_unique<TQxButtonFlatPainter>();
  case btGlass:
    return std::make_unique<TQxButtonGlassPainter>();
  case btSolid:
    return std::make_unique<TQxButtonSolidPainter>();
  case btStatic:
    return std::make_unique<TQxButtonStaticPainter>();
  case btStandard:
    break;
  }
  return std::make_unique<TQxButtonStandardPainter>();
}

// Ends the drop-down state when the modal menu returns or raises, unless a
// handler freed the button meanwhile.
class TMenuClosed {
public:
  explicit TMenuClosed(TQxCustomButton* Button) : FButton(Button), FAlive(Button->Liveness()) {}
  ~TMenuClosed()
  {
    if (!FAlive.expired())
      FButton->MenuClosed();
  }
  TMenuClosed(const TMenuClosed&) = delete;
  TMenuClosed& operator=(const TMenuClosed&) = delete;

private:
  TQxCustomButton* FButton;
  std::weak_ptr<bool> FAlive;
};

TQxCustomButton::TQxCustomButton(TComponent* AOwner)
  : TQxCustomControl(AOwner), FPainter(CreateButtonPainter(btStandard)),
    FImageChangeLink(std::make_unique<TChangeLink>()), FImageMargins(std::make_unique<TImageMargins>())
{
  FControlStyle = {csCaptureMouse, csClickEvents, csSetCaption};
  SetBounds(0, 0, 75, 25);
  SetTabStop(true);
  FImageChangeLink->OnChange = [this](TObject* Sender) { ImageListChange(Sender); };
  FImageMargins->OnChange = [this](TObject* Sender) { ImageMarginsChange(Sender); };
}

TQxCustomButton::~TQxCustomButton()
{
  Destroying();
  FImageChangeLink.reset();
  FImageMargins.reset();
  FPainter.reset();
}

// ---- properties --------------------------------------------------------------------------------

void TQxCustomButton::ContentChanged()
{
  AdjustSize();
  Invalidate();
}

void TQxCustomButton::SetButtonTheme(TQxButtonTheme Value)
{
  if (FButtonTheme == Value)
    return;
  FPainter = CreateButtonPainter(Value);
  FButtonTheme = Value;
  ContentChanged();
}

void TQxCustomButton::SetButtonStyle(TQxButtonStyle Value)
{
  if (FButtonStyle == Value)
    return;
  FButtonStyle = Value;
  ContentChanged();
}

void TQxCustomButton::SetWordWrap(bool Value)
{
  if (FWordWrap == Value)
    return;
  FWordWrap = Value;
  Invalidate();
}

void TQxCustomButton::SetImages(TCustomImageList* Value)
{
  if (LinkImageList(FImages, Value, FImageChangeLink.get(), this))
    ContentChanged();
}

void TQxCustomButton::SetImageIndex(TImageIndex Value)
{
  FImageIndex = Value;
  ContentChanged();
}

void TQxCustomButton::SetImageAlignment(TImageAlignment Value)
{
  FImageAlignment = Value;
  ContentChanged();
}

void TQxCustomButton::SetChecked(bool Value)
{
  if (FChecked == Value)
    return;
  FChecked = Value;
  Invalidate();
}

void TQxCustomButton::SetDropDownMenu(TPopupMenu* Value)
{
  if (FDropDownMenu == Value)
    return;
  if (FDropDownMenu)
    FDropDownMenu->RemoveFreeNotification(this);
  FDropDownMenu = Value;
  if (FDropDownMenu)
    FDropDownMenu->FreeNotification(this);
}

void TQxCustomButton::SetElevationRequired(bool Value)
{
  if (FElevationRequired == Value)
    return;
  FElevationRequired = Value;
  ContentChanged();
}

void TQxCustomButton::SetShowCaption(bool Value)
{
  if (FShowCaption == Value)
    return;
  FShowCaption = Value;
  ContentChanged();
}

void TQxCustomButton::SetButtonColor(TColor Value)
{
  FButtonColor = Value;
  Invalidate();
}

// With an action the action decides.
void TQxCustomButton::InternalSetChecked(bool Value)
{
  if (!Action() && FAutoCheck)
    SetChecked(Value);
}

void TQxCustomButton::SetCheckedQuietly(bool Value)
{
  const TFlagHeld held(FClicksDisabled);
  SetChecked(Value);
}

void TQxCustomButton::ImageListChange(TObject* Sender)
{
  (void)Sender;
  ContentChanged();
}

void TQxCustomButton::ImageMarginsChange(TObject* Sender)
{
  (void)Sender;
  ContentChanged();
}

bool TQxCustomButton::IsCheckedStored() const
{
  return !ActionLink() || !ActionLink()->IsCheckedLinked();
}

bool TQxCustomButton::IsImageIndexStored() const
{
  return !ActionLink() || !ActionLink()->IsImageIndexLinked();
}

// ---- the action ----------------------------------------------------------------------------------

TControlActionLinkClass TQxCustomButton::GetActionLinkClass() const
{
  return ActionLinkClassOf<TQxButtonActionLink>;
}

void TQxCustomButton::ActionChange(TObject* Sender, bool CheckDefaults)
{
  inherited::ActionChange(Sender, CheckDefaults);
  auto* action = dynamic_cast<TCustomAction*>(Sender);
  if (!action)
    return;
  if (!CheckDefaults || !FChecked)
    SetCheckedQuietly(action->Checked());
  if (!CheckDefaults || FImageIndex == -1)
    SetImageIndex(action->ImageIndex());
}

void TQxButtonActionLink::AssignClient(TObject* AClient)
{
  inherited::AssignClient(AClient);
  FClient = dynamic_cast<TQxCustomButton*>(AClient);
  QX_ASSERT(FClient, "Quorex.Vcl.Button");
}

bool TQxButtonActionLink::IsCheckedLinked() const
{
  return inherited::IsCheckedLinked() && FClient->Checked() == CustomAction()->Checked();
}

bool TQxButtonActionLink::IsImageIndexLinked() const
{
  return inherited::IsImageIndexLinked() && FClient->ImageIndex() == CustomAction()->ImageIndex();
}

void TQxButtonActionLink::SetChecked(bool Value)
{
  if (IsCheckedLinked())
    FClient->SetCheckedQuietly(Value);
}

void TQxButtonActionLink::SetImageIndex(Integer Value)
{
  if (IsImageIndexLinked())
    FClient->SetImageIndex(Value);
}

void TQxCustomButton::Notification(TComponent* AComponent, TOperation Operation)
{
  inherited::Notification(AComponent, Operation);
  if (Operation != opRemove)
    return;
  if (AComponent == FDropDownMenu)
    FDropDownMenu = nullptr;
  if (AComponent == FImages)
    FImages = nullptr;
}

// ---- painting and size -------------------------------------------------------------------------

TQxButtonViewStyle TQxCustomButton::ViewStyle() const
{
  switch (FButtonStyle) {
  case bsDropDownButton:
    return bvsDropDown;
  case bsSplitButton:
    return bvsSplit;
  case bsPushButton:
  case bsCheckButton:
    break;
  }
  return bvsNormal;
}

void TQxCustomButton::AssignPainter(TCanvas* Canvas)
{
  TQxButtonPainter& p = *FPainter;
  p.FCanvas = Canvas;
  p.FCaption = FShowCaption ? Caption() : String();
  p.FRect = ClientRect();
  p.FWordWrap = FWordWrap;
  p.FImages = FImages;
  p.FImageAlignment = FImageAlignment;
  p.FImageIndex = FImageIndex;
  p.FImageMargins = FImageMargins.get();
  p.FFont = Font();
  p.FElevationRequired = FElevationRequired;
  p.FColor = FButtonColor;
  p.FTransparent = Transparent();
  p.FFocused = Focused();
  p.FStyle = ViewStyle();
  if (!Enabled()) {
    p.FState = p.FSplitState = uicsDisabled;
    return;
  }
  if (FButtonStyle == bsCheckButton && FChecked) {
    p.FState = uicsPressed;
    return;
  }
  p.FState = FState;
  p.FSplitState = FSplitState;
}

void TQxCustomButton::Paint()
{
  inherited::Paint();
  AssignPainter(Canvas());
  FPainter->Paint();
}

// Measured on a memory context of its own: the control's canvas has no
// device context before the button has a parent window.
bool TQxCustomButton::CanAutoSize(Integer& NewWidth, Integer& NewHeight)
{
  if (FWordWrap)
    return true;
  const Win::TMemoryDC memory(nullptr, 1, 1);
  TCanvas canvas;
  canvas.SetHandle(memory.DC());
  AssignPainter(&canvas);
  const TSize size = FPainter->GetMinimalSize();
  canvas.SetHandle(nullptr);
  FPainter->FCanvas = nullptr;
  NewWidth = size.cx;
  NewHeight = size.cy;
  return true;
}

// ---- state ---------------------------------------------------------------------------------------

void TQxCustomButton::SetStates(TUIControlState Value)
{
  FState = Value;
  FSplitState = Value;
  Invalidate();
}

void TQxCustomButton::Settle(bool Hot)
{
  SetStates(Hot ? uicsHot : uicsNormal);
}

bool TQxCustomButton::InArrowArea(TPoint P) const
{
  FPainter->FRect = ClientRect();
  FPainter->FStyle = ViewStyle();
  return FPainter->GetArrowAreaRect().Contains(P);
}

void TQxCustomButton::Click()
{
  const std::weak_ptr<bool> alive = Liveness();
  if (TCustomForm* form = GetParentForm(this, false))
    form->SetModalResult(FModalResult);
  if (FButtonStyle == bsCheckButton)
    InternalSetChecked(!FChecked);
  else if (FButtonStyle == bsDropDownButton)
    DisplayDropDown();
  if (alive.expired())
    return;
  inherited::Click();
}

// ---- the drop-down menu ------------------------------------------------------------------------

bool TQxCustomButton::NeedShowMenu() const
{
  return !FLastMenuTime || Win::DWORD(Win::GetTickCount() - *FLastMenuTime) > MenuReopenGuardMs;
}

void TQxCustomButton::SaveLastMenuCall()
{
  FLastMenuTime = Win::GetTickCount();
}

void TQxCustomButton::MenuClosed()
{
  SaveLastMenuCall();
  FPopupDropped = false;
  SetStates(uicsNormal);
}

void TQxCustomButton::DisplayDropDown()
{
  const std::weak_ptr<bool> alive = Liveness();
  if (OnDropDownClick) {
    OnDropDownClick(this);
    if (alive.expired())
      return;
  }
  if (!FDropDownMenu || !NeedShowMenu())
    return;
  const TPoint anchor = ClientToScreen(FDropDownMenu->AnchorBelow(ClientRect()));
  FPopupDropped = true;
  const TMenuClosed closed(this);
  FDropDownMenu->Popup(anchor.X, anchor.Y);
}

// ---- mouse ---------------------------------------------------------------------------------------

void TQxCustomButton::WndProc(TMessage& Message)
{
  if (Message.Msg == Win::WM_LBUTTONDOWN || Message.Msg == Win::WM_LBUTTONDBLCLK) {
    TakeFocusOnPress(Message);
    if (Message.Msg == Win::WM_NULL)
      return;
  }
  inherited::WndProc(Message);
}

// Focus first, with command notifications ignored meanwhile. A press that
// should have taken the focus but did not is dropped (the message becomes
// WM_NULL); a button that cannot take the focus now still clicks.
void TQxCustomButton::TakeFocusOnPress(TMessage& Message)
{
  if (ComponentState().Contains(csDesigning) || Focused() || !FFocusable || !CanFocus())
    return;
  {
    const TFlagHeld held(FClicksDisabled);
    SetFocus();
  }
  if (!Focused())
    Message.Msg = Win::WM_NULL;
}

void TQxCustomButton::LeftButtonDown(const TMessage& Message)
{
  const TPoint p = MessagePos(Message);
  if (FButtonStyle != bsSplitButton || !InArrowArea(p)) {
    FIsPressed = true;
    SetStates(uicsPressed);
    return;
  }
  FIsSplitPressed = true;
  FSplitState = uicsPressed;
  FState = uicsHot;
  Invalidate();
  // The modal menu takes the mouse: the button lets go of it, and the
  // release that follows clicks nothing.
  FControlState.Exclude(csClicked);
  SetMouseCapture(false);
  DisplayDropDown();
}

// The framework's release handling with a liveness check: the click's
// handler may free the button, and then its mouse-up event is not raised.
void TQxCustomButton::LeftButtonUp(TMessage& Message)
{
  const TPoint p = MessagePos(Message);
  FPainter->FRect = ClientRect();
  FPainter->FStyle = ViewStyle();
  if (!FPainter->GetMainButtonRect().Contains(p))
    FControlState.Exclude(csClicked);
  FIsPressed = false;
  Settle(FIsHot);
  const bool click = FControlState.Contains(csClicked);
  FControlState.Exclude(csClicked);
  if (click) {
    const std::weak_ptr<bool> alive = Liveness();
    Click();
    if (alive.expired())
      return;
  }
  if (!FControlStyle.Contains(csNoStdEvents))
    MouseUp(mbLeft, KeysToShiftState(Message.WParam), p.X, p.Y);
}

void TQxCustomButton::MouseMoved(const TMessage& Message)
{
  if (FPopupDropped)
    return;
  FIsHot = true;
  const TUIControlState s =
    FIsPressed && ClientRect().Contains(MessagePos(Message)) ? uicsPressed : uicsHot;
  if (FState != s)
    SetStates(s);
}

void TQxCustomButton::MouseLeft()
{
  if (FPopupDropped)
    return;
  FIsHot = false;
  Settle(FIsPressed);
}

// ---- keyboard ------------------------------------------------------------------------------------

bool TQxCustomButton::PreProcessMessage(Win::MSG& Msg)
{
  return Msg.message == Win::WM_KEYDOWN && KeyPressed(Word(Msg.wParam));
}

// True when the key is used up here.
bool TQxCustomButton::KeyPressed(Word Key)
{
  switch (FButtonStyle) {
  case bsDropDownButton:
    if (!IsPressKey(Key) && !IsArrowKey(Key))
      return false;
    FIsPressed = true;
    FState = uicsPressed;
    Invalidate();
    KeyboardDropDown();
    return true;
  case bsSplitButton:
    if (IsArrowKey(Key)) {
      FIsSplitPressed = true;
      FSplitState = uicsPressed;
      FState = uicsHot;
      Invalidate();
      KeyboardDropDown();
      return true;
    }
    if (!IsPressKey(Key))
      return false;
    FIsPressed = true;
    FState = uicsPressed;
    Invalidate();
    return true;
  case bsPushButton:
  case bsCheckButton:
    if (IsPressKey(Key)) {
      FIsPressed = true;
      FState = uicsPressed;
      Invalidate();
    }
    return false;
  }
  return false;
}

// The press ends with the drop-down, menu or not, so the key's release
// that follows clicks nothing.
void TQxCustomButton::KeyboardDropDown()
{
  const std::weak_ptr<bool> alive = Liveness();
  DisplayDropDown();
  if (alive.expired())
    return;
  FIsPressed = false;
  FIsSplitPressed = false;
  SetStates(uicsNormal);
}

void TQxCustomButton::KeyReleased(const TMessage& Message)
{
  const auto key = Word(Message.WParam);
  if (!IsPressKey(key) && !IsArrowKey(key) && key != Win::VK_ESCAPE)
    return;
  if (FState != uicsPressed && FSplitState != uicsPressed)
    return;
  if (IsPressKey(key)) {
    const std::weak_ptr<bool> alive = Liveness();
    Click();
    if (alive.expired())
      return;
  }
  FIsPressed = false;
  FIsSplitPressed = false;
  Settle(FIsHot);
}

void TQxCustomButton::DialogKey(TMessage& Message)
{
  if (Message.WParam == Win::VK_ESCAPE && KeyDataToShiftState(Message.LParam).Empty() && FCancel && CanFocus()) {
    Message.Result = 1;
    Click();
    return;
  }
  inherited::Dispatch(Message);
}

void TQxCustomButton::DialogChar(TMessage& Message)
{
  if (IsAccel(Word(Message.WParam), Caption()) && CanFocus()) {
    Message.Result = 1;
    Click();
    return;
  }
  inherited::Dispatch(Message);
}

// ---- messages ------------------------------------------------------------------------------------

void TQxCustomButton::Dispatch(TMessage& Message)
{
  switch (Message.Msg) {
  case Win::WM_LBUTTONDOWN: {
    const std::weak_ptr<bool> alive = Liveness();
    inherited::Dispatch(Message);
    if (!alive.expired())
      LeftButtonDown(Message);
    return;
  }
  case Win::WM_LBUTTONUP:
    LeftButtonUp(Message);
    return;
  case Win::WM_MOUSEMOVE:
    inherited::Dispatch(Message);
    MouseMoved(Message);
    return;
  case CM_MOUSELEAVE:
    inherited::Dispatch(Message);
    MouseLeft();
    return;
  case Win::WM_KEYUP: {
    const std::weak_ptr<bool> alive = Liveness();
    inherited::Dispatch(Message);
    if (!alive.expired())
      KeyReleased(Message);
    return;
  }
  case CN_COMMAND:
    if (!FClicksDisabled)
      inherited::Dispatch(Message);
    return;
  case CM_WANTSPECIALKEY:
    // Enter on a drop-down or split button is the button's own key, never
    // the form's default button's.
    if (Message.WParam == Win::VK_RETURN && FButtonStyle != bsPushButton && FButtonStyle != bsCheckButton) {
      Message.Result = 1;
      return;
    }
    inherited::Dispatch(Message);
    return;
  case CM_DIALOGKEY:
    DialogKey(Message);
    return;
  case CM_DIALOGCHAR:
    DialogChar(Message);
    return;
  case CM_ENABLEDCHANGED:
  case CM_FOCUSCHANGED:
  case Win::WM_SETFOCUS:
  case Win::WM_KILLFOCUS:
    inherited::Dispatch(Message);
    Invalidate();
    return;
  case CM_TEXTCHANGED:
  case CM_FONTCHANGED:
    inherited::Dispatch(Message);
    ContentChanged();
    return;
  default:
    inherited::Dispatch(Message);
  }
}

QX_PUBLISHED_CONTROL(TQxButton)
{
  ControlProperties(alNone, true);
  for (const char* name : {"Action", "AlignWithMargins", "Margins", "Padding", "DoubleBuffered", "TabOrder", "OnEnter",
                           "OnExit", "OnKeyDown", "OnKeyPress", "OnKeyUp"})
    Publish(name);
  Publish("TabStop").Default(true);
  Publish("AutoSize").Default(false);
  Property("AutoCheck", &T::AutoCheck, &T::SetAutoCheck).Default(true);
  Property("ButtonColor", &T::ButtonColor, &T::SetButtonColor).As(pkColor).Default(TColor(0x00F2BC00));
  Property("ButtonStyle", &T::ButtonStyle, &T::SetButtonStyle).Default(bsPushButton);
  Property("ButtonTheme", &T::ButtonTheme, &T::SetButtonTheme).Default(btStandard);
  Property("Cancel", &T::Cancel, &T::SetCancel).Default(false);
  Property("Checked", &T::Checked, &T::SetChecked).Default(false).Stored(&TQxCustomButton::IsCheckedStored);
  Property("DropDownMenu", &T::DropDownMenu, &T::SetDropDownMenu);
  Property("ElevationRequired", &T::ElevationRequired, &T::SetElevationRequired).Default(false);
  Property("Focusable", &T::Focusable, &T::SetFocusable).Default(true);
  Property("ImageAlignment", &T::ImageAlignment, &T::SetImageAlignment).Default(iaLeft);
  Property("Images", &T::Images, &T::SetImages);
  Property("ImageIndex", &T::ImageIndex, &T::SetImageIndex)
    .Default(TImageIndex(-1))
    .Stored(&TQxCustomButton::IsImageIndexStored);
  Property("ImageMargins", &T::ImageMargins, &T::SetImageMargins);
  Property("ModalResult", &T::ModalResult, &T::SetModalResult).Default(TModalResult(mrNone));
  Property("ShowCaption", &T::ShowCaption, &T::SetShowCaption).Default(true);
  Property("Transparent", &T::Transparent, &T::SetTransparent).Default(false);
  Property("WordWrap", &T::WordWrap, &T::SetWordWrap).Default(false);
  Event("OnDropDownClick", &T::OnDropDownClick);
}

} // namespace Quorex
