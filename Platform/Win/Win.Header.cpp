#include "Win.Header.hpp"

#include "Win.Gdi.hpp"
#include "Win.Themes.hpp"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <unordered_map>
#include <vector>

namespace Win {

namespace {

struct TColumn {
  int Width = 0;
  std::string Text;
  int Format = HDF_LEFT | HDF_STRING;
  LPARAM Param = 0;
  int Image = -1;
};

struct THeader {
  std::vector<TColumn> Columns;
  HFONT Font = nullptr;
  int Hot = -1;
  int Pressed = -1;        // a caption held down (HDS_BUTTONS)
  bool PressInside = false;
  int Tracking = -1;       // a divider being dragged
  int TrackStartX = 0;
  int TrackStartWidth = 0;
};

std::unordered_map<HWND, THeader>& Headers()
{
  static std::unordered_map<HWND, THeader> headers;
  return headers;
}

THeader* HeaderOf(HWND hWnd)
{
  auto it = Headers().find(hWnd);
  return it == Headers().end() ? nullptr : &it->second;
}

bool ValidIndex(const THeader& h, int i)
{
  return i >= 0 && i < int(h.Columns.size());
}

RECT ItemRect(HWND hWnd, const THeader& h, int index)
{
  RECT client;
  GetClientRect(hWnd, &client);
  int left = 0;
  for (int i = 0; i < index; ++i)
    left += h.Columns[size_t(i)].Width;
  return RECT(left, 0, left + h.Columns[size_t(index)].Width, client.Bottom);
}

HDHITTESTINFO HitTest(HWND hWnd, const THeader& h, POINT p)
{
  HDHITTESTINFO info;
  info.pt = p;
  RECT client;
  GetClientRect(hWnd, &client);
  if (p.Y < 0 || p.Y >= client.Bottom) {
    info.flags = HHT_NOWHERE;
    return info;
  }
  // The last divider under the point wins, so a column dragged down to
  // nothing can be pulled open again.
  int right = 0;
  for (int i = 0; i < int(h.Columns.size()); ++i) {
    right += h.Columns[size_t(i)].Width;
    if (std::abs(p.X - right) < kHeaderDividerGrip) {
      info.flags = HHT_ONDIVIDER;
      info.iItem = i;
    }
  }
  if (info.flags)
    return info;
  for (int i = 0; i < int(h.Columns.size()); ++i)
    if (ItemRect(hWnd, h, i).Contains(p)) {
      info.flags = HHT_ONHEADER;
      info.iItem = i;
      return info;
    }
  info.flags = p.X < 0 ? HHT_TOLEFT : HHT_NOWHERE;
  return info;
}

LRESULT Notify(HWND hWnd, UINT code, int item, HDITEM* pitem = nullptr)
{
  HWND parent = GetParent(hWnd);
  if (!parent)
    return 0;
  NMHEADER nm;
  nm.hdr.hwndFrom = hWnd;
  nm.hdr.idFrom = UINT_PTR(GetWindowLongPtr(hWnd, GWLP_ID));
  nm.hdr.code = code;
  nm.iItem = item;
  nm.pitem = pitem;
  return SendMessage(parent, WM_NOTIFY, WPARAM(nm.hdr.idFrom), LPARAM(&nm));
}

void CopyItem(const TColumn& c, HDITEM& out)
{
  if (out.mask & HDI_WIDTH)
    out.cxy = c.Width;
  if ((out.mask & HDI_TEXT) && out.pszText && out.cchTextMax > 0) {
    size_t n = std::min(c.Text.size(), size_t(out.cchTextMax) - 1);
    char* buffer = const_cast<char*>(out.pszText);
    std::memcpy(buffer, c.Text.data(), n);
    buffer[n] = 0;
  }
  if (out.mask & HDI_FORMAT)
    out.fmt = c.Format;
  if (out.mask & HDI_LPARAM)
    out.lParam = c.Param;
  if (out.mask & HDI_IMAGE)
    out.iImage = c.Image;
}

void ApplyItem(const HDITEM& in, TColumn& c)
{
  if (in.mask & HDI_WIDTH)
    c.Width = std::max(0, in.cxy);
  if (in.mask & HDI_TEXT)
    c.Text = in.pszText ? in.pszText : "";
  if (in.mask & HDI_FORMAT)
    c.Format = in.fmt;
  if (in.mask & HDI_LPARAM)
    c.Param = in.lParam;
  if (in.mask & HDI_IMAGE)
    c.Image = in.iImage;
}

// A change the parent may veto; false when it did (or the header went).
bool ChangeItem(HWND hWnd, int index, HDITEM item)
{
  if (Notify(hWnd, HDN_ITEMCHANGING, index, &item) || !IsWindow(hWnd))
    return false;
  THeader* h = HeaderOf(hWnd);
  if (!h || !ValidIndex(*h, index))
    return false;
  ApplyItem(item, h->Columns[size_t(index)]);
  InvalidateRect(hWnd, nullptr, TRUE);
  Notify(hWnd, HDN_ITEMCHANGED, index, &item);
  return true;
}

HDITEM WidthItem(int width)
{
  HDITEM item;
  item.mask = HDI_WIDTH;
  item.cxy = width;
  return item;
}

POINT PointOf(LPARAM lParam)
{
  return POINT(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
}

void EndTrack(HWND hWnd, THeader& h, bool cancel)
{
  int index = h.Tracking;
  int restore = h.TrackStartWidth;
  h.Tracking = -1;
  if (GetCapture() == hWnd)
    ReleaseCapture();
  if (!IsWindow(hWnd))
    return;
  if (cancel)
    ChangeItem(hWnd, index, WidthItem(restore));
  THeader* now = HeaderOf(hWnd);
  if (!now || !ValidIndex(*now, index))
    return;
  HDITEM item = WidthItem(now->Columns[size_t(index)].Width);
  Notify(hWnd, HDN_ENDTRACK, index, &item);
}

void MouseMove(HWND hWnd, THeader& h, POINT p)
{
  if (h.Tracking >= 0) {
    HDITEM item = WidthItem(std::max(0, h.TrackStartWidth + p.X - h.TrackStartX));
    if (Notify(hWnd, HDN_TRACK, h.Tracking, &item)) {
      if (THeader* now = HeaderOf(hWnd); now && now->Tracking >= 0)
        EndTrack(hWnd, *now, false);
      return;
    }
    if (THeader* now = HeaderOf(hWnd); now && now->Tracking >= 0)
      ChangeItem(hWnd, now->Tracking, item);
    return;
  }
  if (h.Pressed >= 0) {
    bool inside = ItemRect(hWnd, h, h.Pressed).Contains(p);
    if (inside != h.PressInside) {
      h.PressInside = inside;
      InvalidateRect(hWnd, nullptr, TRUE);
    }
    return;
  }
  HDHITTESTINFO hit = HitTest(hWnd, h, p);
  int hot = hit.flags == HHT_ONHEADER ? hit.iItem : -1;
  if (hot != h.Hot) {
    h.Hot = hot;
    InvalidateRect(hWnd, nullptr, TRUE);
  }
  TRACKMOUSEEVENT tme;
  tme.dwFlags = TME_LEAVE;
  tme.hwndTrack = hWnd;
  TrackMouseEvent(&tme);
}

void ButtonDown(HWND hWnd, THeader& h, POINT p)
{
  HDHITTESTINFO hit = HitTest(hWnd, h, p);
  if (hit.flags == HHT_ONDIVIDER) {
    HDITEM item = WidthItem(h.Columns[size_t(hit.iItem)].Width);
    if (Notify(hWnd, HDN_BEGINTRACK, hit.iItem, &item) || !IsWindow(hWnd))
      return;
    THeader* now = HeaderOf(hWnd);
    if (!now || !ValidIndex(*now, hit.iItem))
      return;
    now->Tracking = hit.iItem;
    now->TrackStartX = p.X;
    now->TrackStartWidth = now->Columns[size_t(hit.iItem)].Width;
    SetCapture(hWnd);
    return;
  }
  if (hit.flags == HHT_ONHEADER && (GetWindowLongPtr(hWnd, GWL_STYLE) & HDS_BUTTONS)) {
    h.Pressed = hit.iItem;
    h.PressInside = true;
    SetCapture(hWnd);
    InvalidateRect(hWnd, nullptr, TRUE);
  }
}

void ButtonUp(HWND hWnd, THeader& h)
{
  if (h.Tracking >= 0) {
    EndTrack(hWnd, h, false);
    return;
  }
  if (h.Pressed < 0)
    return;
  int clicked = h.PressInside ? h.Pressed : -1;
  h.Pressed = -1;
  if (GetCapture() == hWnd)
    ReleaseCapture();
  InvalidateRect(hWnd, nullptr, TRUE);
  if (clicked >= 0)
    Notify(hWnd, HDN_ITEMCLICK, clicked);
}

void DoubleClick(HWND hWnd, THeader& h, POINT p)
{
  HDHITTESTINFO hit = HitTest(hWnd, h, p);
  if (hit.flags == HHT_ONDIVIDER)
    Notify(hWnd, HDN_DIVIDERDBLCLICK, hit.iItem);
  else if (hit.flags == HHT_ONHEADER)
    Notify(hWnd, HDN_ITEMDBLCLICK, hit.iItem);
}

// Cancels what the mouse holds: a tracked divider goes back to its width.
void CancelMode(HWND hWnd, THeader& h)
{
  if (h.Tracking >= 0)
    EndTrack(hWnd, h, true);
  if (THeader* now = HeaderOf(hWnd); now && now->Pressed >= 0) {
    now->Pressed = -1;
    InvalidateRect(hWnd, nullptr, TRUE);
  }
}

bool OverDivider(HWND hWnd, const THeader& h)
{
  if (h.Tracking >= 0)
    return true;
  POINT p;
  GetCursorPos(&p);
  ScreenToClient(hWnd, &p);
  return HitTest(hWnd, h, p).flags == HHT_ONDIVIDER;
}

int HeaderHeight(HWND hWnd, const THeader& h)
{
  HDC dc = GetDC(hWnd);
  HGDIOBJ old = SelectObject(dc, h.Font ? h.Font : HFONT(GetStockObject(DEFAULT_GUI_FONT)));
  TEXTMETRIC tm;
  GetTextMetrics(dc, &tm);
  SelectObject(dc, old);
  ReleaseDC(hWnd, dc);
  return tm.tmHeight + 8;
}

LRESULT Layout(HWND hWnd, const THeader& h, HDLAYOUT* layout)
{
  if (!layout || !layout->prc || !layout->pwpos)
    return FALSE;
  bool hidden = GetWindowLongPtr(hWnd, GWL_STYLE) & HDS_HIDDEN;
  int height = hidden ? 0 : HeaderHeight(hWnd, h);
  RECT& r = *layout->prc;
  *layout->pwpos = WINDOWPOS{};
  layout->pwpos->hwnd = hWnd;
  layout->pwpos->x = r.Left;
  layout->pwpos->y = r.Top;
  layout->pwpos->cx = r.Width();
  layout->pwpos->cy = height;
  r.Top += height;
  return TRUE;
}

// ---- drawing ---------------------------------------------------------------------------

constexpr COLORREF kThemedFace = 0x00FFFFFF, kThemedLine = 0x00E5E5E5, kThemedHot = 0x00F9EBD9,
                   kThemedPressed = 0x00F4DCBC, kThemedText = 0x00000000, kSortInk = 0x00808080;

void Fill(HDC dc, const RECT& r, COLORREF color)
{
  HBRUSH brush = CreateSolidBrush(color);
  FillRect(dc, &r, brush);
  DeleteObject(brush);
}

// The sort mark: a small triangle near the right edge, point up or down.
void DrawSortMark(HDC dc, const RECT& item, bool up)
{
  constexpr int rows = 4;
  int cx = item.Right - 12, cy = item.Top + item.Height() / 2 - rows / 2;
  for (int i = 0; i < rows; ++i) {
    int half = up ? i : rows - 1 - i;
    Fill(dc, RECT(cx - half, cy + i, cx + half + 1, cy + i + 1), kSortInk);
  }
}

void DrawCaption(HDC dc, const TColumn& c, RECT r, bool pushed)
{
  bool sorted = c.Format & (HDF_SORTUP | HDF_SORTDOWN);
  RECT text = r;
  text.Inflate(-6, 0);
  if (sorted)
    text.Right -= 14;
  if (pushed)
    text.Offset(1, 1);
  UINT align = (c.Format & HDF_JUSTIFYMASK) == HDF_RIGHT ? DT_RIGHT
               : (c.Format & HDF_JUSTIFYMASK) == HDF_CENTER ? DT_CENTER
                                                            : DT_LEFT;
  DrawText(dc, c.Text.c_str(), int(c.Text.size()), &text,
           align | DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
  if (sorted)
    DrawSortMark(dc, r, c.Format & HDF_SORTUP);
}

void DrawItemBackground(HDC dc, RECT r, bool themed, bool hot, bool pressed)
{
  if (themed) {
    Fill(dc, r, pressed ? kThemedPressed : hot ? kThemedHot : kThemedFace);
    Fill(dc, RECT(r.Right - 1, r.Top, r.Right, r.Bottom), kThemedLine);
    return;
  }
  Fill(dc, r, GetSysColor(COLOR_BTNFACE));
  DrawEdge(dc, &r, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | (pressed ? BF_FLAT : 0));
}

void OwnerDraw(HWND hWnd, HDC dc, int index, const RECT& r, bool pressed)
{
  DRAWITEMSTRUCT dis;
  dis.CtlType = ODT_HEADER;
  dis.CtlID = UINT(GetWindowLongPtr(hWnd, GWLP_ID));
  dis.itemID = UINT(index);
  dis.itemAction = ODA_DRAWENTIRE;
  dis.itemState = pressed ? ODS_SELECTED : 0;
  dis.hwndItem = hWnd;
  dis.hDC = dc;
  dis.rcItem = r;
  if (HWND parent = GetParent(hWnd))
    SendMessage(parent, WM_DRAWITEM, WPARAM(dis.CtlID), LPARAM(&dis));
}

void Paint(HWND hWnd, HDC dc)
{
  THeader* h = HeaderOf(hWnd);
  if (!h)
    return;
  bool themed = IsAppThemed();
  bool hotTrack = GetWindowLongPtr(hWnd, GWL_STYLE) & (HDS_HOTTRACK | HDS_BUTTONS);
  RECT client;
  GetClientRect(hWnd, &client);
  HGDIOBJ oldFont = SelectObject(dc, h->Font ? h->Font : HFONT(GetStockObject(DEFAULT_GUI_FONT)));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, themed ? kThemedText : GetSysColor(COLOR_BTNTEXT));
  int right = 0;
  // Owner drawing may change the columns: each one is looked up afresh.
  for (int i = 0; h && ValidIndex(*h, i); ++i, h = HeaderOf(hWnd)) {
    RECT r = ItemRect(hWnd, *h, i);
    right = r.Right;
    bool pressed = h->Pressed == i && h->PressInside;
    DrawItemBackground(dc, r, themed, hotTrack && h->Hot == i, pressed);
    if (h->Columns[size_t(i)].Format & HDF_OWNERDRAW)
      OwnerDraw(hWnd, dc, i, r, pressed);
    else
      DrawCaption(dc, h->Columns[size_t(i)], r, pressed && !themed);
  }
  RECT rest(right, 0, std::max(right, client.Right), client.Bottom);
  if (!rest.IsEmpty())
    DrawItemBackground(dc, rest, themed, false, false);
  if (themed)
    Fill(dc, RECT(0, client.Bottom - 1, client.Right, client.Bottom), kThemedLine);
  SelectObject(dc, oldFont);
}

// ---- the window procedure ----------------------------------------------------------------

LRESULT ItemMessage(HWND hWnd, THeader& h, UINT msg, WPARAM wParam, LPARAM lParam)
{
  int index = int(wParam);
  auto* item = reinterpret_cast<HDITEM*>(lParam);
  switch (msg) {
  case HDM_GETITEMCOUNT:
    return LRESULT(h.Columns.size());
  case HDM_INSERTITEM: {
    if (!item)
      return -1;
    index = std::clamp(index, 0, int(h.Columns.size()));
    TColumn c;
    ApplyItem(*item, c);
    h.Columns.insert(h.Columns.begin() + index, c);
    InvalidateRect(hWnd, nullptr, TRUE);
    return index;
  }
  case HDM_DELETEITEM:
    if (!ValidIndex(h, index))
      return FALSE;
    if (h.Tracking >= 0 || h.Pressed >= 0)
      CancelMode(hWnd, h);
    h.Columns.erase(h.Columns.begin() + index);
    h.Hot = -1;
    InvalidateRect(hWnd, nullptr, TRUE);
    return TRUE;
  case HDM_GETITEM:
    if (!item || !ValidIndex(h, index))
      return FALSE;
    CopyItem(h.Columns[size_t(index)], *item);
    return TRUE;
  case HDM_SETITEM:
    return item && ValidIndex(h, index) && ChangeItem(hWnd, index, *item);
  case HDM_GETITEMRECT:
    if (!lParam || !ValidIndex(h, index))
      return FALSE;
    *reinterpret_cast<RECT*>(lParam) = ItemRect(hWnd, h, index);
    return TRUE;
  case HDM_HITTEST: {
    auto* info = reinterpret_cast<HDHITTESTINFO*>(lParam);
    if (!info)
      return -1;
    *info = HitTest(hWnd, h, info->pt);
    return info->iItem;
  }
  case HDM_LAYOUT:
    return Layout(hWnd, h, reinterpret_cast<HDLAYOUT*>(lParam));
  default:
    return 0;
  }
}

LRESULT HeaderProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
  if (msg == WM_NCCREATE)
    Headers()[hWnd] = THeader{};
  THeader* h = HeaderOf(hWnd);
  if (msg == WM_NCDESTROY)
    Headers().erase(hWnd);
  if (!h || msg == WM_NCDESTROY)
    return DefWindowProc(hWnd, msg, wParam, lParam);
  if (msg >= HDM_FIRST && msg <= HDM_SETITEM)
    return ItemMessage(hWnd, *h, msg, wParam, lParam);
  switch (msg) {
  case WM_PAINT: {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hWnd, &ps);
    if (dc)
      Paint(hWnd, dc);
    EndPaint(hWnd, &ps);
    return 0;
  }
  case WM_ERASEBKGND:
    return 1;
  case WM_SETFONT:
    h->Font = reinterpret_cast<HFONT>(wParam);
    if (lParam)
      InvalidateRect(hWnd, nullptr, TRUE);
    return 0;
  case WM_SETCURSOR:
    if (LOWORD(std::uintptr_t(lParam)) == HTCLIENT && OverDivider(hWnd, *h)) {
      SetCursor(LoadCursor(nullptr, IDC_SIZEWE));
      return TRUE;
    }
    break;
  case WM_MOUSEMOVE:
    MouseMove(hWnd, *h, PointOf(lParam));
    return 0;
  case WM_MOUSELEAVE:
    if (h->Hot >= 0) {
      h->Hot = -1;
      InvalidateRect(hWnd, nullptr, TRUE);
    }
    return 0;
  case WM_LBUTTONDOWN:
    ButtonDown(hWnd, *h, PointOf(lParam));
    return 0;
  case WM_LBUTTONUP:
    ButtonUp(hWnd, *h);
    return 0;
  case WM_LBUTTONDBLCLK:
    DoubleClick(hWnd, *h, PointOf(lParam));
    return 0;
  case WM_KEYDOWN:
    if (wParam == WPARAM(VK_ESCAPE) && (h->Tracking >= 0 || h->Pressed >= 0)) {
      CancelMode(hWnd, *h);
      return 0;
    }
    break;
  case WM_CANCELMODE:
    CancelMode(hWnd, *h);
    return 0;
  case WM_CAPTURECHANGED:
    if (HWND(lParam) != hWnd && (h->Tracking >= 0 || h->Pressed >= 0))
      CancelMode(hWnd, *h);
    return 0;
  default:
    break;
  }
  return DefWindowProc(hWnd, msg, wParam, lParam);
}

} // namespace

BOOL InitCommonControls()
{
  WNDCLASS wc;
  if (GetClassInfo(nullptr, WC_HEADER, &wc))
    return TRUE;
  wc = WNDCLASS{};
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = &HeaderProc;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.lpszClassName = WC_HEADER;
  return RegisterClass(wc) != 0;
}

} // namespace Win
