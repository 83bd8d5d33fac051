// The edit control's window procedure: editing, selection, the clipboard,
// undo, scrolling, the caret's blink, painting and the EM_ messages.
#include "Win.Edit.hpp"

#include "Win.Clipboard.hpp"
#include "Win.Edit.Internal.hpp"
#include "Win.Gdi.Guards.hpp"
#include "Win.Themes.hpp"

#include <algorithm>
#include <optional>
#include <unordered_map>

namespace Win {

using namespace EditInternal;

namespace {

constexpr UINT_PTR kCaretTimer = 0xEC1;
constexpr UINT_PTR kDragScrollTimer = 0xEC2;
constexpr UINT kDragScrollInterval = 100;
constexpr char32_t kDefaultPasswordChar = U'*';

struct TUndoRecord {
  std::string Text;
  std::size_t Anchor = 0;
  std::size_t Caret = 0;
};

struct TEdit {
  explicit TEdit(HWND wnd) : Wnd(wnd), Line(wnd->Text) {}
  HWND Wnd;
  TLine Line;
  std::size_t Anchor = 0; // the selection's fixed end (bytes)
  std::size_t Caret = 0;  // its moving end, where the caret is
  int Scroll = 0;         // pixels of the line scrolled out at the left
  int LeftMargin = 1;
  int RightMargin = 1;
  std::size_t Limit = kEditDefaultLimit;
  HFONT Font = nullptr;
  bool Focused = false;
  bool CaretOn = false;
  bool Dragging = false;
  int DragOutside = 0; // -1 or 1 while a drag holds the pointer left or right of the text
  bool Modified = false;
  // The typing going on extends the undo record made by its first key.
  bool Typing = false;
  std::optional<TUndoRecord> Undo;
  std::string Cue;
  bool CueWhenFocused = false;
};

// Never destroyed: a window may still be destroyed by a static object's
// destructor at exit, after function statics made later are gone.
std::unordered_map<HWND, std::unique_ptr<TEdit>>& Edits()
{
  static auto* edits = new std::unordered_map<HWND, std::unique_ptr<TEdit>>;
  return *edits;
}

TEdit* EditOf(HWND hWnd)
{
  auto it = Edits().find(hWnd);
  return it == Edits().end() ? nullptr : it->second.get();
}

DWORD StyleOf(const TEdit& e)
{
  return DWORD(GetWindowLongPtr(e.Wnd, GWL_STYLE));
}

bool HasStyle(const TEdit& e, DWORD style)
{
  return (StyleOf(e) & style) != 0;
}

int BorderWidth(DWORD exStyle, DWORD style)
{
  if (exStyle & WS_EX_CLIENTEDGE)
    return 2;
  return (style & WS_BORDER) ? 1 : 0;
}

RECT InnerRect(const TEdit& e)
{
  RECT r;
  GetClientRect(e.Wnd, &r);
  int b = BorderWidth(DWORD(GetWindowLongPtr(e.Wnd, GWL_EXSTYLE)), StyleOf(e));
  r.Inflate(-b, -b);
  return r;
}

RECT FormatRect(const TEdit& e)
{
  RECT r = InnerRect(e);
  r.Left += e.LeftMargin;
  r.Right = std::max(r.Left, r.Right - e.RightMargin);
  return r;
}

int FontHeight(const TEdit& e)
{
  return FontMetrics(e.Line.Font()).Height;
}

int TextTop(const TEdit& e)
{
  RECT inner = InnerRect(e);
  return inner.Top + (inner.Height() - FontHeight(e)) / 2;
}

// Where a run of this width starts when it fits the formatting rectangle:
// aligned by the style.
int AlignedX(const TEdit& e, int width)
{
  RECT f = FormatRect(e);
  int room = std::max(0, f.Width() - width);
  DWORD style = StyleOf(e);
  if (style & ES_RIGHT)
    return f.Left + std::max(0, room - 1);
  if (style & ES_CENTER)
    return f.Left + room / 2;
  return f.Left;
}

// Where position 0 of the line is drawn: a line that fits is aligned in
// the formatting rectangle, a longer one scrolled.
int OriginX(const TEdit& e)
{
  RECT f = FormatRect(e);
  if (f.Width() - e.Line.Width() <= 0)
    return f.Left - e.Scroll;
  return AlignedX(e, e.Line.Width());
}

void Invalidate(const TEdit& e)
{
  InvalidateRect(e.Wnd, nullptr, FALSE);
}

void EnsureCaretVisible(TEdit& e)
{
  int width = FormatRect(e).Width();
  if (e.Line.Width() < width) {
    e.Scroll = 0;
    return;
  }
  int x = e.Line.XOf(e.Caret);
  if (x < e.Scroll)
    e.Scroll = std::max(0, x - width / 4);
  else if (x >= e.Scroll + width)
    e.Scroll = x - width * 3 / 4;
  // No empty room right of the line's end beyond the caret's pixel.
  e.Scroll = std::clamp(e.Scroll, 0, std::max(0, e.Line.Width() - width + 1));
}

void RestartBlink(TEdit& e)
{
  e.CaretOn = true;
  if (e.Focused)
    SetTimer(e.Wnd, kCaretTimer, kCaretBlinkTime, nullptr);
}

void Notify(const TEdit& e, WORD code)
{
  HWND parent = GetParent(e.Wnd);
  if (!parent || !HasStyle(e, WS_CHILD))
    return;
  SendMessage(parent, WM_COMMAND, MAKEWPARAM(int(GetWindowLongPtr(e.Wnd, GWLP_ID)), code), LPARAM(e.Wnd));
}

// After a change of the text: shown, then the parent hears of it. The
// parent's handlers may do anything to the window, so nothing of the edit
// is touched after them.
void Changed(TEdit& e)
{
  e.Modified = true;
  EnsureCaretVisible(e);
  RestartBlink(e);
  Invalidate(e);
  HWND wnd = e.Wnd;
  Notify(e, EN_UPDATE);
  if (TEdit* still = EditOf(wnd))
    Notify(*still, EN_CHANGE);
}

void Select(TEdit& e, std::size_t anchor, std::size_t caret)
{
  e.Anchor = std::min(anchor, e.Line.Size());
  e.Caret = std::min(caret, e.Line.Size());
  e.Typing = false;
  EnsureCaretVisible(e);
  RestartBlink(e);
  Invalidate(e);
}

void MoveCaret(TEdit& e, std::size_t pos, bool extend)
{
  Select(e, extend ? e.Anchor : pos, pos);
}

std::size_t SelFrom(const TEdit& e)
{
  return std::min(e.Anchor, e.Caret);
}

std::size_t SelTo(const TEdit& e)
{
  return std::max(e.Anchor, e.Caret);
}

bool HasSelection(const TEdit& e)
{
  return e.Anchor != e.Caret;
}

std::size_t SelectedChars(const TEdit& e)
{
  return CodePointCount(std::string_view(e.Line.Text()).substr(SelFrom(e), SelTo(e) - SelFrom(e)));
}

void SetStyleBit(const TEdit& e, DWORD bit, bool on)
{
  LONG_PTR style = GetWindowLongPtr(e.Wnd, GWL_STYLE);
  SetWindowLongPtr(e.Wnd, GWL_STYLE, on ? (style | LONG_PTR(bit)) : (style & ~LONG_PTR(bit)));
}

// Text as the case styles have it (well-formed UTF-8 in and out).
std::string Cased(DWORD style, std::string text)
{
  if (style & ES_UPPERCASE)
    return UpperCased(text);
  if (style & ES_LOWERCASE)
    return LowerCased(text);
  return text;
}

void SaveUndo(TEdit& e)
{
  e.Undo = TUndoRecord{e.Line.Text(), e.Anchor, e.Caret};
}

// Text cut to what the limit leaves room for; EN_MAXTEXT tells the parent
// when something had to go.
std::string FitToLimit(TEdit& e, std::string text, bool* cut)
{
  std::size_t kept = e.Line.Chars() - SelectedChars(e);
  std::size_t room = e.Limit > kept ? e.Limit - kept : 0;
  *cut = CodePointCount(text) > room;
  if (*cut)
    text.resize(ByteOfCodePoint(text, room));
  return text;
}

enum class TUndoMode { None, Record, Typing };

// Replaces the selection; false when nothing changed.
bool ReplaceSelection(TEdit& e, std::string_view raw, TUndoMode undo)
{
  bool cut = false;
  std::string text = FitToLimit(e, Cased(StyleOf(e), Sanitize(raw)), &cut);
  if (cut) {
    HWND wnd = e.Wnd;
    Notify(e, EN_MAXTEXT);
    if (!EditOf(wnd))
      return false;
  }
  if (text.empty() && !HasSelection(e))
    return false;
  bool continues = undo == TUndoMode::Typing && e.Typing && e.Undo;
  if (undo != TUndoMode::None && !continues)
    SaveUndo(e);
  std::size_t from = SelFrom(e);
  e.Line.Replace(from, SelTo(e), text);
  e.Anchor = e.Caret = from + text.size();
  e.Typing = undo == TUndoMode::Typing;
  Changed(e);
  return true;
}

bool IsReadOnly(const TEdit& e)
{
  return HasStyle(e, ES_READONLY);
}

void DeleteRange(TEdit& e, std::size_t from, std::size_t to)
{
  if (IsReadOnly(e) || from == to)
    return;
  e.Anchor = from;
  e.Caret = to;
  ReplaceSelection(e, {}, TUndoMode::Record);
}

void Copy(const TEdit& e)
{
  // A password does not leave its edit.
  if (!HasSelection(e) || e.Line.PasswordChar())
    return;
  SetClipboardText(e.Line.Text().substr(SelFrom(e), SelTo(e) - SelFrom(e)));
}

void Cut(TEdit& e)
{
  if (IsReadOnly(e) || e.Line.PasswordChar() || !HasSelection(e))
    return;
  Copy(e);
  ReplaceSelection(e, {}, TUndoMode::Record);
}

bool AllDigits(std::string_view text)
{
  return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

void Paste(TEdit& e)
{
  if (IsReadOnly(e))
    return;
  std::optional<std::string> text = GetClipboardText();
  if (!text)
    return;
  // One line: what follows a line break stays on the clipboard.
  std::string line = text->substr(0, text->find_first_of("\r\n"));
  if (HasStyle(e, ES_NUMBER) && !AllDigits(line))
    return;
  ReplaceSelection(e, line, TUndoMode::Record);
}

bool UndoLast(TEdit& e)
{
  if (!e.Undo)
    return false;
  TUndoRecord record = std::move(*e.Undo);
  SaveUndo(e);
  e.Line.Replace(0, e.Line.Size(), record.Text);
  e.Anchor = std::min(record.Anchor, e.Line.Size());
  e.Caret = std::min(record.Caret, e.Line.Size());
  e.Typing = false;
  Changed(e);
  return true;
}

void TypeChar(TEdit& e, char32_t ch)
{
  if (IsReadOnly(e) || ch < 0x20 || ch == 0x7F)
    return;
  if (HasStyle(e, ES_NUMBER) && (ch < U'0' || ch > U'9'))
    return;
  std::string text;
  AppendUtf8(text, ch);
  ReplaceSelection(e, text, TUndoMode::Typing);
}

void OnChar(TEdit& e, char32_t ch)
{
  switch (ch) {
  case 1: // Ctrl+A
    Select(e, 0, e.Line.Size());
    return;
  case 3: // Ctrl+C
    Copy(e);
    return;
  case 8: // Backspace
    if (HasSelection(e))
      DeleteRange(e, SelFrom(e), SelTo(e));
    else
      DeleteRange(e, e.Line.Prev(e.Caret), e.Caret);
    return;
  case 22: // Ctrl+V
    Paste(e);
    return;
  case 24: // Ctrl+X
    Cut(e);
    return;
  case 26: // Ctrl+Z
    UndoLast(e);
    return;
  default:
    TypeChar(e, ch);
  }
}

bool KeyHeld(int vk)
{
  return (GetKeyState(vk) & 0x8000) != 0;
}

void OnKeyDown(TEdit& e, int vk)
{
  bool shift = KeyHeld(VK_SHIFT);
  bool ctrl = KeyHeld(VK_CONTROL);
  switch (vk) {
  case VK_LEFT:
    if (HasSelection(e) && !shift)
      MoveCaret(e, SelFrom(e), false);
    else
      MoveCaret(e, ctrl ? e.Line.PrevWord(e.Caret) : e.Line.Prev(e.Caret), shift);
    return;
  case VK_RIGHT:
    if (HasSelection(e) && !shift)
      MoveCaret(e, SelTo(e), false);
    else
      MoveCaret(e, ctrl ? e.Line.NextWord(e.Caret) : e.Line.Next(e.Caret), shift);
    return;
  case VK_HOME:
    MoveCaret(e, 0, shift);
    return;
  case VK_END:
    MoveCaret(e, e.Line.Size(), shift);
    return;
  case VK_DELETE:
    if (shift)
      Cut(e);
    else if (HasSelection(e))
      DeleteRange(e, SelFrom(e), SelTo(e));
    else
      DeleteRange(e, e.Caret, ctrl ? e.Line.NextWord(e.Caret) : e.Line.Next(e.Caret));
    return;
  case VK_INSERT:
    if (ctrl)
      Copy(e);
    else if (shift)
      Paste(e);
    return;
  default:
    return;
  }
}

std::size_t HitPos(const TEdit& e, int x)
{
  return e.Line.PosOfX(x - OriginX(e));
}

void OnButtonDown(TEdit& e, LPARAM lParam, bool doubleClick)
{
  HWND wnd = e.Wnd;
  if (GetFocus() != wnd)
    SetFocus(wnd);
  TEdit* still = EditOf(wnd);
  if (!still)
    return;
  std::size_t pos = HitPos(*still, GET_X_LPARAM(lParam));
  if (doubleClick) {
    std::size_t from = 0, to = 0;
    still->Line.WordAt(pos, &from, &to);
    Select(*still, from, to);
    return;
  }
  MoveCaret(*still, pos, KeyHeld(VK_SHIFT));
  still->Dragging = true;
  SetCapture(wnd);
}

void StopDrag(TEdit& e)
{
  e.Dragging = false;
  e.DragOutside = 0;
  KillTimer(e.Wnd, kDragScrollTimer);
}

// A drag held beyond an edge keeps selecting on the clock, a character a
// step, scrolling the text along.
void OnMouseMove(TEdit& e, LPARAM lParam)
{
  if (!e.Dragging || GetCapture() != e.Wnd)
    return;
  int x = GET_X_LPARAM(lParam);
  RECT format = FormatRect(e);
  int outside = x < format.Left ? -1 : x >= format.Right ? 1 : 0;
  if (outside != e.DragOutside) {
    e.DragOutside = outside;
    if (outside)
      SetTimer(e.Wnd, kDragScrollTimer, kDragScrollInterval, nullptr);
    else
      KillTimer(e.Wnd, kDragScrollTimer);
  }
  std::size_t pos = HitPos(e, x);
  if (pos != e.Caret)
    MoveCaret(e, pos, true);
}

void OnDragScroll(TEdit& e)
{
  if (!e.Dragging || !e.DragOutside) {
    StopDrag(e);
    return;
  }
  MoveCaret(e, e.DragOutside < 0 ? e.Line.Prev(e.Caret) : e.Line.Next(e.Caret), true);
}

void OnButtonUp(TEdit& e)
{
  if (!e.Dragging)
    return;
  StopDrag(e);
  if (GetCapture() == e.Wnd)
    ReleaseCapture();
}

void OnFocus(TEdit& e, bool focused)
{
  e.Focused = focused;
  StopDrag(e);
  if (focused)
    RestartBlink(e);
  else
    KillTimer(e.Wnd, kCaretTimer);
  Invalidate(e);
  Notify(e, focused ? EN_SETFOCUS : EN_KILLFOCUS);
}

HGDIOBJ FontObject(const TEdit& e)
{
  return e.Font ? ToGdiObject(e.Font) : GetStockObject(DEFAULT_GUI_FONT);
}

void RealizeLineFont(TEdit& e, char32_t passwordChar)
{
  LOGFONT lf;
  GetObject(FontObject(e), sizeof lf, &lf);
  e.Line.SetFont(RealizeFont(lf), passwordChar);
  EnsureCaretVisible(e);
}

void SetPasswordChar(TEdit& e, char32_t ch)
{
  SetStyleBit(e, ES_PASSWORD, ch != 0);
  RealizeLineFont(e, ch);
  Invalidate(e);
}

void SetMargins(TEdit& e, WPARAM which, LPARAM margins)
{
  if (which == EC_USEFONTINFO) {
    e.LeftMargin = e.RightMargin = std::max(1, FontMetrics(e.Line.Font()).AveCharWidth / 3);
  } else {
    if (which & EC_LEFTMARGIN)
      e.LeftMargin = LOWORD(std::uintptr_t(margins));
    if (which & EC_RIGHTMARGIN)
      e.RightMargin = HIWORD(std::uintptr_t(margins));
  }
  EnsureCaretVisible(e);
  Invalidate(e);
}

void SetText(TEdit& e, const char* text)
{
  e.Line.Replace(0, e.Line.Size(), Cased(StyleOf(e), Sanitize(text ? text : "")));
  e.Anchor = e.Caret = 0;
  e.Scroll = 0;
  e.Undo.reset();
  e.Typing = false;
  Changed(e);
  if (TEdit* still = EditOf(e.Wnd))
    still->Modified = false;
}

// ---- painting ------------------------------------------------------------------------------------

struct TColors {
  COLORREF Text = 0;
  HBRUSH Background = nullptr;
};

// The parent chooses the colours (WM_CTLCOLOREDIT, or WM_CTLCOLORSTATIC
// for a read-only or disabled edit); without an answer the system's.
TColors AskColors(const TEdit& e, HDC dc)
{
  bool enabled = IsWindowEnabled(e.Wnd);
  bool quiet = !enabled || IsReadOnly(e);
  SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
  SetBkColor(dc, GetSysColor(quiet ? COLOR_BTNFACE : COLOR_WINDOW));
  HBRUSH brush = nullptr;
  if (HWND parent = GetParent(e.Wnd); parent && HasStyle(e, WS_CHILD))
    brush = reinterpret_cast<HBRUSH>(
      SendMessage(parent, quiet ? WM_CTLCOLORSTATIC : WM_CTLCOLOREDIT, WPARAM(dc), LPARAM(e.Wnd)));
  if (!brush)
    brush = GetSysColorBrush(quiet ? COLOR_BTNFACE : COLOR_WINDOW);
  return TColors{enabled ? GetTextColor(dc) : GetSysColor(COLOR_GRAYTEXT), brush};
}

int ThemeState(const TEdit& e)
{
  if (!IsWindowEnabled(e.Wnd))
    return ETS_DISABLED;
  if (IsReadOnly(e))
    return ETS_READONLY;
  return e.Focused ? ETS_FOCUSED : ETS_NORMAL;
}

void DrawFrame(const TEdit& e, HDC dc, RECT client, HBRUSH background)
{
  DWORD exStyle = DWORD(GetWindowLongPtr(e.Wnd, GWL_EXSTYLE));
  int border = BorderWidth(exStyle, StyleOf(e));
  FillRect(dc, &client, background);
  if (border == 0)
    return;
  if (border == 1) {
    FrameRect(dc, &client, GetSysColorBrush(COLOR_WINDOWFRAME));
    return;
  }
  if (HTHEME theme = IsAppThemed() ? OpenThemeData(e.Wnd, "EDIT") : nullptr) {
    DrawThemeBackground(theme, dc, EP_EDITTEXT, ThemeState(e), &client, nullptr);
    CloseThemeData(theme);
    RECT inside = client;
    inside.Inflate(-1, -1);
    FillRect(dc, &inside, background);
    return;
  }
  DrawEdge(dc, &client, EDGE_SUNKEN, BF_RECT);
}

// Draws bytes [from, to) of the line at x: the password character in
// place of each code point when there is one.
void DrawRun(const TEdit& e, HDC dc, int x, int y, std::size_t from, std::size_t to)
{
  if (from >= to)
    return;
  std::string_view text = std::string_view(e.Line.Text()).substr(from, to - from);
  if (!e.Line.PasswordChar()) {
    TextOut(dc, x, y, text.data(), int(text.size()));
    return;
  }
  std::string masked;
  for (std::size_t n = CodePointCount(text); n > 0; --n)
    AppendUtf8(masked, e.Line.PasswordChar());
  TextOut(dc, x, y, masked.data(), int(masked.size()));
}

int RunWidth(const TEdit& e, std::size_t from, std::size_t to)
{
  long long width = 0;
  for (std::size_t pos = from; pos < to; ++pos)
    width += e.Line.Advance(pos);
  return ClampCoord(width);
}

bool ShowsCue(const TEdit& e)
{
  return e.Line.Size() == 0 && !e.Cue.empty() && (!e.Focused || e.CueWhenFocused);
}

// The cue where the text would be, in the grey text colour, cut with an
// ellipsis when it is longer than the room.
void DrawCue(const TEdit& e, HDC dc)
{
  SIZE size;
  GetTextExtentPoint32(dc, e.Cue.data(), int(e.Cue.size()), &size);
  RECT r = FormatRect(e);
  r.Left = AlignedX(e, size.cx);
  r.Top = TextTop(e);
  r.Bottom = r.Top + FontHeight(e);
  SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
  DrawText(dc, e.Cue.data(), int(e.Cue.size()), &r, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
}

void Paint(const TEdit& e, HDC dc)
{
  TSavedDC saved(dc);
  RECT client;
  GetClientRect(e.Wnd, &client);
  TColors colors = AskColors(e, dc);
  DrawFrame(e, dc, client, colors.Background);

  RECT format = FormatRect(e);
  IntersectClipRect(dc, format.Left, InnerRect(e).Top, format.Right + 1, InnerRect(e).Bottom);
  SelectObject(dc, FontObject(e));
  SetBkMode(dc, TRANSPARENT);
  int origin = OriginX(e);
  int top = TextTop(e);
  int startX = 0;
  std::size_t first = e.Line.FirstAtOrBefore(format.Left - origin, &startX);
  int endX = startX;
  std::size_t last = first;
  while (last < e.Line.Size() && origin + endX < format.Right) {
    endX += e.Line.Advance(last);
    last = e.Line.Next(last);
  }
  bool showSelection = HasSelection(e) && (e.Focused || HasStyle(e, ES_NOHIDESEL));
  std::size_t selFrom = showSelection ? std::clamp(SelFrom(e), first, last) : last;
  std::size_t selTo = showSelection ? std::clamp(SelTo(e), first, last) : last;

  if (ShowsCue(e))
    DrawCue(e, dc);
  int x = origin + startX;
  SetTextColor(dc, colors.Text);
  DrawRun(e, dc, x, top, first, selFrom);
  x += RunWidth(e, first, selFrom);
  if (selFrom < selTo) {
    int width = RunWidth(e, selFrom, selTo);
    RECT band(x, top, x + width, top + FontHeight(e));
    FillRect(dc, &band, GetSysColorBrush(COLOR_HIGHLIGHT));
    SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
    DrawRun(e, dc, x, top, selFrom, selTo);
    SetTextColor(dc, colors.Text);
    x += width;
  }
  DrawRun(e, dc, x, top, selTo, last);

  if (e.Focused && e.CaretOn) {
    int cx = origin + e.Line.XOf(e.Caret);
    RECT caret(cx, top, cx + 1, top + FontHeight(e));
    HBRUSH brush = CreateSolidBrush(colors.Text);
    FillRect(dc, &caret, brush);
    DeleteObject(brush);
  }
}

void OnPaint(const TEdit& e)
{
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(e.Wnd, &ps);
  if (dc)
    Paint(e, dc);
  EndPaint(e.Wnd, &ps);
}

// ---- messages ------------------------------------------------------------------------------------

LRESULT OnCreate(HWND hWnd)
{
  auto edit = std::make_unique<TEdit>(hWnd);
  hWnd->Text = Cased(DWORD(GetWindowLongPtr(hWnd, GWL_STYLE)), Sanitize(hWnd->Text));
  TEdit& e = *edit;
  Edits()[hWnd] = std::move(edit);
  RealizeLineFont(e, HasStyle(e, ES_PASSWORD) ? kDefaultPasswordChar : 0);
  return TRUE;
}

void WriteSel(LPARAM target, std::size_t value)
{
  if (target)
    *reinterpret_cast<DWORD*>(target) = DWORD(value);
}

LRESULT GetSel(const TEdit& e, WPARAM from, LPARAM to)
{
  std::size_t start = e.Line.CodePointIndex(SelFrom(e));
  std::size_t end = start + SelectedChars(e);
  WriteSel(LPARAM(from), start);
  WriteSel(to, end);
  return LRESULT(MAKELPARAM(int(std::min<std::size_t>(start, 0xFFFF)), int(std::min<std::size_t>(end, 0xFFFF))));
}

void SetSel(TEdit& e, WPARAM wParam, LPARAM lParam)
{
  auto start = std::intptr_t(wParam);
  auto end = std::intptr_t(lParam);
  if (start == -1) {
    Select(e, e.Caret, e.Caret);
    return;
  }
  std::size_t chars = e.Line.Chars();
  auto position = [&](std::intptr_t v) {
    return v < 0 ? e.Line.Size() : e.Line.PosOfCodePoint(std::min<std::size_t>(std::size_t(v), chars));
  };
  Select(e, position(start), position(end));
}

LRESULT PosFromChar(const TEdit& e, WPARAM index)
{
  if (index > e.Line.Chars())
    return -1;
  int x = OriginX(e) + e.Line.XOf(e.Line.PosOfCodePoint(index));
  return LRESULT(MAKELPARAM(x, TextTop(e)));
}

void SetCue(TEdit& e, WPARAM whenFocused, LPARAM text)
{
  e.Cue = Sanitize(text ? reinterpret_cast<const char*>(text) : "");
  // One line, as the text.
  e.Cue.resize(std::min(e.Cue.size(), e.Cue.find_first_of("\r\n")));
  e.CueWhenFocused = whenFocused != 0;
  Invalidate(e);
}

LRESULT GetCue(const TEdit& e, WPARAM buffer, LPARAM size)
{
  if (!buffer || size <= 0 || std::size_t(size) <= e.Cue.size())
    return FALSE;
  auto* out = reinterpret_cast<char*>(buffer);
  std::copy(e.Cue.begin(), e.Cue.end(), out);
  out[e.Cue.size()] = '\0';
  return TRUE;
}

LRESULT EditMessage(TEdit& e, UINT msg, WPARAM wParam, LPARAM lParam)
{
  switch (msg) {
  case EM_GETSEL:
    return GetSel(e, wParam, lParam);
  case EM_SETSEL:
    SetSel(e, wParam, lParam);
    return 0;
  case EM_GETRECT:
    if (lParam)
      *reinterpret_cast<RECT*>(lParam) = FormatRect(e);
    return 0;
  case EM_SCROLLCARET:
    EnsureCaretVisible(e);
    Invalidate(e);
    return TRUE;
  case EM_GETMODIFY:
    return e.Modified;
  case EM_SETMODIFY:
    e.Modified = wParam != 0;
    return 0;
  case EM_REPLACESEL:
    ReplaceSelection(e, lParam ? reinterpret_cast<const char*>(lParam) : "",
                     wParam ? TUndoMode::Record : TUndoMode::None);
    return 0;
  case EM_LIMITTEXT:
    e.Limit = wParam ? std::size_t(wParam) : kEditDefaultLimit;
    return 0;
  case EM_GETLIMITTEXT:
    return LRESULT(e.Limit);
  case EM_CANUNDO:
    return e.Undo.has_value();
  case EM_UNDO:
  case WM_UNDO:
    return UndoLast(e);
  case EM_EMPTYUNDOBUFFER:
    e.Undo.reset();
    e.Typing = false;
    return 0;
  case EM_SETPASSWORDCHAR:
    SetPasswordChar(e, char32_t(wParam));
    return 0;
  case EM_GETPASSWORDCHAR:
    return LRESULT(e.Line.PasswordChar());
  case EM_SETREADONLY:
    SetStyleBit(e, ES_READONLY, wParam != 0);
    Invalidate(e);
    return TRUE;
  case EM_SETMARGINS:
    SetMargins(e, wParam, lParam);
    return 0;
  case EM_GETMARGINS:
    return LRESULT(MAKELPARAM(e.LeftMargin, e.RightMargin));
  case EM_POSFROMCHAR:
    return PosFromChar(e, wParam);
  case EM_CHARFROMPOS:
    return LRESULT(e.Line.CodePointIndex(HitPos(e, GET_X_LPARAM(lParam))));
  case EM_SETCUEBANNER:
    SetCue(e, wParam, lParam);
    return TRUE;
  case EM_GETCUEBANNER:
    return GetCue(e, wParam, lParam);
  default:
    return 0;
  }
}

bool IsEditMessage(UINT msg)
{
  return (msg >= EM_GETSEL && msg <= EM_CHARFROMPOS) || msg == WM_UNDO || msg == EM_SETCUEBANNER ||
         msg == EM_GETCUEBANNER;
}

LRESULT WindowMessage(TEdit& e, UINT msg, WPARAM wParam, LPARAM lParam)
{
  switch (msg) {
  case WM_PAINT:
    // A DC in wParam: paint on it (a buffer, a print) instead of the window.
    if (wParam)
      Paint(e, reinterpret_cast<HDC>(wParam));
    else
      OnPaint(e);
    return 0;
  case WM_PRINTCLIENT:
    Paint(e, reinterpret_cast<HDC>(wParam));
    return 0;
  case WM_ERASEBKGND:
    return 1;
  case WM_SETTEXT:
    SetText(e, reinterpret_cast<const char*>(lParam));
    return TRUE;
  case WM_SETFONT:
    e.Font = reinterpret_cast<HFONT>(wParam);
    RealizeLineFont(e, e.Line.PasswordChar());
    if (LOWORD(std::uintptr_t(lParam)))
      Invalidate(e);
    return 0;
  case WM_GETFONT:
    return LRESULT(e.Font);
  case WM_CHAR:
    OnChar(e, char32_t(wParam));
    return 0;
  case WM_KEYDOWN:
    OnKeyDown(e, int(wParam));
    return 0;
  case WM_LBUTTONDOWN:
  case WM_LBUTTONDBLCLK:
    OnButtonDown(e, lParam, msg == WM_LBUTTONDBLCLK);
    return 0;
  case WM_MOUSEMOVE:
    OnMouseMove(e, lParam);
    return 0;
  case WM_LBUTTONUP:
    OnButtonUp(e);
    return 0;
  case WM_CAPTURECHANGED:
    StopDrag(e);
    return 0;
  case WM_SETFOCUS:
  case WM_KILLFOCUS:
    OnFocus(e, msg == WM_SETFOCUS);
    return 0;
  case WM_TIMER:
    if (wParam == kDragScrollTimer) {
      OnDragScroll(e);
      return 0;
    }
    if (wParam != kCaretTimer)
      break;
    e.CaretOn = !e.CaretOn;
    Invalidate(e);
    return 0;
  case WM_SIZE:
  case WM_ENABLE:
    EnsureCaretVisible(e);
    Invalidate(e);
    break;
  case WM_GETDLGCODE:
    return DLGC_WANTCHARS | DLGC_WANTARROWS;
  case WM_SETCURSOR:
    if (reinterpret_cast<HWND>(wParam) == e.Wnd && LOWORD(std::uintptr_t(lParam)) == HTCLIENT) {
      SetCursor(LoadCursor(nullptr, IDC_IBEAM));
      return TRUE;
    }
    break;
  case WM_COPY:
    Copy(e);
    return 0;
  case WM_CUT:
    Cut(e);
    return 0;
  case WM_PASTE:
    Paste(e);
    return 0;
  case WM_CLEAR:
    if (HasSelection(e))
      DeleteRange(e, SelFrom(e), SelTo(e));
    return 0;
  default:
    if (IsEditMessage(msg))
      return EditMessage(e, msg, wParam, lParam);
    break;
  }
  return DefWindowProc(e.Wnd, msg, wParam, lParam);
}

struct TEditClassRegistration {
  TEditClassRegistration()
  {
    WNDCLASS wc;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = &EditWindowProc;
    wc.lpszClassName = WC_EDIT;
    RegisterClass(wc);
  }
} gEditClassRegistration;

} // namespace

LRESULT EditWindowProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
  if (msg == WM_NCCREATE)
    return IsLive(hWnd) ? OnCreate(hWnd) : FALSE;
  if (msg == WM_NCDESTROY) {
    KillTimer(hWnd, kCaretTimer);
    KillTimer(hWnd, kDragScrollTimer);
    Edits().erase(hWnd);
    return DefWindowProc(hWnd, msg, wParam, lParam);
  }
  TEdit* e = EditOf(hWnd);
  if (!e)
    return DefWindowProc(hWnd, msg, wParam, lParam);
  return WindowMessage(*e, msg, wParam, lParam);
}

int EditAutoHeight(HFONT font, DWORD exStyle, DWORD style)
{
  LOGFONT lf;
  GetObject(font ? ToGdiObject(font) : GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf);
  return FontMetrics(*RealizeFont(lf)).Height + 2 * BorderWidth(exStyle, style) + 4;
}

} // namespace Win
