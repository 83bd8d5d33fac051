// The IP address control as a host using the raw window class sees it: its
// messages, the parent's notifications and keys typed into its fields.
#include "TestWindows.hpp"

#include <Win.Edit.hpp>
#include <Win.IpAddress.hpp>

#include <algorithm>
#include <functional>
#include <utility>

using namespace Win;

namespace QxTest {

namespace {

class IpAddressTest : public WindowTest {
protected:
  void SetUp() override
  {
    WindowTest::SetUp();
    Parent = Make(nullptr, 0, 0, 300, 100, RGB(255, 255, 255));
    Of(Parent).Hook = [this](HWND, UINT m, WPARAM w, LPARAM l, LRESULT& result) {
      if (m == WM_COMMAND && HWND(l) == Ip)
        Commands.push_back(HIWORD(w));
      if (m != WM_NOTIFY || reinterpret_cast<const NMHDR*>(l)->code != IPN_FIELDCHANGED)
        return false;
      auto* nm = reinterpret_cast<NMIPADDRESS*>(l);
      Committed.emplace_back(nm->iField, nm->iValue);
      if (Replace)
        Replace(*nm);
      result = 0;
      return true;
    };
    Ip = Make(Parent, 10, 10, 200, 24, RGB(255, 255, 255), 0, WS_EX_CLIENTEDGE, WC_IPADDRESS);
  }
  // The fields' texts joined by "|".
  std::string Fields() const
  {
    std::string text;
    for (int i = 0; i < 4; ++i)
      text += (i ? "|" : "") + GetWindowTextString(IpAddressField(Ip, i));
    return text;
  }
  std::pair<LRESULT, DWORD> Address() const
  {
    DWORD address = 1;
    const LRESULT filled = SendMessage(Ip, IPM_GETADDRESS, 0, LPARAM(&address));
    return {filled, address};
  }
  int Count(WORD code) const { return int(std::count(Commands.begin(), Commands.end(), code)); }

  HWND Parent = nullptr, Ip = nullptr;
  std::vector<WORD> Commands;
  std::vector<std::pair<int, int>> Committed;
  std::function<void(NMIPADDRESS&)> Replace;
};

} // namespace

TEST_F(IpAddressTest, MessagesSetReadClearAndBoundTheAddress)
{
  EXPECT_EQ(Fields(), "|||");
  EXPECT_NE(SendMessage(Ip, IPM_ISBLANK, 0, 0), 0);
  EXPECT_EQ(Address(), std::make_pair(LRESULT(0), DWORD(0)));
  SendMessage(Ip, IPM_SETADDRESS, 0, MAKEIPADDRESS(192, 168, 1, 20));
  EXPECT_EQ(Fields(), "192|168|1|20");
  EXPECT_EQ(Address(), std::make_pair(LRESULT(4), DWORD(0xC0A80114)));
  EXPECT_EQ(SendMessage(Ip, IPM_ISBLANK, 0, 0), 0);
  EXPECT_EQ(Count(EN_CHANGE), 1) << "one notice for the whole address";
  SendMessage(Ip, IPM_SETADDRESS, 0, MAKEIPADDRESS(192, 168, 1, 20));
  EXPECT_EQ(Count(EN_CHANGE), 1) << "nothing changed, nothing told";
  SendMessage(Ip, IPM_SETADDRESS, 0, 0);
  EXPECT_EQ(Fields(), "0|0|0|0") << "zeros are not blanks";
  EXPECT_EQ(SendMessage(Ip, IPM_ISBLANK, 0, 0), 0);
  SendMessage(Ip, IPM_CLEARADDRESS, 0, 0);
  EXPECT_EQ(Fields(), "|||");
  EXPECT_NE(SendMessage(Ip, IPM_ISBLANK, 0, 0), 0);
  EXPECT_EQ(SendMessage(Ip, IPM_SETRANGE, 4, MAKEIPRANGE(1, 2)), FALSE);
  EXPECT_EQ(SendMessage(Ip, IPM_SETRANGE, 1, MAKEIPRANGE(10, 20)), TRUE);
  EXPECT_TRUE(Committed.empty()) << "only a field left is committed";
}

TEST_F(IpAddressTest, TypedFieldsAdvanceCommitIntoTheirRangesAndMayStayBlank)
{
  SendMessage(Ip, IPM_SETRANGE, 1, MAKEIPRANGE(20, 10));
  Replace = [](NMIPADDRESS& nm) {
    if (nm.iField == 0)
      nm.iValue = 300;
  };
  SetFocus(Parent);
  SendMessage(Ip, IPM_SETFOCUS, 0, 0);
  EXPECT_EQ(GetFocus(), IpAddressField(Ip, 0));
  EXPECT_EQ(Count(EN_SETFOCUS), 1);
  Type("1x");
  EXPECT_EQ(Fields(), "1|||") << "letters never reach a field";
  Type("0.");
  EXPECT_EQ(GetFocus(), IpAddressField(Ip, 1));
  Type("300");
  EXPECT_EQ(GetFocus(), IpAddressField(Ip, 2)) << "a third digit moves on";
  // A dot in an empty field stays there; the right arrow leaves it blank.
  Type(".");
  EXPECT_EQ(GetFocus(), IpAddressField(Ip, 2));
  Key(VK_RIGHT);
  Type("7");
  EXPECT_EQ(Fields(), "255|20||7") << "the handler's 300 and the typed 300 pulled into their ranges";
  EXPECT_EQ((std::vector<std::pair<int, int>>{{0, 10}, {1, 20}, {2, -1}}), Committed);
  EXPECT_EQ(Address(), std::make_pair(LRESULT(3), DWORD(0xFF140007)));
  EXPECT_EQ(Count(EN_CHANGE), 8) << "six digits typed, two fields rewritten on commit";
  EXPECT_EQ(Count(EN_SETFOCUS), 1) << "moving between fields stays inside";
  // Backspace empties the field and then goes back to the one before.
  Key(VK_BACK);
  Key(VK_BACK);
  EXPECT_EQ(GetFocus(), IpAddressField(Ip, 2));
  Key(VK_LEFT);
  EXPECT_EQ(GetFocus(), IpAddressField(Ip, 1));
  SetFocus(Parent);
  EXPECT_EQ(Count(EN_KILLFOCUS), 1);
  EXPECT_EQ(Fields(), "255|20||");
  EXPECT_EQ(SendMessage(Ip, IPM_ISBLANK, 0, 0), 0);
}

} // namespace QxTest
