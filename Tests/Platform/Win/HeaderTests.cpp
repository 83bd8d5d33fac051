#include "TestWindows.hpp"

#include <QxStyleSupport.hpp>
#include <Win.Header.hpp>

using namespace Win;

namespace QxTest {

namespace {

struct TNote {
  UINT Code;
  int Item;
  int Width; // the proposed width, -1 without one
};

// A header across the top of a parent that keeps every notification and
// may veto changes.
class HeaderTest : public WindowTest {
protected:
  HWND Parent = nullptr;
  HWND Header = nullptr;
  std::vector<TNote> Notes;
  UINT Veto = 0;
  int Height = 0;

  void SetUp() override
  {
    WindowTest::SetUp();
    ASSERT_TRUE(InitCommonControls());
    ASSERT_TRUE(InitCommonControls());
    Parent = Make(nullptr, 0, 0, 400, 200, RGB(255, 255, 255));
    Of(Parent).Hook = [this](HWND, UINT msg, WPARAM, LPARAM lParam, LRESULT& answer) {
      if (msg != WM_NOTIFY)
        return false;
      const auto* nm = reinterpret_cast<const NMHEADER*>(lParam);
      EXPECT_EQ(nm->hdr.hwndFrom, Header);
      EXPECT_EQ(nm->hdr.idFrom, 7u);
      Notes.push_back({nm->hdr.code, nm->iItem, nm->pitem && (nm->pitem->mask & HDI_WIDTH) ? nm->pitem->cxy : -1});
      answer = nm->hdr.code == Veto ? 1 : 0;
      return true;
    };
    Header = CreateWindowEx(0, WC_HEADER, "", WS_CHILD | WS_VISIBLE | HDS_BUTTONS | HDS_HOTTRACK, 0, 0, 400, 30,
                            Parent, reinterpret_cast<HMENU>(7), nullptr, nullptr);
    ASSERT_NE(Header, nullptr);
    RECT area(0, 0, 400, 200);
    WINDOWPOS pos;
    HDLAYOUT layout{&area, &pos};
    ASSERT_TRUE(SendMessage(Header, HDM_LAYOUT, 0, LPARAM(&layout)));
    Height = pos.cy;
    EXPECT_EQ(area.Top, Height);
    SetWindowPos(Header, nullptr, pos.x, pos.y, pos.cx, pos.cy, SWP_NOZORDER);
    for (auto [text, width] : {std::pair{"Name", 100}, {"Size", 80}, {"Kind", 60}})
      Insert(99, text, width);
    RunUntilIdle();
    Notes.clear();
  }

  int Insert(int at, const char* text, int width)
  {
    HDITEM item;
    item.mask = HDI_TEXT | HDI_WIDTH;
    item.pszText = text;
    item.cxy = width;
    return int(SendMessage(Header, HDM_INSERTITEM, WPARAM(at), LPARAM(&item)));
  }

  int Width(int index)
  {
    HDITEM item;
    item.mask = HDI_WIDTH;
    return SendMessage(Header, HDM_GETITEM, WPARAM(index), LPARAM(&item)) ? item.cxy : -1;
  }

  std::vector<UINT> Codes() const
  {
    std::vector<UINT> out;
    for (const TNote& n : Notes)
      out.push_back(n.Code);
    return out;
  }
};

} // namespace

TEST_F(HeaderTest, ColumnsAnswerForTheirPlaceTextAndWidth)
{
  EXPECT_GT(Height, 10);
  EXPECT_EQ(SendMessage(Header, HDM_GETITEMCOUNT, 0, 0), 3);
  char text[3];
  HDITEM item;
  item.mask = HDI_TEXT | HDI_WIDTH;
  item.pszText = text;
  item.cchTextMax = sizeof text;
  ASSERT_TRUE(SendMessage(Header, HDM_GETITEM, 1, LPARAM(&item)));
  EXPECT_STREQ(text, "Si") << "cut to the buffer";
  EXPECT_EQ(item.cxy, 80);
  RECT r;
  ASSERT_TRUE(SendMessage(Header, HDM_GETITEMRECT, 1, LPARAM(&r)));
  EXPECT_EQ(r, RECT(100, 0, 180, Height));
  EXPECT_FALSE(SendMessage(Header, HDM_GETITEMRECT, 3, LPARAM(&r)));
  EXPECT_FALSE(SendMessage(Header, HDM_GETITEM, WPARAM(-1), LPARAM(&item)));
  EXPECT_FALSE(SendMessage(Header, HDM_DELETEITEM, 5, 0));

  HDHITTESTINFO hit;
  for (auto [x, flags, index] : {std::tuple{98, HHT_ONDIVIDER, 0}, {150, HHT_ONHEADER, 1}, {300, HHT_NOWHERE, -1}}) {
    hit.pt = POINT(x, 5);
    EXPECT_EQ(SendMessage(Header, HDM_HITTEST, 0, LPARAM(&hit)), index) << x;
    EXPECT_EQ(hit.flags, flags) << x;
  }

  // The parent may refuse a change; a column squeezed to nothing can be
  // pulled open again from its divider.
  Veto = HDN_ITEMCHANGING;
  HDITEM wide;
  wide.mask = HDI_WIDTH;
  wide.cxy = 10;
  EXPECT_FALSE(SendMessage(Header, HDM_SETITEM, 0, LPARAM(&wide)));
  EXPECT_EQ(Width(0), 100);
  Veto = 0;
  wide.cxy = -50;
  EXPECT_TRUE(SendMessage(Header, HDM_SETITEM, 2, LPARAM(&wide)));
  EXPECT_EQ(Width(2), 0);
  EXPECT_EQ(Codes(), (std::vector<UINT>{HDN_ITEMCHANGING, HDN_ITEMCHANGING, HDN_ITEMCHANGED}));
  hit.pt = POINT(180, 5);
  EXPECT_EQ(SendMessage(Header, HDM_HITTEST, 0, LPARAM(&hit)), 2);
  EXPECT_EQ(Insert(-4, "First", 30), 0) << "indexes out of range clamp";
  EXPECT_TRUE(SendMessage(Header, HDM_DELETEITEM, 0, 0));
  EXPECT_EQ(SendMessage(Header, HDM_GETITEMCOUNT, 0, 0), 3);
}

TEST_F(HeaderTest, DraggingADividerSizesItsColumn)
{
  MoveTo(100, 10);
  EXPECT_EQ(GetCursor(), LoadCursor(nullptr, IDC_SIZEWE));
  Press();
  MoveTo(130, 12);
  MoveTo(-50, 12);
  EXPECT_EQ(Width(0), 0) << "never below nothing";
  MoveTo(145, 40); // leaving the header keeps the drag
  Release();
  EXPECT_EQ(Width(0), 145);
  EXPECT_EQ(Width(1), 80);
  EXPECT_EQ(Codes(), (std::vector<UINT>{HDN_BEGINTRACK, HDN_TRACK, HDN_ITEMCHANGING, HDN_ITEMCHANGED, HDN_TRACK,
                                        HDN_ITEMCHANGING, HDN_ITEMCHANGED, HDN_TRACK, HDN_ITEMCHANGING,
                                        HDN_ITEMCHANGED, HDN_ENDTRACK}));
  EXPECT_EQ(Notes[1].Width, 130);
  EXPECT_EQ(Notes.back().Width, 145);
  EXPECT_EQ(GetCapture(), nullptr);

  // Escape puts the column back; a refused start never drags.
  SetFocus(Header);
  MoveTo(145, 10);
  Press();
  MoveTo(200, 10);
  Key(VK_ESCAPE);
  EXPECT_EQ(Width(0), 145);
  Release();
  EXPECT_EQ(Width(0), 145);
  Notes.clear();
  Veto = HDN_BEGINTRACK;
  AdvanceBy(1000); // not a double click
  MoveTo(145, 10);
  Press();
  MoveTo(200, 10);
  Release();
  EXPECT_EQ(Width(0), 145);
  EXPECT_EQ(Codes(), std::vector<UINT>{HDN_BEGINTRACK});
}

TEST_F(HeaderTest, ClicksAndDoubleClicksReachTheParent)
{
  Click(140, 10);
  ASSERT_EQ(Codes(), std::vector<UINT>{HDN_ITEMCLICK});
  EXPECT_EQ(Notes[0].Item, 1);
  Notes.clear();
  AdvanceBy(1000);
  MoveTo(140, 10);
  Press();
  MoveTo(300, 10); // released elsewhere: no click
  Release();
  EXPECT_TRUE(Notes.empty());
  AdvanceBy(1000);
  Click(181, 10);
  Click(181, 10);
  EXPECT_EQ(Notes.back().Code, HDN_DIVIDERDBLCLICK);
  EXPECT_EQ(Notes.back().Item, 1);
  AdvanceBy(1000);
  Click(20, 10);
  Click(20, 10);
  EXPECT_EQ(Notes.back().Code, HDN_ITEMDBLCLICK);
  EXPECT_EQ(Notes.back().Item, 0);
}

TEST_F(HeaderTest, CaptionsAreDrawnInBothLooksAndTheHotOneLightsUp)
{
  auto inkIn = [this](int left, int right) {
    int ink = 0;
    for (int y = 2; y < Height - 2; ++y)
      for (int x = left; x < right; ++x)
        if (GetRValue(ScreenPixel(x, y)) < 100)
          ++ink;
    return ink;
  };
  MoveTo(300, 100);
  EXPECT_GT(inkIn(0, 100), 10) << "the caption's text";
  COLORREF face = ScreenPixel(160, Height / 2);
  MoveTo(170, 10);
  EXPECT_NE(ScreenPixel(175, Height / 2), face) << "hot";
  MoveTo(300, 100);
  EXPECT_EQ(ScreenPixel(175, Height / 2), face);
  {
    TVisualStyles off(false);
    RedrawWindow(Header, nullptr, nullptr, RDW_INVALIDATE);
    RunUntilIdle();
    EXPECT_GT(inkIn(0, 100), 10);
    EXPECT_EQ(ScreenPixel(160, Height / 2), GetSysColor(COLOR_BTNFACE));
  }
}

} // namespace QxTest
