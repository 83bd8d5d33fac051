// Object bases of the closed runtime. A TWeakReferencedObject keeps a
// registry of reference fields that point at it and sets each of them to
// null when it is destroyed; TWeakRef is such a field that registers itself,
// usable as a liveness token for work that comes back later, also from
// another thread. One held by a std::shared_ptr can also be watched through
// std::weak_ptr (weak_from_this), which holds it alive while it is used.
// A TNonRefCountedObject offers the reference-counting
// calls of an interface without counting: its owner decides its lifetime.
#pragma once

#include <System.hpp>

#include <memory>
#include <mutex>
#include <set>

namespace QxRtl {

class TWeakReferencedObject;

// Shared by an object and every weak reference to it, so that a reference
// that outlives the object still has something to ask.
class TWeakRegistry {
public:
  void Register(void** Field);
  void Unregister(void** Field);
  // Reads a registered field under the registry's lock.
  void* Read(void* const* Field);
  // Sets every registered field to null; later registrations stay null.
  void ClearAll();

private:
  std::mutex FLock;
  std::set<void**> FFields;
  bool FCleared = false;
};

class TWeakReferencedObject : public Vcl::TObject, public std::enable_shared_from_this<TWeakReferencedObject> {
public:
  TWeakReferencedObject();
  ~TWeakReferencedObject() override;

  // The registry operations: Field is set to null when the object goes.
  void RegisterWeakRef(void** Field);
  void UnregisterWeakRef(void** Field);
  const std::shared_ptr<TWeakRegistry>& WeakRegistry() const { return FRegistry; }

protected:
  // Turns every weak reference dead now. A derived class calls it first in
  // its destructor when calls that arrive meanwhile (from a queue it drains
  // while shutting down) must already find it gone.
  void ClearWeakReferences() { FRegistry->ClearAll(); }

private:
  std::shared_ptr<TWeakRegistry> FRegistry;
};

// A weak reference: Get() is the object while it lives, nullptr after.
// Get() is safe from any thread; using the object is safe only on the
// thread that destroys it.
template <class T>
class TWeakRef {
public:
  TWeakRef() = default;
  explicit TWeakRef(T* Target) { Attach(Target ? Target->WeakRegistry() : nullptr, Target); }
  TWeakRef(const TWeakRef& Other) { Attach(Other.FRegistry, Other.Get()); }
  TWeakRef& operator=(const TWeakRef& Other)
  {
    if (this != &Other) {
      Detach();
      Attach(Other.FRegistry, Other.Get());
    }
    return *this;
  }
  ~TWeakRef() { Detach(); }

  T* Get() const { return FRegistry ? static_cast<T*>(FRegistry->Read(&FTarget)) : nullptr; }
  explicit operator bool() const { return Get() != nullptr; }

private:
  void Attach(std::shared_ptr<TWeakRegistry> Registry, T* Target)
  {
    FRegistry = std::move(Registry);
    FTarget = static_cast<TWeakReferencedObject*>(Target);
    if (FRegistry)
      FRegistry->Register(&FTarget);
  }
  void Detach()
  {
    if (FRegistry)
      FRegistry->Unregister(&FTarget);
    FRegistry.reset();
  }

  std::shared_ptr<TWeakRegistry> FRegistry;
  mutable void* FTarget = nullptr;
};

class TNonRefCountedObject : public Vcl::TObject {
public:
  // The counting calls of an interface; -1: nothing is counted.
  Vcl::Integer _AddRef() { return -1; }
  Vcl::Integer _Release() { return -1; }
};

} // namespace QxRtl
