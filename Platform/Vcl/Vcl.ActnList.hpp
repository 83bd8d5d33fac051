// Actions: named commands with a caption, check and enabled state,
// visibility, image, hint and shortcut, shown and run by any number of
// controls and menu items. A client holds an action link; the action tells
// every link of each change, and the link applies it to its client unless
// the client has gone its own way for that property (its value differs from
// the action's). Action lists gather actions and give them their images.
//
// Lifetimes: a link is owned by its client. An action that goes detaches
// its links first (their Action becomes nullptr); its clients then drop the
// empty links on the free notification. A list that goes releases its
// actions (they stay, owned by their owner); an action that goes leaves its
// list. So actions, lists and clients may be freed in any order.
#pragma once

#include <System.Classes.hpp>
#include <Vcl.Controls.hpp>
#include <Vcl.ImgList.hpp>

#include <memory>
#include <vector>

namespace Vcl {

// A key with its modifiers: the virtual-key code in the low byte, the
// modifier bits above; 0 is none.
using TShortCut = Word;
constexpr TShortCut scNone = 0, scShift = 0x2000, scCtrl = 0x4000, scAlt = 0x8000;

class TBasicAction;
class TCustomAction;
class TCustomActionList;

// ---- links ------------------------------------------------------------------------------
class TBasicActionLink : public TObject {
  QX_CLASS(TBasicActionLink, TObject)
public:
  TBasicActionLink() = default;
  ~TBasicActionLink() override;

  TBasicAction* Action() const { return FAction; }
  // Moves the link to another action (nullptr: to none).
  void SetAction(TBasicAction* Value);
  // Runs the action with AComponent as its ActionComponent meanwhile; true
  // when something handled it. The handler may free the client and with it
  // this link: nothing here is touched after it returns.
  virtual bool Execute(TComponent* AComponent = nullptr);
  // Asks the action to update itself; true when something handled it.
  virtual bool Update();
  // Whether running the client (a control's click) runs the action.
  virtual bool IsOnExecuteLinked() const { return true; }

protected:
  friend class TBasicAction;
  template <class L>
  friend std::unique_ptr<L> CreateActionLink(TObject* AClient);
  // Remembers the client the link works for; links that apply properties
  // take their typed client here.
  virtual void AssignClient(TObject* AClient) { (void)AClient; }
  virtual void SetOnExecute(const TNotifyEvent& Value) { (void)Value; }

  TBasicAction* FAction = nullptr;
};

// Makes a link of class L for its client.
template <class L>
std::unique_ptr<L> CreateActionLink(TObject* AClient)
{
  auto link = std::make_unique<L>();
  static_cast<TBasicActionLink*>(link.get())->AssignClient(AClient);
  return link;
}

// The link of a client of TCustomAction: a property is linked while the
// action is a custom action (descendants also ask that the client still
// shows the action's value); the Set hooks apply a change of the action to
// the client and do nothing here.
class TActionLink : public TBasicActionLink {
  QX_CLASS(TActionLink, TBasicActionLink)
public:
  virtual bool IsAutoCheckLinked() const { return IsLinked(); }
  virtual bool IsCaptionLinked() const { return IsLinked(); }
  virtual bool IsCheckedLinked() const { return IsLinked(); }
  virtual bool IsEnabledLinked() const { return IsLinked(); }
  virtual bool IsGroupIndexLinked() const { return IsLinked(); }
  virtual bool IsHintLinked() const { return IsLinked(); }
  virtual bool IsImageIndexLinked() const { return IsLinked(); }
  virtual bool IsShortCutLinked() const { return IsLinked(); }
  virtual bool IsVisibleLinked() const { return IsLinked(); }

protected:
  friend class TCustomAction;
  // The action as a custom action, or nullptr.
  TCustomAction* CustomAction() const;
  virtual void SetAutoCheck(bool Value) { (void)Value; }
  virtual void SetCaption(const String& Value) { (void)Value; }
  virtual void SetChecked(bool Value) { (void)Value; }
  virtual void SetEnabled(bool Value) { (void)Value; }
  virtual void SetGroupIndex(Integer Value) { (void)Value; }
  virtual void SetHint(const String& Value) { (void)Value; }
  virtual void SetImageIndex(Integer Value) { (void)Value; }
  virtual void SetShortCut(TShortCut Value) { (void)Value; }
  virtual void SetVisible(bool Value) { (void)Value; }

private:
  bool IsLinked() const { return CustomAction() != nullptr; }
};

// A control's link: caption, enabled state, hint and visibility follow the
// action while the control shows the action's value; the control's click
// runs the action while the control has no OnClick of its own.
class TControlActionLink : public TActionLink {
  QX_CLASS(TControlActionLink, TActionLink)
public:
  bool IsCaptionLinked() const override;
  bool IsEnabledLinked() const override;
  bool IsHintLinked() const override;
  bool IsVisibleLinked() const override;
  bool IsOnExecuteLinked() const override;

protected:
  // EAssertionFailed unless AClient is a TControl.
  void AssignClient(TObject* AClient) override;
  void SetCaption(const String& Value) override;
  void SetEnabled(bool Value) override;
  void SetHint(const String& Value) override;
  void SetVisible(bool Value) override;

  TControl* FClient = nullptr;
};

// The link of a windowed control; windowed controls derive their own links
// from it.
class TWinControlActionLink : public TControlActionLink {
  QX_CLASS(TWinControlActionLink, TControlActionLink)
};

// The link class L as a control names it in GetActionLinkClass:
//   TControlActionLinkClass GetActionLinkClass() const override { return ActionLinkClassOf<TMyLink>; }
template <class L>
constexpr TControlActionLinkClass ActionLinkClassOf = [](TControl* Client) -> std::unique_ptr<TControlActionLink> {
  return CreateActionLink<L>(Client);
};

// ---- actions ------------------------------------------------------------------------------
class TBasicAction : public TComponent {
  QX_CLASS(TBasicAction, TComponent)
public:
  explicit TBasicAction(TComponent* AOwner);
  ~TBasicAction() override;

  // Raises OnExecute; true when it is assigned.
  virtual bool Execute();
  // Raises OnUpdate; true when it is assigned.
  virtual bool Update();

  // The client that runs the action, while it runs it (free-notified).
  TComponent* ActionComponent() const { return FActionComponent; }
  void SetActionComponent(TComponent* Value);

  TNotifyEvent OnExecute() const { return FOnExecute; }
  // Tells every link (SetOnExecute hook), then Change.
  void SetOnExecute(TNotifyEvent Value);
  TNotifyEvent OnUpdate;
  TNotifyEvent OnChange;

  // The links of the action's clients.
  Integer ClientCount() const { return Integer(FClients.size()); }
  TBasicActionLink* Clients(Integer Index) const { return FClients.at(size_t(Index)); }
  void RegisterChanges(TBasicActionLink* Value);
  void UnRegisterChanges(TBasicActionLink* Value);

protected:
  // Raises OnChange after a property changed.
  virtual void Change();
  void Notification(TComponent* AComponent, TOperation Operation) override;
  // Calls Hook on every link; a link that leaves meanwhile is skipped.
  template <class L, class F>
  void ForEachLink(F Hook)
  {
    for (size_t i = 0; i < FClients.size(); ++i)
      if (auto* link = dynamic_cast<L*>(FClients[i]))
        Hook(link);
  }

private:
  std::vector<TBasicActionLink*> FClients;
  TNotifyEvent FOnExecute;
  TComponent* FActionComponent = nullptr;
};

// An action that may belong to an action list, written inside it in form
// resources.
class TContainedAction : public TBasicAction {
  QX_CLASS(TContainedAction, TBasicAction)
public:
  explicit TContainedAction(TComponent* AOwner);
  ~TContainedAction() override;

  TCustomActionList* ActionList() const { return FActionList; }
  // Leaves the old list and joins the end of the new one.
  void SetActionList(TCustomActionList* Value);
  const String& Category() const { return FCategory; }
  void SetCategory(const String& Value);
  // The place in the list, -1 outside one; setting moves the action
  // (clamped to the list).
  Integer Index() const;
  void SetIndex(Integer Value);

  // The list's OnExecute (OnUpdate) first; the action's own handler only
  // when the list did not handle it.
  bool Execute() override;
  bool Update() override;

  bool HasParent() const override { return FActionList != nullptr; }
  TComponent* GetParentComponent() const override;
  void SetParentComponent(TComponent* Value) override;

protected:
  // The action's OnChange, then the list's.
  void Change() override;

private:
  friend class TCustomActionList;
  TCustomActionList* FActionList = nullptr;
  String FCategory;
};

// The action with the properties its clients show. A setter that changes
// the value calls the links' hook first (while the clients still show the
// old value, so that a client that went its own way is left alone), stores
// the value, then calls Change.
class TCustomAction : public TContainedAction {
  QX_CLASS(TCustomAction, TContainedAction)
public:
  explicit TCustomAction(TComponent* AOwner);

  // Update; then, when enabled: AutoCheck toggles Checked (a checked action
  // of a group stays checked), and the handlers run. False when disabled.
  bool Execute() override;

  const String& Caption() const { return FCaption; }
  void SetCaption(const String& Value);
  bool Checked() const { return FChecked; }
  // Checking an action of a group (GroupIndex above 0) unchecks the other
  // actions of the group in its list.
  void SetChecked(bool Value);
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value);
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);
  Integer ImageIndex() const { return FImageIndex; }
  void SetImageIndex(Integer Value);
  const String& Hint() const { return FHint; }
  void SetHint(const String& Value);
  TShortCut ShortCut() const { return FShortCut; }
  void SetShortCut(TShortCut Value);
  Integer GroupIndex() const { return FGroupIndex; }
  void SetGroupIndex(Integer Value);
  bool AutoCheck() const { return FAutoCheck; }
  void SetAutoCheck(bool Value);
  // The images of the action's list (ImageIndex counts in them), or nullptr.
  TCustomImageList* Images() const;

private:
  template <class V, class Hook>
  void Assign(V& Field, const V& Value, Hook LinkHook);

  String FCaption;
  bool FChecked = false;
  bool FEnabled = true;
  bool FVisible = true;
  Integer FImageIndex = -1;
  String FHint;
  TShortCut FShortCut = scNone;
  Integer FGroupIndex = 0;
  bool FAutoCheck = false;
};

class TAction : public TCustomAction {
  QX_CLASS(TAction, TCustomAction)
public:
  using TCustomAction::TCustomAction;
};

// ---- lists --------------------------------------------------------------------------------
using TActionEvent = std::function<void(TBasicAction* Action, bool& Handled)>;

class TCustomActionList : public TComponent {
  QX_CLASS(TCustomActionList, TComponent)
public:
  explicit TCustomActionList(TComponent* AOwner);
  ~TCustomActionList() override;

  Integer ActionCount() const { return Integer(FActions.size()); }
  TContainedAction* Actions(Integer Index) const { return FActions.at(size_t(Index)); }
  // Not owned; free-notified.
  TCustomImageList* Images() const { return FImages; }
  void SetImages(TCustomImageList* Value);

  // OnExecute (OnUpdate) for an action of the list; true when handled.
  virtual bool ExecuteAction(TBasicAction* Action);
  virtual bool UpdateAction(TBasicAction* Action);

  // Form streaming: the actions the root owns are written inside the list.
  void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;

  TActionEvent OnExecute;
  TActionEvent OnUpdate;
  // After an action of the list or the list's images changed.
  TNotifyEvent OnChange;

protected:
  virtual void Change();
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  friend class TContainedAction;
  std::vector<TContainedAction*> FActions;
  TCustomImageList* FImages = nullptr;
};

class TActionList : public TCustomActionList {
  QX_CLASS(TActionList, TCustomActionList)
public:
  using TCustomActionList::TCustomActionList;
};

// Updates each action in turn; one freed by the handler of an earlier one
// is skipped. The application's idle time runs it for the actions of the
// visible controls.
void UpdateActions(const std::vector<TBasicAction*>& Actions);

} // namespace Vcl
