// The IP address edit: the dotted and packed forms, what survives a new
// window, the ranges on their way to the window, typing into the fields, the
// font the window holds, the height and the form resource.
#include <QxDesktopFixture.hpp>
#include <QxFormCompare.hpp>

#include <gmock/gmock.h>

#include <Quorex.Vcl.FrameControl.QxFrameClient.hpp>
#include <Quorex.Vcl.IpEdit.hpp>
#include <System.Classes.Streaming.hpp>
#include <Vcl.Forms.hpp>
#include <Win.Edit.hpp>
#include <Win.IpAddress.hpp>
#include <Win.Metrics.hpp>

using namespace Vcl;
using namespace Quorex;

namespace {

class IpEditTest : public QxTest::QxDesktopFixture {
protected:
  void SetUp() override
  {
    QxDesktopFixture::SetUp();
    Form = ShowForm(0, 0, 400, 200);
    Edit = Place(new TIPEdit(Form), Form, 20, 20, 160, 25);
    RunUntilIdle();
  }
  // The four fields' texts joined by "|".
  String Fields()
  {
    String text;
    for (int i = 0; i < 4; ++i)
      text += (i ? "|" : "") + Win::GetWindowTextString(Win::IpAddressField(Edit->Handle(), i));
    return text;
  }
  void FocusField(int field)
  {
    Edit->SetFocusField(field);
    RunUntilIdle();
  }

  TForm* Form = nullptr;
  TIPEdit* Edit = nullptr;
};

} // namespace

TEST(IpEditText, DottedAndPackedFormsConvertAndBadTextChangesNothing)
{
  TIPEdit edit(nullptr);
  EXPECT_EQ(edit.GetAddress(), "0.0.0.0");
  edit.SetAddress("10.0.0.1");
  EXPECT_EQ(edit.WinAddress(), 0x0A000001u);
  edit.SetWinAddress(0xC0A80114u);
  EXPECT_EQ(edit.GetAddress(), "192.168.1.20");
  edit.SetAddress("1.2.3.4.5");
  EXPECT_EQ(edit.WinAddress(), 0x01020304u) << "text after the fourth field is ignored";
  edit.Clear();
  for (const char* text : {"1.2.3", "1..3.4", "", "256.1.1.1", ".1.2.3", "1.2.3.-1"}) {
    EXPECT_THAT([&] { edit.SetAddress(text); },
                testing::ThrowsMessage<EConvertError>(String(text) + " is not a valid IP address"));
    EXPECT_EQ(edit.WinAddress(), 0u);
    EXPECT_TRUE(edit.IsEmpty()) << text;
  }
  EXPECT_THAT([&] { edit.SetAddress("1.x.3.4"); },
              testing::ThrowsMessage<EConvertError>("'x' is not a valid integer value"));
}

TEST(IpEditText, RangesKeepLowAtMostHighAndTellOnlyChanges)
{
  TIpRanges ranges;
  int told = 0;
  ranges.OnChange = [&](TObject*) { ++told; };
  ranges.SetField1High(100);
  ranges.SetField1Low(200);
  EXPECT_EQ(ranges.Field1High(), 200);
  ranges.SetField2Low(50);
  ranges.SetField2High(20);
  EXPECT_EQ(ranges.Field2Low(), 20);
  ranges.SetField2High(20);
  EXPECT_EQ(told, 4);
  EXPECT_EQ(ranges.Field0Low(), 0);
  EXPECT_EQ(ranges.Field3High(), 255);
}

TEST_F(IpEditTest, ClearedAndZeroShowDifferentlyAndBothSurviveANewWindow)
{
  EXPECT_EQ(Fields(), "0|0|0|0") << "a new control shows zeros";
  Edit->Clear();
  EXPECT_EQ(Fields(), "|||");
  EXPECT_TRUE(Edit->IsEmpty());
  Edit->RecreateWnd();
  EXPECT_EQ(Fields(), "|||");
  EXPECT_TRUE(Edit->IsEmpty());
  Edit->SetAddress("0.0.0.0");
  EXPECT_EQ(Fields(), "0|0|0|0");
  EXPECT_FALSE(Edit->IsEmpty());
  Edit->RecreateWnd();
  EXPECT_EQ(Fields(), "0|0|0|0");
  // What the user typed is kept too.
  Edit->Clear();
  FocusField(0);
  Type("172.16.5.9");
  Edit->RecreateWnd();
  EXPECT_EQ(Edit->GetAddress(), "172.16.5.9");
  EXPECT_EQ(Fields(), "172|16|5|9");
  // So are the fields left blank in a partly typed one, until an address
  // is set.
  Edit->Clear();
  FocusField(0);
  Type("10.");
  Key(Win::VK_RIGHT);
  Type("3");
  Edit->RecreateWnd();
  EXPECT_EQ(Fields(), "10||3|");
  EXPECT_FALSE(Edit->IsEmpty());
  EXPECT_EQ(Edit->GetAddress(), "10.0.3.0");
  Edit->SetAddress("1.2.3.4");
  Edit->RecreateWnd();
  EXPECT_EQ(Fields(), "1|2|3|4");
}

// How the fields take keys is the window's (tested with its class); here,
// that every typed digit reaches the host as one OnChange.
TEST_F(IpEditTest, TypedDigitsMoveOnThroughTheFieldsEachAChange)
{
  int changes = 0;
  Edit->OnChange = [&](TObject* sender) {
    EXPECT_EQ(sender, Edit);
    ++changes;
  };
  Edit->Clear();
  changes = 0;
  FocusField(0);
  Type("1921681.7");
  EXPECT_EQ(Fields(), "192|168|1|7");
  EXPECT_EQ(changes, 8);
}

TEST_F(IpEditTest, CommittedFieldsArePulledIntoTheirRangesAndTheHandlersValueToo)
{
  Edit->Ranges()->SetField0Low(10);
  Edit->Ranges()->SetField0High(200);
  Edit->Ranges()->SetField2High(99);
  std::vector<std::pair<Integer, Integer>> seen;
  Edit->OnIPFieldChange = [&](Integer field, Integer& value) {
    seen.emplace_back(field, value);
    if (field == 2)
      value = 1000;
  };
  Edit->Clear();
  FocusField(0);
  Type("250.5.7.");
  EXPECT_EQ(Fields(), "200|5|99|") << "field 2 takes the handler's 1000, pulled into 0..99";
  ASSERT_GE(seen.size(), 3u);
  EXPECT_EQ(seen[0], std::make_pair(0, 200));
  EXPECT_EQ(seen[2], std::make_pair(2, 7));
  Edit->RecreateWnd();
  FocusField(0);
  Type("3.");
  EXPECT_EQ(Fields(), "10|5|99|") << "the ranges reach a new window, the blank field stays blank";
}

TEST_F(IpEditTest, EnteringAFieldIsEnteringTheControl)
{
  auto* other = Place(new TIPEdit(Form), Form, 20, 80, 160, 25);
  int entered = 0;
  Edit->OnEnter = [&](TObject*) { ++entered; };
  other->SetFocus();
  RunUntilIdle();
  FocusField(2);
  Key(Win::VK_RIGHT);
  Key(Win::VK_RIGHT);
  EXPECT_EQ(entered, 1);
  EXPECT_EQ(Form->ActiveControl(), Edit);
}

TEST_F(IpEditTest, TheWindowsFontIsACopyMadeBeforeTheOldOneGoes)
{
  auto windowFont = [&] { return reinterpret_cast<Win::HFONT>(Edit->Perform(Win::WM_GETFONT)); };
  Win::HFONT first = windowFont();
  ASSERT_NE(first, nullptr);
  EXPECT_NE(first, Edit->Font()->Handle());
  Edit->Font()->SetSize(14);
  Win::HFONT second = windowFont();
  EXPECT_NE(second, first);
  EXPECT_EQ(Win::GetObjectType(Win::ToGdiObject(first)), 0) << "the old copy is gone";
  EXPECT_NE(Win::GetObjectType(Win::ToGdiObject(second)), 0);
  // Handing the window its own font again keeps it alive; no font is the
  // stock one.
  Edit->Perform(Win::WM_SETFONT, Win::WPARAM(second), 0);
  EXPECT_NE(Win::GetObjectType(Win::ToGdiObject(windowFont())), 0);
  Edit->Perform(Win::WM_SETFONT, 0, 0);
  Win::LOGFONT given{}, stock{};
  Win::GetObject(Win::ToGdiObject(windowFont()), sizeof given, &given);
  Win::GetObject(Win::GetStockObject(Win::DEFAULT_GUI_FONT), sizeof stock, &stock);
  EXPECT_EQ(String(given.lfFaceName), String(stock.lfFaceName));
  EXPECT_EQ(given.lfHeight, stock.lfHeight);
  Win::HFONT last = windowFont();
  delete Edit;
  EXPECT_EQ(Win::GetObjectType(Win::ToGdiObject(last)), 0);
}

TEST_F(IpEditTest, TheHeightFollowsTheFontWhileAutoSize)
{
  auto expected = [&] {
    Win::HDC dc = Win::GetDC(nullptr);
    Win::HGDIOBJ old = Win::SelectObject(dc, Edit->Font()->Handle());
    Win::TEXTMETRIC tm{};
    Win::GetTextMetrics(dc, &tm);
    Win::SelectObject(dc, old);
    Win::ReleaseDC(nullptr, dc);
    return tm.tmHeight + 8 * Win::GetSystemMetrics(Win::SM_CYBORDER);
  };
  EXPECT_EQ(Win::GetSystemMetrics(Win::SM_CXBORDER), 1);
  EXPECT_EQ(Edit->Height(), expected());
  Edit->Font()->SetSize(16);
  EXPECT_EQ(Edit->Height(), expected());
  Edit->SetAutoSize(false);
  Edit->SetHeight(40);
  Edit->Font()->SetSize(8);
  EXPECT_EQ(Edit->Height(), 40);
}

TEST_F(IpEditTest, TheResourceKeepsTheAddressAndTheRangesThatDiffer)
{
  TQxFrameClient root(nullptr);
  root.SetName("Root");
  auto* edit = QxTest::AddNamed<TIPEdit>(&root, "Ip1");
  QxTest::ExpectLacks(WriteComponentRes(&root), {"Field0Low", "Field3High", "AutoSize", "TabStop", "Ctl3D", "Bevel"});
  edit->SetAddress("10.1.2.3");
  edit->Ranges()->SetField3Low(1);
  edit->Ranges()->SetField3High(254);
  edit->SetCtl3D(false);
  edit->SetBevelEdges({beLeft, beBottom});
  edit->SetBevelInner(bvSpace);
  edit->SetBevelOuter(bvRaised);
  edit->SetBevelKind(bkFlat);
  const String text = WriteComponentRes(&root);
  QxTest::ExpectHas(text, {"Address = '10.1.2.3'", "Ranges.Field3Low = 1", "Ranges.Field3High = 254", "Ctl3D = False",
                           "BevelEdges = [beLeft, beBottom]", "BevelInner = bvSpace", "BevelKind = bkFlat",
                           "BevelOuter = bvRaised"});
  QxTest::ExpectReadsBackTheSame(&root, text);
}
