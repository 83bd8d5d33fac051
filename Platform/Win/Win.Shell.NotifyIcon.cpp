#include "Win.Shell.NotifyIcon.hpp"

#include "Win.Gdi.Guards.hpp"
#include "Win.Gdi.Internal.hpp"
#include "Win.Screen.hpp"
#include "Win.Shell.NotifyIcon.Internal.hpp"
#include "Win.User.Internal.hpp"

#include <algorithm>
#include <memory>
#include <utility>

namespace Win {

namespace {

struct TBalloon {
  bool Visible = false;
  std::string Title;
  std::string Text;
  DWORD Flags = NIIF_NONE;
  UINT Timeout = 0;
  UINT_PTR Timer = 0;
};

struct TShellIcon {
  HWND Window = nullptr;
  UINT Id = 0;
  UINT CallbackMessage = 0;
  HICON Icon = nullptr; // the shell's own copy
  std::string Tip;
  TBalloon Balloon;
  TNotifyIconMenu Menu;

  ~TShellIcon()
  {
    if (Icon)
      DestroyIcon(Icon);
    if (Balloon.Timer)
      KillTimer(nullptr, Balloon.Timer);
  }
};

struct TNotifyArea {
  std::vector<std::unique_ptr<TShellIcon>> Icons;
  std::unique_ptr<TNotifyAreaPresenter> Presenter;
  bool FailNext = false;
  int Calls = 0;
};

// Never destroyed: at exit the icons would otherwise be torn down after the
// timers and icons they release.
TNotifyArea& Area()
{
  static TNotifyArea* area = new TNotifyArea;
  return *area;
}

// A GDI object this file made, deleted at the end of the block.
template <class THandle>
class TOwned {
public:
  explicit TOwned(THandle Handle) : FHandle(Handle) {}
  ~TOwned()
  {
    if (FHandle)
      DeleteObject(FHandle);
  }
  TOwned(const TOwned&) = delete;
  TOwned& operator=(const TOwned&) = delete;
  THandle Get() const { return FHandle; }

private:
  THandle FHandle;
};
using TBrushHandle = TOwned<HBRUSH>;
using TFontHandle = TOwned<HFONT>;

constexpr int kStripHeight = 28, kIconPitch = 24, kIconSize = 16, kStripMargin = 6;
constexpr int kBalloonWidth = 280, kBalloonHeight = 84;

TShellIcon* FindIcon(HWND hWnd, UINT id)
{
  for (auto& icon : Area().Icons)
    if (icon->Window == hWnd && icon->Id == id)
      return icon.get();
  return nullptr;
}

RECT IconRect(size_t index);

TNotifyIconInfo Info(const TShellIcon& icon)
{
  size_t index = 0;
  while (index < Area().Icons.size() && Area().Icons[index].get() != &icon)
    ++index;
  return {icon.Window, icon.Id, icon.CallbackMessage, icon.Icon, icon.Tip, icon.Balloon.Visible,
          icon.Balloon.Title, icon.Balloon.Text, icon.Balloon.Flags, icon.Balloon.Timeout, IconRect(index)};
}

void Post(const TShellIcon& icon, UINT event)
{
  if (icon.CallbackMessage && IsLive(icon.Window))
    PostMessage(icon.Window, icon.CallbackMessage, WPARAM(icon.Id), LPARAM(event));
}

void CloseBalloon(TShellIcon& icon, UINT event)
{
  if (!icon.Balloon.Visible)
    return;
  icon.Balloon.Visible = false;
  if (icon.Balloon.Timer)
    KillTimer(nullptr, icon.Balloon.Timer);
  icon.Balloon.Timer = 0;
  if (Area().Presenter)
    Area().Presenter->BalloonClosed(icon.Window, icon.Id);
  Post(icon, event);
}

void BalloonTimedOut(HWND, UINT, UINT_PTR timer, DWORD)
{
  for (auto& icon : Area().Icons)
    if (icon->Balloon.Timer == timer) {
      CloseBalloon(*icon, NIN_BALLOONTIMEOUT);
      return;
    }
  KillTimer(nullptr, timer);
}

void ApplyBalloon(TShellIcon& icon, const NOTIFYICONDATAW& data)
{
  TBalloon wanted;
  wanted.Title = WideToUtf8(data.szInfoTitle);
  wanted.Text = WideToUtf8(data.szInfo);
  wanted.Flags = data.dwInfoFlags;
  wanted.Timeout = data.uTimeout;
  if (wanted.Text.empty()) {
    CloseBalloon(icon, NIN_BALLOONHIDE);
    return;
  }
  TBalloon& shown = icon.Balloon;
  if (shown.Visible && shown.Title == wanted.Title && shown.Text == wanted.Text && shown.Flags == wanted.Flags)
    return;
  CloseBalloon(icon, NIN_BALLOONHIDE);
  wanted.Visible = true;
  wanted.Timer = SetTimer(nullptr, 0, wanted.Timeout, BalloonTimedOut);
  shown = std::move(wanted);
  if (Area().Presenter)
    Area().Presenter->BalloonShown(Info(icon));
  Post(icon, NIN_BALLOONSHOW);
}

void Apply(TShellIcon& icon, const NOTIFYICONDATAW& data)
{
  if (data.uFlags & NIF_MESSAGE)
    icon.CallbackMessage = data.uCallbackMessage;
  if (data.uFlags & NIF_ICON) {
    if (icon.Icon)
      DestroyIcon(icon.Icon);
    icon.Icon = data.hIcon ? CopyIcon(data.hIcon) : nullptr;
  }
  if (data.uFlags & NIF_TIP)
    icon.Tip = WideToUtf8(data.szTip);
  if (data.uFlags & NIF_INFO)
    ApplyBalloon(icon, data);
}

BOOL Delete(const NOTIFYICONDATAW& data)
{
  auto& icons = Area().Icons;
  auto it = std::find_if(icons.begin(), icons.end(),
                         [&](const auto& icon) { return icon->Window == data.hWnd && icon->Id == data.uID; });
  if (it == icons.end())
    return FALSE;
  const std::unique_ptr<TShellIcon> gone = std::move(*it);
  icons.erase(it);
  if (gone->Balloon.Visible && Area().Presenter)
    Area().Presenter->BalloonClosed(gone->Window, gone->Id);
  if (Area().Presenter)
    Area().Presenter->IconRemoved(gone->Window, gone->Id);
  return TRUE;
}

RECT StripRect()
{
  const int width = 2 * kStripMargin + kIconPitch * int(Area().Icons.size());
  const int right = ScreenSettings().Width, bottom = ScreenSettings().Height;
  return RECT(right - width, bottom - kStripHeight, right, bottom);
}

RECT IconRect(size_t index)
{
  const RECT strip = StripRect();
  const int left = strip.Left + kStripMargin + kIconPitch * int(index) + (kIconPitch - kIconSize) / 2;
  const int top = strip.Top + (kStripHeight - kIconSize) / 2;
  return RECT(left, top, left + kIconSize, top + kIconSize);
}

void AppendUtf8(std::string& out, char32_t cp)
{
  if (cp < 0x80) {
    out += char(cp);
  } else if (cp < 0x800) {
    out += char(0xC0 | (cp >> 6));
    out += char(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += char(0xE0 | (cp >> 12));
    out += char(0x80 | ((cp >> 6) & 0x3F));
    out += char(0x80 | (cp & 0x3F));
  } else {
    out += char(0xF0 | (cp >> 18));
    out += char(0x80 | ((cp >> 12) & 0x3F));
    out += char(0x80 | ((cp >> 6) & 0x3F));
    out += char(0x80 | (cp & 0x3F));
  }
}

// The code point at s[i] and its length in bytes; U+FFFD for one byte of an
// ill-formed sequence.
char32_t DecodeUtf8(const std::string& s, size_t i, size_t& length)
{
  const auto byte = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
  const unsigned char lead = byte(i);
  length = 1;
  if (lead < 0x80)
    return lead;
  const int extra = lead >= 0xF0 && lead <= 0xF4 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC2 && lead < 0xE0 ? 1 : -1;
  if (extra < 0 || i + size_t(extra) >= s.size())
    return 0xFFFD;
  char32_t cp = lead & (0x3F >> extra);
  for (int k = 1; k <= extra; ++k) {
    if ((byte(i + size_t(k)) & 0xC0) != 0x80)
      return 0xFFFD;
    cp = (cp << 6) | (byte(i + size_t(k)) & 0x3F);
  }
  static constexpr char32_t kSmallest[] = {0, 0x80, 0x800, 0x10000};
  if (cp < kSmallest[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
    return 0xFFFD;
  length = size_t(extra) + 1;
  return cp;
}

void DrawBalloon(HDC dc, const TBalloon& balloon, const RECT& r)
{
  static constexpr COLORREF kKindColours[] = {RGB(120, 120, 120), RGB(0, 120, 215), RGB(230, 160, 0),
                                              RGB(210, 40, 40)};
  TBrushHandle back(CreateSolidBrush(GetSysColor(COLOR_INFOBK)));
  FillRect(dc, &r, back.Get());
  TBrushHandle frame(CreateSolidBrush(RGB(90, 90, 90)));
  FrameRect(dc, &r, frame.Get());
  const RECT bar(r.Left + 1, r.Top + 1, r.Left + 6, r.Bottom - 1);
  TBrushHandle kind(CreateSolidBrush(kKindColours[std::min<DWORD>(balloon.Flags & 3, 3)]));
  FillRect(dc, &bar, kind.Get());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_INFOTEXT));
  LOGFONT lf;
  lf.lfHeight = -13;
  lf.lfWeight = FW_BOLD;
  TFontHandle bold(CreateFontIndirect(lf));
  lf.lfWeight = FW_NORMAL;
  TFontHandle normal(CreateFontIndirect(lf));
  RECT title(r.Left + 14, r.Top + 8, r.Right - 10, r.Top + 28);
  {
    TSelectedObject selected(dc, bold.Get());
    DrawText(dc, balloon.Title.c_str(), -1, &title, DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX);
  }
  RECT text(r.Left + 14, r.Top + 30, r.Right - 10, r.Bottom - 6);
  TSelectedObject selected(dc, normal.Get());
  DrawText(dc, balloon.Text.c_str(), -1, &text, DT_WORDBREAK | DT_END_ELLIPSIS | DT_NOPREFIX);
}

void BlitInto(TImage& screen, HBITMAP bitmap, POINT at)
{
  const TBitmapObject& src = *bitmap;
  for (int y = 0; y < src.Height; ++y)
    for (int x = 0; x < src.Width; ++x) {
      const int dx = at.X + x, dy = at.Y + y;
      if (dx >= 0 && dy >= 0 && dx < screen.Width && dy < screen.Height)
        screen.Pixels[size_t(dy) * size_t(screen.Width) + size_t(dx)] =
          src.Pixels[size_t(y) * size_t(src.Width) + size_t(x)] | 0xFF000000u;
    }
}

void ComposeStrip(TImage& screen)
{
  const RECT strip = StripRect();
  TMemoryDC memory(nullptr, strip.Width(), strip.Height());
  if (!memory.Valid())
    return;
  const RECT all(0, 0, strip.Width(), strip.Height());
  TBrushHandle back(CreateSolidBrush(RGB(44, 48, 56)));
  FillRect(memory.DC(), &all, back.Get());
  for (size_t i = 0; i < Area().Icons.size(); ++i) {
    const RECT r = IconRect(i);
    if (HICON icon = Area().Icons[i]->Icon)
      DrawIconEx(memory.DC(), r.Left - strip.Left, r.Top - strip.Top, icon, kIconSize, kIconSize, 0, nullptr,
                 DI_NORMAL);
  }
  BlitInto(screen, memory.Bitmap(), strip.TopLeft());
}

void ComposeBalloons(TImage& screen)
{
  for (size_t i = 0; i < Area().Icons.size(); ++i) {
    const TBalloon& balloon = Area().Icons[i]->Balloon;
    if (!balloon.Visible)
      continue;
    const RECT icon = IconRect(i);
    const int left = std::max(0, std::min(icon.Left - kBalloonWidth / 2, ScreenSettings().Width - kBalloonWidth - 4));
    const RECT r(left, StripRect().Top - kBalloonHeight - 4, left + kBalloonWidth, StripRect().Top - 4);
    TMemoryDC memory(nullptr, r.Width(), r.Height());
    if (!memory.Valid())
      continue;
    DrawBalloon(memory.DC(), balloon, RECT(0, 0, r.Width(), r.Height()));
    BlitInto(screen, memory.Bitmap(), r.TopLeft());
  }
}

} // namespace

void CopyToWide(const std::string& Utf8, WCHAR* Dest, size_t Capacity)
{
  if (!Dest || Capacity == 0)
    return;
  size_t used = 0;
  for (size_t i = 0; i < Utf8.size();) {
    size_t length = 0;
    const char32_t cp = DecodeUtf8(Utf8, i, length);
    const size_t units = cp >= 0x10000 ? 2 : 1;
    if (used + units > Capacity - 1)
      break;
    if (units == 2) {
      Dest[used++] = WCHAR(0xD800 + ((cp - 0x10000) >> 10));
      Dest[used++] = WCHAR(0xDC00 + ((cp - 0x10000) & 0x3FF));
    } else {
      Dest[used++] = WCHAR(cp);
    }
    i += length;
  }
  Dest[used] = 0;
}

std::string WideToUtf8(const WCHAR* Text)
{
  std::string out;
  for (size_t i = 0; Text && Text[i]; ++i) {
    char32_t cp = Text[i];
    if (cp >= 0xD800 && cp <= 0xDBFF && Text[i + 1] >= 0xDC00 && Text[i + 1] <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (Text[i + 1] - 0xDC00);
      ++i;
    } else if (cp >= 0xD800 && cp <= 0xDFFF) {
      cp = 0xFFFD;
    }
    AppendUtf8(out, cp);
  }
  return out;
}

BOOL Shell_NotifyIconW(DWORD message, const NOTIFYICONDATAW* data)
{
  TNotifyArea& area = Area();
  ++area.Calls;
  if (std::exchange(area.FailNext, false) || !data || !IsLive(data->hWnd))
    return FALSE;
  TShellIcon* icon = FindIcon(data->hWnd, data->uID);
  switch (message) {
  case NIM_ADD: {
    if (icon)
      return FALSE;
    auto fresh = std::make_unique<TShellIcon>();
    fresh->Window = data->hWnd;
    fresh->Id = data->uID;
    TShellIcon& added = *area.Icons.emplace_back(std::move(fresh));
    Apply(added, *data);
    if (area.Presenter)
      area.Presenter->IconAdded(Info(added));
    return TRUE;
  }
  case NIM_MODIFY:
    if (!icon)
      return FALSE;
    Apply(*icon, *data);
    if (area.Presenter)
      area.Presenter->IconChanged(Info(*icon));
    return TRUE;
  case NIM_DELETE:
    return Delete(*data);
  default:
    return FALSE;
  }
}

std::vector<TNotifyIconInfo> NotifyIcons()
{
  std::vector<TNotifyIconInfo> list;
  for (const auto& icon : Area().Icons)
    list.push_back(Info(*icon));
  return list;
}

bool InjectNotifyIconEvent(HWND hWnd, UINT id, UINT Event)
{
  const TShellIcon* icon = FindIcon(hWnd, id);
  if (!icon)
    return false;
  Post(*icon, Event);
  return true;
}

bool ClickNotifyBalloon(HWND hWnd, UINT id)
{
  TShellIcon* icon = FindIcon(hWnd, id);
  if (!icon || !icon->Balloon.Visible)
    return false;
  CloseBalloon(*icon, NIN_BALLOONUSERCLICK);
  return true;
}

bool SetNotifyIconMenu(HWND hWnd, UINT id, TNotifyIconMenu Menu)
{
  TShellIcon* icon = FindIcon(hWnd, id);
  if (!icon)
    return false;
  icon->Menu = std::move(Menu);
  return true;
}

TNotifyIconMenu NotifyIconMenu(HWND hWnd, UINT Id)
{
  const TShellIcon* icon = FindIcon(hWnd, Id);
  return icon ? icon->Menu : TNotifyIconMenu();
}

void FailNextShellNotifyIcon()
{
  Area().FailNext = true;
}

int ShellNotifyIconCalls()
{
  return Area().Calls;
}

void ComposeNotifyArea(TImage& Screen)
{
  if (Area().Icons.empty())
    return;
  ComposeStrip(Screen);
  ComposeBalloons(Screen);
}

void SetNotifyAreaPresenter(std::unique_ptr<TNotifyAreaPresenter> Presenter)
{
  Area().Presenter = std::move(Presenter);
}

void EndNotifyBalloon(HWND hWnd, UINT Id, UINT Event)
{
  if (TShellIcon* icon = FindIcon(hWnd, Id))
    CloseBalloon(*icon, Event);
}

void ResetNotifyArea()
{
  Area().Presenter.reset();
  Area().Icons.clear();
  Area().FailNext = false;
  Area().Calls = 0;
}

} // namespace Win
