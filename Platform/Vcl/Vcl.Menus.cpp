// Menu items, menus and shortcuts. The popup menu's modal loop and its
// windows are in Vcl.Menus.Popup.cpp, their look in Vcl.Menus.Draw.cpp.
#include "Vcl.Menus.hpp"

#include <algorithm>
#include <array>

namespace Vcl {

// ---- shortcuts ---------------------------------------------------------------------

namespace {

struct TKeyName {
  Word Key;
  const char* Name;
};

// Keys named in shortcut texts besides letters, digits and F1..F24.
constexpr std::array<TKeyName, 20> kKeyNames = {{{Win::VK_BACK, "BkSp"},   {Win::VK_TAB, "Tab"},
                                                 {Win::VK_RETURN, "Enter"}, {Win::VK_ESCAPE, "Esc"},
                                                 {Win::VK_SPACE, "Space"},  {Win::VK_PRIOR, "PgUp"},
                                                 {Win::VK_NEXT, "PgDn"},    {Win::VK_END, "End"},
                                                 {Win::VK_HOME, "Home"},    {Win::VK_LEFT, "Left"},
                                                 {Win::VK_UP, "Up"},        {Win::VK_RIGHT, "Right"},
                                                 {Win::VK_DOWN, "Down"},    {Win::VK_INSERT, "Ins"},
                                                 {Win::VK_DELETE, "Del"},   {0xBB, "="},
                                                 {0xBC, ","},               {0xBD, "-"},
                                                 {0xBE, "."},               {0xBF, "/"}}};

constexpr std::array<std::pair<TShortCut, const char*>, 3> kModifiers = {
  {{scShift, "Shift+"}, {scCtrl, "Ctrl+"}, {scAlt, "Alt+"}}};

String KeyName(Word Key)
{
  if ((Key >= 'A' && Key <= 'Z') || (Key >= '0' && Key <= '9'))
    return String(1, char(Key));
  if (Key >= Win::VK_F1 && Key < Win::VK_F1 + 24)
    return "F" + std::to_string(Key - Win::VK_F1 + 1);
  for (const TKeyName& k : kKeyNames)
    if (k.Key == Key)
      return k.Name;
  return {};
}

Word KeyOfName(const String& Name)
{
  for (Word key = 1; key < 256; ++key)
    if (String name = KeyName(key); !name.empty() && SameText(name, Name))
      return key;
  return 0;
}

} // namespace

TShortCut ShortCut(Word Key, TShiftState Shift)
{
  if (Key & 0xFF00)
    return scNone;
  TShortCut result = Key;
  if (Shift.Contains(ssShift))
    result |= scShift;
  if (Shift.Contains(ssCtrl))
    result |= scCtrl;
  if (Shift.Contains(ssAlt))
    result |= scAlt;
  return result;
}

void ShortCutToKey(TShortCut ShortCut, Word& Key, TShiftState& Shift)
{
  Key = ShortCut & 0xFF;
  Shift = {};
  if (ShortCut & scShift)
    Shift.Include(ssShift);
  if (ShortCut & scCtrl)
    Shift.Include(ssCtrl);
  if (ShortCut & scAlt)
    Shift.Include(ssAlt);
}

String ShortCutToText(TShortCut ShortCut)
{
  String key = KeyName(ShortCut & 0xFF);
  if (key.empty())
    return {};
  String text;
  for (const auto& [flag, name] : kModifiers)
    if (ShortCut & flag)
      text += name;
  return text + key;
}

TShortCut TextToShortCut(const String& Text)
{
  String rest = Text;
  TShortCut modifiers = 0;
  for (bool found = true; found && !rest.empty();) {
    found = false;
    for (const auto& [flag, name] : kModifiers) {
      String prefix(name);
      if (rest.size() > prefix.size() && SameText(rest.substr(0, prefix.size()), prefix)) {
        modifiers |= flag;
        rest.erase(0, prefix.size());
        found = true;
      }
    }
  }
  Word key = KeyOfName(rest);
  return key ? TShortCut(key | modifiers) : scNone;
}

String StripHotkey(const String& Text)
{
  String result;
  for (std::size_t i = 0; i < Text.size(); ++i) {
    if (Text[i] == '&' && i + 1 < Text.size())
      ++i;
    else if (Text[i] == '&')
      continue;
    result += Text[i];
  }
  return result;
}

char32_t GetHotkey(const String& Text)
{
  for (std::size_t i = 0; i + 1 < Text.size(); ++i) {
    if (Text[i] != '&')
      continue;
    if (Text[i + 1] == '&') {
      ++i;
      continue;
    }
    const char* p = Text.data() + i + 1;
    char32_t c = NextUtf8Char(p, Text.data() + Text.size());
    return c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c;
  }
  return 0;
}

// ---- TMenuItem ---------------------------------------------------------------------------

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner) {}

TMenuItem::~TMenuItem()
{
  Destroying();
  if (TMenu* menu = GetParentMenu())
    menu->ItemDestroying(this);
  if (FParent)
    FParent->Remove(this);
  Clear();
}

TMenuItem* TMenuItem::Items(Integer Index) const
{
  CheckIndex(Index, Count() - 1);
  return FItems[std::size_t(Index)];
}

void TMenuItem::CheckIndex(Integer Index, Integer Limit) const
{
  if (Index < 0 || Index > Limit)
    throw EMenuError(Format("Menu index out of range (%d)", {Index}));
}

Integer TMenuItem::MenuIndex() const
{
  return FParent ? FParent->IndexOf(this) : -1;
}

Integer TMenuItem::IndexOf(const TMenuItem* Item) const
{
  auto it = std::find(FItems.begin(), FItems.end(), Item);
  return it == FItems.end() ? -1 : Integer(it - FItems.begin());
}

void TMenuItem::Add(TMenuItem* Item)
{
  Insert(Count(), Item);
}

void TMenuItem::Insert(Integer Index, TMenuItem* Item)
{
  if (!Item)
    throw EMenuError("Cannot insert a nil menu item");
  if (Item->FParent || Item->FMenu)
    throw EMenuError("Menu inserted twice");
  for (const TMenuItem* p = this; p; p = p->FParent)
    if (p == Item)
      throw EMenuError("A menu item cannot hold itself");
  CheckIndex(Index, Count());
  FItems.insert(FItems.begin() + Index, Item);
  Item->FParent = this;
  if (Item->FRadioItem && Item->FChecked)
    Item->TurnSiblingsOff();
  MenuChanged(true);
}

void TMenuItem::Delete(Integer Index)
{
  CheckIndex(Index, Count() - 1);
  TMenuItem* item = FItems[std::size_t(Index)];
  FItems.erase(FItems.begin() + Index);
  item->FParent = nullptr;
  MenuChanged(true);
}

void TMenuItem::Remove(TMenuItem* Item)
{
  Integer index = IndexOf(Item);
  if (index < 0)
    throw EMenuError("Menu item not found");
  Delete(index);
}

void TMenuItem::Clear()
{
  while (!FItems.empty())
    delete FItems.back(); // its destructor takes it out of the list
}

TMenuItem* TMenuItem::Find(const String& ACaption) const
{
  const String wanted = StripHotkey(ACaption);
  for (TMenuItem* item : FItems)
    if (SameText(StripHotkey(item->FCaption), wanted))
      return item;
  return nullptr;
}

TMenu* TMenuItem::GetParentMenu() const
{
  const TMenuItem* root = this;
  while (root->FParent)
    root = root->FParent;
  return root->FMenu;
}

TCustomImageList* TMenuItem::GetImageList() const
{
  TMenu* menu = GetParentMenu();
  return menu ? menu->Images() : nullptr;
}

void TMenuItem::MenuChanged(bool Rebuild)
{
  if (TMenu* menu = GetParentMenu(); menu && !menu->ComponentState().Contains(csDestroying))
    menu->MenuChanged(FMenu ? nullptr : this, Rebuild);
}

void TMenuItem::SetCaption(const String& Value)
{
  if (FCaption == Value)
    return;
  FCaption = Value;
  MenuChanged(false);
}

void TMenuItem::SetEnabled(bool Value)
{
  if (FEnabled == Value)
    return;
  FEnabled = Value;
  MenuChanged(false);
}

void TMenuItem::SetVisible(bool Value)
{
  if (FVisible == Value)
    return;
  FVisible = Value;
  MenuChanged(true);
}

void TMenuItem::SetChecked(bool Value)
{
  if (FChecked == Value)
    return;
  FChecked = Value;
  if (Value && FRadioItem)
    TurnSiblingsOff();
}

void TMenuItem::SetRadioItem(bool Value)
{
  if (FRadioItem == Value)
    return;
  FRadioItem = Value;
  if (FChecked && FRadioItem)
    TurnSiblingsOff();
}

void TMenuItem::SetGroupIndex(Byte Value)
{
  if (FGroupIndex == Value)
    return;
  FGroupIndex = Value;
  if (FChecked && FRadioItem)
    TurnSiblingsOff();
}

void TMenuItem::TurnSiblingsOff()
{
  if (!FParent)
    return;
  for (TMenuItem* sibling : FParent->FItems)
    if (sibling != this && sibling->FRadioItem && sibling->FGroupIndex == FGroupIndex)
      sibling->FChecked = false;
}

void TMenuItem::Click()
{
  if (FAutoCheck && !(FActionLink && FActionLink->IsAutoCheckLinked()))
    SetChecked(!FChecked || FRadioItem);
  if (FActionLink && FActionLink->IsOnExecuteLinked() && !ComponentState().Contains(csDesigning)) {
    FActionLink->Execute(this);
    return;
  }
  if (OnClick)
    OnClick(this);
}

void TMenuItem::GetChildren(const TGetChildProc& Proc, TComponent* Root)
{
  for (TMenuItem* item : FItems)
    if (item->Owner() == Root)
      Proc(item);
}

TComponent* TMenuItem::GetParentComponent() const
{
  if (FParent && FParent->FMenu)
    return FParent->FMenu;
  return FParent;
}

void TMenuItem::SetParentComponent(TComponent* Value)
{
  if (FParent)
    FParent->Remove(this);
  if (auto* menu = dynamic_cast<TMenu*>(Value))
    menu->Items()->Add(this);
  else if (auto* item = dynamic_cast<TMenuItem*>(Value))
    item->Add(this);
}

// ---- TMenu --------------------------------------------------------------------------------

TMenu::TMenu(TComponent* AOwner) : TComponent(AOwner), FItems(new TMenuItem(nullptr))
{
  FItems->FMenu = this;
}

TMenu::~TMenu()
{
  Destroying();
  delete FItems;
}

void TMenu::SetImages(TCustomImageList* Value)
{
  if (FImages == Value)
    return;
  if (FImages)
    RemoveFreeNotification(FImages);
  FImages = Value;
  if (FImages)
    FreeNotification(FImages);
}

void TMenu::GetChildren(const TGetChildProc& Proc, TComponent* Root)
{
  FItems->GetChildren(Proc, Root);
}

namespace {

TMenuItem* FindShortCutIn(const TMenuItem* Parent, TShortCut Key)
{
  for (Integer i = 0; i < Parent->Count(); ++i) {
    TMenuItem* item = Parent->Items(i);
    if (!item->Visible() || !item->Enabled())
      continue;
    if (item->ShortCut() == Key)
      return item;
    if (TMenuItem* found = FindShortCutIn(item, Key))
      return found;
  }
  return nullptr;
}

} // namespace

TMenuItem* TMenu::FindShortCut(TShortCut Key) const
{
  return Key == scNone ? nullptr : FindShortCutIn(FItems, Key);
}

void TMenu::Notification(TComponent* AComponent, TOperation Operation)
{
  inherited::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FImages)
    FImages = nullptr;
}

// ---- TPopupMenu ----------------------------------------------------------------------------

TPopupMenu::TPopupMenu(TComponent* AOwner) : TMenu(AOwner) {}

void TPopupMenu::SetPopupComponent(TComponent* Value)
{
  if (FPopupComponent == Value)
    return;
  if (FPopupComponent)
    RemoveFreeNotification(FPopupComponent);
  FPopupComponent = Value;
  if (FPopupComponent)
    FreeNotification(FPopupComponent);
}

void TPopupMenu::Notification(TComponent* AComponent, TOperation Operation)
{
  inherited::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FPopupComponent)
    FPopupComponent = nullptr;
}

void TPopupMenu::DoPopup(TObject* Sender)
{
  if (OnPopup)
    OnPopup(Sender);
}

} // namespace Vcl
