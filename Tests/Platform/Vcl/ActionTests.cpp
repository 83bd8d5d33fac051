// Actions and their clients: what linking copies, how changes follow, what
// a click and the idle time run, freeing in any order, and the Action
// property in form resources.
#include "TestControls.hpp"

#include <QxFormCompare.hpp>
#include <System.Classes.Streaming.hpp>
#include <Vcl.ActnList.hpp>

#include <memory>

namespace QxTest {

namespace {

// A control with a check state of its own that it takes from its action
// through a link class of its own, as check buttons do.
class TTestCheck : public TCustomControl {
public:
  explicit TTestCheck(TComponent* AOwner) : TCustomControl(AOwner) { FControlStyle = {csCaptureMouse, csClickEvents}; }
  bool Checked() const { return FChecked; }
  void SetChecked(bool Value) { FChecked = Value; }

protected:
  TControlActionLinkClass GetActionLinkClass() const override;
  void ActionChange(TObject* Sender, bool CheckDefaults) override
  {
    TCustomControl::ActionChange(Sender, CheckDefaults);
    if (auto* action = dynamic_cast<TCustomAction*>(Sender); action && (!CheckDefaults || !FChecked))
      FChecked = action->Checked();
  }

private:
  bool FChecked = false;
};

class TTestCheckLink : public TWinControlActionLink {
public:
  bool IsCheckedLinked() const override
  {
    return TWinControlActionLink::IsCheckedLinked() && FCheck->Checked() == CustomAction()->Checked();
  }

protected:
  void AssignClient(TObject* AClient) override
  {
    TWinControlActionLink::AssignClient(AClient);
    FCheck = dynamic_cast<TTestCheck*>(AClient);
  }
  void SetChecked(bool Value) override
  {
    if (IsCheckedLinked())
      FCheck->SetChecked(Value);
  }

private:
  TTestCheck* FCheck = nullptr;
};

TControlActionLinkClass TTestCheck::GetActionLinkClass() const
{
  return ActionLinkClassOf<TTestCheckLink>;
}

class ActionTest : public ControlTest {
protected:
  void SetUp() override
  {
    ControlTest::SetUp();
    FForm = MakeForm(0, 0, 600, 300);
  }

  TAction* NewAction(const String& Caption, TCustomActionList* List = nullptr)
  {
    auto* action = new TAction(FForm);
    action->SetCaption(Caption);
    action->SetActionList(List);
    action->SetOnExecute([this](TObject* Sender) { FExecuted.push_back(static_cast<TAction*>(Sender)->Caption()); });
    return action;
  }

  // Buttons side by side, in rows.
  TButton* NewButton(TBasicAction* Action)
  {
    const int n = FButtons++;
    auto* button = Place(new TButton(FForm), FForm, 10 + n % 6 * 90, 10 + n / 6 * 35, 75, 25);
    button->SetAction(Action);
    return button;
  }

  // One pass of the application's loop with nothing to do.
  void Idle()
  {
    RunUntilIdle();
    Application->OnIdle = [](TObject*) { Win::PostMessage(nullptr, Win::WM_NULL, 0, 0); };
    Application->HandleMessage();
    Application->OnIdle = nullptr;
    RunUntilIdle();
  }

  static String WindowText(TWinControl* Control)
  {
    char text[64] = {};
    Win::GetWindowText(Control->Handle(), text, sizeof text);
    return text;
  }

  TForm* FForm = nullptr;
  int FButtons = 0;
  std::vector<String> FExecuted;
};

} // namespace

TEST_F(ActionTest, LinkingCopiesTheActionAndItsChangesReachEveryClientThatStillShowsIt)
{
  TActionList list(nullptr);
  int listChanges = 0;
  list.OnChange = [&](TObject*) { ++listChanges; };
  TAction* action = NewAction("&Open", &list);
  action->SetHint("Opens a file");
  action->SetEnabled(false);
  TButton* a = NewButton(action);
  TButton* b = NewButton(action);
  auto* box = Place(new TBox(FForm, "box"), FForm, 10, 100, 20, 20);
  box->SetAction(action);
  for (TControl* c : std::initializer_list<TControl*>{a, b, box}) {
    EXPECT_EQ(c->Action(), action);
    EXPECT_EQ(c->Caption(), "&Open");
    EXPECT_EQ(c->Hint(), "Opens a file");
    EXPECT_FALSE(c->Enabled());
  }
  EXPECT_EQ(action->ClientCount(), 3);
  EXPECT_EQ(WindowText(a), "&Open");
  EXPECT_FALSE(Win::IsWindowEnabled(a->Handle()));

  // b goes its own way for the caption; the others follow.
  b->SetCaption("Mine");
  action->SetCaption("&Load");
  action->SetEnabled(true);
  action->SetVisible(false);
  EXPECT_EQ(WindowText(a), "&Load");
  EXPECT_EQ(box->Caption(), "&Load");
  EXPECT_EQ(b->Caption(), "Mine");
  EXPECT_TRUE(Win::IsWindowEnabled(b->Handle()));
  EXPECT_FALSE(Win::IsWindowVisible(a->Handle()));
  EXPECT_FALSE(box->Visible());
  EXPECT_FALSE(b->ActionLink()->IsCaptionLinked());
  EXPECT_TRUE(b->ActionLink()->IsEnabledLinked());
  EXPECT_EQ(listChanges, 6) << "one per change of the action, its handler included";

  // Unlinking keeps what the control shows; linking another action copies it.
  a->SetAction(nullptr);
  EXPECT_EQ(a->ActionLink(), nullptr);
  EXPECT_EQ(a->Caption(), "&Load");
  EXPECT_EQ(action->ClientCount(), 2);
  TAction* other = NewAction("Save");
  b->SetAction(other);
  EXPECT_EQ(b->Caption(), "Save");
  EXPECT_TRUE(b->Visible());
  EXPECT_EQ(action->ClientCount(), 1);
  EXPECT_EQ(other->ClientCount(), 1);
}

TEST_F(ActionTest, AClickRunsTheActionUnlessTheControlHasAnOnClickOfItsOwn)
{
  auto list = std::make_unique<TActionList>(nullptr);
  TAction* action = NewAction("Go", list.get());
  TButton* button = NewButton(action);
  TComponent* runBy = nullptr;
  action->SetOnExecute([&](TObject* Sender) {
    runBy = static_cast<TAction*>(Sender)->ActionComponent();
    FExecuted.push_back("Go");
  });
  ClickOn(button, 5, 5);
  EXPECT_EQ(FExecuted, std::vector<String>{"Go"});
  EXPECT_EQ(runBy, button);
  EXPECT_EQ(action->ActionComponent(), nullptr) << "only while it runs";

  // The list sees it first and may handle it.
  std::vector<TBasicAction*> listSaw;
  list->OnExecute = [&](TBasicAction* Action, bool& Handled) {
    listSaw.push_back(Action);
    Handled = true;
  };
  ClickOn(button, 5, 5);
  EXPECT_EQ(listSaw, std::vector<TBasicAction*>{action});
  EXPECT_EQ(FExecuted.size(), 1u);
  list->OnExecute = nullptr;

  // A disabled action does not run, however it is asked.
  action->SetEnabled(false);
  EXPECT_FALSE(button->ActionLink()->Execute(button));
  action->SetEnabled(true);

  // A handler of the control's own wins; the action is then not run.
  int ownClicks = 0;
  button->OnClick = [&](TObject*) { ++ownClicks; };
  EXPECT_FALSE(button->ActionLink()->IsOnExecuteLinked());
  ClickOn(button, 5, 5);
  EXPECT_EQ(ownClicks, 1);
  EXPECT_EQ(FExecuted.size(), 1u);
}

TEST_F(ActionTest, AutoCheckTogglesCheckedAndAGroupKeepsOneChecked)
{
  TActionList list(nullptr);
  TAction* bold = NewAction("Bold", &list);
  bold->SetAutoCheck(true);
  auto* check = Place(new TTestCheck(FForm), FForm, 10, 10, 20, 20);
  check->SetAction(bold);
  ClickOn(check, 5, 5);
  EXPECT_TRUE(bold->Checked());
  EXPECT_TRUE(check->Checked()) << "through the control's own link class";
  EXPECT_EQ(FExecuted, std::vector<String>{"Bold"}) << "checked before the handler runs";
  ClickOn(check, 5, 5);
  EXPECT_FALSE(check->Checked());

  // Left, Center and Right: checking one unchecks the others; running the
  // checked one keeps it checked.
  TAction* left = NewAction("Left", &list);
  TAction* center = NewAction("Center", &list);
  TAction* right = NewAction("Right", &list);
  for (TAction* a : {left, center, right}) {
    a->SetGroupIndex(1);
    a->SetAutoCheck(true);
  }
  right->SetIndex(0);
  EXPECT_EQ(right->Index(), 0);
  EXPECT_EQ(list.Actions(1), bold);
  center->SetIndex(99);
  EXPECT_EQ(center->Index(), 3);
  auto* leftCheck = Place(new TTestCheck(FForm), FForm, 40, 10, 20, 20);
  leftCheck->SetAction(left);
  left->Execute();
  right->SetChecked(true);
  EXPECT_FALSE(left->Checked());
  EXPECT_FALSE(leftCheck->Checked());
  EXPECT_TRUE(right->Checked());
  right->Execute();
  EXPECT_TRUE(right->Checked());
  EXPECT_FALSE(center->Checked());
  EXPECT_FALSE(bold->Checked()) << "another group";

  // A control checked on its own no longer follows the action.
  leftCheck->SetChecked(true);
  EXPECT_FALSE(leftCheck->ActionLink()->IsCheckedLinked());
  EXPECT_TRUE(leftCheck->ActionLink()->IsCaptionLinked());
}

TEST_F(ActionTest, IdleTimeUpdatesTheActionsOfVisibleControlsOnce)
{
  auto list = std::make_unique<TActionList>(nullptr);
  TAction* paste = NewAction("Paste", list.get());
  TAction* hidden = NewAction("Hidden", list.get());
  bool canPaste = false;
  std::vector<String> updated;
  paste->OnUpdate = [&](TObject*) {
    updated.push_back("Paste");
    paste->SetEnabled(canPaste);
  };
  hidden->OnUpdate = [&](TObject*) { updated.push_back("Hidden"); };
  TButton* a = NewButton(paste);
  NewButton(paste);
  auto* panel = Place(new TPanel(FForm), FForm, 10, 200, 100, 50);
  auto* inHiddenPanel = Place(new TButton(FForm), panel, 0, 0, 50, 20);
  inHiddenPanel->SetAction(hidden);
  panel->Hide();

  Idle();
  EXPECT_EQ(updated, std::vector<String>{"Paste"});
  EXPECT_FALSE(a->Enabled());
  canPaste = true;
  Idle();
  EXPECT_TRUE(a->Enabled());
  EXPECT_TRUE(Win::IsWindowEnabled(a->Handle()));

  // The list may answer for its actions.
  updated.clear();
  list->OnUpdate = [&](TBasicAction*, bool& Handled) { Handled = true; };
  Idle();
  EXPECT_TRUE(updated.empty());
  list->OnUpdate = nullptr;

  // A host may ask a form at any time; a hidden form's actions wait.
  FForm->UpdateActions();
  EXPECT_EQ(updated, std::vector<String>{"Paste"});
  updated.clear();
  FForm->Hide();
  Idle();
  FForm->UpdateActions();
  EXPECT_TRUE(updated.empty());
}

TEST_F(ActionTest, ActionsListsAndClientsMayBeFreedInAnyOrder)
{
  auto images = std::make_unique<TImageList>(nullptr);
  auto list = std::make_unique<TActionList>(nullptr);
  list->SetImages(images.get());
  images.reset();
  EXPECT_EQ(list->Images(), nullptr);

  // The action goes: its clients let go of it and keep what they show.
  TAction* action = NewAction("Cut", list.get());
  TButton* button = NewButton(action);
  auto* box = Place(new TBox(nullptr, "box"), FForm, 10, 200, 20, 20); // another owner
  box->SetAction(action);
  delete action;
  EXPECT_EQ(list->ActionCount(), 0);
  EXPECT_EQ(button->Action(), nullptr);
  EXPECT_EQ(button->ActionLink(), nullptr);
  EXPECT_EQ(box->Action(), nullptr);
  EXPECT_EQ(button->Caption(), "Cut");
  EXPECT_TRUE(button->IsCaptionStored());
  delete box;

  // The client goes: the action forgets its link.
  action = NewAction("Copy", list.get());
  delete NewButton(action);
  EXPECT_EQ(action->ClientCount(), 0);

  // The list goes: its actions stay, outside any list.
  TButton* copyButton = NewButton(action);
  list.reset();
  EXPECT_EQ(action->ActionList(), nullptr);
  EXPECT_EQ(action->Index(), -1);
  ClickOn(copyButton, 5, 5);
  EXPECT_EQ(FExecuted, std::vector<String>{"Copy"});
  delete action;

  // Freed by its own handler, or with the control that runs it.
  TAction* once = NewAction("Once");
  once->SetOnExecute([&](TObject* Sender) { delete Sender; });
  button->SetAction(once);
  button->Click();
  EXPECT_EQ(button->Action(), nullptr);
  TAction* close = NewAction("Close");
  close->SetOnExecute([&](TObject* Sender) { delete static_cast<TAction*>(Sender)->ActionComponent(); });
  button->SetAction(close);
  button->Click();
  EXPECT_EQ(close->ClientCount(), 0);
  EXPECT_EQ(close->ActionComponent(), nullptr);

  // An update handler that frees another action due for updating.
  TAction* first = NewAction("First");
  TAction* second = NewAction("Second");
  first->OnUpdate = [&](TObject*) { delete second; };
  NewButton(first);
  NewButton(second);
  Idle();

  // The form frees the rest, whatever order they were made in.
  TAction* early = NewAction("Early");
  auto* late = new TActionList(FForm);
  early->SetActionList(late);
  NewButton(early);
  delete FForm;
}

TEST_F(ActionTest, TheActionPropertyTravelsThroughFormResourcesWithoutWhatTheActionSupplies)
{
  TMethodTable methods;
  int opened = 0;
  methods.Add<void(TObject*)>("OpenExecute", [&](TObject*) { ++opened; });
  const String resource = "object Main: TForm\n"
                          "  Caption = 'Main'\n"
                          "  ClientHeight = 100\n"
                          "  ClientWidth = 200\n"
                          "  object OpenButton: TButton\n"
                          "    Left = 8\n"
                          "    Top = 8\n"
                          "    Width = 75\n"
                          "    Height = 25\n"
                          "    Action = OpenAction\n"
                          "    TabOrder = 0\n"
                          "  end\n"
                          "  object OwnButton: TButton\n"
                          "    Left = 96\n"
                          "    Top = 8\n"
                          "    Width = 75\n"
                          "    Height = 25\n"
                          "    Action = OpenAction\n"
                          "    Caption = 'Mine'\n"
                          "    TabOrder = 1\n"
                          "  end\n"
                          "  object Images: TImageList\n"
                          "  end\n"
                          "  object Actions: TActionList\n"
                          "    Images = Images\n"
                          "    object OpenAction: TAction\n"
                          "      Category = 'File'\n"
                          "      Caption = '&Open'\n"
                          "      Enabled = False\n"
                          "      Hint = 'Opens a file'\n"
                          "      ImageIndex = 2\n"
                          "      ShortCut = 16463\n"
                          "      OnExecute = OpenExecute\n"
                          "    end\n"
                          "  end\n"
                          "end\n";
  std::unique_ptr<TComponent> form(ReadComponentRes(resource, nullptr, &methods));
  auto* open = FindIn<TAction>(form.get(), "OpenAction");
  auto* actions = FindIn<TActionList>(form.get(), "Actions");
  auto* openButton = FindIn<TButton>(form.get(), "OpenButton");
  auto* ownButton = FindIn<TButton>(form.get(), "OwnButton");
  ASSERT_TRUE(open && actions && openButton && ownButton);
  EXPECT_EQ(open->ActionList(), actions);
  EXPECT_EQ(open->Images(), form->FindComponent("Images"));
  EXPECT_EQ(open->Category(), "File");
  EXPECT_EQ(open->ImageIndex(), 2);
  EXPECT_EQ(open->ShortCut(), scCtrl | 'O');
  EXPECT_EQ(openButton->Action(), open);
  EXPECT_EQ(openButton->Caption(), "&Open");
  EXPECT_EQ(openButton->Hint(), "Opens a file");
  EXPECT_FALSE(openButton->Enabled());
  EXPECT_EQ(ownButton->Caption(), "Mine") << "read from the resource, kept while loading";

  const String text = WriteComponentRes(form.get());
  ExpectHas(text, {"\n    Action = OpenAction\n    Caption = 'Mine'\n",
                   "  object Actions: TActionList\n    Images = Images\n    object OpenAction: TAction\n",
                   "\n      OnExecute = OpenExecute\n"});
  ExpectLacks(text, {"\n    Caption = '&Open'", "\n    Hint", "\n    Enabled"});
  ExpectReadsBackTheSame(form.get(), text, &methods);

  // Once the control goes its own way, it stores the property again.
  openButton->SetHint("Its own");
  ExpectHas(WriteComponentRes(form.get()), {"\n    Hint = 'Its own'\n"});
  open->SetEnabled(true);
  open->Execute();
  EXPECT_EQ(opened, 1);
}

} // namespace QxTest
