// Change notification with weak subscribers: a publisher holds each of its
// subscribers only weakly, so a subscriber that goes away simply stops
// receiving events, with no need to unsubscribe. Subscribers live in
// std::shared_ptr; their weak references are std::weak_ptr on the closed
// runtime's weak-referenced object.
#pragma once

#include <QxRtl.Objects.hpp>
#include <System.SysUtils.hpp>

#include <functional>
#include <memory>
#include <vector>

namespace Quorex {

// The base of every object a TWeakReference may point at. It must be held by
// a std::shared_ptr when it is referred to: the references watch its owners.
using QxRtl::TWeakReferencedObject;

template <class T>
class IEventSubscriber {
public:
  virtual ~IEventSubscriber() = default;
  virtual void HandleEvent(T* Sender) = 0;
};

template <class T>
class IEventPublisher {
public:
  virtual ~IEventPublisher() = default;
  virtual void Subscribe(IEventSubscriber<T>* Subscriber) = 0;
  virtual void Unsubscribe(IEventSubscriber<T>* Subscriber) = 0;
  virtual void FireEvent(T* Sender) = 0;
};

template <class T>
class IWeakReference {
public:
  virtual ~IWeakReference() = default;
  virtual bool IsAlive() const = 0;
  // The target while it lives (kept alive as long as the result is held),
  // null after.
  virtual std::shared_ptr<T> Target() const = 0;
};

// Raised when a weak reference is asked for an object that is not a
// TWeakReferencedObject held by a std::shared_ptr.
[[noreturn]] void RaiseWeakReferenceTarget();

template <class T>
class TWeakReference : public IWeakReference<T> {
public:
  explicit TWeakReference(T* ATarget)
  {
    auto* object = dynamic_cast<TWeakReferencedObject*>(ATarget);
    if (!object || object->weak_from_this().expired())
      RaiseWeakReferenceTarget();
    FTarget = object->weak_from_this();
    FInterface = ATarget;
  }

  bool IsAlive() const override { return !FTarget.expired(); }
  std::shared_ptr<T> Target() const override
  {
    std::shared_ptr<TWeakReferencedObject> object = FTarget.lock();
    if (!object)
      return nullptr;
    return std::shared_ptr<T>(object, FInterface);
  }
  // Turns the reference dead at once.
  void Clear() { FTarget.reset(); }

private:
  std::weak_ptr<TWeakReferencedObject> FTarget;
  // The target as T, valid while FTarget lives: the interface is looked up
  // once, not at every event.
  T* FInterface = nullptr;
};

template <class T>
class TEventSubscriber : public TWeakReferencedObject, public IEventSubscriber<T> {
public:
  using THandler = std::function<void(T* Sender)>;

  explicit TEventSubscriber(THandler AHandler) : FHandler(std::move(AHandler)) {}
  void HandleEvent(T* Sender) override
  {
    if (FHandler)
      FHandler(Sender);
  }

private:
  THandler FHandler;
};

template <class T>
class TEventPublisher : public IEventPublisher<T> {
public:
  // Dead references go first; a subscriber added twice is notified twice.
  // A subscriber that cannot be referred to weakly raises, and the list
  // stays as the purge left it.
  void Subscribe(IEventSubscriber<T>* Subscriber) override
  {
    std::erase_if(FSubscribers, [](const TReference& Ref) { return !Ref->IsAlive(); });
    FSubscribers.push_back(std::make_shared<TWeakReference<IEventSubscriber<T>>>(Subscriber));
  }

  // The first live reference to Subscriber goes; nothing when there is none.
  void Unsubscribe(IEventSubscriber<T>* Subscriber) override
  {
    for (auto it = FSubscribers.begin(); it != FSubscribers.end(); ++it) {
      if ((*it)->Target().get() != Subscriber)
        continue;
      // Dead at once, also for a FireEvent walking its copy of the list.
      (*it)->Clear();
      FSubscribers.erase(it);
      return;
    }
  }

  // Handlers may subscribe, unsubscribe or release subscribers (even free
  // the publisher): the walk goes over a copy of the list taken first, asks
  // each reference for its target only when its turn comes, and holds that
  // target while it handles the event. Dead ones are skipped.
  void FireEvent(T* Sender) override
  {
    const std::vector<TReference> snapshot = FSubscribers;
    for (const TReference& ref : snapshot)
      if (std::shared_ptr<IEventSubscriber<T>> subscriber = ref->Target())
        subscriber->HandleEvent(Sender);
  }

  Vcl::Integer SubscriberCount() const { return Vcl::Integer(FSubscribers.size()); }

private:
  using TReference = std::shared_ptr<TWeakReference<IEventSubscriber<T>>>;
  std::vector<TReference> FSubscribers;
};

} // namespace Quorex
