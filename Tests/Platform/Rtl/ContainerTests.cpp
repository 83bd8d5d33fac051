#include <System.Classes.hpp>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace Vcl;

namespace {

struct TCounted : TObject {
  explicit TCounted(int* live) : Live(live) { ++*Live; }
  ~TCounted() override { --*Live; }
  int* Live;
};

class TThing : public TCollectionItem {
  QX_CLASS(TThing, TCollectionItem)
public:
  explicit TThing(TCollection* c) : TCollectionItem(c) {}
  String Caption;
  void SetCaption(const String& v)
  {
    Caption = v;
    Changed(false);
  }
  void Assign(const TPersistent* Source) override
  {
    if (auto* t = dynamic_cast<const TThing*>(Source)) {
      Caption = t->Caption;
      return;
    }
    TCollectionItem::Assign(Source);
  }
};

class TWatchedCollection : public TCollection {
public:
  explicit TWatchedCollection(TCollectionItemClass ItemClass = &TThing::StaticClass()) : TCollection(ItemClass) {}
  std::vector<String> Log;

protected:
  void Update(TCollectionItem* Item) override
  {
    Log.push_back(Item ? "item " + static_cast<TThing*>(Item)->Caption : String("all"));
  }
  void Notify(TCollectionItem* Item, TCollectionNotification Action) override
  {
    (void)Item;
    Log.push_back(Action == cnAdded ? "added" : Action == cnExtracting ? "extracting" : "deleting");
  }
};

std::vector<String> Captions(const TCollection& c)
{
  std::vector<String> r;
  for (Integer i = 0; i < c.Count(); ++i)
    r.push_back(static_cast<TThing*>(c.Items(i))->Caption);
  return r;
}

} // namespace

TEST(List, IndexChecksAndMoves)
{
  TList<int> list;
  for (int i = 0; i < 4; ++i)
    list.Add(i);
  list.Move(0, 3);
  EXPECT_EQ(std::vector<int>(list.begin(), list.end()), (std::vector<int>{1, 2, 3, 0}));
  list.Exchange(0, 1);
  EXPECT_EQ(list[0], 2);
  EXPECT_EQ(list.IndexOf(3), 2);
  EXPECT_THROW(list[4], EListError);
  EXPECT_THROW(list.Delete(-1), EListError);
  EXPECT_THROW(list.Insert(6, 1), EListError);
  EXPECT_THAT([&] { list.Delete(9); }, testing::ThrowsMessage<EListError>("List index out of bounds (9)"));
}

TEST(ObjectList, OwnsOrNot)
{
  int live = 0;
  {
    TObjectList<TCounted> owning;
    owning.Add(new TCounted(&live));
    owning.Add(new TCounted(&live));
    owning.Delete(0);
    EXPECT_EQ(live, 1);
    TCounted* kept = owning.Extract(owning[0]);
    EXPECT_EQ(owning.Count(), 0);
    delete kept;
    owning.Add(new TCounted(&live));
  }
  EXPECT_EQ(live, 0);
  TCounted outside(&live);
  {
    TObjectList<TCounted> borrowing(false);
    borrowing.Add(&outside);
  }
  EXPECT_EQ(live, 1);
}

TEST(StringList, AddInsertDeleteAndEvents)
{
  TStringList list;
  int changes = 0, changings = 0;
  list.OnChange = [&](TObject*) { ++changes; };
  list.OnChanging = [&](TObject*) { ++changings; };
  list.Add("one");
  list.Insert(0, "zero");
  list.Add("two");
  EXPECT_EQ(list.Text(), "zero\none\ntwo\n");
  EXPECT_EQ(changes, 3);
  EXPECT_EQ(changings, 3);
  list.BeginUpdate();
  list.Delete(1);
  list.Add("three");
  list.EndUpdate();
  EXPECT_EQ(changes, 4); // one notification for the whole update
  EXPECT_EQ(list.IndexOf("TWO"), 1);
  EXPECT_THROW(list.Get(3), EStringListError);
  list.SetText("a\r\nb\rc\n\nd");
  EXPECT_EQ(list.Count(), 5);
  EXPECT_EQ(list[3], "");
}

TEST(StringList, SortedAndDuplicates)
{
  TStringList list;
  list.SetSorted(true);
  list.Add("pear");
  list.Add("Apple");
  list.Add("fig");
  EXPECT_EQ(list.CommaText(), "Apple,fig,pear");
  EXPECT_EQ(list.Add("FIG"), 1); // dupIgnore returns the existing index
  EXPECT_EQ(list.Count(), 3);
  list.SetDuplicates(dupError);
  EXPECT_THROW(list.Add("pear"), EStringListError);
  list.SetDuplicates(dupAccept);
  list.Add("pear");
  EXPECT_EQ(list.Count(), 4);
  EXPECT_THROW(list.Insert(0, "x"), EStringListError);
  Integer at;
  EXPECT_FALSE(list.Find("grape", at));
  EXPECT_EQ(at, 2);
}

TEST(StringList, CommaTextQuotesAndObjects)
{
  TStringList list;
  list.SetCommaText(R"(a, "b c","d""e",,f)");
  ASSERT_EQ(list.Count(), 5);
  EXPECT_EQ(list[1], "b c");
  EXPECT_EQ(list[2], "d\"e");
  EXPECT_EQ(list[3], "");
  EXPECT_EQ(list.CommaText(), R"(a,"b c","d""e",,f)");
  int live = 0;
  {
    TStringList owning(true);
    owning.AddObject("x", new TCounted(&live));
    owning.AddObject("y", new TCounted(&live));
    owning.Delete(0);
    EXPECT_EQ(live, 1);
  }
  EXPECT_EQ(live, 0);
  TStringList values;
  values.Add("Name=Value");
  EXPECT_EQ(values.Values("name"), "Value");
  values.SetValues("Other", "2");
  EXPECT_EQ(values.Count(), 2);
  values.SetValues("Name", "");
  EXPECT_EQ(values.Count(), 1);
}

TEST(Collection, ChangeNotificationsReachTheOwner)
{
  TWatchedCollection c;
  auto* a = static_cast<TThing*>(c.Add());
  a->Caption = "a";
  EXPECT_EQ(c.Log, (std::vector<String>{"added", "all"}));
  c.Log.clear();
  a->SetCaption("A");
  EXPECT_EQ(c.Log, (std::vector<String>{"item A"}));
  c.Log.clear();
  c.BeginUpdate();
  c.Add();
  c.Add();
  a->SetCaption("AA");
  c.EndUpdate();
  EXPECT_EQ(c.Log, (std::vector<String>{"added", "added", "all"}));
  c.Log.clear();
  c.Delete(2);
  EXPECT_EQ(c.Log, (std::vector<String>{"deleting", "extracting", "all"}));
  c.EndUpdate(); // unbalanced: ignored
  EXPECT_EQ(c.UpdateCount(), 0);
}

TEST(Collection, IndexMovesAndIDs)
{
  TWatchedCollection c;
  for (const char* n : {"a", "b", "c", "d"})
    static_cast<TThing*>(c.Add())->Caption = n;
  c.Items(0)->SetIndex(2);
  EXPECT_EQ(Captions(c), (std::vector<String>{"b", "c", "a", "d"}));
  c.Items(3)->SetIndex(0);
  EXPECT_EQ(Captions(c), (std::vector<String>{"d", "b", "c", "a"}));
  c.Items(1)->SetIndex(99); // clamps to the end
  EXPECT_EQ(Captions(c), (std::vector<String>{"d", "c", "a", "b"}));
  EXPECT_EQ(c.FindItemID(0), c.Items(2));
  auto* inserted = static_cast<TThing*>(c.Insert(1));
  inserted->Caption = "new";
  EXPECT_EQ(inserted->Index(), 1);
  EXPECT_EQ(inserted->ID(), 4);
  EXPECT_THROW(c.Items(10), EListError);
  EXPECT_THROW(c.Insert(10), EListError);

  TWatchedCollection copy;
  copy.Assign(&c);
  EXPECT_EQ(Captions(copy), Captions(c));
  delete c.Items(0); // an item freed directly leaves the collection
  EXPECT_EQ(c.Count(), 4);
}

// ---- updates cut short --------------------------------------------------------------------------

// An error inside an update, or a host's OnChange raising at its end, must not
// leave the list updating for ever: it would never announce a change again.
TEST(StringList, AnUpdateCutShortStillEnds)
{
  TStringList list;
  list.SetSorted(true);
  list.SetDuplicates(TDuplicates::dupError);
  int changes = 0;
  list.OnChange = [&](TObject*) { ++changes; };
  TStringList twice;
  twice.SetText("b\nb");
  EXPECT_THROW(list.SetText("a\na"), EStringListError);
  EXPECT_THROW(list.AddStrings(&twice), EStringListError);
  EXPECT_EQ(list.UpdateCount(), 0);
  list.Add("c");
  EXPECT_EQ(changes, 3) << "two aborted updates end with a change each, then the add";

  list.OnChange = [](TObject*) { throw EListError("host refuses"); };
  EXPECT_THROW(list.SetText("x\ny"), EListError);
  EXPECT_EQ(list.UpdateCount(), 0);
  EXPECT_EQ(list.Text(), "x\ny\n");
  // The duplicate's error is what the caller sees, not the handler's error
  // at the end of the update it cut short (two at once would end the program).
  EXPECT_THROW(list.AddStrings(&twice), EStringListError);
  EXPECT_EQ(list.UpdateCount(), 0);
}

// A host's item class that refuses some values.
class TPicky : public TThing {
  QX_CLASS(TPicky, TThing)
public:
  using TThing::TThing;
  void Assign(const TPersistent* Source) override
  {
    if (static_cast<const TThing*>(Source)->Caption == "bad")
      throw EConvertError("bad item");
    TThing::Assign(Source);
  }
};

TEST(Collection, AnItemThatFailsToAssignLeavesTheUpdateEnded)
{
  TWatchedCollection source;
  for (const char* n : {"a", "bad"})
    static_cast<TThing*>(source.Add())->Caption = n;
  TWatchedCollection target(&TPicky::StaticClass());
  EXPECT_THROW(target.Assign(&source), EConvertError);
  EXPECT_EQ(target.UpdateCount(), 0);
  target.Log.clear();
  target.Add();
  EXPECT_EQ(target.Log, (std::vector<String>{"added", "all"}));
}
