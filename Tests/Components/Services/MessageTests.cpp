// The message and its change notification: every setter notifies, weakly
// held subscribers that are gone hear nothing, handlers may change the list
// they are called from, and the message's actions and texts stream.
#include <QxFormCompare.hpp>

#include <Quorex.Vcl.FrameControl.QxFrameClient.hpp>
#include <Quorex.Vcl.Message.hpp>
#include <System.Classes.Streaming.hpp>

#include <gmock/gmock.h>

#include <string>
#include <vector>

using namespace Vcl;
using namespace Quorex;
using ::testing::ElementsAre;

namespace {

class MessageTest : public ::testing::Test {
protected:
  // A subscriber that writes its name into the log for every event.
  std::shared_ptr<TMessageChangeSubscriber> Logger(const std::string& Name)
  {
    return std::make_shared<TMessageChangeSubscriber>([this, Name](TQxCustomMessage* Sender) {
      EXPECT_EQ(Sender, &Msg);
      Log.push_back(Name);
    });
  }
  std::shared_ptr<TMessageChangeSubscriber> Subscribed(const std::string& Name)
  {
    auto s = Logger(Name);
    Msg.OnChange()->Subscribe(s.get());
    return s;
  }
  Integer SubscriberCount() const
  {
    return std::dynamic_pointer_cast<TEventPublisher<TQxCustomMessage>>(Msg.OnChange())->SubscriberCount();
  }

  TQxMessage Msg{nullptr};
  std::vector<std::string> Log;
};

TEST_F(MessageTest, EverySetterNotifiesOnceInSubscriptionOrderEvenForTheSameValue)
{
  auto a = Subscribed("a");
  auto b = Subscribed("b");
  Msg.SetTitle("Disk");
  Msg.SetTitle("Disk");
  EXPECT_THAT(Log, ElementsAre("a", "b", "a", "b"));
  Log.clear();
  Msg.SetText("<b>full</b>");
  Msg.SetImageIndex(-1);
  Msg.SetMessageType(mtCustom);
  EXPECT_EQ(Log.size(), 6u);

  // Items: assigning an action notifies (also none); adding, flagging,
  // moving and deleting do not.
  Log.clear();
  TAction action(nullptr);
  TQxMessageActionItem* item = Msg.Actions()->Add();
  item->SetElevationRequired(true);
  Msg.Actions()->Add();
  Msg.Actions()->Exchange(0, 1);
  EXPECT_TRUE(Log.empty());
  item->SetAction(&action);
  item->SetAction(nullptr);
  EXPECT_THAT(Log, ElementsAre("a", "b", "a", "b"));
  Log.clear();
  Msg.Actions()->Delete(0);
  EXPECT_TRUE(Log.empty());
}

TEST_F(MessageTest, ReleasedSubscribersHearNothingAndArePurgedAtTheNextSubscribe)
{
  auto a = Subscribed("a");
  auto b = Subscribed("b");
  b.reset();
  Msg.SetTitle("x");
  EXPECT_THAT(Log, ElementsAre("a"));
  EXPECT_EQ(SubscriberCount(), 2);
  auto c = Subscribed("c");
  EXPECT_EQ(SubscriberCount(), 2);

  // Twice subscribed, twice told; an unsubscribe takes one subscription,
  // and one never made changes nothing.
  Msg.OnChange()->Subscribe(a.get());
  auto stranger = Logger("stranger");
  Msg.OnChange()->Unsubscribe(stranger.get());
  Log.clear();
  Msg.SetTitle("y");
  EXPECT_THAT(Log, ElementsAre("a", "c", "a"));
  Msg.OnChange()->Unsubscribe(a.get());
  Log.clear();
  Msg.SetTitle("z");
  EXPECT_THAT(Log, ElementsAre("c", "a"));
}

TEST_F(MessageTest, HandlersMayChangeTheListTheyAreCalledFrom)
{
  std::shared_ptr<TMessageChangeSubscriber> second, later, added, self;
  // The first unsubscribes the second, releases the third, subscribes a
  // newcomer and releases itself while it runs.
  self = std::make_shared<TMessageChangeSubscriber>([&](TQxCustomMessage*) {
    Log.push_back("first");
    Msg.OnChange()->Unsubscribe(second.get());
    later.reset();
    added = Subscribed("added");
    self.reset();
  });
  Msg.OnChange()->Subscribe(self.get());
  second = Subscribed("second");
  later = Subscribed("later");
  Msg.SetTitle("x");
  EXPECT_THAT(Log, ElementsAre("first"));
  Log.clear();
  Msg.SetTitle("y");
  EXPECT_THAT(Log, ElementsAre("added"));
}

TEST_F(MessageTest, AHandlerThatRaisesStopsTheWalkAndTheSetterPassesItOn)
{
  auto raising = std::make_shared<TMessageChangeSubscriber>([](TQxCustomMessage*) { throw Exception("handler"); });
  Msg.OnChange()->Subscribe(raising.get());
  auto b = Subscribed("b");
  EXPECT_THROW(Msg.SetText("t"), Exception);
  EXPECT_EQ(Msg.Text(), "t");
  EXPECT_TRUE(Log.empty());
}

TEST_F(MessageTest, OnlySharedWeakReferencedSubscribersCanSubscribe)
{
  struct TPlainSubscriber : IEventSubscriber<TQxCustomMessage> {
    void HandleEvent(TQxCustomMessage*) override {}
  } plain;
  TMessageChangeSubscriber unshared([](TQxCustomMessage*) {});
  auto gone = Subscribed("gone");
  gone.reset();
  for (IEventSubscriber<TQxCustomMessage>* wrong : {static_cast<IEventSubscriber<TQxCustomMessage>*>(&plain),
                                                    static_cast<IEventSubscriber<TQxCustomMessage>*>(&unshared)}) {
    EXPECT_THAT([&] { Msg.OnChange()->Subscribe(wrong); },
                testing::ThrowsMessage<Exception>(
                  "TWeakReference can only be used with objects derived from TWeakReferencedObject"));
  }
  // The purge of the dead one happened; nothing was added.
  EXPECT_EQ(SubscriberCount(), 0);
}

TEST_F(MessageTest, AnActionFreedElsewhereLeavesItsItemsAndTellsTheSubscribers)
{
  auto* action = new TAction(nullptr);
  Msg.Actions()->Add()->SetAction(action);
  Msg.Actions()->Add()->SetAction(action);
  auto a = Subscribed("a");
  delete action;
  EXPECT_EQ(Msg.Actions()->Items(0)->Action(), nullptr);
  EXPECT_EQ(Msg.Actions()->Items(1)->Action(), nullptr);
  EXPECT_THAT(Log, ElementsAre("a"));
}

TEST(MessageStreamingTest, TheMessageWritesWhatDiffersAndReadsBackWithItsActions)
{
  TQxFrameClient root(nullptr);
  root.SetName("Root");
  auto* msg = QxTest::AddNamed<TQxMessage>(&root, "Msg1");
  QxTest::ExpectLacks(WriteComponentRes(&root), {"ImageIndex", "MessageType", "Title", "Text", "Actions"});

  auto* action = QxTest::AddNamed<TAction>(&root, "Retry");
  msg->SetTitle("Offline");
  msg->SetText("Check the <b>cable</b>");
  msg->SetImageIndex(2);
  msg->SetMessageType(mtWarning);
  TQxMessageActionItem* item = msg->Actions()->Add();
  item->SetAction(action);
  item->SetElevationRequired(true);
  const String text = WriteComponentRes(&root);
  QxTest::ExpectHas(text, {"MessageType = mtWarning", "Action = Retry", "ElevationRequired = True"});

  // Property by property: the texts, the index, the type and each action
  // item with the action it names.
  QxTest::ExpectReadsBackTheSame(&root, text);
}

} // namespace
