// The image control: where the image goes, sizing to the list and following
// its changes, and a list freed under it.
#include "ContainerTestSupport.hpp"
#include <QxSolidImages.hpp>

#include <Quorex.Vcl.Image.hpp>

using namespace Vcl;
using namespace Quorex;

namespace {

constexpr Win::COLORREF Red = Win::RGB(255, 0, 0);

class ImageTest : public QxTest::ContainerFixture {
protected:
  TImageList* RedImages(int Size) { return QxTest::SolidImages(Form, clRed, Size); }
  TQxImage* NewImage(TCustomImageList* Images, int Width, int Height)
  {
    auto* image = Place(new TQxImage(Form), Form, 30 + 100 * FImages++, 30, Width, Height);
    image->SetImages(Images);
    image->SetImageIndex(0);
    RunUntilIdle();
    return image;
  }
  // The red pixels' box in the control, judged on a margin of 10 around it.
  TRect RedBox(TControl* Control)
  {
    const TShot shot;
    TRect box(1000, 1000, -1000, -1000);
    for (int y = -10; y < Control->Height() + 10; ++y)
      for (int x = -10; x < Control->Width() + 10; ++x)
        if (shot.At(Control, x, y) == Red)
          box = TRect(std::min(box.Left, x), std::min(box.Top, y), std::max(box.Right, x + 1),
                      std::max(box.Bottom, y + 1));
    return box;
  }

private:
  int FImages = 0;
};

TEST_F(ImageTest, CentredOrAtTheCornerAndClippedToTheControl)
{
  TQxImage* image = NewImage(RedImages(16), 40, 20);
  EXPECT_EQ(image->GetImagePos(), TPoint(12, 2));
  EXPECT_EQ(RedBox(image), TRect(12, 2, 28, 18));
  image->SetCenter(false);
  RunUntilIdle();
  EXPECT_EQ(image->GetImagePos(), TPoint(0, 0));
  EXPECT_EQ(RedBox(image), TRect(0, 0, 16, 16));

  TQxImage* large = NewImage(RedImages(32), 20, 20);
  EXPECT_EQ(large->GetImagePos(), TPoint(-6, -6));
  EXPECT_EQ(RedBox(large), TRect(0, 0, 20, 20));
  // No image index, no picture.
  large->SetImageIndex(-1);
  RunUntilIdle();
  EXPECT_EQ(RedBox(large), TRect(1000, 1000, -1000, -1000));
}

TEST_F(ImageTest, AutoSizeFollowsTheListAndItsChanges)
{
  TImageList* list = RedImages(24);
  TQxImage* image = NewImage(nullptr, 50, 10);
  image->SetAutoSize(true);
  EXPECT_EQ(image->Width(), 50);
  image->SetImages(list);
  EXPECT_EQ(image->Width(), 24);
  EXPECT_EQ(image->Height(), 24);
  list->SetWidth(32);
  list->SetHeight(40);
  EXPECT_EQ(image->Width(), 32);
  EXPECT_EQ(image->Height(), 40);
}

TEST_F(ImageTest, AListFreedUnderTheControlIsLetGo)
{
  TImageList* list = RedImages(16);
  TQxImage* image = NewImage(list, 40, 20);
  delete list;
  EXPECT_EQ(image->Images(), nullptr);
  EXPECT_NO_THROW(RunUntilIdle());
  EXPECT_EQ(RedBox(image), TRect(1000, 1000, -1000, -1000));
  // A later list works as the first did.
  image->SetImages(RedImages(16));
  RunUntilIdle();
  EXPECT_EQ(RedBox(image), TRect(12, 2, 28, 18));
}

} // namespace
