// The containers in form resources: new ones write none of their defaults,
// every published value reads back, and what depends on the order of
// reading (the expand panel's full height, a manual bar's height, a layout
// panel's row) comes out as it was written.
#include <QxDesktopFixture.hpp>
#include <QxFormCompare.hpp>

#include <Quorex.Vcl.ExpandPanel.hpp>
#include <Quorex.Vcl.FooterBar.hpp>
#include <Quorex.Vcl.FrameControl.QxFrameHost.hpp>
#include <Quorex.Vcl.HeaderBar.hpp>
#include <Quorex.Vcl.Image.hpp>
#include <Quorex.Vcl.ItemPanel.hpp>
#include <Quorex.Vcl.LayoutPanel.hpp>
#include <System.Classes.Streaming.hpp>

using namespace Vcl;
using namespace Quorex;

namespace {

class ContainerStreamingTest : public QxTest::QxDesktopFixture {
protected:
  void SetUp() override
  {
    QxDesktopFixture::SetUp();
    Root.SetName("Root");
    Root.SetBounds(0, 0, 400, 300);
    Layout = Add(new TQxLayoutPanel(&Root), "Layout1");
    Expand = Add(new TQxExpandPanel(&Root), "Expand1");
    Item = Add(new TItemPanel(&Root), "Item1");
    Header = Add(new THeaderBar(&Root), "Header1");
    Footer = Add(new TFooterBar(&Root), "Footer1");
    Image = Add(new TQxImage(&Root), "Image1");
  }
  template <class T>
  T* Add(T* Control, const char* Name)
  {
    Place(Control, Name);
    return Control;
  }
  // Through the base: g++ -O2 misreads the derived objects' extent here.
  void Place(TControl* Control, const char* Name)
  {
    Control->SetName(Name);
    Control->SetParent(&Root);
  }

  TQxFrameClient Root{nullptr};
  TQxLayoutPanel* Layout = nullptr;
  TQxExpandPanel* Expand = nullptr;
  TItemPanel* Item = nullptr;
  THeaderBar* Header = nullptr;
  TFooterBar* Footer = nullptr;
  TQxImage* Image = nullptr;
};

TEST_F(ContainerStreamingTest, NewContainersWriteNoneOfTheirDefaultsAndEveryPublishedValueReadsBack)
{
  const String fresh = WriteComponentRes(&Root);
  QxTest::ExpectLacks(fresh, {"LayoutVertical", "Spacing", "Padding.", "ActiveHeader", "HeaderColor", "HeaderHeight",
                              "State", "Style", "BorderColor", "GradientBegin", "GradientEnd", "BarSize", "Align",
                              "ParentFont", "Center", "Images", "ImageIndex", "AutoSize", "TabStop", "BiDiMode",
                              "Drag", "DoubleBuffered"});
  // Expanded is written even when false.
  QxTest::ExpectHas(fresh, {"Expanded = False"});

  auto* images = QxTest::AddNamed<TImageList>(&Root, "Images1");
  Layout->SetLayoutVertical(vlBottom);
  Layout->SetSpacing(4);
  Layout->Padding()->SetLeft(6);
  Layout->Padding()->SetBottom(2);
  Expand->SetActiveHeader(false);
  Expand->SetHeaderColor(clRed);
  Expand->SetHeaderHeight(30);
  Item->SetState(ipsCustom);
  Item->SetStyle(istGlass);
  Item->SetBorderColor(clBlue);
  Item->SetGradientBegin(0x00102030);
  Item->SetGradientEnd(clWhite);
  Header->SetBarSize(bsMedium);
  Footer->SetBarSize(bsManual);
  Footer->SetHeight(60);
  Image->SetCenter(false);
  Image->SetImages(images);
  Image->SetImageIndex(3);
  Expand->SetBiDiMode(bdRightToLeft);
  Expand->SetDragKind(dkDock);
  Expand->SetDragCursor(crHandPoint);
  Expand->SetDoubleBuffered(true);
  Header->SetDoubleBuffered(true);
  Footer->SetParentDoubleBuffered(false);
  Image->SetParentBiDiMode(false);
  Image->SetDragMode(dmAutomatic);
  const String text = WriteComponentRes(&Root);
  QxTest::ExpectHas(text, {"LayoutVertical = vlBottom", "Padding.Left = 6", "HeaderColor = clRed",
                           "State = ipsCustom", "Style = istGlass", "BarSize = bsMedium", "BarSize = bsManual",
                           "Images = Images1", "BiDiMode = bdRightToLeft", "DragKind = dkDock",
                           "DragCursor = crHandPoint", "ParentBiDiMode = False", "DragMode = dmAutomatic",
                           "ParentDoubleBuffered = False"});

  // Property by property, so also what depends on the order of reading: the
  // manual bar's height read before its size class, the values read after
  // their parent's switch to the same.
  QxTest::ExpectReadsBackTheSame(&Root, text);
}

// Each container publishes the framework's drag, dock and activation events
// its kind calls for, and no more: the image and the item panel never dock.
TEST_F(ContainerStreamingTest, FrameworkEventsArePublishedAsEachContainerListsThem)
{
  const std::vector<const char*> drag = {"OnDragDrop", "OnDragOver", "OnEndDrag", "OnStartDrag", "OnMouseActivate"};
  const std::vector<const char*> dock = {"OnEndDock", "OnStartDock"};
  auto published = [](const TClassInfo& Class, const char* Name) { return GetPropInfo(Class, Name) != nullptr; };
  for (const char* name : drag) {
    EXPECT_TRUE(published(TQxExpandPanel::StaticClass(), name)) << name;
    EXPECT_TRUE(published(TItemPanel::StaticClass(), name)) << name;
    EXPECT_TRUE(published(TQxImage::StaticClass(), name)) << name;
  }
  for (const char* name : dock) {
    EXPECT_TRUE(published(TQxExpandPanel::StaticClass(), name)) << name;
    EXPECT_FALSE(published(TItemPanel::StaticClass(), name)) << name;
    EXPECT_FALSE(published(TQxImage::StaticClass(), name)) << name;
  }
  EXPECT_FALSE(published(TQxImage::StaticClass(), "DragKind"));
  EXPECT_FALSE(published(THeaderBar::StaticClass(), "OnDragDrop"));
  EXPECT_TRUE(published(TFooterBar::StaticClass(), "ParentDoubleBuffered"));
}

TEST_F(ContainerStreamingTest, ALoadedExpandPanelCollapsesAndExpandsToItsLoadedHeight)
{
  const String text = "object Root: TQxFrameClient\n"
                      "  object Expand2: TQxExpandPanel\n    Height = 120\n    Expanded = False\n  end\n"
                      "  object Layout2: TQxLayoutPanel\n    Width = 300\n    Height = 40\n"
                      "    object B: TQxPanel\n      Left = 200\n      Width = 50\n      Height = 20\n    end\n"
                      "    object S: TQxDynamicSpacer\n      Left = 100\n    end\n"
                      "    object A: TQxPanel\n      Left = 0\n      Width = 50\n      Height = 20\n    end\n"
                      "  end\n"
                      "end\n";
  auto copy = QxTest::ReadAs<TQxFrameClient>(text);
  auto* expand = QxTest::FindIn<TQxExpandPanel>(copy.get(), "Expand2");
  ASSERT_TRUE(expand);
  EXPECT_EQ(expand->FullHeight(), 120);
  EXPECT_EQ(expand->Height(), 24);
  expand->SetExpanded(true);
  EXPECT_EQ(expand->Height(), 120);
  // The row is laid out once everything is read, in Left order.
  auto* spacer = QxTest::FindIn<TControl>(copy.get(), "S");
  ASSERT_TRUE(spacer);
  EXPECT_EQ(spacer->Width(), 180);
  EXPECT_EQ(spacer->Left(), 60);
  EXPECT_EQ(QxTest::FindIn<TControl>(copy.get(), "B")->Left(), 250);
}

} // namespace
