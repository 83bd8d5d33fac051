// A memory DC over a fresh 32-bit bitmap filled with one colour, and ways to
// read its pixels back: what the GDI, text and style tests draw on.
#pragma once

#include <Win.Gdi.Guards.hpp>
#include <Winapi.Windows.hpp>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace QxTest {

// Fills a rectangle of a DC with one colour.
inline void FillSolid(Win::HDC DC, Win::RECT R, Win::COLORREF Color)
{
  Win::HBRUSH b = Win::CreateSolidBrush(Color);
  Win::FillRect(DC, &R, b);
  Win::DeleteObject(b);
}

class TSurface {
  Win::TMemoryDC FMemory; // first: DC and Bitmap are its

public:
  TSurface(int Width, int Height, Win::COLORREF Background = Win::RGB(255, 255, 255))
    : FMemory(nullptr, Width, Height), DC(FMemory.DC()), Bitmap(FMemory.Bitmap()), FWidth(Width),
      FHeight(Height)
  {
    Clear(Background);
  }

  void Clear(Win::COLORREF Color = Win::RGB(255, 255, 255)) { FillSolid(DC, Win::RECT(0, 0, FWidth, FHeight), Color); }
  int Width() const { return FWidth; }
  int Height() const { return FHeight; }

  // The raw surface word (0xAARRGGBB) at a surface position.
  std::uint32_t Raw(int X, int Y) const
  {
    return Win::BitmapBits(Bitmap)[std::size_t(Y) * std::size_t(FWidth) + std::size_t(X)];
  }
  // The colour at a surface position, as a COLORREF.
  Win::COLORREF At(int X, int Y) const
  {
    const std::uint32_t p = Raw(X, Y);
    return Win::RGB(std::uint8_t(p >> 16), std::uint8_t(p >> 8), std::uint8_t(p));
  }
  std::vector<std::uint32_t> Pixels() const
  {
    const std::uint32_t* bits = Win::BitmapBits(Bitmap);
    return std::vector<std::uint32_t>(bits, bits + std::size_t(FWidth) * std::size_t(FHeight));
  }
  // One character per pixel of row Y: '#' where the colour is Ink, '.' elsewhere.
  std::string Row(int Y, Win::COLORREF Ink) const
  {
    std::string s;
    for (int x = 0; x < FWidth; ++x)
      s += At(x, Y) == Ink ? '#' : '.';
    return s;
  }
  int Count(Win::COLORREF Color) const
  {
    int n = 0;
    for (int y = 0; y < FHeight; ++y)
      for (int x = 0; x < FWidth; ++x)
        n += At(x, y) == Color;
    return n;
  }
  // The bounding box of the pixels that differ from Background (empty when none).
  Win::RECT Ink(Win::COLORREF Background = Win::RGB(255, 255, 255)) const
  {
    Win::RECT box(FWidth, FHeight, 0, 0);
    for (int y = 0; y < FHeight; ++y)
      for (int x = 0; x < FWidth; ++x)
        if (At(x, y) != Background)
          box = Win::RECT(std::min(box.Left, x), std::min(box.Top, y), std::max(box.Right, x + 1),
                          std::max(box.Bottom, y + 1));
    return box.Left < box.Right ? box : Win::RECT();
  }

  const Win::HDC DC;
  const Win::HBITMAP Bitmap;

private:
  int FWidth, FHeight;
};

} // namespace QxTest
