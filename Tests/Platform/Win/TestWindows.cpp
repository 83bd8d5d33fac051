#include "TestWindows.hpp"

#include <QxSurface.hpp>

#include <algorithm>

namespace QxTest {

namespace {
WindowTest* gCurrent = nullptr;
}

void WindowTest::SetUp()
{
  QxDesktopFixture::SetUp();
  gCurrent = this;
  for (auto [name, style] : {std::pair{"QxTestWindow", Win::UINT(0)}, {"QxDblClkWindow", Win::CS_DBLCLKS}}) {
    Win::WNDCLASS wc;
    wc.lpfnWndProc = &Proc;
    wc.lpszClassName = name;
    wc.style = style;
    Win::RegisterClass(wc);
  }
  Win::WNDCLASS hand;
  hand.lpfnWndProc = &Proc;
  hand.lpszClassName = "QxHandWindow";
  hand.hCursor = Win::LoadCursor(nullptr, Win::IDC_HAND);
  Win::RegisterClass(hand);
}

void WindowTest::TearDown()
{
  QxDesktopFixture::TearDown();
  gCurrent = nullptr;
}

Win::HWND WindowTest::Make(Win::HWND parent, int x, int y, int width, int height, Win::COLORREF fill, Win::DWORD style,
                           Win::DWORD exStyle, const char* cls)
{
  auto data = std::make_unique<TTestWindow>();
  data->Fill = fill;
  Win::DWORD s = style | Win::WS_VISIBLE | (parent ? Win::WS_CHILD : Win::WS_POPUP);
  Win::HWND h = Win::CreateWindowEx(exStyle, cls, "", s & ~Win::WS_VISIBLE, x, y, width, height, parent, nullptr, nullptr, nullptr);
  Win::SetWindowLongPtr(h, Win::GWLP_USERDATA, Win::LONG_PTR(data.get()));
  FWindows.push_back(std::move(data));
  Win::ShowWindow(h, Win::SW_SHOW);
  return h;
}

TTestWindow& WindowTest::Of(Win::HWND hWnd)
{
  return *reinterpret_cast<TTestWindow*>(Win::GetWindowLongPtr(hWnd, Win::GWLP_USERDATA));
}

std::vector<Win::UINT> WindowTest::Messages(Win::HWND hWnd, std::vector<Win::UINT> only) const
{
  std::vector<Win::UINT> out;
  for (const TRecord& r : Log)
    if ((!hWnd || r.Window == hWnd) && std::find(only.begin(), only.end(), r.Message) != only.end())
      out.push_back(r.Message);
  return out;
}

Win::LRESULT WindowTest::Proc(Win::HWND hWnd, Win::UINT msg, Win::WPARAM wParam, Win::LPARAM lParam)
{
  auto* data = reinterpret_cast<TTestWindow*>(Win::GetWindowLongPtr(hWnd, Win::GWLP_USERDATA));
  if (!data || !gCurrent)
    return Win::DefWindowProc(hWnd, msg, wParam, lParam);
  gCurrent->Log.push_back({hWnd, msg, wParam, lParam});
  Win::LRESULT answer = 0;
  if (data->Hook && data->Hook(hWnd, msg, wParam, lParam, answer))
    return answer;
  switch (msg) {
  case Win::WM_NCHITTEST:
    return data->HitTest;
  case Win::WM_ERASEBKGND:
    return 1;
  case Win::WM_PAINT: {
    Win::PAINTSTRUCT ps;
    Win::HDC dc = Win::BeginPaint(hWnd, &ps);
    Win::RECT r;
    Win::GetClientRect(hWnd, &r);
    FillSolid(dc, r, data->Fill);
    Win::EndPaint(hWnd, &ps);
    return 0;
  }
  case Win::WM_MOUSEMOVE:
    if (data->TrackLeave) {
      Win::TRACKMOUSEEVENT tme;
      tme.dwFlags = Win::TME_LEAVE;
      tme.hwndTrack = hWnd;
      Win::TrackMouseEvent(&tme);
    }
    return 0;
  default:
    return Win::DefWindowProc(hWnd, msg, wParam, lParam);
  }
}

} // namespace QxTest
