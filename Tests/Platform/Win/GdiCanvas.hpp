// A memory DC over a fresh 32-bit bitmap, for the GDI pixel tests.
#pragma once

#include <Win.Gdi.Guards.hpp>
#include <Winapi.Windows.hpp>

#include <cstdint>
#include <string>
#include <vector>

namespace GdiTest {

class TCanvas {
  Win::TMemoryDC FMemory; // first: DC and Bitmap are its

public:
  TCanvas(int width, int height, Win::COLORREF background = Win::RGB(255, 255, 255))
    : FMemory(nullptr, width, height), DC(FMemory.DC()), Bitmap(FMemory.Bitmap()), FWidth(width), FHeight(height)
  {
    Clear(background);
  }

  void Clear(Win::COLORREF color)
  {
    Win::HBRUSH b = Win::CreateSolidBrush(color);
    Win::RECT r(0, 0, FWidth, FHeight);
    Win::FillRect(DC, &r, b);
    Win::DeleteObject(b);
  }
  // The raw surface word (0xAARRGGBB) at a surface position.
  std::uint32_t Raw(int x, int y) const { return Win::BitmapBits(Bitmap)[y * FWidth + x]; }
  // The colour at a surface position, as a COLORREF.
  Win::COLORREF At(int x, int y) const
  {
    std::uint32_t p = Raw(x, y);
    return Win::RGB(std::uint8_t(p >> 16), std::uint8_t(p >> 8), std::uint8_t(p));
  }
  std::vector<std::uint32_t> Snapshot() const
  {
    const std::uint32_t* bits = Win::BitmapBits(Bitmap);
    return std::vector<std::uint32_t>(bits, bits + FWidth * FHeight);
  }
  // One character per pixel of row y: '#' where the colour is `ink`, '.' elsewhere.
  std::string Row(int y, Win::COLORREF ink) const
  {
    std::string s;
    for (int x = 0; x < FWidth; ++x)
      s += At(x, y) == ink ? '#' : '.';
    return s;
  }
  int Count(Win::COLORREF color) const
  {
    int n = 0;
    for (int y = 0; y < FHeight; ++y)
      for (int x = 0; x < FWidth; ++x)
        n += At(x, y) == color;
    return n;
  }
  int Width() const { return FWidth; }
  int Height() const { return FHeight; }

  const Win::HDC DC;
  const Win::HBITMAP Bitmap;

private:
  int FWidth, FHeight;
};

} // namespace GdiTest
