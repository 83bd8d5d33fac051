#include <QxSolidImages.hpp>
#include <Vcl.ImgList.hpp>

#include <gtest/gtest.h>

using namespace Vcl;
using QxTest::SolidBitmap;

namespace {

std::unique_ptr<TBitmap> Filled(int Width, int Height, TColor Color)
{
  return SolidBitmap(Width, Height, Color, pf32bit);
}

TColor DrawnAt(TCustomImageList& List, Integer Index, bool Enabled = true)
{
  auto target = Filled(16, 16, clWhite);
  List.Draw(target->Canvas(), 0, 0, Index, Enabled);
  return target->Canvas()->Pixels(4, 4);
}

TEST(ImageList, StripsMasksAndKeyColours)
{
  TImageList list(8, 8);
  auto strip = Filled(24, 8, clRed), mask = Filled(24, 8, clBlack);
  mask->Canvas()->Brush()->SetColor(clWhite);
  mask->Canvas()->FillRect(TRect(8, 0, 16, 8)); // the second image is hidden
  EXPECT_EQ(list.Add(strip.get(), mask.get()), 0);
  EXPECT_EQ(list.Count(), 3);
  EXPECT_EQ(DrawnAt(list, 0), clRed);
  EXPECT_EQ(DrawnAt(list, 1), clWhite);

  auto keyed = Filled(8, 8, clLime);
  keyed->Canvas()->SetPixels(4, 4, clFuchsia);
  EXPECT_EQ(list.AddMasked(keyed.get(), clFuchsia), 3);
  EXPECT_EQ(DrawnAt(list, 3), clWhite);
  EXPECT_NE(DrawnAt(list, 3, false), clLime); // disabled is drawn differently

  EXPECT_EQ(DrawnAt(list, 4), clWhite); // no image 4
  EXPECT_EQ(DrawnAt(list, -1), clWhite);
  TBitmap out;
  EXPECT_FALSE(list.GetBitmap(9, &out));
  EXPECT_TRUE(list.GetBitmap(0, &out));
  EXPECT_EQ(out.Canvas()->Pixels(1, 1), clRed);
}

TEST(ImageList, ChangeLinksHearEveryChangeUntilTheyGo)
{
  TImageList list(8, 8);
  Integer heard = 0;
  auto link = std::make_unique<TChangeLink>();
  link->OnChange = [&](TObject* Sender) {
    EXPECT_EQ(Sender, &list);
    ++heard;
  };
  list.RegisterChanges(link.get());
  auto image = Filled(8, 8, clBlue);
  list.Add(image.get(), nullptr);
  list.Delete(5);
  EXPECT_EQ(heard, 1);
  list.Delete(0);
  EXPECT_EQ(heard, 2);
  link.reset();
  list.Add(image.get(), nullptr);
  EXPECT_EQ(heard, 2);
}

TEST(ImageList, IconsMoveInsertAndTravelThroughStreams)
{
  TImageList list(8, 8);
  auto red = Filled(8, 8, clRed);
  list.Add(red.get(), nullptr);
  list.Add(Filled(8, 8, clLime).get(), nullptr);
  list.Add(Filled(8, 8, clBlue).get(), nullptr);
  list.Move(0, 2);
  EXPECT_EQ(DrawnAt(list, 0), clLime);
  EXPECT_EQ(DrawnAt(list, 2), clRed);
  list.InsertMasked(1, red.get(), clNone);
  EXPECT_EQ(DrawnAt(list, 1), clRed);
  TIcon icon;
  list.GetIcon(3, &icon);
  list.ReplaceIcon(0, &icon);
  EXPECT_EQ(DrawnAt(list, 0), clRed);

  TBytesStream data;
  list.WriteData(&data);
  TImageList copy(8, 8);
  data.SetPosition(0);
  copy.ReadData(&data);
  ASSERT_EQ(copy.Count(), 4);
  EXPECT_EQ(DrawnAt(copy, 2), clBlue);

  TBytesStream truncated(TBytes(data.Bytes().begin(), data.Bytes().begin() + 40));
  EXPECT_THROW(copy.ReadData(&truncated), Exception);
  EXPECT_EQ(copy.Count(), 4);
}

} // namespace
