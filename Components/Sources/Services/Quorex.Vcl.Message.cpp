#include "Quorex.Vcl.Message.hpp"

namespace Quorex {

using namespace Vcl;

// ---- action items ---------------------------------------------------------------------------

TQxCustomMessage* TQxMessageActionItem::Message() const
{
  auto* actions = static_cast<TQxMessageActionCollection*>(Collection());
  return actions ? actions->Message() : nullptr;
}

void TQxMessageActionItem::Assign(const TPersistent* Source)
{
  const auto* item = dynamic_cast<const TQxMessageActionItem*>(Source);
  if (!item) {
    inherited::Assign(Source);
    return;
  }
  SetAction(item->FAction);
  FElevationRequired = item->FElevationRequired;
}

void TQxMessageActionItem::SetAction(TAction* Value)
{
  FAction = Value;
  TQxCustomMessage* message = Message();
  if (!message)
    return;
  message->ActionAssigned(Value);
  message->Changed();
}

TQxMessageActionCollection::TQxMessageActionCollection(TQxCustomMessage* AMessage)
  : TCollection(&TQxMessageActionItem::StaticClass()), FMessage(AMessage)
{
}

TPersistent* TQxMessageActionCollection::GetOwner() const
{
  return FMessage;
}

// ---- message --------------------------------------------------------------------------------

TQxCustomMessage::TQxCustomMessage(TComponent* AOwner)
  : TComponent(AOwner), FActions(std::make_unique<TQxMessageActionCollection>(this)),
    FOnChange(std::make_shared<TEventPublisher<TQxCustomMessage>>())
{
}

TQxCustomMessage::~TQxCustomMessage() = default;

void TQxCustomMessage::SetTitle(const String& Value)
{
  FTitle = Value;
  Changed();
}

void TQxCustomMessage::SetText(const String& Value)
{
  FText = Value;
  Changed();
}

void TQxCustomMessage::SetImageIndex(Integer Value)
{
  FImageIndex = Value;
  Changed();
}

void TQxCustomMessage::SetMessageType(TMessageType Value)
{
  FMessageType = Value;
  Changed();
}

void TQxCustomMessage::Changed()
{
  // Held for the walk: a handler may free the message.
  std::shared_ptr<IEventPublisher<TQxCustomMessage>> publisher = FOnChange;
  publisher->FireEvent(this);
}

void TQxCustomMessage::ActionAssigned(TAction* Action)
{
  if (Action)
    Action->FreeNotification(this);
}

// An action freed elsewhere leaves every item that named it; the displays
// hear of it unless the message itself is going.
void TQxCustomMessage::Notification(TComponent* AComponent, TOperation Operation)
{
  inherited::Notification(AComponent, Operation);
  if (Operation != opRemove)
    return;
  bool cleared = false;
  for (Integer i = 0; i < FActions->Count(); ++i) {
    TQxMessageActionItem* item = FActions->Items(i);
    if (item->FAction != AComponent)
      continue;
    item->FAction = nullptr;
    cleared = true;
  }
  if (cleared && !ComponentState().Contains(csDestroying))
    Changed();
}

QX_PUBLISHED(TQxMessageActionItem)
{
  Property("Action", &T::Action, &T::SetAction);
  Property("ElevationRequired", &T::ElevationRequired, &T::SetElevationRequired).Default(false);
}

QX_PUBLISHED(TQxMessage)
{
  Property("Actions", &T::Actions, &T::SetActions);
  Property("ImageIndex", &T::ImageIndex, &T::SetImageIndex).Default(-1);
  Property("MessageType", &T::MessageType, &T::SetMessageType).Default(mtCustom);
  Property("Text", &T::Text, &T::SetText);
  Property("Title", &T::Title, &T::SetTitle);
}

} // namespace Quorex
