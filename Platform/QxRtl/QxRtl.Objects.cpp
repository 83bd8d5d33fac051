#include "QxRtl.Objects.hpp"

namespace QxRtl {

void TWeakRegistry::Register(void** Field)
{
  std::lock_guard lock(FLock);
  if (FCleared)
    *Field = nullptr;
  else
    FFields.insert(Field);
}

void TWeakRegistry::Unregister(void** Field)
{
  std::lock_guard lock(FLock);
  FFields.erase(Field);
}

void* TWeakRegistry::Read(void* const* Field)
{
  std::lock_guard lock(FLock);
  return *Field;
}

void TWeakRegistry::ClearAll()
{
  std::lock_guard lock(FLock);
  FCleared = true;
  for (void** field : FFields)
    *field = nullptr;
  FFields.clear();
}

TWeakReferencedObject::TWeakReferencedObject() : FRegistry(std::make_shared<TWeakRegistry>()) {}

TWeakReferencedObject::~TWeakReferencedObject()
{
  FRegistry->ClearAll();
}

void TWeakReferencedObject::RegisterWeakRef(void** Field)
{
  FRegistry->Register(Field);
}

void TWeakReferencedObject::UnregisterWeakRef(void** Field)
{
  FRegistry->Unregister(Field);
}

} // namespace QxRtl
