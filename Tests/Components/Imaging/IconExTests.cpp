#include <QxGraphicStreams.hpp>
#include <Quorex.Imaging.IconEx.hpp>

#include <QxTestSupport.hpp>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

using namespace Vcl;
using Quorex::TIconDesc;
using Quorex::TIconEx;

namespace {

void U16(TBytes& b, unsigned v)
{
  b.push_back(Byte(v));
  b.push_back(Byte(v >> 8));
}

void U32(TBytes& b, std::uint32_t v)
{
  for (int i = 0; i < 4; ++i)
    b.push_back(Byte(v >> (8 * i)));
}

struct TFrame {
  TFrame(Integer AWidth, Integer AHeight, std::uint32_t APixel = 0x80FF0000)
    : Width(AWidth), Height(AHeight), Pixel(APixel)
  {
  }
  Integer Width;
  Integer Height;
  std::uint32_t Pixel; // 0xAARRGGBB
  TBytes Data;                      // replaces the bitmap frame when set
  Byte ColorCount = 0;
};

// A 32-bit bitmap frame of one colour with an all-opaque mask.
TBytes BitmapFrame(const TFrame& f)
{
  TBytes b;
  U32(b, 40);
  U32(b, std::uint32_t(f.Width));
  U32(b, std::uint32_t(2 * f.Height));
  U16(b, 1);
  U16(b, 32);
  for (int i = 0; i < 6; ++i)
    U32(b, 0);
  for (Integer i = 0; i < f.Width * f.Height; ++i)
    U32(b, f.Pixel);
  b.insert(b.end(), Win::DibStride(f.Width, 1) * std::size_t(f.Height), 0);
  return b;
}

TBytes MakeIco(const std::vector<TFrame>& frames)
{
  TBytes out;
  U16(out, 0);
  U16(out, 1);
  U16(out, unsigned(frames.size()));
  std::vector<TBytes> data;
  for (const TFrame& f : frames)
    data.push_back(f.Data.empty() ? BitmapFrame(f) : f.Data);
  std::uint32_t offset = std::uint32_t(6 + 16 * frames.size());
  for (std::size_t i = 0; i < frames.size(); ++i) {
    out.push_back(Byte(frames[i].Width));
    out.push_back(Byte(frames[i].Height));
    out.push_back(frames[i].ColorCount);
    out.push_back(0);
    U16(out, 1);
    U16(out, 32);
    U32(out, std::uint32_t(data[i].size()));
    U32(out, offset);
    offset += std::uint32_t(data[i].size());
  }
  for (const TBytes& d : data)
    out.insert(out.end(), d.begin(), d.end());
  return out;
}

std::string Fixture(const std::string& name)
{
  return QxTest::SourceDir() + "/Tests/Fixtures/ico/" + name;
}

std::vector<TFrame> Sizes(std::initializer_list<Integer> sizes)
{
  std::vector<TFrame> frames;
  for (Integer s : sizes)
    frames.emplace_back(s, s);
  return frames;
}

template <class F>
std::string MessageOf(F f)
{
  try {
    f();
  } catch (const Exception& e) {
    return e.Message();
  }
  return "no exception";
}

TEST(IconEx, SearchesChooseByTheirRulesWithTiesToTheLaterEntry)
{
  TIconEx icon;
  QxTest::LoadBytes(icon, MakeIco(Sizes({16, 32, 48})));
  EXPECT_EQ(icon.FindNearestBiggerIconIndex({24, 24}), 1);
  EXPECT_EQ(icon.FindNearestSmallerIconIndex({24, 24}), 0);
  EXPECT_EQ(icon.FindNearestSmallerIconIndex({64, 64}), 2);
  // No entry covers 64: the largest, not entry 0.
  EXPECT_EQ(icon.FindNearestBiggerIconIndex({64, 64}), 2);
  EXPECT_EQ(icon.FindNearestBiggerSize({64, 64}), TSize(48, 48));

  QxTest::LoadBytes(icon, MakeIco(Sizes({16, 0})));
  EXPECT_EQ(icon.GetIconDescriptions(1).Width, 256);
  EXPECT_EQ(icon.FindNearestBiggerIconIndex({32, 32}), 1);

  QxTest::LoadBytes(icon, MakeIco(Sizes({32, 16, 32})));
  EXPECT_EQ(icon.FindNearestBiggerIconIndex({32, 32}), 2);
  EXPECT_EQ(icon.FindNearestSmallerIconIndex({32, 32}), 2);
  EXPECT_EQ(icon.FindNearestBiggerIconIndex({20, 20}), 2);

  TIconEx empty;
  EXPECT_EQ(empty.FindNearestBiggerIconIndex({16, 16}), -1);
  EXPECT_EQ(empty.FindNearestSmallerIconIndex({16, 16}), -1);
  EXPECT_EQ(empty.FindNearestBiggerSize({16, 16}), TSize(0, 0));
}

TEST(IconEx, ExtractionBySizeAndIndex)
{
  TIconEx icon;
  QxTest::LoadBytes(icon, MakeIco({{16, 16, 0xFFFF0000}, {32, 32, 0xFF00FF00}, {48, 48, 0xFF0000FF}}));
  TPngImage png;
  icon.ExtractIcon(TSize(20, 20), &png, true);
  EXPECT_EQ(png.Width(), 20);
  EXPECT_EQ(png.Height(), 20);
  EXPECT_EQ(png.Pixels(10, 10), clLime); // scaled down from the 32
  icon.ExtractIcon(TSize(100, 60), &png, true);
  EXPECT_EQ(png.Width(), 100);
  EXPECT_EQ(png.Height(), 60);
  icon.ExtractIcon(TSize(40, 40), &png, false);
  EXPECT_EQ(png.Width(), 32);

  TIcon platformIcon;
  icon.ExtractIcon(2, &platformIcon);
  EXPECT_EQ(platformIcon.Width(), 48);
  TBitmap bitmap;
  icon.ExtractIcon(TSize(16, 16), &bitmap);
  EXPECT_EQ(bitmap.Width(), 16);
  EXPECT_EQ(bitmap.Canvas()->Pixels(3, 3), clRed);

  EXPECT_EQ(MessageOf([&] { icon.ExtractIcon(-1, &platformIcon); }), "Wrong icon index");
  EXPECT_EQ(MessageOf([&] { icon.ExtractIcon(3, &platformIcon); }), "Wrong icon index");
  EXPECT_EQ(MessageOf([&] { icon.GetIconDescriptions(3); }), "Icon index is out of bounds");
  TIconEx empty;
  EXPECT_EQ(MessageOf([&] { empty.ExtractIcon(TSize(16, 16), &platformIcon); }), "Icon is empty");
  EXPECT_EQ(MessageOf([&] { empty.ExtractIcon(TSize(16, 16), &png, true); }), "Icon is empty");
}

TEST(IconEx, LoadSaveRoundTripIsByteIdentical)
{
  for (const char* name : {"icotool-32bit.ico", "icotool-raw.ico", "icotool-8bit.ico", "pamtowinicon-png.ico"}) {
    const TBytes file = QxTest::ReadBytes(Fixture(name));
    ASSERT_FALSE(file.empty()) << name;
    TIconEx icon;
    QxTest::LoadBytes(icon, file);
    EXPECT_EQ(QxTest::SavedBytes(icon), file) << name;
  }
}

// What icotool -l printed for the fixture, entry by entry.
std::vector<std::string> Listing(const std::string& name)
{
  std::ifstream in(Fixture(name.substr(0, name.size() - 4) + ".list"));
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);)
    lines.push_back(line);
  return lines;
}

std::string ListLine(const TIconDesc& d, Integer index)
{
  std::ostringstream s;
  s << "--icon --index=" << index + 1 << " --width=" << d.Width << " --height=" << d.Height
    << " --bit-depth=" << d.BitsPerPixel << " --palette-size=" << (d.ColorCount ? d.ColorCount : 0);
  return s.str();
}

TEST(IconEx, FilesOfOtherToolsListAndExtractAsIcotoolDoes)
{
  const std::vector<std::pair<std::string, std::vector<std::string>>> files = {
    {"icotool-32bit.ico", {"_1_16x16x32", "_2_32x32x32", "_3_48x48x32"}},
    {"icotool-raw.ico", {"_1_16x16x32", "_2_32x32x32", "_3_48x48x8", "_4_64x64x8"}},
    {"icotool-8bit.ico", {"_1_24x24x8"}},
    {"icotool-4bit.ico", {"_1_24x24x4"}},
    {"pamtowinicon.ico", {"_1_16x16x32", "_2_32x32x32", "_3_48x48x32"}},
    {"pamtowinicon-png.ico", {"_1_16x16x32", "_2_64x64x8"}},
  };
  for (const auto& [name, extracted] : files) {
    TIconEx icon;
    QxTest::LoadBytes(icon, QxTest::ReadBytes(Fixture(name)));
    const std::vector<std::string> listing = Listing(name);
    ASSERT_EQ(icon.GetIconCount(), Integer(listing.size())) << name;
    const std::string stem = name.substr(0, name.size() - 4);
    for (Integer i = 0; i < icon.GetIconCount(); ++i) {
      const TIconDesc desc = icon.GetIconDescriptions(i);
      // icotool reports a PNG frame's own depth; the entry's size is what both see.
      const std::string line = ListLine(desc, i);
      EXPECT_EQ(line.substr(0, line.find(" --bit-depth")), listing[i].substr(0, listing[i].find(" --bit-depth")))
        << name;
      TPngImage ours, theirs;
      icon.ExtractIcon(i, &ours);
      theirs.LoadFromFile(Fixture(stem + "-extracted/" + stem + extracted[std::size_t(i)] + ".png"));
      theirs.CreateAlpha();
      ASSERT_EQ(ours.Width(), theirs.Width()) << name << " " << i;
      ASSERT_EQ(ours.Height(), theirs.Height()) << name << " " << i;
      Integer differing = 0;
      for (Integer y = 0; y < ours.Height(); ++y)
        for (Integer x = 0; x < ours.Width(); ++x) {
          const Byte a = ours.AlphaScanline(y)[x];
          const Byte b = theirs.AlphaScanline(y)[x];
          if (a != b || (a != 0 && ours.Pixels(x, y) != theirs.Pixels(x, y)))
            ++differing;
        }
      EXPECT_EQ(differing, 0) << name << " entry " << i;
    }
  }
}

TEST(IconEx, PngDataIsFoundBySignatureInAnyEntry)
{
  TIconEx icon;
  QxTest::LoadBytes(icon, QxTest::ReadBytes(Fixture("icotool-raw.ico")));
  const TIconDesc desc = icon.GetIconDescriptions(2);
  EXPECT_EQ(desc.Width, 48); // not a 256 entry, yet PNG
  TIcon extracted;
  icon.ExtractIcon(2, &extracted);
  EXPECT_EQ(extracted.Width(), 48);
  EXPECT_TRUE(extracted.SupportsPartialTransparency());
}

TEST(IconEx, BadDataRaisesInvalidGraphicAndKeepsThePreviousImage)
{
  const TBytes good = MakeIco(Sizes({16, 32}));
  std::vector<TBytes> bad;
  bad.push_back(TBytes(good.begin(), good.begin() + 5));    // short header
  TBytes wrongType = good;
  wrongType[2] = 2;
  bad.push_back(wrongType);
  TBytes manyEntries = good;
  manyEntries[4] = 0xFF;
  manyEntries[5] = 0xFF;
  bad.push_back(manyEntries);
  TBytes pastEnd = good;
  pastEnd[6 + 8 + 2] = 0xFF; // dwBytesInRes of entry 0 runs past the end
  bad.push_back(pastEnd);
  TBytes wrapping = good;
  for (int i = 0; i < 4; ++i) {
    wrapping[6 + 8 + i] = 0xFF;  // 4 GiB size
    wrapping[6 + 12 + i] = 0xFF; // and an offset that wraps
  }
  bad.push_back(wrapping);
  TBytes noEntries = good;
  noEntries[4] = 0;
  bad.push_back(noEntries);

  TIconEx icon;
  QxTest::LoadBytes(icon, good);
  for (std::size_t i = 0; i < bad.size(); ++i) {
    TBytesStream stream(bad[i]);
    EXPECT_THROW(icon.LoadFromStream(&stream), EInvalidGraphic) << i;
    EXPECT_EQ(QxTest::SavedBytes(icon), good) << i;
  }
}

TEST(IconEx, BrokenFramesFailAtExtractionWithInvalidGraphic)
{
  std::vector<TFrame> frames = Sizes({16, 16, 16, 16});
  frames[0].Data = BitmapFrame(frames[0]);
  frames[0].Data[14] = 7; // 7 bits per pixel
  frames[1].Data = BitmapFrame(frames[1]);
  frames[1].Data[16] = 1; // compressed
  frames[2].Data = BitmapFrame(frames[2]);
  frames[2].Data.resize(60); // rows missing
  frames[3].Data = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 13, 'I', 'H', 'D', 'R'};
  TIconEx icon;
  QxTest::LoadBytes(icon, MakeIco(frames));
  for (Integer i = 0; i < 4; ++i) {
    TIcon out;
    EXPECT_THROW(icon.ExtractIcon(i, &out), EInvalidGraphic) << i;
    EXPECT_TRUE(out.Empty());
  }
}

TEST(IconEx, StockHeaderStandsForTheDefaultApplicationIcon)
{
  TIconEx icon;
  QxTest::LoadBytes(icon, TBytes{0, 0, 0, 0, 0, 0});
  EXPECT_EQ(icon.GetIconCount(), 1);
  EXPECT_NE(icon.Handle(), nullptr);
  EXPECT_EQ(icon.Width(), 32);
  EXPECT_EQ(icon.FindNearestBiggerIconIndex({48, 48}), 0);
  EXPECT_EQ(icon.FindNearestSmallerIconIndex({48, 48}), 0);
  TIcon out;
  EXPECT_THROW(icon.ExtractIcon(0, &out), EReadError);
  EXPECT_EQ(QxTest::SavedBytes(icon), (TBytes{0, 0, 0, 0, 0, 0}));
  // Whatever follows the stock header is no directory.
  TIconEx trailing;
  QxTest::LoadBytes(trailing, MakeIco(Sizes({16})));
  TBytes stockWithData = MakeIco(Sizes({16}));
  stockWithData[2] = 0;
  QxTest::LoadBytes(trailing, stockWithData);
  EXPECT_THROW(trailing.ExtractIcon(0, &out), EReadError);
  EXPECT_THROW(trailing.GetIconDescriptions(0), EReadError);

  TIconEx second;
  second.Assign(&icon);
  Win::HICON released = second.ReleaseHandle();
  ASSERT_NE(released, nullptr);
  Win::DestroyIcon(released);
  EXPECT_NE(icon.Handle(), nullptr);
}

TEST(IconEx, HandleFollowsTheRequestedSize)
{
  TIconEx icon;
  QxTest::LoadBytes(icon, MakeIco(Sizes({16, 32, 48})));
  icon.SetSize(48, 48);
  EXPECT_EQ(icon.Width(), 48);
  EXPECT_THROW(icon.SetSize(16, 16), EInvalidGraphicOperation);
  TIconEx standard;
  QxTest::LoadBytes(standard, MakeIco(Sizes({16, 32, 48})));
  EXPECT_EQ(standard.Width(), 32);
  // Among equal sizes the entry with more colours (0: unlimited).
  std::vector<TFrame> colours = {{32, 32, 0xFFFF0000}, {32, 32, 0xFF0000FF}, {32, 32, 0xFF00FF00}};
  colours[0].ColorCount = 16;
  colours[2].ColorCount = 16;
  TIconEx rich;
  QxTest::LoadBytes(rich, MakeIco(colours));
  TBitmap drawn;
  drawn.Assign(&rich);
  EXPECT_EQ(drawn.Canvas()->Pixels(5, 5), clBlue);
  TIconEx between;
  QxTest::LoadBytes(between, MakeIco(Sizes({16, 48})));
  between.SetSize(24, 24);
  EXPECT_EQ(between.Width(), 16);
}

TEST(IconEx, SharedImagesStayWithTheOtherSharers)
{
  TIconEx a;
  QxTest::LoadBytes(a, MakeIco({{16, 16, 0xFFFF0000}}));
  TIconEx b;
  b.Assign(&a);
  Win::HICON shared = a.Handle();
  EXPECT_EQ(b.Handle(), shared);

  Win::HICON released = b.ReleaseHandle();
  ASSERT_NE(released, nullptr);
  EXPECT_EQ(a.Handle(), shared);
  EXPECT_EQ(Win::IconWidth(a.Handle()), 16);
  Win::DestroyIcon(released);
  EXPECT_EQ(b.GetIconCount(), 1);

  TIconEx c;
  c.Assign(&a);
  c.SetHandle(nullptr);
  EXPECT_EQ(a.Handle(), shared);
  EXPECT_TRUE(c.Empty());
}

TEST(IconEx, AssignToBitmapKeepsAlphaOrTurnsTheMaskIntoAlpha)
{
  TIconEx alpha;
  QxTest::LoadBytes(alpha, MakeIco({{4, 4, 0x80FF0000}}));
  TBitmap bitmap;
  bitmap.Assign(&alpha);
  EXPECT_EQ(bitmap.PixelFormat(), pf32bit);
  EXPECT_EQ(reinterpret_cast<std::uint32_t*>(bitmap.ScanLine(1))[1], 0x80FF0000u);

  TIconEx masked;
  QxTest::LoadBytes(masked, QxTest::ReadBytes(Fixture("icotool-4bit.ico")));
  TPngImage reference;
  reference.LoadFromFile(Fixture("icotool-4bit-extracted/icotool-4bit_1_24x24x4.png"));
  reference.CreateAlpha();
  bitmap.Assign(&masked);
  ASSERT_EQ(bitmap.Width(), 24);
  for (Integer y = 0; y < 24; ++y)
    for (Integer x = 0; x < 24; ++x) {
      const std::uint32_t p = reinterpret_cast<std::uint32_t*>(bitmap.ScanLine(y))[x];
      EXPECT_EQ(p >> 24, reference.AlphaScanline(y)[x]);
    }
}

TEST(IconEx, DrawsAtItsOwnSizeOnACanvasWithAHandle)
{
  TIconEx icon;
  QxTest::LoadBytes(icon, MakeIco({{8, 8, 0xFF0000FF}}));
  TBitmap target(20, 20);
  target.Canvas()->Brush()->SetColor(clWhite);
  target.Canvas()->FillRect(TRect(0, 0, 20, 20));
  target.Canvas()->StretchDraw(TRect(2, 2, 20, 20), &icon);
  EXPECT_EQ(target.Canvas()->Pixels(2, 2), clBlue);
  EXPECT_EQ(target.Canvas()->Pixels(9, 9), clBlue);
  EXPECT_EQ(target.Canvas()->Pixels(10, 10), clWhite);

  TCanvas detached;
  EXPECT_EQ(MessageOf([&] { detached.StretchDraw(TRect(0, 0, 8, 8), &icon); }),
            "The canvas handle was not allocated");
  EXPECT_EQ(MessageOf([&] { detached.Draw(0, 0, &icon); }), "The canvas handle was not allocated");
}

TEST(IconEx, ClipboardAndEmptyImagesAreRefused)
{
  TIconEx icon;
  Word format = 0;
  std::uintptr_t data = 0;
  EXPECT_THROW(icon.SaveToClipboardFormat(format, data), EInvalidGraphicOperation);
  EXPECT_THROW(icon.LoadFromClipboardFormat(format, data), EInvalidGraphicOperation);
  TBytesStream out;
  EXPECT_THROW(icon.SaveToStream(&out), EInvalidGraphic);
  EXPECT_TRUE(icon.Empty());
}

TEST(IconEx, FilesWrittenFromAHandleAreIcons)
{
  TIconEx source;
  QxTest::LoadBytes(source, MakeIco({{24, 24, 0x80FF8000}}));
  TIconEx written;
  written.SetHandle(Win::CopyIcon(source.Handle()));
  const TBytes file = QxTest::SavedBytes(written);
  TIconEx reread;
  QxTest::LoadBytes(reread, file);
  ASSERT_EQ(reread.GetIconCount(), 1);
  EXPECT_EQ(reread.GetIconDescriptions(0).Width, 24);

  if (std::system("command -v icotool > /dev/null 2>&1") != 0)
    GTEST_SKIP() << "icotool is not installed";
  const std::string path = QxTest::TempDir() + "/written.ico";
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(file.data()), std::streamsize(file.size()));
  const std::string command = "icotool -l " + path + " 2>&1"; // warnings too
  FILE* pipe = popen(command.c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  std::string output;
  char buffer[256];
  while (fgets(buffer, sizeof buffer, pipe))
    output += buffer;
  EXPECT_EQ(pclose(pipe), 0) << output;
  EXPECT_EQ(output, "--icon --index=1 --width=24 --height=24 --bit-depth=32 --palette-size=0\n");
}

} // namespace
