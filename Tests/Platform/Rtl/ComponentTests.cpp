#include <System.Classes.hpp>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace Vcl;

namespace {

std::vector<String>* gDestroyed = nullptr;

class TProbe : public TComponent {
  QX_CLASS(TProbe, TComponent)
public:
  explicit TProbe(TComponent* AOwner) : TComponent(AOwner) {}
  ~TProbe() override
  {
    if (gDestroyed)
      gDestroyed->push_back(Name());
  }
  // A reference to another component, cleared when that one goes away.
  void SetBuddy(TComponent* value)
  {
    if (FBuddy)
      FBuddy->RemoveFreeNotification(this);
    FBuddy = value;
    if (FBuddy)
      FBuddy->FreeNotification(this);
  }
  TComponent* Buddy() const { return FBuddy; }
  int Inserts = 0;

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override
  {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opInsert)
      ++Inserts;
    if (Operation == opRemove && AComponent == FBuddy)
      FBuddy = nullptr;
  }

private:
  TComponent* FBuddy = nullptr;
};

class TShape : public TPersistent {
  QX_CLASS(TShape, TPersistent)
public:
  int Sides = 0;
  void Assign(const TPersistent* Source) override
  {
    if (auto* s = dynamic_cast<const TShape*>(Source)) {
      Sides = s->Sides;
      return;
    }
    TPersistent::Assign(Source);
  }
};

} // namespace

TEST(Component, DestroyingTheOwnerDestroysItsComponentsLastCreatedFirst)
{
  std::vector<String> destroyed;
  gDestroyed = &destroyed;
  {
    auto* owner = new TProbe(nullptr);
    owner->SetName("Owner");
    for (const char* n : {"A", "B", "C"})
      (new TProbe(owner))->SetName(n);
    ASSERT_EQ(owner->ComponentCount(), 3);
    EXPECT_EQ(owner->Components(1)->Name(), "B");
    EXPECT_EQ(owner->Components(2)->ComponentIndex(), 2);
    delete owner;
  }
  gDestroyed = nullptr;
  // The owner's own destructor body runs first, then its components go, last
  // created first.
  EXPECT_EQ(destroyed, (std::vector<String>{"Owner", "C", "B", "A"}));
}

TEST(Component, FreeNotificationClearsReferencesAcrossOwners)
{
  TProbe formA(nullptr), formB(nullptr);
  auto* holder = new TProbe(&formA);
  auto* target = new TProbe(&formB);
  holder->SetBuddy(target);
  delete target;
  EXPECT_EQ(holder->Buddy(), nullptr);

  // And the other way round: the holder goes first, the target must not call it later.
  auto* target2 = new TProbe(&formB);
  holder->SetBuddy(target2);
  delete holder;
  delete target2; // would touch the freed holder if it still had it listed
}

TEST(Component, SiblingsHearOfEachOthersRemovalThroughTheOwner)
{
  TProbe form(nullptr);
  auto* a = new TProbe(&form);
  auto* b = new TProbe(&form);
  b->SetBuddy(a); // B refers to A, created earlier, destroyed later
  delete a;
  EXPECT_EQ(b->Buddy(), nullptr);
  auto* c = new TProbe(&form);
  c->SetBuddy(b);
  EXPECT_EQ(b->Inserts, 1); // C joining (its own arrival came before it was a TProbe)
}

TEST(Component, NamesAreValidatedAndUniqueWithinTheOwner)
{
  TComponent owner(nullptr);
  auto* a = new TComponent(&owner);
  auto* b = new TComponent(&owner);
  a->SetName("Button1");
  EXPECT_THROW(b->SetName("button1"), EComponentError);
  EXPECT_THROW(b->SetName("1x"), EComponentError);
  EXPECT_EQ(b->Name(), "");
  b->SetName("Button2");
  EXPECT_EQ(owner.FindComponent("BUTTON2"), b);
  EXPECT_EQ(owner.FindComponent(""), nullptr);
  EXPECT_THROW(owner.Components(5), EListError);
}

TEST(Component, ClassRegistryCreatesByName)
{
  RegisterClass(TProbe::StaticClass());
  TClass cls = FindClass("tprobe");
  ASSERT_EQ(cls, &TProbe::StaticClass());
  EXPECT_TRUE(cls->InheritsFrom(TComponent::StaticClass()));
  TComponent owner(nullptr);
  TComponent* made = CreateComponent(*cls, &owner);
  EXPECT_EQ(made->ClassName(), "TProbe");
  EXPECT_EQ(made->Owner(), &owner);
  EXPECT_EQ(GetClass("TNoSuchThing"), nullptr);
  EXPECT_THROW(FindClass("TNoSuchThing"), EClassNotFound);
  RegisterClassAlias(TProbe::StaticClass(), "TOldProbe");
  EXPECT_EQ(GetClass("TOldProbe"), &TProbe::StaticClass());
  UnRegisterClass(TProbe::StaticClass());
  EXPECT_EQ(GetClass("TProbe"), nullptr);
}

TEST(Persistent, AssignCopiesKnownClassesAndRejectsOthers)
{
  TShape a, b;
  a.Sides = 5;
  b.Assign(&a);
  EXPECT_EQ(b.Sides, 5);
  TComponent c(nullptr);
  EXPECT_THAT([&] { b.Assign(&c); }, testing::ThrowsMessage<EConvertError>("Cannot assign a TComponent to a TShape"));
  EXPECT_THROW(b.Assign(nullptr), EConvertError);
}
