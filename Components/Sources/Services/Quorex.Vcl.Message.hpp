// A message for the user: a title, a markup text, a kind, an image and the
// actions the user may take. It shows nothing itself; displays subscribe to
// OnChange and are told of every change.
#pragma once

#include "Quorex.System.Events.hpp"

#include <System.TypInfo.hpp>
#include <Vcl.ActnList.hpp>

namespace Quorex {

using Vcl::Integer;
using Vcl::String;

enum class TMessageType { mtCustom, mtQuestion, mtInformation, mtWarning, mtError };
using enum TMessageType;
QX_ENUM_NAMES(TMessageType, mtCustom, mtQuestion, mtInformation, mtWarning, mtError)

class TQxCustomMessage;
class TQxMessageActionCollection;

class TQxMessageActionItem : public Vcl::TCollectionItem {
  QX_CLASS(TQxMessageActionItem, Vcl::TCollectionItem)
public:
  explicit TQxMessageActionItem(Vcl::TCollection* Collection) : Vcl::TCollectionItem(Collection) {}
  void Assign(const Vcl::TPersistent* Source) override;

  // Referred to, not owned: the item lets go when the action is freed.
  Vcl::TAction* Action() const { return FAction; }
  void SetAction(Vcl::TAction* Value);
  // The display marks the action's button as needing administrator rights.
  bool ElevationRequired() const { return FElevationRequired; }
  void SetElevationRequired(bool Value) { FElevationRequired = Value; }

private:
  friend class TQxCustomMessage;
  TQxCustomMessage* Message() const;

  Vcl::TAction* FAction = nullptr;
  bool FElevationRequired = false;
};

class TQxMessageActionCollection : public Vcl::TCollection {
  QX_CLASS(TQxMessageActionCollection, Vcl::TCollection)
public:
  explicit TQxMessageActionCollection(TQxCustomMessage* AMessage);
  Vcl::TPersistent* GetOwner() const override;
  TQxCustomMessage* Message() const { return FMessage; }

  TQxMessageActionItem* Add() { return static_cast<TQxMessageActionItem*>(Vcl::TCollection::Add()); }
  TQxMessageActionItem* Items(Integer Index) const
  {
    return static_cast<TQxMessageActionItem*>(Vcl::TCollection::Items(Index));
  }
  TQxMessageActionItem* operator[](Integer Index) const { return Items(Index); }

private:
  TQxCustomMessage* FMessage;
};

using TMessageChangeSubscriber = TEventSubscriber<TQxCustomMessage>;

class TQxCustomMessage : public Vcl::TComponent {
  QX_CLASS(TQxCustomMessage, Vcl::TComponent)
public:
  explicit TQxCustomMessage(Vcl::TComponent* AOwner);
  ~TQxCustomMessage() override;

  // Every setter notifies, also when the value stays the same.
  const String& Title() const { return FTitle; }
  void SetTitle(const String& Value);
  const String& Text() const { return FText; }
  void SetText(const String& Value);
  Integer ImageIndex() const { return FImageIndex; }
  void SetImageIndex(Integer Value);
  TMessageType MessageType() const { return FMessageType; }
  void SetMessageType(TMessageType Value);
  // Adding, deleting or reordering items does not notify; setting an item's
  // action does.
  TQxMessageActionCollection* Actions() const { return FActions.get(); }
  void SetActions(const TQxMessageActionCollection* Value) { FActions->Assign(Value); }

  const std::shared_ptr<IEventPublisher<TQxCustomMessage>>& OnChange() const { return FOnChange; }
  void Changed();

protected:
  void Notification(Vcl::TComponent* AComponent, Vcl::TOperation Operation) override;

private:
  friend class TQxMessageActionItem;
  void ActionAssigned(Vcl::TAction* Action);

  String FTitle;
  String FText;
  Integer FImageIndex = -1;
  std::unique_ptr<TQxMessageActionCollection> FActions;
  std::shared_ptr<IEventPublisher<TQxCustomMessage>> FOnChange;
  TMessageType FMessageType = mtCustom;
};

class TQxMessage : public TQxCustomMessage {
  QX_CLASS(TQxMessage, TQxCustomMessage)
public:
  using TQxCustomMessage::TQxCustomMessage;
};

} // namespace Quorex
