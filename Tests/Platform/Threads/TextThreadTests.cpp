// Text calls from several threads at once, each with its own DC: realised
// fonts, their glyph caches and fallbacks, and the stock font are shared.
#include <QxSurface.hpp>
#include <Winapi.Windows.hpp>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <thread>
#include <vector>

using namespace Win;

namespace {

struct TResult {
  std::vector<std::uint32_t> Pixels;
  int Width = 0;
  int StockWidth = 0;
};

void DrawAndMeasure(TResult* result)
{
  QxTest::TSurface surface(120, 60);
  SIZE stock;
  GetTextExtentPoint32(surface.DC, "stock font", 10, &stock); // the DC starts with the shared GUI font
  LOGFONT lf;
  lf.lfHeight = -15;
  std::strcpy(lf.lfFaceName, "DejaVu Serif");
  HFONT font = CreateFontIndirect(lf);
  HGDIOBJ oldFont = SelectObject(surface.DC, font);
  for (int i = 0; i < 50; ++i) {
    RECT r(0, 0, 120, 60);
    // Accents, and Arabic, which the serif face takes from a fallback.
    DrawText(surface.DC, "Shared glyphs \xC3\xA9\xC3\xA8 \xD8\xA7\xD8\xA8 and words", -1, &r, DT_WORDBREAK);
  }
  SIZE size;
  GetTextExtentPoint32(surface.DC, "Shared glyphs", 13, &size);
  result->Width = size.cx;
  result->StockWidth = stock.cx;
  result->Pixels = surface.Pixels();
  SelectObject(surface.DC, oldFont);
  DeleteObject(font);
}

} // namespace

TEST(TextThreads, ThreadsShareRealisedFonts)
{
  TResult a, b;
  std::thread first(DrawAndMeasure, &a), second(DrawAndMeasure, &b);
  first.join();
  second.join();
  EXPECT_EQ(a.Pixels, b.Pixels);
  EXPECT_EQ(a.Width, b.Width);
  EXPECT_GT(a.Width, 0);
  EXPECT_EQ(a.StockWidth, b.StockWidth);
}
