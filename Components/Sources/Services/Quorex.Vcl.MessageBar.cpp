#include "Quorex.Vcl.MessageBar.hpp"

#include <Quorex.Vcl.ControlProperties.hpp>

#include <algorithm>

namespace Quorex {

using namespace Vcl;

namespace {

// Posted to the bar: the buttons it retired may go now, their clicks over.
constexpr Win::UINT QM_RELEASEBUTTONS = Win::WM_USER + 0x51;

// The labels' panel. The labels may grow or shrink at any time (a new font,
// a new width): once they are in place, the bar is told.
class TTextPanel : public TQxPanel {
public:
  TTextPanel(TComponent* AOwner, std::function<void()> AOnAligned)
    : TQxPanel(AOwner), FOnAligned(std::move(AOnAligned))
  {
  }

protected:
  void AlignControls(TControl* AControl, TRect& Rect) override
  {
    inherited::AlignControls(AControl, Rect);
    FOnAligned();
  }

private:
  std::function<void()> FOnAligned;
};

} // namespace

TQxIconType MessageTypeToIconType(TMessageType MessageType)
{
  switch (MessageType) {
  case mtQuestion:
    return itQuestion;
  case mtWarning:
    return itWarning;
  case mtError:
    return itError;
  default:
    return itInformation;
  }
}

TQxCustomMessageBar::TQxCustomMessageBar(TComponent* AOwner)
  : TQxCustomControl(AOwner), FSystemIcons(std::make_unique<TQxSystemIconList>())
{
  FSystemIcons->FillList();
  SetAutoSize(true);
  SetAlign(alTop);
  SetParentFont(true);
  PrepareControls();
}

TQxCustomMessageBar::~TQxCustomMessageBar()
{
  Destroying();
  // Dropping the subscriber ends the subscription.
  FOnMessageChange.reset();
  if (FMessage)
    FMessage->RemoveFreeNotification(this);
  if (FImages)
    FImages->RemoveFreeNotification(this);
  FButtons.clear();
  FRetiredButtons.clear();
  FImage->SetImages(nullptr);
}

void TQxCustomMessageBar::PrepareControls()
{
  FImage = new TQxImage(this);
  FImage->SetParent(this);
  FImage->SetAutoSize(true);
  FImage->SetBounds(0, 0, FImage->Width(), FImage->Height());
  FImage->SetAlign(alLeft);
  // Shown only for an icon of a message.
  FImage->SetVisible(false);

  FTextPanel = new TTextPanel(this, [this] { TextResized(); });
  FTextPanel->SetParent(this);
  FTextPanel->SetAlign(alClient);

  FTitle = new THtmlLabel(FTextPanel);
  FTitle->SetParent(FTextPanel);
  FTitle->SetAutoHeight(true);
  FTitle->SetAlign(alTop);
  ApplyTitleFont();

  FText = new THtmlLabel(FTextPanel);
  FText->SetParent(FTextPanel);
  FText->SetWordBreak(true);
  FText->SetAutoHeight(true);
  FText->SetAutoWidth(false);
  FText->SetTop(FTitle->Top() + FTitle->Height());
  FText->SetAlign(alTop);

  FButtonsPanel = new TQxLayoutPanel(this);
  FButtonsPanel->SetParent(this);
  FButtonsPanel->SetAutoSize(true);
  FButtonsPanel->SetAlign(alRight);
  FButtonsPanel->SetVisible(false);
  FPrepared = true;
}

void TQxCustomMessageBar::ApplyTitleFont()
{
  FTitle->Font()->Assign(Font());
  FTitle->Font()->SetSize(Font()->Size() + TitleSizeIncrease);
  FTitle->Font()->SetColor(TitleColor);
}

void TQxCustomMessageBar::SetMessage(TQxMessage* Value)
{
  if (FMessage && FMessage != Value)
    FMessage->RemoveFreeNotification(this);
  FMessage = Value;
  // The previous subscriber goes with its subscription.
  FOnMessageChange =
    std::make_shared<TMessageChangeSubscriber>([this](TQxCustomMessage* Sender) { MessageChangeHandler(Sender); });
  if (FMessage) {
    FMessage->FreeNotification(this);
    FMessage->OnChange()->Subscribe(FOnMessageChange.get());
  }
  ApplyMessage(FMessage);
  if (!ComponentState().Contains(csDesigning))
    SetVisible(FMessage != nullptr);
}

void TQxCustomMessageBar::SetImages(TCustomImageList* Value)
{
  if (FImages == Value)
    return;
  if (FImages)
    FImages->RemoveFreeNotification(this);
  FImages = Value;
  if (FImages)
    FImages->FreeNotification(this);
  ApplyMessage(FMessage);
}

void TQxCustomMessageBar::MessageChangeHandler(TQxCustomMessage* Sender)
{
  (void)Sender;
  if (FMessage)
    ApplyMessage(FMessage);
}

void TQxCustomMessageBar::ApplyMessage(TQxCustomMessage* Msg)
{
  const auto redraw = ScopedRedrawLock();
  FTitle->SetCaption(Msg ? Msg->Title() : String());
  FText->SetCaption(Msg ? Msg->Text() : String());
  ShowImage(Msg);
  CreateButtons(Msg);
  Realign();
  AdjustSize();
}

void TQxCustomMessageBar::ShowImage(TQxCustomMessage* Msg)
{
  Integer index = -1;
  if (Msg && Msg->MessageType() != mtCustom) {
    FImage->SetImages(FSystemIcons.get());
    index = FSystemIcons->GetIndex(MessageTypeToIconType(Msg->MessageType()));
  } else {
    FImage->SetImages(FImages);
    index = Msg && FImages ? Msg->ImageIndex() : -1;
  }
  FImage->SetImageIndex(index);
  FImage->SetVisible(index >= 0);
}

void TQxCustomMessageBar::CreateButtons(TQxCustomMessage* Msg)
{
  RetireButtons();
  if (Msg)
    for (Integer i = 0; i < Msg->Actions()->Count(); ++i)
      // An item without an action (none yet, or freed) has nothing to show.
      if (Msg->Actions()->Items(i)->Action())
        CreateButton(Msg->Actions()->Items(i));
  FButtonsPanel->SetVisible(!FButtons.empty());
  FButtonsPanel->RearrangeControls();
}

void TQxCustomMessageBar::CreateButton(const TQxMessageActionItem* Item)
{
  // The panel lines its children up by their Left: each new one goes right
  // of the one before it.
  const Integer left = FButtons.empty() ? 0 : FButtons.back()->Left() + FButtons.back()->Width();
  auto button = std::make_unique<TQxButton>(this);
  TQxButton* b = button.get();
  FButtons.push_back(std::move(button));
  b->SetLeft(left);
  b->SetParent(FButtonsPanel);
  b->SetAction(Item->Action());
  b->SetElevationRequired(Item->ElevationRequired());
  b->SetAutoSize(true);
}

// The message may change inside an action that a button of this bar runs:
// that button must outlive its click, so old buttons are hidden now and
// freed from the message loop, once every click has returned.
void TQxCustomMessageBar::RetireButtons()
{
  if (FButtons.empty())
    return;
  for (auto& button : FButtons) {
    button->SetVisible(false);
    FRetiredButtons.push_back(std::move(button));
  }
  FButtons.clear();
  if (HandleAllocated())
    Win::PostMessage(Handle(), QM_RELEASEBUTTONS, 0, 0);
  else
    ReleaseRetiredButtons();
}

void TQxCustomMessageBar::ReleaseRetiredButtons()
{
  std::vector<std::unique_ptr<TQxButton>> retired;
  retired.swap(FRetiredButtons);
}

void TQxCustomMessageBar::TextResized()
{
  if (FPrepared && AutoSize() && !ComponentState().Contains(csDestroying))
    AdjustSize();
}

bool TQxCustomMessageBar::CanAutoSize(Integer& NewWidth, Integer& NewHeight)
{
  (void)NewWidth;
  if (!FPrepared || ComponentState().Contains(csLoading))
    return true;
  // Never shorter than the icon: a short text would cut it off.
  Integer bottom = FText->Top() + FText->Height();
  if (FImage->Visible())
    bottom = std::max(bottom, FImage->Top() + FImage->Height());
  NewHeight = bottom + (Height() - ClientHeight());
  return true;
}

// The icon at the left with a gap after it, the buttons at the right with a
// gap after them, the texts in between.
void TQxCustomMessageBar::AlignControls(TControl* AControl, TRect& Rect)
{
  (void)AControl;
  if (!FPrepared)
    return;
  Integer left = Rect.Left;
  Integer right = Rect.Right;
  if (FImage->Visible()) {
    FImage->SetBounds(left, Rect.Top, FImage->Width(), FImage->Height());
    left += FImage->Width() + ImageMargin;
  }
  if (FButtonsPanel->Visible()) {
    right -= ButtonsMargin;
    FButtonsPanel->SetBounds(right - FButtonsPanel->Width(), Rect.Top, FButtonsPanel->Width(), Rect.Height());
    right = FButtonsPanel->Left();
  }
  FTextPanel->SetBounds(left, Rect.Top, std::max(right - left, 0), Rect.Height());
}

void TQxCustomMessageBar::Notification(TComponent* AComponent, TOperation Operation)
{
  inherited::Notification(AComponent, Operation);
  if (Operation != opRemove || ComponentState().Contains(csDestroying))
    return;
  if (AComponent == FMessage) {
    FMessage = nullptr;
    SetMessage(nullptr);
  } else if (AComponent == FImages) {
    FImages = nullptr;
    ApplyMessage(FMessage);
  }
}

void TQxCustomMessageBar::Paint()
{
  if (!ComponentState().Contains(csDesigning))
    return;
  TCanvas* canvas = Canvas();
  canvas->Pen()->SetColor(clBlack);
  canvas->Pen()->SetStyle(psDot);
  canvas->Brush()->SetStyle(bsClear);
  canvas->Rectangle(ClientRect());
}

void TQxCustomMessageBar::Dispatch(TMessage& Message)
{
  switch (Message.Msg) {
  case QM_RELEASEBUTTONS:
    ReleaseRetiredButtons();
    return;
  case CM_FONTCHANGED:
    inherited::Dispatch(Message);
    ApplyTitleFont();
    return;
  default:
    inherited::Dispatch(Message);
  }
}

QX_PUBLISHED_CONTROL(TQxMessageBar)
{
  Publish("Align").Default(alTop);
  Publish("AutoSize").Default(true);
  for (const char* name : {"Anchors", "Constraints"})
    Publish(name);
  Publish("ParentColor").Default(true);
  Publish("Color").Default(clWindow);
  Publish("ParentFont").Default(true);
  Publish("Font");
  for (const char* name : {"Enabled", "PopupMenu", "ParentShowHint", "ShowHint", "TabOrder", "Visible"})
    Publish(name);
  Publish("ParentDoubleBuffered");
  Publish("DoubleBuffered");
  Property("Images", &T::Images, &T::SetImages);
  Property("Message", &T::Message, &T::SetMessage);
}

} // namespace Quorex
