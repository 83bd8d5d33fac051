// A memory DC over a white 32-bit bitmap, and pixel helpers for the style tests.
#pragma once

#include <Winapi.Windows.hpp>
#include <Win.Themes.hpp>

#include <cstdint>
#include <vector>

namespace ThemeTest {

class TSurface {
public:
  TSurface(int Width, int Height) : FWidth(Width), FHeight(Height)
  {
    DC = Win::CreateCompatibleDC(nullptr);
    Bitmap = Win::CreateBitmap32(Width, Height);
    FOld = Win::SelectObject(DC, Bitmap);
    Clear();
  }
  ~TSurface()
  {
    Win::SelectObject(DC, FOld);
    Win::DeleteObject(Bitmap);
    Win::DeleteDC(DC);
  }
  TSurface(const TSurface&) = delete;
  TSurface& operator=(const TSurface&) = delete;

  void Clear(Win::COLORREF Color = Win::RGB(255, 255, 255))
  {
    Win::HBRUSH b = Win::CreateSolidBrush(Color);
    Win::RECT r(0, 0, FWidth, FHeight);
    Win::FillRect(DC, &r, b);
    Win::DeleteObject(b);
  }
  Win::COLORREF At(int X, int Y) const
  {
    std::uint32_t p = Win::BitmapBits(Bitmap)[Y * FWidth + X];
    return Win::RGB(std::uint8_t(p >> 16), std::uint8_t(p >> 8), std::uint8_t(p));
  }
  std::vector<std::uint32_t> Pixels() const
  {
    const std::uint32_t* bits = Win::BitmapBits(Bitmap);
    return std::vector<std::uint32_t>(bits, bits + FWidth * FHeight);
  }
  // The bounding box of the pixels that differ from Color (empty when none).
  Win::RECT Ink(Win::COLORREF Color = Win::RGB(255, 255, 255)) const
  {
    Win::RECT box(FWidth, FHeight, 0, 0);
    for (int y = 0; y < FHeight; ++y)
      for (int x = 0; x < FWidth; ++x)
        if (At(x, y) != Color)
          box = Win::RECT(std::min(box.Left, x), std::min(box.Top, y), std::max(box.Right, x + 1),
                          std::max(box.Bottom, y + 1));
    return box.Left < box.Right ? box : Win::RECT();
  }

  Win::HDC DC = nullptr;
  Win::HBITMAP Bitmap = nullptr;

private:
  int FWidth, FHeight;
  Win::HGDIOBJ FOld = nullptr;
};

} // namespace ThemeTest
