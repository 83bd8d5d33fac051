// The link menu: a markup label that shows one link per action of its
// collection, separated by vertical bars. Clicking a link runs its action
// and may drop a popup menu down under the clicked word.
#pragma once

#include <Quorex.Vcl.HtmlLabel.hpp>
#include <Vcl.ActnList.hpp>
#include <Vcl.Menus.hpp>

#include <memory>

namespace Quorex {

class TLinkMenuItem;
class TLinkMenuCollection;
class TQxCustomLinkMenu;

// Keeps an item in step with its action: caption and visibility are copied,
// the enabled state too unless a popup menu keeps the item enabled.
class TQxActionLink : public Vcl::TActionLink {
  QX_CLASS(TQxActionLink, Vcl::TActionLink)
protected:
  // EAssertionFailed unless AClient is a TLinkMenuItem.
  void AssignClient(Vcl::TObject* AClient) override;
  void SetCaption(const String& Value) override;
  void SetEnabled(bool Value) override;
  void SetVisible(bool Value) override;

  TLinkMenuItem* FClient = nullptr;
};

class TLinkMenuItem : public Vcl::TCollectionItem {
  QX_CLASS(TLinkMenuItem, Vcl::TCollectionItem)
public:
  explicit TLinkMenuItem(Vcl::TCollection* Collection) : Vcl::TCollectionItem(Collection) {}
  void Assign(const Vcl::TPersistent* Source) override;

  // Referred to, not owned: the item lets go when the action is freed.
  Vcl::TBasicAction* Action() const;
  void SetAction(Vcl::TBasicAction* Value);
  TQxActionLink* ActionLink() const { return FActionLink.get(); }
  // Referred to, not owned: the item lets go when the menu is freed.
  Vcl::TPopupMenu* PopupMenu() const { return FPopupMenu; }
  void SetPopupMenu(Vcl::TPopupMenu* Value);

  const String& Caption() const { return FCaption; }
  // A popup menu keeps the link clickable whatever its action says.
  bool Enabled() const { return FActionEnabled || FPopupMenu; }
  bool Visible() const { return FVisible; }

  // The link menu forwards the removal of components here: an item lets go
  // of a freed action or popup menu.
  void Notification(Vcl::TComponent* AComponent, Vcl::TOperation Operation);

private:
  friend class TQxActionLink;
  TQxCustomLinkMenu* Menu() const;
  // Asks the menu to hear of the component's removal on the items' behalf.
  void Watch(Vcl::TComponent* AComponent);

  std::unique_ptr<TQxActionLink> FActionLink;
  Vcl::TPopupMenu* FPopupMenu = nullptr;
  String FCaption;
  bool FActionEnabled = true;
  bool FVisible = true;
};

class TLinkMenuCollection : public Vcl::TOwnedCollection {
  QX_CLASS(TLinkMenuCollection, Vcl::TOwnedCollection)
public:
  explicit TLinkMenuCollection(TQxCustomLinkMenu* AMenu);
  TQxCustomLinkMenu* Menu() const { return FMenu; }

  TLinkMenuItem* Add() { return static_cast<TLinkMenuItem*>(Vcl::TCollection::Add()); }
  TLinkMenuItem* Items(Integer Index) const { return static_cast<TLinkMenuItem*>(Vcl::TCollection::Items(Index)); }
  TLinkMenuItem* operator[](Integer Index) const { return Items(Index); }

protected:
  // Any change of an item shows at once in the menu's text.
  void Update(Vcl::TCollectionItem* Item) override;

private:
  TQxCustomLinkMenu* FMenu;
};

class TQxCustomLinkMenu : public TCustomHtmlLabel {
  QX_CLASS(TQxCustomLinkMenu, TCustomHtmlLabel)
public:
  static constexpr Vcl::TColor LinkMenuColor = 0x005196FF;
  static constexpr Vcl::TColor DisabledLinkColor = 0x00808080;

  explicit TQxCustomLinkMenu(Vcl::TComponent* AOwner);
  ~TQxCustomLinkMenu() override;

  TLinkMenuCollection* Links() const { return FLinks.get(); }
  void SetLinks(const TLinkMenuCollection* Value) { FLinks->Assign(Value); }

  void Loaded() override;
  // Asks every item's action to update itself, which refreshes the items.
  void UpdateLinks();
  // Sets the caption from the items; a caption set by hand does not last.
  void RebuildText();
  static String MakeLinkText(const String& Caption, Integer Index, bool Enabled);

protected:
  void DoLinkClick(const String& LinkId, const THtmlRenderChunk* Chunk) override;
  void Notification(Vcl::TComponent* AComponent, Vcl::TOperation Operation) override;

private:
  friend class TLinkMenuItem;
  // Dropping at the screen point under the clicked word.
  void DropDown(Vcl::TPopupMenu* Menu, const THtmlRenderChunk& Chunk);

  std::unique_ptr<TLinkMenuCollection> FLinks;
  // Expires with the menu: a handler run from a click may free it.
  std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
};

class TQxLinkMenu : public TQxCustomLinkMenu {
  QX_CLASS(TQxLinkMenu, TQxCustomLinkMenu)
public:
  using TQxCustomLinkMenu::TQxCustomLinkMenu;
};

} // namespace Quorex
