// Menus: trees of menu items (captions with accelerators, shortcuts, checks
// and radio groups, images, separators, sub-menus) and popup menus that run
// modally in top-level popup windows on the window system, drawn in the
// themed or the classic look.
#pragma once

#include <System.Classes.hpp>
#include <System.SysUtils.hpp>
#include <System.TypInfo.hpp>
#include <System.Types.hpp>
#include <Vcl.ActnList.hpp>
#include <Vcl.Controls.hpp>
#include <Vcl.ImgList.hpp>

#include <functional>
#include <memory>
#include <vector>

namespace Vcl {

QX_EXCEPTION(EMenuError, Exception);

// ---- shortcuts (TShortCut: Vcl.ActnList) ------------------------------------------------
TShortCut ShortCut(Word Key, TShiftState Shift);
void ShortCutToKey(TShortCut ShortCut, Word& Key, TShiftState& Shift);
// "Ctrl+S", "Shift+Del", "Alt+F4"; empty for none or a key without a name.
String ShortCutToText(TShortCut ShortCut);
// The reverse, case-insensitive; scNone for text it does not know.
TShortCut TextToShortCut(const String& Text);

// Captions mark their accelerator with "&" ("&&" is a plain "&").
String StripHotkey(const String& Text);
// The accelerator's character, upper-cased for ASCII letters; 0 when none.
char32_t GetHotkey(const String& Text);

constexpr const char* cLineCaption = "-";

class TMenu;
class TPopupMenu;
class TMainMenu;
class TMenuItem;

// A menu item's link to its action: caption, check mark, enabled state,
// visibility, image, hint, shortcut, auto-check and group follow the action
// while the item shows the action's value; choosing the item runs the action
// while the item has no OnClick of its own.
class TMenuActionLink : public TActionLink {
  QX_CLASS(TMenuActionLink, TActionLink)
public:
  bool IsAutoCheckLinked() const override;
  bool IsCaptionLinked() const override;
  bool IsCheckedLinked() const override;
  bool IsEnabledLinked() const override;
  bool IsGroupIndexLinked() const override;
  bool IsHintLinked() const override;
  bool IsImageIndexLinked() const override;
  bool IsShortCutLinked() const override;
  bool IsVisibleLinked() const override;
  bool IsOnExecuteLinked() const override;

protected:
  // EAssertionFailed unless AClient is a TMenuItem.
  void AssignClient(TObject* AClient) override;
  void SetAutoCheck(bool Value) override;
  void SetCaption(const String& Value) override;
  void SetChecked(bool Value) override;
  void SetEnabled(bool Value) override;
  void SetGroupIndex(Integer Value) override;
  void SetHint(const String& Value) override;
  void SetImageIndex(Integer Value) override;
  void SetShortCut(TShortCut Value) override;
  void SetVisible(bool Value) override;

  TMenuItem* FClient = nullptr;
};
namespace MenusInternal {
class TMenuLoop;
class TMenuBar;
}

// ---- TMenuItem -----------------------------------------------------------------------
// An item holds its sub-items: freeing an item frees them, and an item freed
// by its owner leaves its parent first.
class TMenuItem : public TComponent {
  QX_CLASS(TMenuItem, TComponent)
public:
  explicit TMenuItem(TComponent* AOwner);
  ~TMenuItem() override;

  // Changes that show (caption, enabled, visible, the sub-items) are told
  // to the menu the item belongs to.
  const String& Caption() const { return FCaption; }
  void SetCaption(const String& Value);
  TShortCut ShortCut() const { return FShortCut; }
  void SetShortCut(TShortCut Value) { FShortCut = Value; }
  bool Checked() const { return FChecked; }
  // Checking a radio item unchecks the radio items of its group among its
  // siblings.
  void SetChecked(bool Value);
  bool RadioItem() const { return FRadioItem; }
  void SetRadioItem(bool Value);
  Byte GroupIndex() const { return FGroupIndex; }
  void SetGroupIndex(Byte Value);
  bool AutoCheck() const { return FAutoCheck; }
  void SetAutoCheck(bool Value) { FAutoCheck = Value; }
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value);
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);
  // The default item is drawn bold.
  bool Default() const { return FDefault; }
  void SetDefault(bool Value) { FDefault = Value; }
  // An image of the menu's Images; -1 for none.
  Integer ImageIndex() const { return FImageIndex; }
  void SetImageIndex(Integer Value) { FImageIndex = Value; }
  const String& Hint() const { return FHint; }
  void SetHint(const String& Value) { FHint = Value; }
  // A separator: the caption "-".
  bool IsLine() const { return FCaption == cLineCaption; }

  // The tree. Items(Index) and the index arguments raise EMenuError outside
  // the range; an item already in a menu cannot be added again.
  Integer Count() const { return Integer(FItems.size()); }
  TMenuItem* Items(Integer Index) const;
  TMenuItem* Parent() const { return FParent; }
  Integer MenuIndex() const;
  Integer IndexOf(const TMenuItem* Item) const;
  void Add(TMenuItem* Item);
  void Insert(Integer Index, TMenuItem* Item);
  // Takes the item out without freeing it.
  void Delete(Integer Index);
  void Remove(TMenuItem* Item);
  // Frees every sub-item.
  void Clear();
  // The sub-item whose caption, without accelerator marks, is ACaption
  // (case-insensitive); nullptr when none.
  TMenuItem* Find(const String& ACaption) const;
  // The menu the tree belongs to (nullptr while it hangs in no menu).
  TMenu* GetParentMenu() const;
  TCustomImageList* GetImageList() const;

  // The action the item shows and runs (free-notified); nullptr for none.
  TBasicAction* Action() const;
  void SetAction(TBasicAction* Value);
  TMenuActionLink* ActionLink() const { return FActionLink.get(); }

  // AutoCheck toggles Checked (unless the action's AutoCheck does), then
  // OnClick runs, or the action when the item has no OnClick.
  virtual void Click();
  TNotifyEvent OnClick;

  // Whether the item's own value of a property is written to form
  // resources: not while it comes from the action.
  bool IsCaptionStored() const;
  bool IsCheckedStored() const;
  bool IsEnabledStored() const;
  bool IsHintStored() const;
  bool IsImageIndexStored() const;
  bool IsShortCutStored() const;
  bool IsVisibleStored() const;

  // Form streaming: sub-items are written nested in their item, the menu's
  // first level in the menu.
  void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
  bool HasParent() const override { return true; }
  TComponent* GetParentComponent() const override;
  void SetParentComponent(TComponent* Value) override;

protected:
  // Takes the action's values; with CheckDefaults only where the item still
  // has its default.
  virtual void ActionChange(TObject* Sender, bool CheckDefaults);
  void Notification(TComponent* AComponent, TOperation Operation) override;
  // Something that shows changed; Rebuild when the items themselves did.
  void MenuChanged(bool Rebuild);

private:
  friend class TMenu;
  void TurnSiblingsOff();
  void CheckIndex(Integer Index, Integer Limit) const;

  String FCaption;
  TShortCut FShortCut = scNone;
  bool FChecked = false;
  bool FRadioItem = false;
  Byte FGroupIndex = 0;
  bool FAutoCheck = false;
  bool FEnabled = true;
  bool FVisible = true;
  bool FDefault = false;
  Integer FImageIndex = -1;
  String FHint;
  TMenuItem* FParent = nullptr;
  TMenu* FMenu = nullptr; // the menu whose first level this item holds
  std::vector<TMenuItem*> FItems;
  std::unique_ptr<TMenuActionLink> FActionLink;
};

// ---- TMenu -----------------------------------------------------------------------------
class TMenu : public TComponent {
  QX_CLASS(TMenu, TComponent)
public:
  explicit TMenu(TComponent* AOwner);
  ~TMenu() override;

  // The menu's first level hangs below this item, which the menu owns.
  TMenuItem* Items() const { return FItems; }
  TCustomImageList* Images() const { return FImages; }
  void SetImages(TCustomImageList* Value);

  void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
  // The enabled item of the tree (visible, under enabled visible parents)
  // whose ShortCut is the key; nullptr when none.
  TMenuItem* FindShortCut(TShortCut Key) const;

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;
  // An item of the tree is going away.
  virtual void ItemDestroying(TMenuItem* Item) { (void)Item; }
  // An item of the tree changed in a way that shows (Source nullptr: the
  // menu itself); Rebuild when items came or went.
  virtual void MenuChanged(TMenuItem* Source, bool Rebuild) { (void)Source, (void)Rebuild; }

private:
  friend class TMenuItem;
  TMenuItem* FItems;
  TCustomImageList* FImages = nullptr;
};

// ---- TPopupMenu ----------------------------------------------------------------------
enum class TPopupAlignment { paLeft, paRight, paCenter };
using enum TPopupAlignment;
QX_ENUM_NAMES(TPopupAlignment, paLeft, paRight, paCenter)

class TPopupMenu : public TMenu {
  QX_CLASS(TPopupMenu, TMenu)
public:
  explicit TPopupMenu(TComponent* AOwner);
  ~TPopupMenu() override;

  // Where X lies on the menu: its left edge, its right edge or its middle.
  TPopupAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TPopupAlignment Value) { FAlignment = Value; }
  // Where the menu drops from below R: R's bottom edge, at the side (or the
  // middle) the alignment names.
  TPoint AnchorBelow(const TRect& R) const
  {
    const Integer x = FAlignment == paRight ? R.Right : FAlignment == paCenter ? R.Left + R.Width() / 2 : R.Left;
    return TPoint(x, R.Bottom);
  }
  // Whether a control's context-menu request (right click, Shift+F10, the
  // menu key) shows the menu.
  bool AutoPopup() const { return FAutoPopup; }
  void SetAutoPopup(bool Value) { FAutoPopup = Value; }
  // The control (or other component) the menu was last shown for.
  TComponent* PopupComponent() const { return FPopupComponent; }
  void SetPopupComponent(TComponent* Value);
  // Where the last Popup was asked for (screen coordinates).
  TPoint PopupPoint() const { return FPopupPoint; }
  // Whether the menu is showing (its modal loop runs).
  bool IsOpen() const { return FLoop != nullptr; }

  // Raises OnPopup, shows the menu at the screen point (kept on the screen)
  // and returns when it closes: after an item was chosen, Escape, a press
  // outside it (which then reaches the window beneath), a switch to another
  // application or a cancel-mode request. The chosen item's Click runs
  // last, after the menu's windows are gone; the menu is not touched after
  // it, so the handler may free the menu or its owner.
  virtual void Popup(Integer X, Integer Y);

  TNotifyEvent OnPopup;

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void ItemDestroying(TMenuItem* Item) override;
  virtual void DoPopup(TObject* Sender);

private:
  TPopupAlignment FAlignment = paLeft;
  bool FAutoPopup = true;
  TComponent* FPopupComponent = nullptr;
  TPoint FPopupPoint;
  MenusInternal::TMenuLoop* FLoop = nullptr;
  std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
};

// ---- TMainMenu ----------------------------------------------------------------------------
// A form's menu bar: its first-level items show across the strip of the
// form whose Menu it is, each dropping its sub-items as a popup menu.
enum class TMenuAutoFlag { maAutomatic, maManual, maParent };
using enum TMenuAutoFlag;
QX_ENUM_NAMES(TMenuAutoFlag, maAutomatic, maManual, maParent)

using TMenuChangeEvent = std::function<void(TObject* Sender, TMenuItem* Source, bool Rebuild)>;

class TMainMenu : public TMenu {
  QX_CLASS(TMainMenu, TMenu)
public:
  explicit TMainMenu(TComponent* AOwner);
  ~TMainMenu() override;

  // Kept for form resources: the captions show the accelerators they are
  // written with, and separators as they stand.
  TMenuAutoFlag AutoHotkeys() const { return FAutoHotkeys; }
  void SetAutoHotkeys(TMenuAutoFlag Value) { FAutoHotkeys = Value; }
  TMenuAutoFlag AutoLineReduction() const { return FAutoLineReduction; }
  void SetAutoLineReduction(TMenuAutoFlag Value) { FAutoLineReduction = Value; }
  bool AutoMerge() const { return FAutoMerge; }
  void SetAutoMerge(bool Value) { FAutoMerge = Value; }
  bool OwnerDraw() const { return FOwnerDraw; }
  void SetOwnerDraw(bool Value) { FOwnerDraw = Value; }
  TBiDiMode BiDiMode() const { return FBiDiMode; }
  void SetBiDiMode(TBiDiMode Value);
  bool ParentBiDiMode() const { return FParentBiDiMode; }
  void SetParentBiDiMode(bool Value) { FParentBiDiMode = Value; }

  // The form whose menu bar shows the menu; nullptr for none.
  TWinControl* Form() const;
  // Whether the menu bar is tracking (a menu dropped, or the keyboard on
  // the bar).
  bool IsTracking() const;

  // Raised when an item changes in a way that shows.
  TMenuChangeEvent OnChange;

protected:
  void ItemDestroying(TMenuItem* Item) override;
  void MenuChanged(TMenuItem* Source, bool Rebuild) override;

private:
  friend class MenusInternal::TMenuBar;
  friend bool GetMenuItemRect(const TMenuItem* Item, TRect& Rect);
  TMenuAutoFlag FAutoHotkeys = maAutomatic;
  TMenuAutoFlag FAutoLineReduction = maAutomatic;
  bool FAutoMerge = false;
  bool FOwnerDraw = false;
  TBiDiMode FBiDiMode = bdLeftToRight;
  bool FParentBiDiMode = true;
  MenusInternal::TMenuBar* FBar = nullptr; // the bar of the form showing the menu
};

// ---- the open menu -----------------------------------------------------------------------
// Where an item shows on the screen while its menu is open, or on the menu
// bar that shows it; false when it does not show.
bool GetMenuItemRect(const TMenuItem* Item, TRect& Rect);
// Called whenever the loop of an open popup menu has handled every waiting
// message: a host's tour or a test looks at the open menu and injects the
// next input here. While a hook is set the loop does not wait but asks it
// again. The hook is given the open popup menu, or nullptr while the open
// menu drops from a form's menu bar. Returns the hook it replaces.
using TMenuLoopIdleHook = std::function<void(TPopupMenu* Menu)>;
TMenuLoopIdleHook SetMenuLoopIdleHook(TMenuLoopIdleHook Hook);

} // namespace Vcl
