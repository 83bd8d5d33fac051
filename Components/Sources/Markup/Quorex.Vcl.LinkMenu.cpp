#include "Quorex.Vcl.LinkMenu.hpp"

#include <System.SysUtils.hpp>
#include <System.TypInfo.hpp>

namespace Quorex {

using namespace Vcl;

namespace {

const String Separator = " | ";

String ColorValue(TColor Color)
{
  return "$" + IntToHex(UInt64(Cardinal(Color)), 8);
}

String Coloured(TColor Color, const String& Text)
{
  return "<font color=\"" + ColorValue(Color) + "\">" + Text + "</font>";
}

// An action without an enabled state of its own (a basic action) may always
// run.
bool ActionEnabled(TBasicAction* Action)
{
  auto* custom = dynamic_cast<TCustomAction*>(Action);
  return !custom || custom->Enabled();
}

} // namespace

// ---- action link ----------------------------------------------------------------------------

void TQxActionLink::AssignClient(TObject* AClient)
{
  FClient = dynamic_cast<TLinkMenuItem*>(AClient);
  QX_ASSERT(FClient, "Quorex.Vcl.LinkMenu");
}

// The action calls these before it stores the new value: only Value is
// current.
void TQxActionLink::SetCaption(const String& Value)
{
  if (!IsCaptionLinked())
    return;
  FClient->FCaption = Value;
  FClient->Changed(false);
}

void TQxActionLink::SetEnabled(bool Value)
{
  if (!IsEnabledLinked())
    return;
  FClient->FActionEnabled = Value;
  FClient->Changed(false);
}

void TQxActionLink::SetVisible(bool Value)
{
  if (!IsVisibleLinked())
    return;
  FClient->FVisible = Value;
  FClient->Changed(false);
}

// ---- item -----------------------------------------------------------------------------------

TQxCustomLinkMenu* TLinkMenuItem::Menu() const
{
  auto* links = dynamic_cast<TLinkMenuCollection*>(Collection());
  return links ? links->Menu() : nullptr;
}

void TLinkMenuItem::Watch(TComponent* AComponent)
{
  if (TQxCustomLinkMenu* menu = Menu(); menu && AComponent)
    AComponent->FreeNotification(menu);
}

void TLinkMenuItem::Assign(const TPersistent* Source)
{
  const auto* item = dynamic_cast<const TLinkMenuItem*>(Source);
  if (!item) {
    inherited::Assign(Source);
    return;
  }
  SetAction(item->Action());
  SetPopupMenu(item->FPopupMenu);
}

TBasicAction* TLinkMenuItem::Action() const
{
  return FActionLink ? FActionLink->Action() : nullptr;
}

void TLinkMenuItem::SetAction(TBasicAction* Value)
{
  if (Action() == Value)
    return;
  if (!Value) {
    FActionLink.reset();
    Changed(false);
    return;
  }
  if (!FActionLink)
    FActionLink = CreateActionLink<TQxActionLink>(this);
  FActionLink->SetAction(Value);
  if (auto* action = dynamic_cast<TCustomAction*>(Value)) {
    FCaption = action->Caption();
    FActionEnabled = action->Enabled();
    FVisible = action->Visible();
  }
  Watch(Value);
  Changed(false);
}

void TLinkMenuItem::SetPopupMenu(TPopupMenu* Value)
{
  if (FPopupMenu == Value)
    return;
  FPopupMenu = Value;
  Watch(Value);
  Changed(false);
}

void TLinkMenuItem::Notification(TComponent* AComponent, TOperation Operation)
{
  if (Operation != opRemove)
    return;
  bool changed = false;
  // The owner tells of an action before freeing it; an action freed on its
  // own has already let go of the link.
  if (FActionLink && (FActionLink->Action() == AComponent || !FActionLink->Action())) {
    FActionLink.reset();
    changed = true;
  }
  if (FPopupMenu && FPopupMenu == AComponent) {
    FPopupMenu = nullptr;
    changed = true;
  }
  if (changed)
    Changed(false);
}

// ---- collection -----------------------------------------------------------------------------

TLinkMenuCollection::TLinkMenuCollection(TQxCustomLinkMenu* AMenu)
  : TOwnedCollection(AMenu, &TLinkMenuItem::StaticClass()), FMenu(AMenu)
{
}

void TLinkMenuCollection::Update(TCollectionItem* Item)
{
  (void)Item;
  // Loaded builds the text once the whole resource is read.
  const TComponentState state = FMenu->ComponentState();
  if (state.Contains(csLoading) || state.Contains(csDestroying))
    return;
  FMenu->RebuildText();
}

// ---- menu -----------------------------------------------------------------------------------

TQxCustomLinkMenu::TQxCustomLinkMenu(TComponent* AOwner)
  : TCustomHtmlLabel(AOwner), FLinks(std::make_unique<TLinkMenuCollection>(this))
{
  FLinks->SetPropName("Links");
  SetAlignment(taRightJustify);
  SetParentFont(true);
  Renderer()->SetWordBreak(false);
  Renderer()->SetAutoHeight(true);
  Renderer()->SetAutoWidth(true);
  SetLinkColor(LinkMenuColor);
}

TQxCustomLinkMenu::~TQxCustomLinkMenu()
{
  Destroying();
  FLinks.reset();
}

void TQxCustomLinkMenu::Loaded()
{
  inherited::Loaded();
  UpdateLinks();
  RebuildText();
}

void TQxCustomLinkMenu::UpdateLinks()
{
  std::vector<TBasicAction*> actions;
  for (Integer i = 0; i < FLinks->Count(); ++i)
    if (TBasicAction* action = FLinks->Items(i)->Action())
      actions.push_back(action);
  UpdateActions(actions);
}

String TQxCustomLinkMenu::MakeLinkText(const String& Caption, Integer Index, bool Enabled)
{
  if (!Enabled)
    return Coloured(DisabledLinkColor, Caption);
  return "<a href=\"" + IntToStr(Index) + "\">" + Caption + "</a>";
}

// Identifiers count in the whole collection, so a hidden item keeps the
// following items' numbers.
void TQxCustomLinkMenu::RebuildText()
{
  String links;
  for (Integer i = 0; i < FLinks->Count(); ++i) {
    // An item still being constructed tells of itself already; it has no
    // action yet.
    const auto* item = dynamic_cast<const TLinkMenuItem*>(FLinks->TCollection::Items(i));
    if (!item || !item->Action() || !item->Visible())
      continue;
    if (!links.empty())
      links += Separator;
    links += MakeLinkText(item->Caption(), i, item->Enabled());
  }
  SetCaption(Coloured(LinkMenuColor, links));
}

void TQxCustomLinkMenu::DoLinkClick(const String& LinkId, const THtmlRenderChunk* Chunk)
{
  const std::weak_ptr<bool> alive = FAlive;
  inherited::DoLinkClick(LinkId, Chunk);
  if (alive.expired())
    return;
  Integer index = -1;
  if (!TryStrToInt(LinkId, index) || index < 0 || index >= FLinks->Count())
    return;
  TLinkMenuItem* item = FLinks->Items(index);
  const Integer id = item->ID();
  // A popup menu keeps the link clickable; its action runs only when the
  // action itself is enabled.
  if (item->Action() && ActionEnabled(item->Action()))
    item->ActionLink()->Execute(this);
  // The action may have freed the menu, the item or the popup menu.
  if (alive.expired())
    return;
  item = static_cast<TLinkMenuItem*>(FLinks->FindItemID(id));
  if (item && item->PopupMenu() && Chunk)
    DropDown(item->PopupMenu(), *Chunk);
}

void TQxCustomLinkMenu::DropDown(TPopupMenu* Menu, const THtmlRenderChunk& Chunk)
{
  const TPoint at = ClientToScreen(TPoint(Chunk.X(), Chunk.Y() + Chunk.Height() + 5));
  Menu->SetPopupComponent(this);
  Menu->Popup(at.X, at.Y);
}

void TQxCustomLinkMenu::Notification(TComponent* AComponent, TOperation Operation)
{
  inherited::Notification(AComponent, Operation);
  if (Operation != opRemove || !FLinks)
    return;
  for (Integer i = 0; i < FLinks->Count(); ++i)
    FLinks->Items(i)->Notification(AComponent, Operation);
}

QX_PUBLISHED(TLinkMenuItem)
{
  Property("Action", &T::Action, &T::SetAction);
  Property("PopupMenu", &T::PopupMenu, &T::SetPopupMenu);
}

QX_PUBLISHED(TQxLinkMenu)
{
  Publish("Anchors");
  Publish("Align").Default(alNone);
  Property("Alignment", &T::Alignment, &T::SetAlignment).Default(taRightJustify);
  // Each parent switch before the value it stands for.
  Publish("ParentFont").Default(true);
  Publish("Font");
  Property("Links", &T::Links, &T::SetLinks);
  Publish("ParentColor").Default(true);
  for (const char* name : {"Color", "Visible", "Enabled", "ShowHint"})
    Publish(name);
  Property("Transparent", &T::Transparent, &T::SetTransparent).Default(true);
}

} // namespace Quorex
