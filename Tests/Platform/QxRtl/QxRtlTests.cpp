// The closed runtime's stand-in: version values and weak references.
#include <QxRtl.Objects.hpp>
#include <QxRtl.Version.hpp>

#include <gtest/gtest.h>

#include <memory>
#include <thread>

using namespace QxRtl;

TEST(QxRtl, VersionValuesOrderPartByPartAndPrintWithDots)
{
  const TVersionValue v{1, 2, 3, 4};
  EXPECT_EQ(v.AsLongString(), "1.2.3.4");
  EXPECT_EQ((TVersionValue{65535, 0, 0, 65535}).AsLongString(), "65535.0.0.65535");
  EXPECT_LT((TVersionValue{1, 2, 3, 4}), (TVersionValue{1, 2, 3, 5}));
  EXPECT_LT((TVersionValue{1, 2, 3, 65535}), (TVersionValue{1, 2, 4, 0}));
  EXPECT_LT((TVersionValue{0, 65535, 65535, 65535}), (TVersionValue{1, 0, 0, 0}));
  EXPECT_FALSE(v < v);
  gVersion.SetAppVersion(v);
  EXPECT_EQ(gVersion.GetAppVersion(), v);
  gVersion.SetAppVersion({});
}

TEST(QxRtl, WeakReferencesTurnNullWhenTheObjectGoesFromAnyThread)
{
  auto* object = new TWeakReferencedObject;
  void* field = object;
  object->RegisterWeakRef(&field);
  TWeakRef<TWeakReferencedObject> ref(object);
  TWeakRef<TWeakReferencedObject> copy = ref;
  EXPECT_EQ(copy.Get(), object);
  TWeakRef<TWeakReferencedObject> seen;
  std::thread other([&] { seen = copy; });
  other.join();
  delete object;
  EXPECT_EQ(field, nullptr);
  EXPECT_EQ(ref.Get(), nullptr);
  EXPECT_EQ(seen.Get(), nullptr);
  // An unregistered field is left alone.
  auto* second = new TWeakReferencedObject;
  void* kept = second;
  second->RegisterWeakRef(&kept);
  second->UnregisterWeakRef(&kept);
  delete second;
  EXPECT_NE(kept, nullptr);

  // Held by a shared pointer, the same object is watched both ways, and a
  // locked weak pointer keeps it, and its registered fields, alive.
  auto shared = std::make_shared<TWeakReferencedObject>();
  TWeakRef<TWeakReferencedObject> token(shared.get());
  std::weak_ptr<TWeakReferencedObject> watcher = shared->weak_from_this();
  std::shared_ptr<TWeakReferencedObject> held = watcher.lock();
  shared.reset();
  EXPECT_EQ(token.Get(), held.get());
  held.reset();
  EXPECT_TRUE(watcher.expired());
  EXPECT_EQ(token.Get(), nullptr);
}
