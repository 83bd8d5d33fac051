// Windows for the window-system tests: each records the messages it gets
// and paints its client in one colour.
#pragma once

#include <QxDesktopFixture.hpp>
#include <System.SysUtils.hpp>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace QxTest {

struct TRecord {
  Win::HWND Window;
  Win::UINT Message;
  Win::WPARAM WParam;
  Win::LPARAM LParam;
};

struct TTestWindow {
  Win::COLORREF Fill = Win::RGB(255, 255, 255);
  Win::LRESULT HitTest = Win::HTCLIENT;
  bool TrackLeave = false;
  // Runs before the default handling; true when it answered.
  std::function<bool(Win::HWND, Win::UINT, Win::WPARAM, Win::LPARAM, Win::LRESULT&)> Hook;
};

class WindowTest : public QxDesktopFixture {
protected:
  void SetUp() override;
  void TearDown() override;

  // A top-level window (screen coordinates) or a child (parent's client).
  Win::HWND Make(Win::HWND parent, int x, int y, int w, int h, Win::COLORREF fill, Win::DWORD style = 0,
                 Win::DWORD exStyle = 0, const char* cls = "QxTestWindow");
  TTestWindow& Of(Win::HWND hWnd);
  // Lets the windows paint, then forgets what they were told so far.
  void Settle()
  {
    RunUntilIdle();
    Log.clear();
  }
  // The messages recorded for a window (or all when nullptr), by number.
  std::vector<Win::UINT> Messages(Win::HWND hWnd, std::vector<Win::UINT> only) const;
  std::vector<TRecord> Log;

private:
  static Win::LRESULT Proc(Win::HWND, Win::UINT, Win::WPARAM, Win::LPARAM);
  std::vector<std::unique_ptr<TTestWindow>> FWindows;
};

} // namespace QxTest
