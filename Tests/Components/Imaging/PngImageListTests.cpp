#include <QxFormCompare.hpp>
#include <QxSolidImages.hpp>
#include <Quorex.Vcl.PngImageList.hpp>

#include <System.Classes.Streaming.hpp>

#include <gtest/gtest.h>

#include <memory>

using namespace Vcl;
using namespace Quorex;
using QxTest::SolidPng;

namespace {

// Native image Index as 0xAARRGGBB at its centre (straight alpha).
std::uint32_t NativePixel(TCustomImageList& List, Integer Index)
{
  TIcon icon;
  List.GetIcon(Index, &icon);
  if (icon.Empty())
    return 0xDEADBEEF;
  TBitmap bitmap;
  bitmap.Assign(&icon);
  return reinterpret_cast<std::uint32_t*>(bitmap.ScanLine(bitmap.Height() / 2))[bitmap.Width() / 2];
}

// What Draw leaves at (8, 8) on white.
TColor DrawnPixel(TCustomImageList& List, Integer Index, bool Enabled)
{
  TBitmap target(16, 16);
  target.Canvas()->Brush()->SetColor(clWhite);
  target.Canvas()->FillRect(TRect(0, 0, 16, 16));
  List.Draw(target.Canvas(), 0, 0, Index, Enabled);
  return target.Canvas()->Pixels(8, 8);
}

void AddThree(TPngImageList& List)
{
  List.AddPng(SolidPng(clRed).get());
  List.AddPng(SolidPng(clLime).get());
  List.AddPng(SolidPng(clBlue).get());
}

TEST(PngImageList, NewItemsAreNamedByTheirIndexWithAButtonFaceBackground)
{
  TPngImageList list;
  EXPECT_EQ(list.AddPng(nullptr), -1);
  EXPECT_EQ(list.PngImages()->Count(), 0);
  AddThree(list);
  EXPECT_EQ(list.PngImages()->Items(0)->Name(), "PngImage0");
  EXPECT_EQ(list.PngImages()->Items(1)->Name(), "PngImage1");
  EXPECT_EQ(list.PngImages()->Items(1)->DisplayName(), "PngImage1");
  TPngImageCollection collection;
  EXPECT_EQ(collection.Items()->Add()->Background(), clBtnFace);
  EXPECT_EQ(collection.Items()->Items(5), nullptr);
  EXPECT_EQ(list.Count(), 3);
}

TEST(PngImageList, MoveKeepsItemsAndNativeImagesInTheSameOrder)
{
  TPngImageList list;
  AddThree(list);
  list.Move(0, 2);
  EXPECT_EQ(list.PngImages()->Items(0)->PngImage()->Pixels(0, 0), clLime);
  EXPECT_EQ(list.PngImages()->Items(1)->PngImage()->Pixels(0, 0), clBlue);
  EXPECT_EQ(list.PngImages()->Items(2)->PngImage()->Pixels(0, 0), clRed);
  EXPECT_EQ(NativePixel(list, 0), 0xFF00FF00u);
  EXPECT_EQ(NativePixel(list, 1), 0xFF0000FFu);
  EXPECT_EQ(NativePixel(list, 2), 0xFFFF0000u);

  // Out-of-range indexes change nothing.
  list.Move(0, 3);
  list.Move(-1, 0);
  list.Delete(-1);
  list.Delete(3);
  TBitmap bitmap(16, 16);
  list.Replace(3, &bitmap, nullptr);
  list.ReplaceMasked(-1, &bitmap, clBlack);
  EXPECT_EQ(list.Count(), 3);
  EXPECT_EQ(NativePixel(list, 0), 0xFF00FF00u);
  EXPECT_EQ(list.PngImages()->Count(), 3);
}

TEST(PngImageList, DisabledNativeImagesFollowTheOptions)
{
  TPngImageList list;
  list.SetPngOptions({pngBlendOnDisabled, pngGrayscaleOnDisabled});
  list.AddPng(SolidPng(clRed).get());
  list.SetEnabledImages(false);
  // Grey 76 (Round(0.3 * 255), half to even) at alpha 128.
  EXPECT_EQ(NativePixel(list, 0), 0x804C4C4Cu);

  list.SetPngOptions({});
  EXPECT_EQ(NativePixel(list, 0), 0xFFFF0000u);
  list.SetPngOptions({pngBlendOnDisabled});
  EXPECT_EQ(NativePixel(list, 0), 0x80FF0000u);
  list.SetEnabledImages(true);
  EXPECT_EQ(NativePixel(list, 0), 0xFFFF0000u);
}

// Changes of the options, of EnabledImages and of items through the collection
// reach the native list only through a full rebuild, which is also their only
// notice to the consumers that draw from the list.
TEST(PngImageList, FullRebuildsTellLinkedConsumers)
{
  TPngImageList list;
  AddThree(list);
  Integer changes = 0;
  TChangeLink link;
  link.OnChange = [&](TObject*) { ++changes; };
  list.RegisterChanges(&link);
  list.SetEnabledImages(false);
  list.SetPngOptions({pngGrayscaleOnDisabled});
  list.PngImages()->Items(0)->SetBackground(clRed);
  list.PngImages()->Items(1)->SetPngImage(SolidPng(clBlue).get());
  EXPECT_EQ(changes, 4);
}

TEST(PngImageList, DrawingUsesTheOptionsOnlyWhenDisabled)
{
  TPngImageList list;
  list.SetPngOptions({pngGrayscaleOnDisabled});
  AddThree(list);
  list.AddPng(SolidPng(clRed).get());
  EXPECT_EQ(DrawnPixel(list, 3, true), clRed);
  EXPECT_EQ(DrawnPixel(list, 3, false), TColor(0x4C4C4C));
  list.SetEnabledImages(false);
  EXPECT_EQ(DrawnPixel(list, 3, true), clRed);
  EXPECT_EQ(DrawnPixel(list, 4, true), clWhite);
  EXPECT_EQ(DrawnPixel(list, -1, true), clWhite);
}

TEST(PngImageList, ABaseReferenceReachesThePngBehaviour)
{
  TPngImageList pngList;
  TCustomImageList& list = pngList;
  TBitmap image(16, 16);
  image.SetPixelFormat(pf24bit);
  image.Canvas()->Brush()->SetColor(clYellow);
  image.Canvas()->FillRect(TRect(0, 0, 16, 16));
  EXPECT_EQ(list.Add(&image, nullptr), 0);
  EXPECT_EQ(list.AddMasked(&image, clYellow), 1);
  TIcon icon;
  list.GetIcon(0, &icon);
  EXPECT_EQ(list.AddIcon(&icon), 2);
  list.Insert(0, &image, nullptr);
  ASSERT_EQ(pngList.PngImages()->Count(), 4);
  EXPECT_EQ(list.Count(), 4);
  EXPECT_EQ(pngList.PngImages()->Items(2)->PngImage()->AlphaScanline(0)[0], 0); // masked out
  EXPECT_EQ(NativePixel(list, 2) >> 24, 0u);
  list.Move(3, 0);
  list.Delete(1);
  EXPECT_EQ(pngList.PngImages()->Count(), 3);
  EXPECT_EQ(list.Count(), 3);
  EXPECT_EQ(DrawnPixel(list, 0, true), clYellow);
  list.Clear();
  EXPECT_EQ(pngList.PngImages()->Count(), 0);
  EXPECT_EQ(list.Count(), 0);
}

TEST(PngImageList, TransparentAndEmptyImagesKeepTheNativeListAligned)
{
  TPngImageList list;
  list.AddPng(SolidPng(clRed, 16, 16, 0).get());
  // Fully transparent stays transparent in the native list.
  TBitmap target(16, 16);
  target.Canvas()->Brush()->SetColor(clWhite);
  target.Canvas()->FillRect(TRect(0, 0, 16, 16));
  Win::ImageList_Draw(list.Handle(), 0, target.Canvas()->Handle(), 0, 0, Win::ILD_NORMAL);
  EXPECT_EQ(target.Canvas()->Pixels(8, 8), clWhite);

  list.PngImages()->Add(); // an empty image through the collection
  list.AddPng(SolidPng(clBlue).get());
  list.CopyPngs();
  ASSERT_EQ(list.Count(), 3);
  EXPECT_EQ(NativePixel(list, 1) >> 24, 0u);
  EXPECT_EQ(NativePixel(list, 2), 0xFF0000FFu);
}

TEST(PngImageList, SizeChangesEmptyTheListAndUpdatesNest)
{
  TPngImageList list;
  AddThree(list);
  list.SetWidth(24);
  EXPECT_EQ(list.PngImages()->Count(), 0);
  EXPECT_EQ(list.Count(), 0);

  Integer changes = 0;
  TChangeLink link;
  link.OnChange = [&](TObject*) { ++changes; };
  list.RegisterChanges(&link);
  list.EndUpdate(); // never below zero
  list.BeginUpdate();
  list.PngImages()->Add()->SetPngImage(SolidPng(clRed).get());
  EXPECT_EQ(list.Count(), 0);
  list.EndUpdate();
  EXPECT_EQ(list.Count(), 1);
  EXPECT_GE(changes, 1);
  list.BeginUpdate();
  list.BeginUpdate();
  list.EndUpdate();
  list.PngImages()->Add()->SetPngImage(SolidPng(clRed).get());
  EXPECT_EQ(list.Count(), 1);
  list.EndUpdate();
  EXPECT_EQ(list.Count(), 2);
}

TEST(PngImageList, FormResourceKeepsA24PixelListWithItsImagesAndNoBitmap)
{
  TPngImageList list;
  list.SetName("Images");
  list.SetWidth(24);
  list.SetHeight(24);
  list.SetPngOptions({pngGrayscaleOnDisabled});
  list.AddPng(SolidPng(clRed, 24, 24, 200).get());
  list.AddPng(SolidPng(clBlue, 24, 24).get(), clWindow);
  list.PngImages()->Items(1)->SetName("Blue");
  const String text = WriteComponentRes(&list);
  EXPECT_EQ(text.find("Bitmap"), String::npos) << text;
  EXPECT_NE(text.find("PngImage"), String::npos);
  EXPECT_EQ(text.find("EnabledImages"), String::npos); // default

  auto copy = QxTest::ReadAs<TPngImageList>(text);
  ASSERT_NE(copy, nullptr);
  // Written again to the same text: the size, options, item names, the
  // background and each picture's pixels and alpha read back as stored.
  EXPECT_EQ(WriteComponentRes(copy.get()), text);
  EXPECT_EQ(copy->Count(), 2);
  EXPECT_EQ(NativePixel(*copy, 1), 0xFF0000FFu);

  // A resource that gives the size after the images keeps them too.
  String sizeLast = text;
  for (const char* line : {"  Height = 24\n", "  Width = 24\n"}) {
    const auto at = sizeLast.find(line);
    ASSERT_NE(at, String::npos) << text;
    sizeLast.erase(at, String(line).size());
    sizeLast.insert(sizeLast.rfind("end"), line);
  }
  auto late = QxTest::ReadAs<TPngImageList>(sizeLast);
  ASSERT_NE(late, nullptr);
  EXPECT_EQ(late->Width(), 24);
  EXPECT_EQ(late->PngImages()->Count(), 2);
  EXPECT_EQ(late->Count(), 2);
}

// Designers also store an item's image through the image's own data; an item
// whose name was cleared keeps it cleared instead of taking a new item's.
TEST(PngImageList, DesignerItemsWithImageDataAndClearedNamesReadBack)
{
  TPngImageList list;
  list.SetName("Images");
  list.AddPng(SolidPng(clRed).get());
  list.PngImages()->Items(0)->SetName("");
  const String text = WriteComponentRes(&list);
  auto copy = QxTest::ReadAs<TPngImageList>(text);
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->PngImages()->Items(0)->Name(), "");
  EXPECT_EQ(WriteComponentRes(copy.get()), text);

  String designed = text;
  const auto at = designed.find("PngImage = {");
  ASSERT_NE(at, String::npos) << text;
  designed.replace(at, 8, "PngImage.Data");
  auto dataList = QxTest::ReadAs<TPngImageList>(designed);
  ASSERT_NE(dataList, nullptr);
  ASSERT_EQ(dataList->Count(), 1);
  EXPECT_EQ(NativePixel(*dataList, 0), 0xFFFF0000u);
}

TEST(PngImageList, CollectionComponentStoresItsImages)
{
  TPngImageCollection collection;
  collection.SetName("Store");
  collection.Items()->Add()->SetPngImage(SolidPng(clLime).get());
  collection.Items()->Insert(0, true);
  EXPECT_EQ(collection.Items()->Items(0)->PngImage(), nullptr);
  const String text = WriteComponentRes(&collection);
  auto copy = QxTest::ReadAs<TPngImageCollection>(text);
  ASSERT_NE(copy, nullptr);
  ASSERT_EQ(copy->Items()->Count(), 2);
  EXPECT_EQ(copy->Items()->Items(1)->PngImage()->Pixels(2, 2), clLime);
}

TEST(PngImageList, AssignCopiesImagesAndImageListsConvert)
{
  TPngImageList source;
  AddThree(source);
  source.SetEnabledImages(false);
  TPngImageList copy;
  copy.Assign(&source);
  EXPECT_EQ(copy.PngImages()->Count(), 3);
  EXPECT_FALSE(copy.EnabledImages());
  EXPECT_EQ(copy.Count(), 3);

  TImageList plain(16, 16);
  TBitmap image(16, 16);
  image.Canvas()->Brush()->SetColor(clRed);
  image.Canvas()->FillRect(TRect(0, 0, 16, 16));
  image.Canvas()->SetPixels(0, 0, clFuchsia);
  plain.AddMasked(&image, clFuchsia);
  TPngImageList target;
  target.AddImages(&plain);
  target.AddImages(&source);
  ASSERT_EQ(target.PngImages()->Count(), 4);
  const TPngImage* png = target.PngImages()->Items(0)->PngImage();
  EXPECT_EQ(png->AlphaScanline(0)[0], 0);
  EXPECT_EQ(png->AlphaScanline(0)[1], 255);
  EXPECT_EQ(png->Pixels(1, 0), clRed);
  EXPECT_EQ(target.PngImages()->Items(3)->PngImage()->Pixels(0, 0), clBlue);
  EXPECT_EQ(target.AddImage(&plain, 7), -1);
}

} // namespace
