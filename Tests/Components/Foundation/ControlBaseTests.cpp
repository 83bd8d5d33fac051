// The control base, the panel, UI elements and the frame host, driven through
// the window system the way a host drives them.
#include <QxDesktopFixture.hpp>
#include <QxStyleSupport.hpp>

#include <Quorex.Vcl.FrameControl.QxFrameHost.hpp>
#include <Quorex.Vcl.HtmlLabel.hpp>
#include <Quorex.Vcl.Panel.hpp>
#include <Quorex.Vcl.UIElement.hpp>
#include <Vcl.Forms.hpp>

#include <stdexcept>
#include <string>
#include <vector>

using namespace Vcl;
using namespace Quorex;

namespace {

std::vector<std::string> gLog;

constexpr TColor PatternA = 0x00204080, PatternB = 0x0080C0F0;

// The pattern in parent client coordinates: 4-pixel checks.
TColor PatternAt(int x, int y)
{
  return ((x / 4 + y / 4) % 2) ? PatternA : PatternB;
}

// A parent that erases with a pattern in logical coordinates, so that a
// moved window origin moves the pattern with it.
class TPatternParent : public TCustomControl {
public:
  using TCustomControl::TCustomControl;
  void Dispatch(TMessage& Message) override
  {
    if (Message.Msg != Win::WM_ERASEBKGND) {
      inherited::Dispatch(Message);
      return;
    }
    auto dc = reinterpret_cast<Win::HDC>(Message.WParam);
    for (int y = 0; y < Height(); y += 4)
      for (int x = 0; x < Width(); x += 4) {
        Win::HBRUSH brush = Win::CreateSolidBrush(PatternAt(x, y));
        TRect r(x, y, x + 4, y + 4);
        Win::FillRect(dc, &r, brush);
        Win::DeleteObject(brush);
      }
    Message.Result = 1;
  }
};

class TLoggedControl : public TCustomControl {
public:
  explicit TLoggedControl(TComponent* AOwner) : TCustomControl(AOwner)
  {
    OnMouseDown = [](TObject*, TMouseButton, TShiftState, Integer, Integer) { gLog.push_back("beneath down"); };
  }
};

class ControlBaseTest : public QxTest::QxDesktopFixture {
protected:
  void SetUp() override
  {
    QxDesktopFixture::SetUp();
    gLog.clear();
    Form = ShowForm(20, 20, 240, 180, clWhite);
    RunUntilIdle();
  }
  TForm* Form = nullptr;
};

TEST_F(ControlBaseTest, TransparentControlShowsTheParentsPatternAlignedInBothLooks)
{
  for (bool styled : {false, true}) {
    QxTest::TVisualStyles styles(styled);
    auto* parent = Place(new TPatternParent(Form), Form, 10, 10, 120, 100);
    auto* panel = new TQxPanel(Form);
    panel->SetBounds(13, 7, 50, 41); // not on the pattern's grid
    panel->SetTransparent(true);
    panel->SetParent(parent);
    RunUntilIdle();
    for (int y = 0; y < 41; y += 3)
      for (int x = 0; x < 50; x += 5)
        ASSERT_EQ(ControlPixel(panel, x, y), PatternAt(13 + x, 7 + y))
          << "styled " << styled << " at " << x << "," << y;
    delete parent;
  }
}

TEST_F(ControlBaseTest, WithoutStylesALabelsTextShowsThroughATransparentControl)
{
  QxTest::TVisualStyles styles(false);
  auto* label = new THtmlLabel(Form);
  label->SetBounds(10, 10, 10, 13);
  label->SetCaption("<b>MMMMMMMM</b>");
  label->SetParent(Form);
  auto* panel = Place(new TQxPanel(Form), Form, 5, 5, label->Width() + 10, 25);
  auto darkPixels = [&] {
    int dark = 0;
    for (int y = 0; y < 25; ++y)
      for (int x = 0; x < panel->Width(); ++x)
        dark += (ControlPixel(panel, x, y) & 0xFF) < 0x60;
    return dark;
  };
  panel->SetColor(clWhite);
  RunUntilIdle();
  EXPECT_EQ(darkPixels(), 0) << "an opaque panel hides the label";
  panel->SetTransparent(true);
  RunUntilIdle();
  EXPECT_GT(darkPixels(), 20);
}

TEST_F(ControlBaseTest, RedrawLocksNestAndExtraUnlocksAreIgnored)
{
  auto* panel = Place(new TQxPanel(Form), Form, 0, 0, 50, 50);
  RunUntilIdle();
  Win::HWND wnd = panel->Handle();
  panel->LockRedraw();
  panel->LockRedraw();
  panel->UnlockRedraw(true);
  EXPECT_TRUE(Win::IsRedrawSuspended(wnd));
  RunUntilIdle();
  panel->UnlockRedraw(true);
  EXPECT_FALSE(Win::IsRedrawSuspended(wnd));
  TRect update;
  EXPECT_TRUE(Win::GetUpdateRect(wnd, &update, Win::FALSE));
  EXPECT_EQ(update, TRect(0, 0, 50, 50));
  RunUntilIdle();

  panel->UnlockRedraw(true);
  EXPECT_EQ(panel->LockReadrawCount(), 0);
  panel->LockRedraw();
  EXPECT_TRUE(Win::IsRedrawSuspended(wnd)) << "an extra unlock must not swallow the next lock";
  panel->UnlockRedraw(false);
  EXPECT_FALSE(Win::IsRedrawSuspended(wnd));

  // Held by a scope, the lock ends with it, also when the scope raises.
  EXPECT_THROW(
    {
      const auto lock = panel->ScopedRedrawLock();
      EXPECT_TRUE(Win::IsRedrawSuspended(wnd));
      throw std::runtime_error("host handler");
    },
    std::runtime_error);
  EXPECT_EQ(panel->LockReadrawCount(), 0);
  EXPECT_FALSE(Win::IsRedrawSuspended(wnd));
}

TEST_F(ControlBaseTest, LocksTakenWithoutAWindowOnlyCount)
{
  auto* panel = new TQxPanel(Form);
  panel->LockRedraw();
  panel->SetBounds(0, 0, 20, 20);
  panel->SetParent(Form);
  RunUntilIdle();
  EXPECT_FALSE(Win::IsRedrawSuspended(panel->Handle()));
  EXPECT_EQ(panel->LockReadrawCount(), 1);
  panel->UnlockRedraw(true);
  EXPECT_EQ(panel->LockReadrawCount(), 0);
}

TEST_F(ControlBaseTest, DestroyingTheWindowSendsMouseLeave)
{
  class TLeaveCounter : public TQxCustomControl {
  public:
    using TQxCustomControl::TQxCustomControl;
    int Leaves = 0;
    void Dispatch(TMessage& Message) override
    {
      Leaves += Message.Msg == Win::WM_MOUSELEAVE;
      inherited::Dispatch(Message);
    }
  };
  auto* control = Place(new TLeaveCounter(Form), Form, 0, 0, 20, 20);
  control->HandleNeeded();
  control->DestroyHandle();
  EXPECT_EQ(control->Leaves, 1);
  EXPECT_FALSE(control->HandleAllocated());
}

TEST_F(ControlBaseTest, AClickOnAPanelAtRunTimeReachesTheControlBeneath)
{
  Place(new TLoggedControl(Form), Form, 10, 10, 100, 100);
  auto* panel = new TQxPanel(Form);
  panel->SetBounds(20, 20, 60, 60);
  panel->OnMouseDown = [](TObject*, TMouseButton, TShiftState, Integer, Integer) { gLog.push_back("panel down"); };
  panel->SetParent(Form);
  RunUntilIdle();
  ClickOn(panel, 30, 30);
  EXPECT_EQ(gLog, std::vector<std::string>{"beneath down"});
}

TEST_F(ControlBaseTest, RightJustifiedAutoSizeKeepsThePanelsRightEdge)
{
  auto* panel = Place(new TQxPanel(Form), Form, 100, 10, 80, 40);
  Place(new TLoggedControl(Form), panel, 0, 0, 30, 20);
  panel->SetAlignment(taRightJustify);
  panel->SetAutoSize(true);
  EXPECT_EQ(panel->Width(), 30);
  EXPECT_EQ(panel->Left() + panel->Width(), 180);
}

// ---- UI elements ----------------------------------------------------------------

// A control that drives one element with its mouse messages and logs the
// state each paint shows.
class TElementHost : public TQxCustomControl {
public:
  explicit TElementHost(TComponent* AOwner) : TQxCustomControl(AOwner)
  {
    FControlStyle.Include(csCaptureMouse);
    Element = std::make_shared<TUIElement>(this, [this](const std::shared_ptr<IUIElement>& sender, TCanvas*,
                                                        TUIControlState state) {
      EXPECT_EQ(sender.get(), Element.get());
      Painted.push_back(state);
    });
    Element->SetRect(TRect(10, 10, 30, 30));
  }
  std::shared_ptr<TUIElement> Element;
  std::vector<TUIControlState> Painted;

  void Dispatch(TMessage& Message) override
  {
    inherited::Dispatch(Message);
    switch (Message.Msg) {
    case Win::WM_MOUSEMOVE:
      Element->MouseMove(MessageX(Message), MessageY(Message));
      break;
    case Win::WM_LBUTTONDOWN:
      Element->LButtonDown(MessageX(Message), MessageY(Message));
      break;
    case Win::WM_LBUTTONUP:
      Element->LButtonUp(MessageX(Message), MessageY(Message));
      break;
    case Win::WM_MOUSELEAVE:
      Element->MouseLeave();
      break;
    case CM_ENABLEDCHANGED:
      Element->EnabledChanged();
      break;
    }
  }

protected:
  void Paint() override { Element->Paint(Canvas()); }
};

TEST_F(ControlBaseTest, AnElementDraggedOutAndBackPaintsPressedHotPressed)
{
  auto* host = Place(new TElementHost(Form), Form, 10, 10, 100, 60);
  RunUntilIdle();
  MoveOnto(host, 20, 20);
  Press();
  host->Painted.clear();
  MoveOnto(host, 60, 40);
  EXPECT_EQ(host->Element->State(), uicsPressed);
  MoveOnto(host, 20, 20);
  EXPECT_EQ(host->Painted, (std::vector<TUIControlState>{uicsHot, uicsPressed}));
  MoveOnto(host, 60, 40);
  Release();
  EXPECT_EQ(host->Element->State(), uicsNormal);
}

// The press/drag/release table, driven the way an owner forwards its
// messages. MouseInItem follows the moves alone: a release changes only the
// state, so a release at a point the mouse never moved to keeps the last
// move's answer, and the next press there paints as that answer says.
TEST_F(ControlBaseTest, TheElementsStateTableForPressDragAndRelease)
{
  struct TStep {
    char Input; // 'm' move, 'd' down, 'u' up
    int X, Y;
  };
  constexpr TStep in1{'m', 15, 15}, out1{'m', 50, 50};
  const auto down = [](int x, int y) { return TStep{'d', x, y}; };
  const auto up = [](int x, int y) { return TStep{'u', x, y}; };
  struct TCase {
    const char* Name;
    std::vector<TStep> Steps;
    TUIControlState State;
    bool MouseInItem;
    TUIControlState Painted;
  };
  const std::vector<TCase> cases = {
    {"press, release inside", {in1, down(15, 15), up(15, 15)}, uicsHot, true, uicsHot},
    {"drag out, release outside", {in1, down(15, 15), out1, up(50, 50)}, uicsNormal, false, uicsNormal},
    {"drag out and back, release inside", {in1, down(15, 15), out1, in1, up(15, 15)}, uicsHot, true, uicsHot},
    {"release outside after a move inside", {in1, down(15, 15), up(50, 50)}, uicsNormal, true, uicsNormal},
    {"release inside after a move outside", {in1, down(15, 15), out1, up(15, 15)}, uicsHot, false, uicsHot},
    {"...and the next press there", {in1, down(15, 15), out1, up(15, 15), down(15, 15)}, uicsPressed, false,
     uicsHot},
    {"...until the mouse moves in", {in1, down(15, 15), out1, up(15, 15), down(15, 15), in1}, uicsPressed, true,
     uicsPressed},
    {"a press on a normal element", {out1, down(15, 15)}, uicsNormal, false, uicsNormal},
    {"a press outside a hot one", {in1, down(50, 50)}, uicsHot, true, uicsHot},
    {"a release with nothing pressed", {out1, up(15, 15)}, uicsNormal, false, uicsNormal},
  };
  auto* host = Place(new TElementHost(Form), Form, 10, 10, 100, 60);
  for (const TCase& c : cases) {
    auto& e = *host->Element;
    e.MouseLeave();
    e.SetState(uicsNormal);
    for (const TStep& step : c.Steps) {
      if (step.Input == 'm')
        e.MouseMove(step.X, step.Y);
      else if (step.Input == 'd')
        e.LButtonDown(step.X, step.Y);
      else
        e.LButtonUp(step.X, step.Y);
    }
    host->Painted.clear();
    e.Paint(host->Canvas());
    EXPECT_EQ(e.State(), c.State) << c.Name;
    EXPECT_EQ(e.MouseInItem(), c.MouseInItem) << c.Name;
    EXPECT_EQ(host->Painted, std::vector<TUIControlState>{c.Painted}) << c.Name;
  }
}

TEST_F(ControlBaseTest, ADisabledElementIgnoresTheMouseUntilEnabled)
{
  auto* host = Place(new TElementHost(Form), Form, 10, 10, 100, 60);
  RunUntilIdle();
  host->SetEnabled(false);
  EXPECT_EQ(host->Element->State(), uicsDisabled);
  host->Element->MouseMove(20, 20);
  EXPECT_EQ(host->Element->State(), uicsDisabled);
  host->SetEnabled(true);
  EXPECT_EQ(host->Element->State(), uicsNormal);
  host->Element->MouseMove(20, 20);
  EXPECT_EQ(host->Element->State(), uicsHot);
}

TEST_F(ControlBaseTest, AKeyPressedElementPaintsPressedAndKeyUpFollowsTheCursor)
{
  auto* host = Place(new TElementHost(Form), Form, 10, 10, 100, 60);
  RunUntilIdle();
  MoveOnto(host, 80, 50);
  host->Element->KeyDown();
  host->Painted.clear();
  host->Repaint();
  EXPECT_EQ(host->Painted, std::vector<TUIControlState>{uicsPressed});
  host->Element->KeyUp();
  EXPECT_EQ(host->Element->State(), uicsNormal);
}

// ---- frame host -----------------------------------------------------------------------

// A page class: a component holding a frame client whose events are logged
// under the page's name.
class TLoggedPage : public TComponent {
public:
  TLoggedPage(TComponent* AOwner, const std::string& Name) : TComponent(AOwner)
  {
    Client = new TQxFrameClient(this);
    auto log = [Name](const char* what) { return [Name, what](TObject*) { gLog.push_back(Name + "." + what); }; };
    Client->OnBeforeEnter = log("OnBeforeEnter");
    Client->OnEnter = log("OnEnter");
    Client->OnBeforeLeave = log("OnBeforeLeave");
    Client->OnLeave = log("OnLeave");
    Client->OnResize = log("OnResize");
  }
  TQxFrameClient* Client;
};

class TPageA : public TLoggedPage {
  QX_CLASS(TPageA, TComponent)
public:
  explicit TPageA(TComponent* AOwner) : TLoggedPage(AOwner, "A") {}
};

class TPageB : public TLoggedPage {
  QX_CLASS(TPageB, TComponent)
public:
  explicit TPageB(TComponent* AOwner) : TLoggedPage(AOwner, "B") {}
};

int gClientlessInstances = 0;

class TClientlessPage : public TComponent {
  QX_CLASS(TClientlessPage, TComponent)
public:
  explicit TClientlessPage(TComponent* AOwner) : TComponent(AOwner) { ++gClientlessInstances; }
};

class TFailingPage : public TComponent {
  QX_CLASS(TFailingPage, TComponent)
public:
  explicit TFailingPage(TComponent* AOwner) : TComponent(AOwner) { throw std::runtime_error("no page"); }
};

class FrameHostTest : public ControlBaseTest {
protected:
  void SetUp() override
  {
    ControlBaseTest::SetUp();
    Host = new TQxFrameHost(Form);
    Host->SetParent(Form);
    RunUntilIdle();
    gLog.clear();
  }
  TQxFrameHost* Host = nullptr;
};

TEST_F(FrameHostTest, SwitchingPagesFiresLeaveThenEnterAndResizesANewPageOnce)
{
  Host->SetFrame<TPageA>();
  TQxFrameClient* a = Host->Frame();
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(gLog, (std::vector<std::string>{"A.OnResize", "A.OnBeforeEnter", "A.OnEnter"}));
  EXPECT_EQ(a->BoundsRect(), Host->ClientRect());
  gLog.clear();

  Host->SetFrame<TPageB>();
  TQxFrameClient* b = Host->Frame();
  // The new page is made (and adopted) before the old one is left.
  EXPECT_EQ(gLog, (std::vector<std::string>{"B.OnResize", "A.OnBeforeLeave", "A.OnLeave", "B.OnBeforeEnter",
                                            "B.OnEnter"}));
  EXPECT_FALSE(a->Visible());
  EXPECT_FALSE(a->IsActive());
  EXPECT_TRUE(b->Visible());
  EXPECT_TRUE(b->IsActive());
  EXPECT_EQ(Host->LockReadrawCount(), 0);
  EXPECT_FALSE(Win::IsRedrawSuspended(Host->Handle()));
}

TEST_F(FrameHostTest, ThePageClassIsCreatedOnceAndTheCurrentPageIsNotSwitchedAgain)
{
  Host->SetFrame<TPageA>();
  TQxFrameClient* a = Host->Frame();
  const int owned = Host->ComponentCount();
  gLog.clear();
  Host->SetFrame<TPageA>();
  EXPECT_TRUE(gLog.empty());
  Host->SetFrame<TPageB>();
  Host->SetFrame<TPageA>();
  EXPECT_EQ(Host->Frame(), a);
  EXPECT_EQ(Host->ComponentCount(), owned + 1);
}

TEST_F(FrameHostTest, AClassWithoutAFrameClientIsRememberedNotCreatedAgain)
{
  gClientlessInstances = 0;
  EXPECT_EQ(Host->AddFrame<TClientlessPage>(), nullptr);
  EXPECT_EQ(Host->AddFrame<TClientlessPage>(), nullptr);
  EXPECT_EQ(gClientlessInstances, 1);
}

TEST_F(FrameHostTest, AFailingPageClassLeavesTheCurrentPageAndAFreedPageIsForgotten)
{
  Host->SetFrame<TPageA>();
  TQxFrameClient* a = Host->Frame();
  EXPECT_THROW(Host->SetFrame<TFailingPage>(), std::runtime_error);
  EXPECT_EQ(Host->Frame(), a);
  EXPECT_TRUE(a->Visible());
  delete a;
  EXPECT_EQ(Host->Frame(), nullptr);
  Host->SetFrame<TPageB>();
  EXPECT_NE(Host->Frame(), nullptr);
}

// A page's handler that raises passes its exception to the caller; the
// host's redraw lock is released all the same, and the host draws again. The
// host's Frame is the page still shown, if any, and the switch can be asked
// for again.
TEST_F(FrameHostTest, APageHandlerThatRaisesLeavesTheHostDrawing)
{
  using THandler = TNotifyEvent TQxCustomFrameClient::*;
  struct TCase {
    const char* Name;
    THandler Handler;
    char Shown; // the page shown after the failure: 'A', 'B' or none
  };
  const std::vector<TCase> raising = {
    {"A.OnBeforeLeave", &TQxCustomFrameClient::OnBeforeLeave, 'A'},
    {"A.OnLeave", &TQxCustomFrameClient::OnLeave, 0},
    {"B.OnBeforeEnter", &TQxCustomFrameClient::OnBeforeEnter, 0},
    {"B.OnEnter", &TQxCustomFrameClient::OnEnter, 'B'},
  };
  delete Host; // each case gets a fresh host filling the form
  Host = nullptr;
  for (const auto& [name, handler, shown] : raising) {
    auto* host = new TQxFrameHost(Form);
    host->SetParent(Form);
    host->SetFrame<TPageA>();
    TQxFrameClient* a = host->Frame();
    TQxFrameClient* b = host->AddFrame<TPageB>();
    TQxFrameClient* culprit = name[0] == 'A' ? a : b;
    culprit->*handler = [](TObject*) { throw std::runtime_error("host handler"); };
    EXPECT_THROW(host->SetFrame<TPageB>(), std::runtime_error) << name;
    EXPECT_EQ(host->LockReadrawCount(), 0) << name;
    EXPECT_FALSE(Win::IsRedrawSuspended(host->Handle())) << name;
    EXPECT_EQ(host->Frame(), shown == 'A' ? a : shown == 'B' ? b : nullptr) << name;
    EXPECT_EQ(a->Visible(), shown == 'A') << name;
    EXPECT_EQ(b->Visible(), shown == 'B') << name;

    for (TControl* c : std::initializer_list<TControl*>{host, a, b})
      c->SetColor(clRed);
    RunUntilIdle();
    EXPECT_EQ(ControlPixel(Form, Form->ClientWidth() / 2, Form->ClientHeight() / 2), clRed) << name;

    culprit->*handler = nullptr;
    host->SetFrame<TPageB>();
    EXPECT_EQ(host->Frame(), b) << name;
    EXPECT_TRUE(b->Visible() && b->IsActive()) << name;
    delete host;
  }
}

TEST_F(FrameHostTest, DesignTimeFramesAreDashedAndRunTimeShowsOnlyTheBackground)
{
  Host->SetColor(clWhite);
  Host->SetFrame<TPageA>();
  Host->Frame()->SetColor(clWhite);
  RunUntilIdle();
  EXPECT_EQ(ControlPixel(Host, 0, 0), clWhite);
  Host->Frame()->SetDesigning(true);
  Host->Frame()->Invalidate();
  RunUntilIdle();
  EXPECT_EQ(ControlPixel(Host, 0, 0), clBlack);
}

} // namespace
