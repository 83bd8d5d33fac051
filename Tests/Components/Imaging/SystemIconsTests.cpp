#include <Quorex.Vcl.SystemIcons.hpp>

#include <Winapi.Windows.hpp>

#include <gtest/gtest.h>

using namespace Vcl;
using namespace Quorex;

namespace {

constexpr TQxIconType AllTypes[] = {itInformation, itQuestion, itWarning, itError, itShield};

int Red(std::uint32_t p) { return int((p >> 16) & 0xFF); }
int Green(std::uint32_t p) { return int((p >> 8) & 0xFF); }
int Blue(std::uint32_t p) { return int(p & 0xFF); }
int Alpha(std::uint32_t p) { return int(p >> 24); }

bool IsBlue(std::uint32_t p) { return Alpha(p) == 255 && Blue(p) > Red(p) + 60; }
bool IsYellow(std::uint32_t p) { return Alpha(p) == 255 && Red(p) > 200 && Green(p) > 150 && Blue(p) < 110; }
bool IsRed(std::uint32_t p) { return Alpha(p) == 255 && Red(p) > 150 && Green(p) < 110 && Blue(p) < 110; }
bool IsWhite(std::uint32_t p) { return Alpha(p) == 255 && Red(p) > 220 && Green(p) > 220 && Blue(p) > 220; }
bool IsDark(std::uint32_t p) { return Alpha(p) == 255 && Red(p) < 80 && Green(p) < 80 && Blue(p) < 80; }

// Image Index of the list as 32-bit straight-alpha pixels (0xAARRGGBB).
class TListImage {
public:
  TListImage(TCustomImageList& List, Integer Index)
  {
    TIcon icon;
    List.GetIcon(Index, &icon);
    FBitmap.Assign(&icon);
  }
  Integer Size() const { return FBitmap.Width(); }
  // At a fraction of the size, so that one probe serves every size.
  std::uint32_t At(double X, double Y)
  {
    return reinterpret_cast<std::uint32_t*>(FBitmap.ScanLine(Integer(Y * Size())))[Integer(X * Size())];
  }

  // Some pixel of the box (fractions, the right and bottom edges excluded)
  // passes the test.
  bool AnyIn(double Left, double Top, double Right, double Bottom, bool (*Test)(std::uint32_t))
  {
    for (Integer y = Integer(Top * Size()); y < Integer(Bottom * Size()); ++y)
      for (Integer x = Integer(Left * Size()); x < Integer(Right * Size()); ++x)
        if (Test(reinterpret_cast<std::uint32_t*>(FBitmap.ScanLine(y))[x]))
          return true;
    return false;
  }

private:
  TBitmap FBitmap;
};

TEST(SystemIconList, MapsEachKindToItsIndexOnlyOnceFilled)
{
  TQxSystemIconList list;
  EXPECT_EQ(list.Width(), Win::GetSystemMetrics(Win::SM_CXICON));
  EXPECT_EQ(list.Height(), Win::GetSystemMetrics(Win::SM_CYICON));
  EXPECT_EQ(list.ColorDepth(), cd32Bit);
  EXPECT_EQ(list.Count(), 0);
  for (TQxIconType type : AllTypes)
    EXPECT_EQ(list.GetIndex(type), -1);
  list.FillList();
  EXPECT_EQ(list.Count(), 5);
  for (TQxIconType type : AllTypes)
    EXPECT_EQ(list.GetIndex(type), Integer(type));
  EXPECT_EQ(list.GetIndex(itShield), 4);
  // Filling again starts over rather than appending.
  list.FillList();
  EXPECT_EQ(list.Count(), 5);
  EXPECT_EQ(list.GetIndex(itShield), 4);
}

// The indexes go with the images: a stale index would draw another icon or
// none at all.
TEST(SystemIconList, ClearingOrResizingForgetsTheIndexes)
{
  TQxSystemIconList list;
  list.FillList();
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.GetIndex(itShield), -1);

  list.FillList();
  list.SetWidth(16);
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.GetIndex(itInformation), -1);
  list.FillList();
  list.SetHeight(16);
  EXPECT_EQ(list.GetIndex(itError), -1);

  // A size that changes nothing keeps them.
  list.FillList();
  list.SetWidth(16);
  list.SetHeight(0);
  EXPECT_EQ(list.GetIndex(itError), 3);
}

TEST(SystemIconList, AddDialogIconAppendsOneIconOfTheListsSize)
{
  TQxSystemIconList list;
  list.SetWidth(24);
  list.SetHeight(24);
  EXPECT_EQ(list.AddDialogIcon(itWarning), 0);
  EXPECT_EQ(list.AddDialogIcon(itWarning), 1);
  EXPECT_EQ(TListImage(list, 1).Size(), 24);
  // Adding by hand is not filling: the map stays empty.
  EXPECT_EQ(list.GetIndex(itWarning), -1);
}

// Each icon at each size it is drawn for: transparent corners, soft edges, and
// the colours a reader knows it by.
TEST(SystemIconList, EveryIconAtEverySizeShowsItsArtworkWithAlpha)
{
  for (Integer size : {16, 24, 32, 48}) {
    SCOPED_TRACE(size);
    TQxSystemIconList list;
    list.SetWidth(size);
    list.SetHeight(size);
    list.FillList();
    ASSERT_EQ(list.Count(), 5);
    for (TQxIconType type : AllTypes) {
      TListImage image(list, list.GetIndex(type));
      ASSERT_EQ(image.Size(), size);
      EXPECT_EQ(Alpha(image.At(0, 0)), 0) << type;
      EXPECT_EQ(Alpha(image.At(0.97, 0.97)), 0) << type;
    }
    TListImage information(list, list.GetIndex(itInformation));
    EXPECT_TRUE(IsWhite(information.At(0.5, 0.55)));
    EXPECT_TRUE(IsBlue(information.At(0.2, 0.55)));
    TListImage question(list, list.GetIndex(itQuestion));
    EXPECT_TRUE(IsBlue(question.At(0.2, 0.55)));
    EXPECT_TRUE(question.AnyIn(0.3, 0.25, 0.7, 0.8, IsWhite));
    TListImage warning(list, list.GetIndex(itWarning));
    EXPECT_TRUE(IsYellow(warning.At(0.3, 0.75)));
    EXPECT_TRUE(warning.AnyIn(0.35, 0.35, 0.65, 0.85, IsDark));
    TListImage error(list, list.GetIndex(itError));
    EXPECT_TRUE(IsWhite(error.At(0.5, 0.5)));
    EXPECT_TRUE(IsRed(error.At(0.5, 0.85)));
    TListImage shield(list, list.GetIndex(itShield));
    EXPECT_TRUE(IsBlue(shield.At(0.32, 0.32)));
    EXPECT_TRUE(IsYellow(shield.At(0.68, 0.32)));
    EXPECT_TRUE(IsYellow(shield.At(0.32, 0.62)));
    EXPECT_TRUE(IsBlue(shield.At(0.68, 0.62)));
  }
}

} // namespace
