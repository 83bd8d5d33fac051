#include "Win.IpAddress.hpp"

#include "Internal/Win.User.Internal.hpp"
#include "Win.Edit.hpp"

#include <algorithm>
#include <array>
#include <memory>
#include <string>
#include <unordered_map>

namespace Win {

namespace {

constexpr int kFields = 4;

struct TRange {
  int Low = 0, High = 255;
};

struct TIpAddress {
  HWND Wnd = nullptr;
  std::array<HWND, kFields> Fields{};
  std::array<TRange, kFields> Ranges{};
  WNDPROC FieldProc = nullptr; // the edit class's procedure the fields pass on to
  HFONT Font = nullptr;
  int Quiet = 0; // the control is writing its fields: no EN_CHANGE for each
};

// Never destroyed: a window may still be destroyed by a static object's
// destructor at exit, after function statics made later are gone.
std::unordered_map<HWND, std::unique_ptr<TIpAddress>>& IpAddresses()
{
  static auto* controls = new std::unordered_map<HWND, std::unique_ptr<TIpAddress>>;
  return *controls;
}

TIpAddress* IpAddressOf(HWND hWnd)
{
  auto it = IpAddresses().find(hWnd);
  return it == IpAddresses().end() ? nullptr : it->second.get();
}

int FieldIndex(const TIpAddress& c, HWND field)
{
  auto it = std::find(c.Fields.begin(), c.Fields.end(), field);
  return it == c.Fields.end() ? -1 : int(it - c.Fields.begin());
}

void NotifyParent(const TIpAddress& c, WORD code)
{
  if (HWND parent = GetParent(c.Wnd))
    SendMessage(parent, WM_COMMAND, MAKEWPARAM(int(GetWindowLongPtr(c.Wnd, GWLP_ID)), code), LPARAM(c.Wnd));
}

// A field's number, or -1 when it is blank.
int FieldValue(const TIpAddress& c, int field)
{
  const std::string text = GetWindowTextString(c.Fields[field]);
  if (text.empty())
    return -1;
  int value = 0;
  for (char ch : text)
    value = ch >= '0' && ch <= '9' ? std::min(value * 10 + (ch - '0'), 999) : value;
  return value;
}

void WriteField(TIpAddress& c, int field, int value)
{
  const std::string text = value < 0 ? std::string() : std::to_string(value);
  if (GetWindowTextString(c.Fields[field]) != text)
    SetWindowText(c.Fields[field], text.c_str());
}

int ClampToRange(const TIpAddress& c, int field, int value)
{
  return value < 0 ? -1 : std::clamp(value, c.Ranges[field].Low, c.Ranges[field].High);
}

// The field's number pulled into its range, offered to the parent, whose
// answer is pulled into the range too.
void Commit(TIpAddress& c, int field)
{
  NMIPADDRESS nm;
  nm.hdr.hwndFrom = c.Wnd;
  nm.hdr.idFrom = UINT_PTR(GetWindowLongPtr(c.Wnd, GWLP_ID));
  nm.hdr.code = IPN_FIELDCHANGED;
  nm.iField = field;
  nm.iValue = ClampToRange(c, field, FieldValue(c, field));
  const HWND self = c.Wnd;
  if (HWND parent = GetParent(self))
    SendMessage(parent, WM_NOTIFY, nm.hdr.idFrom, LPARAM(&nm));
  if (IpAddressOf(self) != &c)
    return; // the parent destroyed it
  WriteField(c, field, ClampToRange(c, field, nm.iValue));
}

void FocusField(TIpAddress& c, int field, bool atEnd)
{
  HWND edit = c.Fields[std::clamp(field, 0, kFields - 1)];
  SetFocus(edit);
  // Entered at its end the caret follows the digits; entered afresh the
  // field's digits are selected, to be typed over.
  const WPARAM length = WPARAM(GetWindowTextLength(edit));
  SendMessage(edit, EM_SETSEL, atEnd ? length : 0, LPARAM(length));
}

void Selection(HWND edit, DWORD* from, DWORD* to)
{
  SendMessage(edit, EM_GETSEL, WPARAM(from), LPARAM(to));
}

LRESULT FieldProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);

// Keys of a field that move between fields; true when it took the key.
bool FieldKey(TIpAddress& c, int field, UINT msg, WPARAM key)
{
  DWORD from = 0, to = 0;
  Selection(c.Fields[field], &from, &to);
  const DWORD length = DWORD(GetWindowTextLength(c.Fields[field]));
  const bool last = field == kFields - 1;
  if (msg == WM_CHAR && (key == '.' || key == ' ')) {
    if (!last && length > 0)
      FocusField(c, field + 1, false);
    return true;
  }
  if (msg == WM_CHAR && key == VK_BACK && from == 0 && to == 0 && field > 0) {
    FocusField(c, field - 1, true);
    return true;
  }
  if (msg == WM_KEYDOWN && key == WPARAM(VK_LEFT) && from == 0 && to == 0 && field > 0) {
    FocusField(c, field - 1, true);
    return true;
  }
  if (msg == WM_KEYDOWN && key == WPARAM(VK_RIGHT) && from == length && to == length && !last) {
    FocusField(c, field + 1, false);
    return true;
  }
  return false;
}

LRESULT FieldProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
  HWND owner = GetParent(hWnd);
  TIpAddress* c = owner ? IpAddressOf(owner) : nullptr;
  const int field = c ? FieldIndex(*c, hWnd) : -1;
  if (field < 0)
    return EditWindowProc(hWnd, msg, wParam, lParam);
  if ((msg == WM_CHAR || msg == WM_KEYDOWN) && FieldKey(*c, field, msg, wParam))
    return 0;
  const LRESULT result = CallWindowProc(c->FieldProc, hWnd, msg, wParam, lParam);
  if (IpAddressOf(owner) != c)
    return result;
  switch (msg) {
  case WM_CHAR:
    // A third digit typed at the end completes the field.
    if (wParam >= '0' && wParam <= '9' && field < kFields - 1 && GetWindowTextLength(hWnd) == 3) {
      DWORD from = 0, to = 0;
      Selection(hWnd, &from, &to);
      if (from == 3 && to == 3)
        FocusField(*c, field + 1, false);
    }
    break;
  case WM_SETFOCUS:
    if (FieldIndex(*c, reinterpret_cast<HWND>(wParam)) < 0)
      NotifyParent(*c, EN_SETFOCUS);
    break;
  case WM_KILLFOCUS:
    Commit(*c, field);
    if (IpAddressOf(owner) == c && FieldIndex(*c, reinterpret_cast<HWND>(wParam)) < 0)
      NotifyParent(*c, EN_KILLFOCUS);
    break;
  default:
    break;
  }
  return result;
}

int BorderOf(const TIpAddress& c)
{
  if (GetWindowLongPtr(c.Wnd, GWL_EXSTYLE) & WS_EX_CLIENTEDGE)
    return 2;
  return (GetWindowLongPtr(c.Wnd, GWL_STYLE) & WS_BORDER) ? 1 : 0;
}

// The client inside the border, cut into four fields with a dot's room
// between each two.
RECT FieldRect(const TIpAddress& c, int field, int* dotWidth)
{
  RECT r;
  GetClientRect(c.Wnd, &r);
  const int b = BorderOf(c);
  r = RECT(r.Left + b, r.Top + b, r.Right - b, r.Bottom - b);
  const int dot = std::max(4, (r.Right - r.Left) / 24);
  const int width = std::max(0, (r.Right - r.Left - 3 * dot) / kFields);
  if (dotWidth)
    *dotWidth = dot;
  const int left = r.Left + field * (width + dot);
  return RECT(left, r.Top, left + width, r.Bottom);
}

void Layout(TIpAddress& c)
{
  for (int i = 0; i < kFields; ++i) {
    const RECT r = FieldRect(c, i, nullptr);
    MoveWindow(c.Fields[i], r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top, TRUE);
  }
}

void Paint(TIpAddress& c)
{
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(c.Wnd, &ps);
  RECT client;
  GetClientRect(c.Wnd, &client);
  const bool enabled = IsWindowEnabled(c.Wnd);
  FillRect(dc, &client, GetSysColorBrush(enabled ? COLOR_WINDOW : COLOR_BTNFACE));
  if (BorderOf(c) == 2)
    DrawEdge(dc, &client, EDGE_SUNKEN, BF_RECT);
  else if (BorderOf(c) == 1)
    FrameRect(dc, &client, GetSysColorBrush(COLOR_WINDOWFRAME));
  HGDIOBJ oldFont = SelectObject(dc, c.Font ? ToGdiObject(c.Font) : GetStockObject(DEFAULT_GUI_FONT));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(enabled ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT));
  for (int i = 0; i < kFields - 1; ++i) {
    int dot = 0;
    const RECT field = FieldRect(c, i, &dot);
    RECT r(field.Right, field.Top, field.Right + dot, field.Bottom);
    DrawText(dc, ".", 1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  }
  SelectObject(dc, oldFont);
  EndPaint(c.Wnd, &ps);
}

void CreateFields(TIpAddress& c)
{
  const DWORD enabled = IsWindowEnabled(c.Wnd) ? 0 : WS_DISABLED;
  for (int i = 0; i < kFields; ++i) {
    HWND edit = CreateWindowEx(0, WC_EDIT, "", WS_CHILD | WS_VISIBLE | ES_CENTER | ES_NUMBER | enabled, 0, 0, 0, 0,
                               c.Wnd, nullptr, nullptr, nullptr);
    SendMessage(edit, EM_LIMITTEXT, 3, 0);
    c.FieldProc = reinterpret_cast<WNDPROC>(GetWindowLongPtr(edit, GWLP_WNDPROC));
    SetWindowLongPtr(edit, GWLP_WNDPROC, LONG_PTR(&FieldProc));
    c.Fields[i] = edit;
  }
  Layout(c);
}

// Writes all four fields at once and tells the parent of one change.
template <class TWrite>
void WriteAll(TIpAddress& c, TWrite write)
{
  std::string before;
  for (HWND f : c.Fields)
    before += GetWindowTextString(f) + ".";
  ++c.Quiet;
  for (int i = 0; i < kFields; ++i)
    write(i);
  --c.Quiet;
  std::string after;
  for (HWND f : c.Fields)
    after += GetWindowTextString(f) + ".";
  if (after != before)
    NotifyParent(c, EN_CHANGE);
}

LRESULT IpMessage(TIpAddress& c, UINT msg, WPARAM wParam, LPARAM lParam)
{
  switch (msg) {
  case IPM_CLEARADDRESS:
    WriteAll(c, [&](int i) { WriteField(c, i, -1); });
    return 0;
  case IPM_SETADDRESS:
    WriteAll(c, [&](int i) { WriteField(c, i, int((DWORD(lParam) >> ((3 - i) * 8)) & 0xFF)); });
    return 0;
  case IPM_GETADDRESS: {
    DWORD address = 0;
    int filled = 0;
    for (int i = 0; i < kFields; ++i) {
      const int value = FieldValue(c, i);
      filled += value >= 0 ? 1 : 0;
      address = (address << 8) | DWORD(std::clamp(value, 0, 255));
    }
    if (lParam)
      *reinterpret_cast<DWORD*>(lParam) = address;
    return filled;
  }
  case IPM_SETRANGE: {
    if (wParam >= WPARAM(kFields))
      return FALSE;
    const int low = int(lParam & 0xFF), high = int((lParam >> 8) & 0xFF);
    c.Ranges[wParam] = TRange{std::min(low, high), std::max(low, high)};
    return TRUE;
  }
  case IPM_SETFOCUS:
    FocusField(c, wParam < WPARAM(kFields) ? int(wParam) : 0, false);
    return 0;
  case IPM_ISBLANK:
    return std::all_of(c.Fields.begin(), c.Fields.end(), [](HWND f) { return GetWindowTextLength(f) == 0; });
  default:
    return 0;
  }
}

LRESULT WindowMessage(TIpAddress& c, UINT msg, WPARAM wParam, LPARAM lParam)
{
  switch (msg) {
  case WM_CREATE:
    CreateFields(c);
    return 0;
  case WM_SIZE:
    Layout(c);
    return 0;
  case WM_PAINT:
    Paint(c);
    return 0;
  case WM_ERASEBKGND:
    return 1;
  case WM_GETDLGCODE:
    // Asked on behalf of a field: the arrows move within the control.
    return DLGC_WANTARROWS | DLGC_WANTCHARS;
  case WM_SETFOCUS:
    FocusField(c, 0, false);
    return 0;
  case WM_ENABLE:
    for (HWND f : c.Fields)
      EnableWindow(f, BOOL(wParam));
    InvalidateRect(c.Wnd, nullptr, TRUE);
    return 0;
  case WM_SETFONT:
    c.Font = reinterpret_cast<HFONT>(wParam);
    for (HWND f : c.Fields)
      SendMessage(f, WM_SETFONT, wParam, lParam);
    if (LOWORD(std::uintptr_t(lParam)))
      InvalidateRect(c.Wnd, nullptr, TRUE);
    return 0;
  case WM_GETFONT:
    return LRESULT(c.Font);
  case WM_COMMAND:
    // The fields' changes are the control's; their focus notices are
    // replaced by the control's own, sent when focus crosses its edge.
    if (HIWORD(wParam) == EN_CHANGE && c.Quiet == 0 && FieldIndex(c, reinterpret_cast<HWND>(lParam)) >= 0)
      NotifyParent(c, EN_CHANGE);
    return 0;
  case WM_CTLCOLOREDIT:
  case WM_CTLCOLORSTATIC:
    if (HWND parent = GetParent(c.Wnd))
      return SendMessage(parent, msg, wParam, LPARAM(c.Wnd));
    return DefWindowProc(c.Wnd, msg, wParam, lParam);
  default:
    if (msg >= IPM_CLEARADDRESS && msg <= IPM_ISBLANK)
      return IpMessage(c, msg, wParam, lParam);
    return DefWindowProc(c.Wnd, msg, wParam, lParam);
  }
}

struct TIpAddressClassRegistration {
  TIpAddressClassRegistration()
  {
    WNDCLASS wc;
    wc.lpfnWndProc = &IpAddressWindowProc;
    wc.lpszClassName = WC_IPADDRESS;
    RegisterClass(wc);
  }
} gIpAddressClassRegistration;

} // namespace

HWND IpAddressField(HWND hWnd, int Field)
{
  TIpAddress* c = IpAddressOf(hWnd);
  return c && Field >= 0 && Field < kFields ? c->Fields[Field] : nullptr;
}

LRESULT IpAddressWindowProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
  if (msg == WM_NCCREATE) {
    if (!IsLive(hWnd))
      return FALSE;
    auto c = std::make_unique<TIpAddress>();
    c->Wnd = hWnd;
    IpAddresses()[hWnd] = std::move(c);
    return DefWindowProc(hWnd, msg, wParam, lParam);
  }
  TIpAddress* c = IpAddressOf(hWnd);
  if (msg == WM_NCDESTROY) {
    IpAddresses().erase(hWnd);
    return DefWindowProc(hWnd, msg, wParam, lParam);
  }
  if (!c)
    return DefWindowProc(hWnd, msg, wParam, lParam);
  return WindowMessage(*c, msg, wParam, lParam);
}

} // namespace Win
