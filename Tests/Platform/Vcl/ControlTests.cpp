#include "TestControls.hpp"
#include <Vcl.Graphics.Measure.hpp>

namespace QxTest {

TEST_F(ControlTest, ParentsEraseAndPaintBeforeChildrenAndGraphicControlsPaintInTheirParent)
{
  TForm* form = MakeForm(100, 100, 300, 200);
  auto* outer = Place(new TTestControl(form, "outer"), form, 10, 10, 200, 150, clYellow);
  outer->FrameColor = clBlack;
  auto* box = Place(new TBox(form, "box"), outer, 30, 40, 20, 10, clRed);
  auto* inner = Place(new TTestControl(form, "inner"), outer, 100, 50, 50, 50, clBlue);
  RunUntilIdle();
  gEvents.clear();
  outer->Invalidate();
  inner->Invalidate();
  RunUntilIdle();
  EXPECT_EQ(gEvents, (std::vector<std::string>{"outer:erase", "outer:paint", "box:paint", "inner:erase", "inner:paint"}));
  // The box paints at its own place: its canvas's (0, 0) is its top left.
  EXPECT_EQ(WindowPixel(outer->Handle(), 30, 40), Ref(clRed));
  EXPECT_EQ(WindowPixel(outer->Handle(), 49, 49), Ref(clRed));
  EXPECT_EQ(WindowPixel(outer->Handle(), 50, 40), Ref(clYellow));
  EXPECT_EQ(ControlPixel(box, 0, 0), Ref(clRed));
  EXPECT_EQ(ControlPixel(box, 20, 0), Ref(clYellow));
  EXPECT_EQ(WindowPixel(outer->Handle(), 0, 0), Ref(clBlack));
  EXPECT_EQ(WindowPixel(inner->Handle(), 25, 25), Ref(clBlue));
}

TEST_F(ControlTest, ChildrenClipTheirParentAndAGraphicControlRepaintsOnlyItsArea)
{
  TForm* form = MakeForm(0, 0, 200, 200);
  auto* panel = Place(new TTestControl(form, "panel"), form, 0, 0, 200, 200, clWhite);
  Place(new TTestControl(form, "child"), panel, 50, 50, 40, 40, clGreen);
  auto* box = Place(new TBox(form, "box"), panel, 150, 150, 20, 20, clRed);
  RunUntilIdle();
  gEvents.clear();
  panel->SetColor(clSilver);
  RunUntilIdle();
  EXPECT_EQ(gEvents, (std::vector<std::string>{"panel:erase", "panel:paint", "box:paint"}));
  EXPECT_EQ(WindowPixel(panel->Handle(), 60, 60), Ref(clGreen)) << "WS_CLIPCHILDREN keeps the child's pixels";
  EXPECT_EQ(WindowPixel(panel->Handle(), 10, 10), Ref(clSilver));
  gEvents.clear();
  box->SetColor(clBlue);
  RunUntilIdle();
  EXPECT_EQ(gEvents, (std::vector<std::string>{"panel:paint", "box:paint"})) << "opaque: no erase";
  EXPECT_EQ(WindowPixel(panel->Handle(), 160, 160), Ref(clBlue));
}

TEST_F(ControlTest, DoubleBufferedControlsEraseTheirBufferWithBothParametersEqual)
{
  TForm* form = MakeForm(0, 0, 100, 100);
  auto* c = Place(new TTestControl(form, "c"), form, 10, 10, 50, 50, clLime);
  c->FrameColor = clBlack;
  c->SetDoubleBuffered(true);
  Place(new TBox(form, "box"), c, 5, 5, 10, 10, clRed);
  RunUntilIdle();
  EXPECT_TRUE(c->SawBufferedErase);
  EXPECT_EQ(ScreenPixel(10 + 25, 10 + 25), Ref(clLime));
  EXPECT_EQ(ScreenPixel(10, 10), Ref(clBlack));
  EXPECT_EQ(ScreenPixel(10 + 7, 10 + 7), Ref(clRed));

  // PaintTo draws the control and its children anywhere.
  TBitmap bitmap(60, 60);
  c->PaintTo(bitmap.Canvas(), 5, 5);
  EXPECT_EQ(bitmap.Canvas()->Pixels(5 + 25, 5 + 25), clLime);
  EXPECT_EQ(bitmap.Canvas()->Pixels(5 + 7, 5 + 7), clRed);
}

TEST_F(ControlTest, FiveAlignedChildrenShareTheClientAreaAndNest)
{
  TForm* form = MakeForm(0, 0, 400, 300);
  auto make = [&](TWinControl* parent, TAlign align, int size) {
    auto* c = new TTestControl(form);
    c->SetBounds(0, 0, size, size);
    c->SetAlign(align);
    c->SetParent(parent);
    return c;
  };
  auto* client = make(form, alClient, 10);
  auto* top = make(form, alTop, 30);
  auto* bottom = make(form, alBottom, 40);
  auto* left = make(form, alLeft, 50);
  auto* right = make(form, alRight, 60);
  EXPECT_EQ(top->BoundsRect(), TRect(0, 0, 400, 30));
  EXPECT_EQ(bottom->BoundsRect(), TRect(0, 260, 400, 300));
  EXPECT_EQ(left->BoundsRect(), TRect(0, 30, 50, 260));
  EXPECT_EQ(right->BoundsRect(), TRect(340, 30, 400, 260));
  EXPECT_EQ(client->BoundsRect(), TRect(50, 30, 340, 260));
  // Inside the client control, a second set.
  auto* top2 = make(client, alTop, 10);
  auto* top3 = make(client, alTop, 5);
  auto* fill = make(client, alClient, 1);
  EXPECT_EQ(top2->BoundsRect(), TRect(0, 0, 290, 10));
  EXPECT_EQ(top3->BoundsRect(), TRect(0, 10, 290, 15));
  EXPECT_EQ(fill->BoundsRect(), TRect(0, 15, 290, 230));
  // Resizing the form re-aligns everything down the tree.
  form->SetBounds(0, 0, 500, 400);
  EXPECT_EQ(client->BoundsRect(), TRect(50, 30, 440, 360));
  EXPECT_EQ(fill->BoundsRect(), TRect(0, 15, 390, 330));
  // Hiding an aligned control gives its space to the others.
  left->Hide();
  EXPECT_EQ(client->BoundsRect(), TRect(0, 30, 440, 360));
  RunUntilIdle();
  EXPECT_EQ(Win::CaptureWindow(fill->Handle()).Width, 440);
}

TEST_F(ControlTest, AnchoredControlsFollowTheEdgesTheyAreAnchoredTo)
{
  TForm* form = MakeForm(0, 0, 200, 100);
  auto* corner = Place(new TTestControl(form), form, 150, 60, 40, 30);
  corner->SetAnchors({akRight, akBottom});
  auto* stretch = Place(new TTestControl(form), form, 10, 10, 180, 20);
  stretch->SetAnchors({akLeft, akTop, akRight});
  auto* fixed = Place(new TTestControl(form), form, 10, 40, 20, 20);
  form->SetBounds(0, 0, 300, 150);
  EXPECT_EQ(corner->BoundsRect(), TRect(250, 110, 290, 140));
  EXPECT_EQ(stretch->BoundsRect(), TRect(10, 10, 290, 30));
  EXPECT_EQ(fixed->BoundsRect(), TRect(10, 40, 30, 60));
  form->SetBounds(0, 0, 120, 80);
  EXPECT_EQ(corner->BoundsRect(), TRect(70, 40, 110, 70));
  EXPECT_EQ(stretch->BoundsRect(), TRect(10, 10, 110, 30));
}

TEST_F(ControlTest, AutoSizeAsksCanAutoSizeAndConstraintsLimitIt)
{
  TForm* form = MakeForm(0, 0, 200, 200);
  auto* box = Place(new TBox(form), form, 10, 10, 50, 50);
  box->Content = TSize(33, 12);
  EXPECT_EQ(box->Width(), 50) << "no auto-size yet";
  box->SetAutoSize(true);
  EXPECT_EQ(box->BoundsRect(), TRect(10, 10, 43, 22));
  box->Content = TSize(80, 12);
  box->AdjustSize();
  EXPECT_EQ(box->Width(), 80);
  box->SetWidth(5); // auto-size wins
  EXPECT_EQ(box->Width(), 80);
  box->Constraints()->SetMaxWidth(60);
  EXPECT_EQ(box->Width(), 60);
  int resized = 0;
  box->OnResize = [&](TObject*) { ++resized; };
  box->OnCanResize = [](TObject*, Integer&, Integer&, bool& allow) { allow = false; };
  box->Content = TSize(20, 20);
  box->AdjustSize();
  EXPECT_EQ(box->Width(), 60) << "CanResize refused";
  EXPECT_EQ(resized, 0);
}

TEST_F(ControlTest, HitTestTransparentControlsLetClicksThroughToTheControlBeneath)
{
  TForm* form = MakeForm(0, 0, 200, 200);
  auto* beneath = Place(new TTestControl(form, "beneath"), form, 0, 0, 200, 200);
  auto* glass = Place(new TTestControl(form, "glass"), form, 20, 20, 100, 100);
  glass->HitTestAnswer = Win::HTTRANSPARENT;
  int beneathClicks = 0, glassClicks = 0;
  beneath->OnClick = [&](TObject*) { ++beneathClicks; };
  glass->OnClick = [&](TObject*) { ++glassClicks; };
  ClickOn(form, 50, 50);
  EXPECT_EQ(beneathClicks, 1);
  EXPECT_EQ(glassClicks, 0);
  glass->HitTestAnswer = Win::HTCLIENT;
  ClickOn(form, 50, 50);
  EXPECT_EQ(glassClicks, 1);

  // A graphic control that answers CM_HITTEST with 0 lets its parent have the click.
  class TGhost : public TBox {
  public:
    using TBox::TBox;
    void Dispatch(TMessage& M) override
    {
      if (M.Msg == CM_HITTEST) {
        M.Result = 0;
        return;
      }
      TBox::Dispatch(M);
    }
  };
  auto* ghost = Place(new TGhost(form), glass, 0, 0, 30, 30);
  int ghostClicks = 0;
  ghost->OnClick = [&](TObject*) { ++ghostClicks; };
  ClickOn(glass, 10, 10);
  EXPECT_EQ(ghostClicks, 0);
  EXPECT_EQ(glassClicks, 2);
}

TEST_F(ControlTest, CaptureFollowsADragAndTheClickNeedsTheReleaseInside)
{
  TForm* form = MakeForm(0, 0, 300, 100);
  auto* box = Place(new TBox(form, "box"), form, 10, 10, 50, 50);
  std::vector<TPoint> moves;
  int clicks = 0, ups = 0;
  box->OnMouseMove = [&](TObject*, TShiftState, Integer x, Integer y) { moves.emplace_back(x, y); };
  box->OnMouseUp = [&](TObject*, TMouseButton, TShiftState, Integer, Integer) { ++ups; };
  box->OnClick = [&](TObject*) { ++clicks; };
  MoveOnto(box, 5, 5);
  Press();
  EXPECT_TRUE(box->MouseCapture());
  MoveOnto(form, 250, 80);
  EXPECT_EQ(moves.back(), TPoint(240, 70)) << "the captured box still hears the mouse, in its coordinates";
  Release();
  EXPECT_EQ(ups, 1);
  EXPECT_EQ(clicks, 0) << "released outside";
  EXPECT_FALSE(box->MouseCapture());
  ClickOn(box, 5, 5);
  EXPECT_EQ(clicks, 1);
  // Without csDoubleClicks a double click is a second press and a second click.
  ClickOn(box, 5, 5);
  EXPECT_EQ(clicks, 2);
}

TEST_F(ControlTest, GraphicControlsHearTheMouseEnterAndLeave)
{
  TForm* form = MakeForm(0, 0, 200, 100);
  auto* box = Place(new TBox(form), form, 10, 10, 50, 50);
  auto* win = Place(new TTestControl(form), form, 100, 10, 50, 50);
  std::vector<std::string> seen;
  box->OnMouseEnter = [&](TObject*) { seen.push_back("box enter"); };
  box->OnMouseLeave = [&](TObject*) { seen.push_back("box leave"); };
  win->OnMouseEnter = [&](TObject*) { seen.push_back("win enter"); };
  win->OnMouseLeave = [&](TObject*) { seen.push_back("win leave"); };
  MoveOnto(form, 5, 5);
  MoveOnto(box, 10, 10);
  MoveOnto(box, 20, 20);
  MoveOnto(form, 80, 30);
  MoveOnto(win, 5, 5);
  MoveTo(900, 700);
  EXPECT_EQ(seen, (std::vector<std::string>{"box enter", "box leave", "win enter", "win leave"}));
  MoveOnto(box, 10, 10);
  MoveTo(900, 700); // straight off the form from the box
  EXPECT_EQ(seen.back(), "box leave");
  EXPECT_EQ(MouseControl(), nullptr);
}

TEST_F(ControlTest, TheCursorIsThatOfTheControlUnderTheMouse)
{
  TForm* form = MakeForm(0, 0, 200, 100);
  auto* link = Place(new TBox(form), form, 10, 10, 50, 50);
  link->SetCursor(crHandPoint);
  auto* edit = Place(new TTestControl(form), form, 100, 10, 50, 50);
  edit->SetCursor(crIBeam);
  MoveOnto(link, 5, 5);
  EXPECT_EQ(Win::GetCursor(), Win::LoadCursor(nullptr, Win::IDC_HAND));
  MoveOnto(edit, 5, 5);
  EXPECT_EQ(Win::GetCursor(), Win::LoadCursor(nullptr, Win::IDC_IBEAM));
  MoveOnto(form, 80, 80);
  EXPECT_EQ(Win::GetCursor(), Win::LoadCursor(nullptr, Win::IDC_ARROW));
  Screen->SetCursor(crHourGlass);
  MoveOnto(link, 6, 6);
  EXPECT_EQ(Win::GetCursor(), Win::LoadCursor(nullptr, Win::IDC_WAIT));
  Screen->SetCursor(crDefault);
  EXPECT_EQ(Win::GetCursor(), Win::LoadCursor(nullptr, Win::IDC_HAND));
  EXPECT_NE(Screen->Cursors(crDrag), nullptr);
  EXPECT_EQ(crHandPoint, -21);
  EXPECT_EQ(crDrag, -12);
}

TEST_F(ControlTest, FontsColoursBiDiModeAndBufferingFlowFromParentsUntilAChildSetsItsOwn)
{
  TForm* form = MakeForm(0, 0, 200, 100);
  auto* panel = new TPanel(form);
  panel->SetParent(form);
  panel->SetParentColor(true);
  auto* box = new TBox(form);
  box->SetParent(panel);
  box->SetParentColor(true);
  int fontChanges = 0;
  class TFontWatcher : public TBox {
  public:
    TFontWatcher(TComponent* o, int* n) : TBox(o), FCount(n) {}
    void Dispatch(TMessage& M) override
    {
      if (M.Msg == CM_FONTCHANGED)
        ++*FCount;
      TBox::Dispatch(M);
    }
    int* FCount;
  };
  auto* watcher = new TFontWatcher(form, &fontChanges);
  watcher->SetParent(panel);
  form->Font()->SetSize(14);
  EXPECT_EQ(panel->Font()->Size(), 14);
  EXPECT_EQ(watcher->Font()->Size(), 14);
  EXPECT_GE(fontChanges, 1);
  EXPECT_TRUE(watcher->ParentFont());
  watcher->Font()->SetSize(20);
  EXPECT_FALSE(watcher->ParentFont());
  form->Font()->SetSize(9);
  EXPECT_EQ(watcher->Font()->Size(), 20);
  form->SetColor(clAqua);
  EXPECT_EQ(panel->Color(), clAqua);
  EXPECT_EQ(box->Color(), clAqua);
  box->SetColor(clRed);
  EXPECT_FALSE(box->ParentColor());

  // Reading order: through the panel down to the graphic box; a mode of the
  // box's own holds until it follows its parent again.
  form->SetBiDiMode(bdRightToLeft);
  EXPECT_EQ(panel->BiDiMode(), bdRightToLeft);
  EXPECT_TRUE(box->UseRightToLeftAlignment());
  EXPECT_EQ(box->DrawTextBiDiModeFlags(Win::DT_LEFT), Win::DT_RIGHT | Win::DT_RTLREADING);
  EXPECT_EQ(box->DrawTextBiDiModeFlags(Win::DT_RIGHT), Win::DT_LEFT | Win::DT_RTLREADING);
  EXPECT_EQ(box->DrawTextBiDiModeFlags(Win::DT_CENTER), Win::DT_CENTER | Win::DT_RTLREADING);
  box->SetBiDiMode(bdLeftToRight);
  EXPECT_FALSE(box->ParentBiDiMode());
  form->SetBiDiMode(bdRightToLeftReadingOnly);
  EXPECT_EQ(box->BiDiMode(), bdLeftToRight);
  EXPECT_FALSE(panel->UseRightToLeftAlignment());
  EXPECT_TRUE(panel->UseRightToLeftReading());
  EXPECT_EQ(panel->DrawTextBiDiModeFlags(Win::DT_LEFT), Win::DT_RTLREADING);
  box->SetParentBiDiMode(true);
  EXPECT_EQ(box->BiDiMode(), bdRightToLeftReadingOnly);
  // A control put into a right-to-left parent takes its mode.
  auto* late = new TBox(form);
  late->SetParent(panel);
  EXPECT_EQ(late->BiDiMode(), bdRightToLeftReadingOnly);

  // Double buffering flows between windowed controls the same way.
  auto* inner = new TPanel(form);
  inner->SetParent(panel);
  panel->SetDoubleBuffered(true);
  EXPECT_FALSE(panel->ParentDoubleBuffered());
  EXPECT_TRUE(inner->DoubleBuffered());
  EXPECT_TRUE(inner->ParentDoubleBuffered());
  inner->SetDoubleBuffered(false);
  EXPECT_FALSE(inner->ParentDoubleBuffered());
  panel->SetDoubleBuffered(false);
  panel->SetDoubleBuffered(true);
  EXPECT_FALSE(inner->DoubleBuffered());
  inner->SetParentDoubleBuffered(true);
  EXPECT_TRUE(inner->DoubleBuffered());
}

TEST_F(ControlTest, HandlesComeAndGoWithTheControlTree)
{
  TForm* form = MakeForm(0, 0, 200, 100);
  auto* orphan = new TTestControl(form);
  EXPECT_THROW(orphan->Handle(), EInvalidOperation);
  orphan->SetParent(form);
  EXPECT_TRUE(orphan->HandleAllocated());
  Win::HWND first = orphan->Handle();
  orphan->SetText("caption");
  EXPECT_EQ(Win::GetWindowTextString(first), "caption");
  orphan->RecreateWnd();
  EXPECT_FALSE(Win::IsWindow(first));
  EXPECT_TRUE(orphan->HandleAllocated());
  EXPECT_EQ(Win::GetWindowTextString(orphan->Handle()), "caption");
  EXPECT_EQ(FindControl(orphan->Handle()), orphan);
  orphan->Hide();
  EXPECT_FALSE(Win::IsWindowVisible(orphan->Handle()));
  orphan->SetParent(nullptr);
  EXPECT_FALSE(orphan->HandleAllocated());
  EXPECT_THROW(form->SetParent(form), EInvalidOperation);
  delete orphan;
  // Destroying a parent destroys its children.
  auto* panel = new TPanel(nullptr);
  auto* child = new TBox(nullptr);
  child->SetParent(panel);
  panel->SetParent(form);
  int freed = 0;
  class TCounted : public TBox {
  public:
    TCounted(TComponent* o, int* n) : TBox(o), FCount(n) {}
    ~TCounted() override { ++*FCount; }
    int* FCount;
  };
  (new TCounted(nullptr, &freed))->SetParent(panel);
  delete panel;
  EXPECT_EQ(freed, 1);
}

TEST_F(ControlTest, ChildrenMovedByTheWindowSystemKeepTheirBoundsInStep)
{
  TForm* form = MakeForm(0, 0, 300, 200);
  auto* a = Place(new TTestControl(form), form, 0, 0, 100, 20);
  auto* b = Place(new TTestControl(form), form, 0, 20, 100, 20);
  auto* anchored = Place(new TTestControl(form), b, 60, 0, 40, 20);
  anchored->SetAnchors({akTop, akRight});
  int resizes = 0;
  b->OnResize = [&](TObject*) { ++resizes; };
  Win::HDWP batch = Win::BeginDeferWindowPos(2);
  batch = Win::DeferWindowPos(batch, a->Handle(), nullptr, 5, 0, 100, 50, Win::SWP_NOZORDER);
  batch = Win::DeferWindowPos(batch, b->Handle(), nullptr, 5, 50, 150, 20, Win::SWP_NOZORDER);
  ASSERT_TRUE(Win::EndDeferWindowPos(batch));
  EXPECT_EQ(a->BoundsRect(), TRect(5, 0, 105, 50));
  EXPECT_EQ(b->BoundsRect(), TRect(5, 50, 155, 70));
  EXPECT_EQ(resizes, 1);
  EXPECT_EQ(anchored->BoundsRect(), TRect(110, 0, 150, 20)) << "the children follow their parent's new size";
  // A later SetBounds starts from where the window really is.
  b->SetTop(80);
  EXPECT_EQ(b->BoundsRect(), TRect(5, 80, 155, 100));
}

TEST_F(ControlTest, TextIsMeasuredWithoutAWindowAsTheWindowMeasuresIt)
{
  auto* orphan = new TTestControl(Application);
  orphan->Font()->SetName("DejaVu Sans");
  orphan->Font()->SetSize(14);
  TSize measured = TMeasureCanvas(orphan->Font()).TextExtent("Section title");
  EXPECT_FALSE(orphan->HandleAllocated()) << "measuring made no window";
  TForm* form = MakeForm(0, 0, 300, 200);
  orphan->SetParent(form);
  orphan->Canvas()->Font()->Assign(orphan->Font());
  EXPECT_EQ(measured, orphan->Canvas()->TextExtent("Section title"));
  EXPECT_GT(measured.cx, TMeasureCanvas().TextExtent("Section title").cx) << "the default font is smaller";
}

} // namespace QxTest
