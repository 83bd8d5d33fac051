// Tab order, focus and the keyboard of windowed controls.
#include "Vcl.Controls.hpp"

#include <System.SysUtils.hpp>

#include <algorithm>
#include <cwctype>

namespace Vcl {

// ---- tab order and focus ------------------------------------------------------------------

void TWinControl::InsertTabList(TWinControl* Control)
{
  FTabList.push_back(Control);
}

void TWinControl::SetTabStop(bool Value)
{
  if (FTabStop == Value)
    return;
  FTabStop = Value;
  if (FHandle) {
    auto style = Win::GetWindowLongPtr(FHandle, Win::GWL_STYLE);
    Win::SetWindowLongPtr(FHandle, Win::GWL_STYLE, Value ? (style | Win::WS_TABSTOP) : (style & ~Win::LONG_PTR(Win::WS_TABSTOP)));
  }
  Perform(CM_TABSTOPCHANGED);
}

Integer TWinControl::TabOrder() const
{
  if (!FParent)
    return -1;
  auto& list = FParent->FTabList;
  auto it = std::find(list.begin(), list.end(), this);
  return it == list.end() ? -1 : Integer(it - list.begin());
}

void TWinControl::SetTabOrder(Integer Value)
{
  if (!FParent)
    return;
  auto& list = FParent->FTabList;
  auto it = std::find(list.begin(), list.end(), this);
  if (it == list.end())
    return;
  list.erase(it);
  Value = std::clamp(Value, 0, Integer(list.size()));
  list.insert(list.begin() + Value, this);
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& List) const
{
  for (TWinControl* c : FTabList) {
    List.push_back(c);
    c->GetTabOrderList(List);
  }
}

TWinControl* TWinControl::FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop, bool CheckParent)
{
  std::vector<TWinControl*> list;
  GetTabOrderList(list);
  if (list.empty())
    return nullptr;
  auto found = std::find(list.begin(), list.end(), CurControl);
  size_t start = found != list.end() ? size_t(found - list.begin()) : (GoForward ? list.size() - 1 : 0);
  size_t i = start;
  do {
    i = GoForward ? (i + 1) % list.size() : (i + list.size() - 1) % list.size();
    TWinControl* c = list[i];
    if (c->CanFocus() && (!CheckTabStop || c->TabStop()) && (!CheckParent || c->Parent() == this))
      return c;
  } while (i != start);
  return nullptr;
}

void TWinControl::SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop)
{
  if (TWinControl* next = FindNextControl(CurControl, GoForward, CheckTabStop, !CheckTabStop))
    next->SetFocus();
}

bool TWinControl::CanFocus() const
{
  TWinControl* form = FormControl(true);
  if (form && (!form->Visible() || !form->Enabled()))
    return false;
  for (const TControl* c = this; c && c != form; c = c->Parent())
    if (!c->Visible() || !c->Enabled())
      return false;
  return true;
}

bool TWinControl::Focused() const
{
  return FHandle && Win::GetFocus() == FHandle;
}

void TWinControl::SetFocus()
{
  if (TWinControl* form = FormControl(true)) {
    form->FocusControl(this);
    return;
  }
  if (!CanFocus())
    throw EInvalidOperation("Cannot focus a disabled or invisible window");
  Win::SetFocus(Handle());
}

void TWinControl::RemoveFocus(bool Removing)
{
  if (TWinControl* form = FormControl(true))
    form->DefocusControl(this, Removing);
}

// ---- keyboard ----------------------------------------------------------------------------------

void TWinControl::KeyDown(Word& Key, TShiftState Shift)
{
  if (OnKeyDown)
    OnKeyDown(this, Key, Shift);
}

void TWinControl::KeyUp(Word& Key, TShiftState Shift)
{
  if (OnKeyUp)
    OnKeyUp(this, Key, Shift);
}

void TWinControl::KeyPress(char32_t& Key)
{
  if (OnKeyPress)
    OnKeyPress(this, Key);
}

// A form that previews keys sees them first; then the control's own handler,
// which swallows the key by setting it to 0.
template <class TKey, class THandler>
bool TWinControl::DoKey(TMessage& Message, bool (TWinControl::*Step)(TMessage&), THandler Handler)
{
  TWinControl* form = FormControl(true);
  if (form && form != this && form->PreviewsKeys() && (form->*Step)(Message))
    return true;
  if (FControlStyle.Contains(csNoStdEvents))
    return false;
  auto key = TKey(Message.WParam);
  Handler(key);
  Message.WParam = key;
  return key == 0;
}

bool TWinControl::DoKeyDown(TMessage& Message)
{
  return DoKey<Word>(Message, &TWinControl::DoKeyDown,
                     [&](Word& key) { KeyDown(key, KeyDataToShiftState(Message.LParam)); });
}

bool TWinControl::DoKeyUp(TMessage& Message)
{
  return DoKey<Word>(Message, &TWinControl::DoKeyUp,
                     [&](Word& key) { KeyUp(key, KeyDataToShiftState(Message.LParam)); });
}

bool TWinControl::DoKeyPress(TMessage& Message)
{
  return DoKey<char32_t>(Message, &TWinControl::DoKeyPress, [&](char32_t& key) { KeyPress(key); });
}

void TWinControl::CNKeyDown(TMessage& Message)
{
  Message.Result = 1;
  Win::LRESULT mask = 0;
  switch (Message.WParam) {
  case Win::VK_TAB:
    mask = Win::DLGC_WANTTAB;
    break;
  case Win::VK_LEFT:
  case Win::VK_RIGHT:
  case Win::VK_UP:
  case Win::VK_DOWN:
    mask = Win::DLGC_WANTARROWS;
    break;
  case Win::VK_RETURN:
  case Win::VK_ESCAPE:
  case Win::VK_CANCEL:
    mask = Win::DLGC_WANTALLKEYS;
    break;
  default:
    break;
  }
  if (mask != 0 && Perform(CM_WANTSPECIALKEY, Message.WParam, Message.LParam) == 0 &&
      (Perform(Win::WM_GETDLGCODE) & mask) == 0) {
    TWinControl* form = FormControl(true);
    if (form && form->Perform(CM_DIALOGKEY, Message.WParam, Message.LParam) != 0)
      return;
  }
  Message.Result = 0;
}

void TWinControl::CNChar(TMessage& Message)
{
  Message.Result = 1;
  if ((Perform(Win::WM_GETDLGCODE) & Win::DLGC_WANTCHARS) == 0) {
    TWinControl* form = FormControl(true);
    if (form && form->Perform(CM_DIALOGCHAR, Message.WParam, Message.LParam) != 0)
      return;
  }
  Message.Result = 0;
}

void TWinControl::DoEnter()
{
  if (OnEnter)
    OnEnter(this);
}

void TWinControl::DoExit()
{
  if (OnExit)
    OnExit(this);
}

namespace {

// The character after the first single '&' (0 when there is none).
char32_t AcceleratorOf(const String& Str)
{
  const char* p = Str.data();
  const char* end = p + Str.size();
  while (p < end) {
    if (NextUtf8Char(p, end) != U'&' || p == end)
      continue;
    const char32_t next = NextUtf8Char(p, end);
    if (next != U'&')
      return next;
  }
  return 0;
}

} // namespace

bool IsAccel(Word VK, const String& Str)
{
  const char32_t accel = AcceleratorOf(Str);
  return accel != 0 && std::towupper(wint_t(accel)) == std::towupper(wint_t(VK));
}

} // namespace Vcl
