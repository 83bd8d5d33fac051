// Modules and their resources: the "user32" stand-in's system icons read
// through LoadImage at every size, and modules that tests register.
#include <System.Classes.hpp>
#include <Winapi.Windows.hpp>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <algorithm>
#include <cstring>
#include <vector>

using namespace Win;

namespace {

constexpr std::array<WORD, 5> SystemIcons = {101, 102, 103, 104, 106};

// The icon's pixels as 0xAARRGGBB with straight alpha, top row first.
std::vector<std::uint32_t> IconPixels(HICON icon)
{
  ICONINFO info;
  if (!GetIconInfo(icon, &info))
    return {};
  const std::uint32_t* bits = BitmapBits(info.hbmColor);
  std::vector<std::uint32_t> pixels(bits, bits + std::size_t(IconWidth(icon)) * std::size_t(IconHeight(icon)));
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  return pixels;
}

// A module of the tests' own, made once.
HMODULE TestModule()
{
  static const std::uint8_t text[] = {'h', 'i'};
  // An icon directory that promises more entries than there are bytes.
  static const std::uint8_t truncated[] = {0, 0, 1, 0, 3, 0, 16, 16};
  // One 1 x 1 entry whose frame (at 22: a 40-byte header, then zeros) has
  // 24 bits per pixel.
  static const std::uint8_t deep[70] = {0, 0, 1, 0, 1, 0, 1, 1, 0,  0, 1, 0, 24, 0, 48, 0, 0, 0, 22, 0, 0, 0,
                                        40, 0, 0, 0, 1, 0, 0, 0, 2, 0, 0, 0, 1,  0, 24};
  static const TResourceEntry entries[] = {
    {RT_RCDATA, "Greeting", text, sizeof text},
    {RT_GROUP_ICON, MAKEINTRESOURCE(1), truncated, sizeof truncated},
    {RT_GROUP_ICON, MAKEINTRESOURCE(2), deep, sizeof deep},
    {"CUSTOM", MAKEINTRESOURCE(7), text, 1},
  };
  RegisterModuleResources("ModuleResourceTests.dll", entries);
  return GetModuleHandle("moduleresourcetests");
}

TEST(ModuleResources, ModulesAndResourcesAreFoundByNumberOrNameWithoutCase)
{
  const HMODULE user32 = GetModuleHandle("user32");
  ASSERT_NE(user32, nullptr);
  EXPECT_EQ(GetModuleHandle("USER32.DLL"), user32);
  EXPECT_EQ(GetModuleHandle("user33"), nullptr);
  EXPECT_EQ(GetModuleHandle(nullptr), nullptr);
  for (WORD id : SystemIcons) {
    const HRSRC found = FindResource(user32, MAKEINTRESOURCE(id), RT_GROUP_ICON);
    ASSERT_NE(found, nullptr) << id;
    EXPECT_GT(SizeofResource(user32, found), 22u);
  }
  EXPECT_EQ(FindResource(user32, MAKEINTRESOURCE(105), RT_GROUP_ICON), nullptr);
  EXPECT_EQ(FindResource(user32, MAKEINTRESOURCE(104), RT_RCDATA), nullptr);
  EXPECT_EQ(FindResource(nullptr, MAKEINTRESOURCE(104), RT_GROUP_ICON), nullptr);

  const HMODULE module = TestModule();
  ASSERT_NE(module, nullptr);
  const HRSRC greeting = FindResource(module, "GREETING", RT_RCDATA);
  ASSERT_NE(greeting, nullptr);
  EXPECT_EQ(SizeofResource(module, greeting), 2u);
  EXPECT_EQ(std::memcmp(LockResource(LoadResource(module, greeting)), "hi", 2), 0);
  EXPECT_NE(FindResource(module, MAKEINTRESOURCE(7), "custom"), nullptr);
  EXPECT_EQ(FindResource(module, "Greeting", "CUSTOM"), nullptr);
}

TEST(ModuleResources, ResourceStreamsReadACopyAndRefuseWritesAndUnknownNames)
{
  const HMODULE module = TestModule();
  Vcl::TResourceStream stream(module, "greeting", RT_RCDATA);
  EXPECT_EQ(stream.Size(), 2);
  char read[2] = {};
  stream.ReadBuffer(read, 2);
  EXPECT_EQ(std::memcmp(read, "hi", 2), 0);
  EXPECT_THROW(stream.WriteBuffer("x", 1), Vcl::EStreamError);
  EXPECT_EQ(Vcl::TResourceStream(module, 7, "CUSTOM").Size(), 1);

  EXPECT_THAT([&] { Vcl::TResourceStream(module, "Farewell", RT_RCDATA); },
              testing::ThrowsMessage<Vcl::EResNotFound>("Resource Farewell not found"));
  EXPECT_THROW(Vcl::TResourceStream(module, 8, "CUSTOM"), Vcl::EResNotFound);
  EXPECT_THROW(Vcl::TResourceStream(nullptr, "greeting", RT_RCDATA), Vcl::EResNotFound);
}

// Drawn sizes come as they are; others are scaled from the nearest bigger
// image (or up from the biggest). Every one keeps its alpha: clear corners,
// an opaque middle and soft edges.
TEST(ModuleResources, SystemIconsLoadAtAnySizeWithAlpha)
{
  const HMODULE user32 = GetModuleHandle("user32");
  for (WORD id : SystemIcons)
    for (int size : {16, 20, 24, 32, 40, 48, 64}) {
      HICON icon = LoadImage(user32, MAKEINTRESOURCE(id), IMAGE_ICON, size, size, LR_DEFAULTCOLOR);
      ASSERT_NE(icon, nullptr) << id << " at " << size;
      EXPECT_EQ(IconWidth(icon), size);
      EXPECT_EQ(IconHeight(icon), size);
      EXPECT_TRUE(IconHasAlpha(icon));
      const std::vector<std::uint32_t> px = IconPixels(icon);
      EXPECT_EQ(px.front() >> 24, 0u) << id << " at " << size;
      EXPECT_EQ(px[std::size_t(size / 2) * std::size_t(size) + std::size_t(size / 2)] >> 24, 255u) << id << " at " << size;
      EXPECT_TRUE(std::any_of(px.begin(), px.end(), [](std::uint32_t p) { return (p >> 24) > 0 && (p >> 24) < 255; }));
      DestroyIcon(icon);
    }
}

TEST(ModuleResources, IconSizesDefaultToTheSystemsOrTheFirstImages)
{
  const HMODULE user32 = GetModuleHandle("user32");
  HICON standard = LoadIcon(user32, MAKEINTRESOURCE(104));
  ASSERT_NE(standard, nullptr);
  EXPECT_EQ(IconWidth(standard), GetSystemMetrics(SM_CXICON));
  DestroyIcon(standard);
  HICON first = LoadImage(user32, MAKEINTRESOURCE(104), IMAGE_ICON, 0, 0, LR_DEFAULTCOLOR);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(IconWidth(first), 16);
  DestroyIcon(first);
}

TEST(ModuleResources, LoadImageRefusesWhatItCannotReadWithNull)
{
  const HMODULE user32 = GetModuleHandle("user32");
  EXPECT_EQ(LoadImage(user32, MAKEINTRESOURCE(104), IMAGE_BITMAP, 16, 16, 0), nullptr);
  EXPECT_EQ(LoadImage(user32, MAKEINTRESOURCE(104), IMAGE_ICON, -16, 16, 0), nullptr);
  EXPECT_EQ(LoadImage(user32, MAKEINTRESOURCE(104), IMAGE_ICON, 16, 5000, 0), nullptr);
  EXPECT_EQ(LoadImage(user32, MAKEINTRESOURCE(105), IMAGE_ICON, 16, 16, 0), nullptr);
  const HMODULE module = TestModule();
  EXPECT_EQ(LoadImage(module, MAKEINTRESOURCE(1), IMAGE_ICON, 16, 16, 0), nullptr);
  EXPECT_EQ(LoadImage(module, MAKEINTRESOURCE(2), IMAGE_ICON, 1, 1, 0), nullptr);
}

} // namespace
