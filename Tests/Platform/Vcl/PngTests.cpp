#include <QxGraphicStreams.hpp>
#include <Vcl.Imaging.pngimage.hpp>

#include <QxTestSupport.hpp>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <sstream>

using namespace Vcl;

namespace {

std::string FixturePath(const std::string& name) { return QxTest::SourceDir() + "/Tests/Fixtures/png/" + name; }

// A netpbm PAM as pngtopam writes it, samples scaled to 8 bits the way our
// decoder reduces them.
struct TPam {
  int Width = 0, Height = 0, Depth = 0, MaxVal = 0;
  std::vector<unsigned> Samples;

  static TPam Load(const std::string& path)
  {
    TBytes bytes = QxTest::ReadBytes(path);
    std::string text(bytes.begin(), bytes.end());
    size_t end = text.find("ENDHDR\n");
    std::istringstream header(text.substr(0, end));
    TPam pam;
    for (std::string key; header >> key;) {
      if (key == "WIDTH") header >> pam.Width;
      else if (key == "HEIGHT") header >> pam.Height;
      else if (key == "DEPTH") header >> pam.Depth;
      else if (key == "MAXVAL") header >> pam.MaxVal;
    }
    const Byte* p = bytes.data() + end + 7;
    for (size_t i = 0; i < size_t(pam.Width) * pam.Height * pam.Depth; ++i, p += pam.MaxVal > 255 ? 2 : 1)
      pam.Samples.push_back(pam.MaxVal > 255 ? (p[0] << 8) | p[1] : p[0]);
    return pam;
  }
  unsigned Sample8(int x, int y, int channel) const
  {
    unsigned v = Samples[(size_t(y) * Width + x) * Depth + channel];
    return MaxVal == 65535 ? (v * 255 + 32895) >> 16 : v * 255 / MaxVal;
  }
  TColor Colour(int x, int y) const
  {
    if (Depth <= 2) {
      unsigned g = Sample8(x, y, 0);
      return TColor(g | g << 8 | g << 16);
    }
    return TColor(Sample8(x, y, 0) | Sample8(x, y, 1) << 8 | Sample8(x, y, 2) << 16);
  }
  unsigned Alpha(int x, int y) const { return Sample8(x, y, Depth - 1); }
};

unsigned PaletteIndex(const TPngImage& png, int x, int y)
{
  const Byte* row = png.Scanline(y);
  int depth = png.Header().BitDepth;
  int perByte = 8 / depth;
  return (row[x / perByte] >> (8 - depth * (x % perByte + 1))) & ((1 << depth) - 1);
}

// The alpha a pixel is drawn with, whichever way the image carries it.
unsigned EffectiveAlpha(const TPngImage& png, int x, int y)
{
  if (const Byte* alpha = png.AlphaScanline(y))
    return alpha[x];
  if (png.Header().ColorType == COLOR_PALETTE)
    return png.Palette()[PaletteIndex(png, x, y)].Alpha;
  if (png.TransparencyMode() == ptmBit && png.Pixels(x, y) == png.TransparentColor())
    return 0;
  return 255;
}

TBytes Save(TPngImage& png)
{
  TBytesStream s;
  png.SaveToStream(&s);
  return s.Bytes();
}

// Everything the pixel model holds, for equality checks.
std::string Describe(const TPngImage& png)
{
  std::ostringstream out;
  const TChunkIHDR& h = png.Header();
  out << h.Width << "x" << h.Height << " ct" << int(h.ColorType) << " bd" << int(h.BitDepth) << " il"
      << int(h.InterlaceMethod) << " mode" << int(png.TransparencyMode()) << " tc" << png.TransparentColor()
      << " gamma" << png.Gamma() << " pal";
  for (const TPngPaletteEntry& e : png.Palette())
    out << " " << int(e.Red) << "," << int(e.Green) << "," << int(e.Blue) << "," << int(e.Alpha);
  out << "\n";
  for (int y = 0; y < h.Height; ++y) {
    for (int x = 0; x < h.Width; ++x)
      out << std::hex << png.Pixels(x, y) << "/" << EffectiveAlpha(png, x, y) << " ";
    out << "\n";
  }
  return out.str();
}

struct TFixture {
  const char* Name;
  Byte ColorType;
  Byte BitDepth;
};

const TFixture Fixtures[] = {
  {"gray1", 0, 1}, {"gray2", 0, 2}, {"gray4", 0, 4}, {"gray8", 0, 8}, {"gray16", 0, 8},
  {"rgb8", 2, 8}, {"rgb16", 2, 8}, {"graya8", 4, 8}, {"graya16", 4, 8}, {"rgba8", 6, 8},
  {"rgba16", 6, 8}, {"pal1", 3, 1}, {"pal2", 3, 2}, {"pal4", 3, 4}, {"pal8", 3, 8},
  {"pal4trns", 3, 4}, {"gray8trns", 0, 8}, {"gray4trns", 0, 4}, {"rgb8trns", 2, 8},
  {"rgb16trns", 2, 8}, {"rgba8interlaced", 6, 8}, {"pal8interlaced", 3, 8},
  {"gray2interlaced", 0, 2}, {"rgb8gamma", 2, 8},
};

} // namespace

TEST(PngImage, DecodesFilesOfAnIndependentEncoderToTheSamePixels)
{
  for (const TFixture& f : Fixtures) {
    SCOPED_TRACE(f.Name);
    TPngImage png;
    png.LoadFromFile(FixturePath(std::string(f.Name) + ".png"));
    TPam pam = TPam::Load(FixturePath(std::string(f.Name) + ".pam"));
    ASSERT_EQ(png.Width(), pam.Width);
    ASSERT_EQ(png.Height(), pam.Height);
    EXPECT_EQ(png.Header().ColorType, f.ColorType);
    EXPECT_EQ(png.Header().BitDepth, f.BitDepth);
    EXPECT_EQ(png.AlphaScanline(0) != nullptr, f.ColorType == 4 || f.ColorType == 6);
    bool anyTransparent = false;
    for (int y = 0; y < pam.Height; ++y)
      for (int x = 0; x < pam.Width; ++x) {
        ASSERT_EQ(png.Pixels(x, y), pam.Colour(x, y)) << x << "," << y;
        ASSERT_EQ(EffectiveAlpha(png, x, y), pam.Alpha(x, y)) << x << "," << y;
        anyTransparent = anyTransparent || pam.Alpha(x, y) == 0;
      }
    bool keyed = std::string(f.Name).find("trns") != std::string::npos;
    EXPECT_EQ(png.TransparencyMode(), f.ColorType >= 4 || f.Name == std::string("pal4trns") ? ptmPartial
                                      : keyed                                               ? ptmBit
                                                                                            : ptmNone);
    if (keyed) {
      EXPECT_TRUE(anyTransparent);
    }
  }
}

TEST(PngImage, HeaderAndPlanesFollowTheDocumentedLayout)
{
  TPngImage png;
  png.LoadFromFile(FixturePath("rgba8.png"));
  TPam pam = TPam::Load(FixturePath("rgba8.pam"));
  const Byte* row = png.Scanline(5);
  EXPECT_EQ(png.Scanline(6) - row, 3 * png.Width()); // no padding, no fourth byte
  EXPECT_EQ(row[3 * 4 + 0], pam.Sample8(4, 5, 2));   // blue first
  EXPECT_EQ(row[3 * 4 + 2], pam.Sample8(4, 5, 0));
  EXPECT_EQ(png.AlphaScanline(5)[4], pam.Alpha(4, 5));
  EXPECT_EQ(png.Header().InterlaceMethod, 0);
  EXPECT_THROW(png.Scanline(png.Height()), ERangeError);

  png.LoadFromFile(FixturePath("gray2interlaced.png"));
  EXPECT_EQ(png.InterlaceMethod(), imAdam7);
  EXPECT_EQ(png.Scanline(1) - png.Scanline(0), (23 * 2 + 7) / 8); // packed
  EXPECT_EQ(png.AlphaScanline(0), nullptr);

  png.LoadFromFile(FixturePath("rgb8gamma.png"));
  EXPECT_TRUE(png.HasChunk("gAMA"));
  EXPECT_EQ(png.Gamma(), 45455u);
  EXPECT_EQ(png.Pixels(3, 3), TPam::Load(FixturePath("rgb8gamma.pam")).Colour(3, 3)); // not applied
  png.RemoveChunk("gAMA");
  EXPECT_FALSE(png.HasChunk("gAMA"));
  QxTest::LoadBytes(png, Save(png));
  EXPECT_EQ(png.Gamma(), 0u);
  EXPECT_THROW(png.RemoveChunk("IDAT"), EPngError);
}

TEST(PngImage, RoundTripsEveryColourTypeBitDepthAndInterlace)
{
  const std::pair<Byte, Byte> formats[] = {{0, 1}, {0, 2}, {0, 4}, {0, 8}, {2, 8}, {3, 1},
                                           {3, 2}, {3, 4}, {3, 8}, {4, 8}, {6, 8}};
  for (auto [colorType, bitDepth] : formats)
    for (TInterlaceMethod interlace : {imNone, imAdam7}) {
      SCOPED_TRACE(testing::Message() << "ct " << int(colorType) << " bd " << int(bitDepth));
      TPngImage png;
      png.CreateBlank(colorType, bitDepth, 13, 9);
      png.SetInterlaceMethod(interlace);
      if (colorType == COLOR_PALETTE) {
        std::vector<TPngPaletteEntry> palette;
        for (int i = 0; i < (1 << bitDepth); ++i)
          palette.push_back({Byte(i * 40), Byte(255 - i), Byte(i * 7), Byte(i == 1 ? 0 : i == 2 ? 100 : 255)});
        png.SetPalette(palette);
      }
      for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 13; ++x) {
          png.SetPixels(x, y, TColor((x * 19 + y * 31) | (x * 5) << 8 | (y * 23) << 16));
          if (Byte* alpha = png.AlphaScanline(y))
            alpha[x] = Byte(x * 20 + y);
        }
      if (colorType == COLOR_RGB || colorType == COLOR_GRAYSCALE)
        png.SetTransparentColor(png.Pixels(2, 3));
      png.SetGamma(100000);
      std::string before = Describe(png);
      for (TFilters filters : {TFilters{}, TFilters{pfSub}, TFilters{pfNone, pfSub, pfUp, pfAverage, pfPaeth}}) {
        png.SetFilters(filters);
        TPngImage copy;
        QxTest::LoadBytes(copy, Save(png));
        EXPECT_EQ(Describe(copy), before);
      }
    }
}

// Images with alpha are separated into their planes row by row, several
// pixels at a time; every width, with and without interlacing, gives back
// exactly the planes that were saved.
TEST(PngImage, AlphaPlanesOfEveryWidthRoundTrip)
{
  std::mt19937 rng(15);
  for (Byte colorType : {COLOR_GRAYSCALEALPHA, COLOR_RGBALPHA})
    for (int width : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 15, 16, 17, 33, 64, 1001})
      for (TInterlaceMethod interlace : {imNone, imAdam7}) {
        SCOPED_TRACE(testing::Message() << "ct " << int(colorType) << " width " << width << " interlace "
                                        << int(interlace));
        TPngImage png;
        png.CreateBlank(colorType, 8, width, 5);
        png.SetInterlaceMethod(interlace);
        const int rowBytes = colorType == COLOR_RGBALPHA ? 3 * width : width;
        for (int y = 0; y < 5; ++y) {
          for (int i = 0; i < rowBytes; ++i)
            png.Scanline(y)[i] = Byte(rng());
          for (int x = 0; x < width; ++x)
            png.AlphaScanline(y)[x] = Byte(rng());
        }
        TPngImage copy;
        QxTest::LoadBytes(copy, Save(png));
        for (int y = 0; y < 5; ++y) {
          ASSERT_TRUE(std::equal(png.Scanline(y), png.Scanline(y) + rowBytes, copy.Scanline(y)));
          ASSERT_TRUE(std::equal(png.AlphaScanline(y), png.AlphaScanline(y) + width, copy.AlphaScanline(y)));
        }
      }
}

TEST(PngImage, ReEncodedFixturesKeepTheirPixels)
{
  for (const TFixture& f : Fixtures) {
    SCOPED_TRACE(f.Name);
    TPngImage png;
    png.LoadFromFile(FixturePath(std::string(f.Name) + ".png"));
    std::string path = QxTest::TempDir() + "/copy.png";
    png.SetCompressionLevel(9);
    png.SaveToFile(path);
    TPngImage copy;
    copy.LoadFromFile(path);
    EXPECT_EQ(Describe(copy), Describe(png));
  }
}

TEST(PngImage, LoadingStopsAtIendAndLeavesTheRestOfTheStream)
{
  TBytes a = QxTest::ReadBytes(FixturePath("pal4trns.png"));
  TBytes b = QxTest::ReadBytes(FixturePath("graya8.png"));
  TBytes both = a;
  both.insert(both.end(), b.begin(), b.end());
  both.push_back(42);
  TBytesStream s(both);
  TPngImage first, second;
  first.LoadFromStream(&s);
  EXPECT_EQ(s.Position(), Int64(a.size()));
  second.LoadFromStream(&s);
  EXPECT_EQ(first.Header().ColorType, COLOR_PALETTE);
  EXPECT_EQ(second.Header().ColorType, COLOR_GRAYSCALEALPHA);
  EXPECT_EQ(s.Position(), Int64(both.size()) - 1);
}

TEST(PngImage, CorruptAndTruncatedFilesRaiseAndLeaveTheImageUnchanged)
{
  TBytes good = QxTest::ReadBytes(FixturePath("rgba8interlaced.png"));
  std::vector<std::pair<std::string, TBytes>> bad;
  for (size_t n = 0; n < good.size(); n += 7)
    bad.push_back({"truncated to " + std::to_string(n), TBytes(good.begin(), good.begin() + long(n))});
  bad.push_back({"without IEND", TBytes(good.begin(), good.end() - 12)});
  auto flipped = [&](size_t at) {
    TBytes b = good;
    b[at] ^= 0x10;
    return b;
  };
  bad.push_back({"signature", flipped(1)});
  bad.push_back({"IHDR data (CRC)", flipped(8 + 8 + 2)});
  bad.push_back({"IDAT data (CRC)", flipped(good.size() - 30)});
  bad.push_back({"garbage", TBytes(300, 0xAB)});
  for (const char* file : {"bad-depth.png", "bad-zlib.png", "bad-no-palette.png"})
    bad.push_back({file, QxTest::ReadBytes(FixturePath(file))});

  TPngImage png;
  png.LoadFromFile(FixturePath("pal4trns.png"));
  std::string before = Describe(png);
  for (const auto& [what, bytes] : bad) {
    SCOPED_TRACE(what);
    EXPECT_THAT([&] { QxTest::LoadBytes(png, bytes); },
                testing::ThrowsMessage<EInvalidGraphic>(testing::StartsWith("Invalid PNG image")));
    EXPECT_EQ(Describe(png), before);
  }
}

TEST(PngImage, SizeLimitsStopDecompressionBombs)
{
  struct {
    const char* File;
    const char* Message;
  } bombs[] = {
    {"bomb-huge.png", "PNG image too large: 65535 x 65535 pixels"},
    {"bomb-short.png", "Invalid PNG image: too little data for 8000 x 8000 pixels"},
    {"bomb-wide.png", "Invalid PNG image: Invalid IHDR data (Image width exceeds user limit in IHDR)"},
  };
  TPngImage png;
  png.CreateBlank(COLOR_RGB, 8, 2, 2);
  for (const auto& bomb : bombs) {
    SCOPED_TRACE(bomb.File);
    EXPECT_THAT([&] { png.LoadFromFile(FixturePath(bomb.File)); }, testing::ThrowsMessage<EPngError>(bomb.Message));
    EXPECT_EQ(png.Width(), 2);
  }
  // The image data ends where the header says; the rest is never inflated.
  png.LoadFromFile(FixturePath("bomb-idat.png"));
  EXPECT_EQ(png.Width(), 16);
  EXPECT_EQ(png.Height(), 16);
}

TEST(PngImage, PixelsReadAndWriteEveryColourType)
{
  TPngImage png;
  png.CreateBlank(COLOR_GRAYSCALE, 2, 5, 1);
  png.SetPixels(1, 0, 0x555555);
  png.SetPixels(2, 0, 0x0000FF); // luma of pure red: 76 -> sample 1 of 3
  png.SetPixels(4, 0, 0xFFFFFF);
  EXPECT_EQ(png.Scanline(0)[0], 0b00010100);
  EXPECT_EQ(png.Scanline(0)[1], 0b11000000);
  EXPECT_EQ(png.Pixels(1, 0), 0x555555);
  EXPECT_EQ(png.Pixels(4, 0), 0xFFFFFF);
  EXPECT_EQ(png.Pixels(5, 0), 0); // outside
  png.SetPixels(-1, 0, 0xFFFFFF);

  png.CreateBlank(COLOR_PALETTE, 1, 9, 1);
  png.SetPalette({{10, 20, 30, 255}, {200, 210, 220, 255}});
  png.SetPixels(8, 0, 0xC0D0E0); // nearest to entry 1
  EXPECT_EQ(png.Scanline(0)[1], 0x80);
  EXPECT_EQ(png.Pixels(8, 0), 0xDCD2C8);
  EXPECT_EQ(png.Pixels(7, 0), 0x1E140A);
  EXPECT_THROW(png.SetPalette({{}, {}, {}}), EPngError);
  // Indexes beyond a short palette read black.
  png.SetPalette({{10, 20, 30, 255}});
  EXPECT_EQ(png.Pixels(8, 0), 0);
  QxTest::LoadBytes(png, Save(png)); // saved with the entries the pixels need, so libpng takes it
  EXPECT_EQ(png.Palette().size(), 2u);
  EXPECT_EQ(png.Pixels(8, 0), 0);
  EXPECT_EQ(png.Pixels(7, 0), 0x1E140A);

  png.LoadFromFile(FixturePath("pal-short.png"));
  EXPECT_EQ(png.Palette().size(), 6u);
  EXPECT_EQ(png.Pixels(0, 0), 0x0000FF);
  EXPECT_EQ(png.Pixels(1, 0), 0x00FF00);
  EXPECT_EQ(png.Pixels(2, 0), 0);

  png.CreateBlank(COLOR_RGBALPHA, 8, 2, 2);
  png.SetPixels(1, 1, 0x123456);
  const Byte* row = png.Scanline(1);
  EXPECT_EQ(row[3], 0x12); // blue
  EXPECT_EQ(row[5], 0x56);
  EXPECT_EQ(png.AlphaScanline(1)[1], 0); // blank alpha is transparent, writes keep it
}

TEST(PngImage, TransparencyModesAndTheTransparentColour)
{
  TPngImage png;
  png.CreateBlank(COLOR_RGB, 8, 3, 1);
  EXPECT_EQ(png.TransparencyMode(), ptmNone);
  EXPECT_FALSE(png.HasChunk("tRNS"));
  png.SetPixels(1, 0, 0x00FF00);
  png.SetTransparentColor(0x00FF00);
  EXPECT_EQ(png.TransparencyMode(), ptmBit);
  EXPECT_EQ(png.TransparentColor(), 0x00FF00);
  EXPECT_TRUE(png.HasChunk("tRNS"));

  png.CreateAlpha();
  EXPECT_EQ(png.Header().ColorType, COLOR_RGBALPHA);
  EXPECT_EQ(png.TransparencyMode(), ptmPartial);
  EXPECT_FALSE(png.HasChunk("tRNS"));
  EXPECT_EQ(png.AlphaScanline(0)[0], 255);
  EXPECT_EQ(png.AlphaScanline(0)[1], 0);
  EXPECT_EQ(png.Pixels(1, 0), 0x00FF00);
  EXPECT_THROW(png.SetTransparentColor(0), EPngError);
  png.RemoveTransparency();
  EXPECT_EQ(png.Header().ColorType, COLOR_RGB);
  EXPECT_EQ(png.AlphaScanline(0), nullptr);
  EXPECT_EQ(png.Pixels(1, 0), 0x00FF00);

  // Palette: alpha per entry; only 0 and 255 is the one-colour mode.
  png.CreateBlank(COLOR_PALETTE, 2, 4, 1);
  for (int x = 0; x < 4; ++x)
    png.SetPixels(x, 0, TColor(0x555555 * x));
  png.SetTransparentColor(0xAAAAAA);
  EXPECT_EQ(png.TransparencyMode(), ptmBit);
  EXPECT_EQ(png.TransparentColor(), 0xAAAAAA);
  auto palette = png.Palette();
  palette[3].Alpha = 128;
  png.SetPalette(palette);
  EXPECT_EQ(png.TransparencyMode(), ptmPartial);
  png.CreateAlpha();
  EXPECT_EQ(png.Header().ColorType, COLOR_RGBALPHA);
  EXPECT_EQ(png.Header().BitDepth, 8);
  EXPECT_EQ(png.Palette().size(), 0u);
  const Byte expected[] = {255, 255, 0, 128};
  EXPECT_EQ(std::vector<Byte>(png.AlphaScanline(0), png.AlphaScanline(0) + 4),
            std::vector<Byte>(std::begin(expected), std::end(expected)));
  EXPECT_EQ(png.Pixels(2, 0), 0xAAAAAA);

  // Grayscale below 8 bits becomes 8-bit grey with alpha.
  png.CreateBlank(COLOR_GRAYSCALE, 4, 3, 1);
  png.SetPixels(0, 0, 0x111111);
  png.SetPixels(2, 0, 0xEEEEEE);
  png.SetTransparentColor(0xEEEEEE);
  EXPECT_EQ(png.TransparentColor(), 0xEEEEEE);
  png.CreateAlpha();
  EXPECT_EQ(png.Header().ColorType, COLOR_GRAYSCALEALPHA);
  EXPECT_EQ(png.Header().BitDepth, 8);
  EXPECT_EQ(png.Scanline(0)[0], 0x11);
  EXPECT_EQ(png.AlphaScanline(0)[2], 0);
  EXPECT_EQ(png.AlphaScanline(0)[1], 255);
}

TEST(PngImage, ResizeKeepsTheTopLeftAndAssignCopiesDeeply)
{
  TPngImage png;
  png.LoadFromFile(FixturePath("gray1.png"));
  TPngImage original;
  original.Assign(&png);
  png.Resize(30, 5);
  EXPECT_EQ(png.Width(), 30);
  EXPECT_EQ(png.Header().BitDepth, 1);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 30; ++x)
      ASSERT_EQ(png.Pixels(x, y), x < 23 ? original.Pixels(x, y) : 0) << x << "," << y;

  png.LoadFromFile(FixturePath("rgba8.png"));
  original.Assign(&png);
  png.Resize(4, 40);
  EXPECT_EQ(png.AlphaScanline(3)[2], original.AlphaScanline(3)[2]);
  EXPECT_EQ(png.Pixels(3, 16), original.Pixels(3, 16));
  EXPECT_EQ(png.AlphaScanline(17)[0], 0);
  EXPECT_THROW(png.Resize(0, 3), EPngError);
  EXPECT_EQ(png.Width(), 4);

  TPngImage copy;
  copy.Assign(&original);
  copy.Scanline(0)[0] ^= 0xFF;
  copy.AlphaScanline(0)[0] ^= 0xFF;
  EXPECT_NE(copy.Pixels(0, 0), original.Pixels(0, 0));
  EXPECT_NE(copy.AlphaScanline(0)[0], original.AlphaScanline(0)[0]);
  copy.Assign(nullptr);
  EXPECT_TRUE(copy.Empty());
}

// An image made for overwriting has CreateBlank's shape and leaves its bytes
// to the caller; a blank image is zeros even in memory that held others.
TEST(PngImage, BlankImagesAreZerosAndImagesForOverwriteTakeTheirShape)
{
  const std::pair<Byte, Byte> formats[] = {{COLOR_RGB, 8}, {COLOR_RGBALPHA, 16}, {COLOR_PALETTE, 4}};
  for (auto [colorType, bitDepth] : formats) {
    SCOPED_TRACE(int(colorType));
    TPngImage png, blank;
    png.CreateForOverwrite(colorType, bitDepth, 7, 3);
    blank.CreateBlank(colorType, bitDepth, 7, 3);
    EXPECT_EQ(png.Header(), blank.Header());
    EXPECT_EQ(png.Palette(), blank.Palette());
    const size_t rowBytes = size_t(png.Scanline(1) - png.Scanline(0));
    for (int y = 0; y < 3; ++y) {
      std::memset(png.Scanline(y), 0xFF, rowBytes);
      if (Byte* alpha = png.AlphaScanline(y))
        std::memset(alpha, 0xFF, 7);
    }
    png.Assign(nullptr);
    blank.CreateBlank(colorType, bitDepth, 7, 3);
    for (int y = 0; y < 3; ++y) {
      EXPECT_TRUE(std::all_of(blank.Scanline(y), blank.Scanline(y) + rowBytes, [](Byte b) { return b == 0; }));
      if (const Byte* alpha = blank.AlphaScanline(y)) {
        EXPECT_TRUE(std::all_of(alpha, alpha + 7, [](Byte b) { return b == 0; }));
      }
    }
  }
}

TEST(PngImage, BadArgumentsRaiseWithoutChangingTheImage)
{
  TPngImage png;
  png.CreateBlank(COLOR_RGB, 8, 4, 4);
  EXPECT_THROW(png.CreateBlank(COLOR_RGB, 4, 4, 4), EPngError);
  EXPECT_THROW(png.CreateBlank(5, 8, 4, 4), EPngError);
  EXPECT_THROW(png.CreateBlank(COLOR_PALETTE, 16, 4, 4), EPngError);
  EXPECT_THROW(png.CreateBlank(COLOR_RGB, 8, 70000, 1), EPngError);
  EXPECT_THROW(png.CreateBlank(COLOR_RGB, 8, 10000, 10000), EPngError);
  EXPECT_THROW(png.SetCompressionLevel(10), EPngError);
  EXPECT_THROW(png.SetPalette({{}}), EPngError);
  EXPECT_EQ(png.Width(), 4);
  EXPECT_EQ(png.Header().ColorType, COLOR_RGB);

  png.CreateBlank(COLOR_RGBALPHA, 16, 2, 3); // held at 8 bits
  EXPECT_EQ(png.Header().BitDepth, 8);

  TPngImage empty;
  EXPECT_THROW(empty.CreateForOverwrite(COLOR_RGB, 4, 4, 4), EPngError);
  EXPECT_THROW(empty.CreateForOverwrite(COLOR_RGB, 8, 0, 4), EPngError);
  EXPECT_TRUE(empty.Empty());
  TBytesStream s;
  EXPECT_THROW(empty.SaveToStream(&s), EPngError);
  EXPECT_EQ(s.Size(), 0);
  EXPECT_THROW(empty.LoadFromFile(QxTest::TempDir() + "/missing.png"), EFOpenError);
}
