// The framework controls in form resources: a designer-made resource builds
// a working form, and what a live form writes reads back the same.
#include "TestControls.hpp"

#include <QxFormCompare.hpp>
#include <System.Classes.Streaming.hpp>
#include <Vcl.Controls.Padding.hpp>
#include <Vcl.Menus.hpp>

#include <memory>

namespace QxTest {

namespace {

// As a form designer saves a small dialog, notes about the designer included.
const String SavedDialog = "object Dialog: TForm\n"
                              "  Left = 200\n"
                              "  Top = 120\n"
                              "  BorderStyle = bsDialog\n"
                              "  Caption = 'Settings'\n"
                              "  ClientHeight = 150\n"
                              "  ClientWidth = 320\n"
                              "  Color = clBtnFace\n"
                              "  Font.Charset = DEFAULT_CHARSET\n"
                              "  Font.Color = clWindowText\n"
                              "  Font.Height = -11\n"
                              "  Font.Name = 'Tahoma'\n"
                              "  Font.Style = []\n"
                              "  KeyPreview = True\n"
                              "  OldCreateOrder = False\n"
                              "  Position = poScreenCenter\n"
                              "  PixelsPerInch = 96\n"
                              "  TextHeight = 13\n"
                              "  object Header: TPanel\n"
                              "    Left = 0\n"
                              "    Top = 0\n"
                              "    Width = 320\n"
                              "    Height = 41\n"
                              "    Align = alTop\n"
                              "    BevelOuter = bvLowered\n"
                              "    Caption = 'Header'\n"
                              "    Cursor = crHandPoint\n"
                              "    Constraints.MinHeight = 30\n"
                              "    PopupMenu = HeaderMenu\n"
                              "    TabOrder = 1\n"
                              "    OnClick = HeaderClick\n"
                              "    Padding.Left = 6\n"
                              "  end\n"
                              "  object OkButton: TButton\n"
                              "    Left = 152\n"
                              "    Top = 112\n"
                              "    Width = 75\n"
                              "    Height = 25\n"
                              "    Anchors = [akRight, akBottom]\n"
                              "    Caption = 'OK'\n"
                              "    Default = True\n"
                              "    ModalResult = 1\n"
                              "    Margins.Left = 10\n"
                              "    TabOrder = 0\n"
                              "  end\n"
                              "  object Ticker: TTimer\n"
                              "    Interval = 250\n"
                              "    OnTimer = Tick\n"
                              "    Left = 8\n"
                              "    Top = 96\n"
                              "  end\n"
                              "  object HeaderMenu: TPopupMenu\n"
                              "    Alignment = paRight\n"
                              "    OnPopup = HeaderClick\n"
                              "  end\n"
                              "end\n";

class ControlStreamingTest : public ControlTest {
protected:
  ControlStreamingTest()
  {
    FMethods.Add<void(TObject*)>("HeaderClick", [this](TObject*) { ++FClicks; });
    FMethods.Add<void(TObject*)>("Tick", [this](TObject*) { ++FTicks; });
  }

  std::unique_ptr<TForm> Read(const String& Text) { return ReadAs<TForm>(Text, &FMethods); }

  TMethodTable FMethods;
  int FClicks = 0;
  int FTicks = 0;
};

TEST_F(ControlStreamingTest, ASavedResourceBuildsAWorkingFormAndWritesBackItsDesignerLayout)
{
  auto form = Read(SavedDialog);
  ASSERT_TRUE(form);
  EXPECT_EQ(form->Caption(), "Settings");
  EXPECT_EQ(form->BorderStyle(), bsDialog);
  EXPECT_EQ(form->Position(), poScreenCenter);
  EXPECT_TRUE(form->KeyPreview());
  EXPECT_EQ(form->ClientWidth(), 320);
  EXPECT_EQ(form->ClientHeight(), 150);
  EXPECT_EQ(form->Font()->Name(), "Tahoma");
  EXPECT_EQ(form->Font()->Height(), -11);
  EXPECT_FALSE(form->ParentFont());

  auto* header = FindIn<TPanel>(form.get(), "Header");
  auto* ok = FindIn<TButton>(form.get(), "OkButton");
  auto* ticker = FindIn<TTimer>(form.get(), "Ticker");
  auto* menu = FindIn<TPopupMenu>(form.get(), "HeaderMenu");
  ASSERT_TRUE(header && ok && ticker && menu);
  EXPECT_EQ(header->Parent(), form.get());
  EXPECT_EQ(header->BevelOuter(), bvLowered);
  EXPECT_EQ(header->Cursor(), crHandPoint);
  EXPECT_EQ(header->Constraints()->MinHeight(), 30);
  EXPECT_EQ(header->Color(), clBtnFace);
  EXPECT_EQ(header->PopupMenu(), menu);
  EXPECT_EQ(menu->Alignment(), paRight);
  EXPECT_TRUE(ok->Default());
  EXPECT_EQ(ok->ModalResult(), mrOk);
  EXPECT_EQ(ok->Anchors(), (TAnchors{akRight, akBottom}));
  EXPECT_EQ(ok->TabOrder(), 0);
  EXPECT_EQ(header->TabOrder(), 1);
  EXPECT_EQ(ticker->Interval(), 250u);
  EXPECT_EQ(ticker->DesignInfo(), 96 << 16 | 8);

  // Written back before it is shown, it keeps the designer's layout.
  const String text = WriteComponentRes(form.get());
  ExpectHas(text, {"\n  ClientHeight = 150\n", "\n  ClientWidth = 320\n", "\n  BorderStyle = bsDialog\n",
                   "\n  Position = poScreenCenter\n", "\n    Align = alTop\n", "\n    Cursor = crHandPoint\n",
                   "\n    BevelOuter = bvLowered\n", "\n    Anchors = [akRight, akBottom]\n",
                   "\n    OnClick = HeaderClick\n", "\n    PopupMenu = HeaderMenu\n", "\n    Left = 8\n    Top = 96\n",
                   "\n  Font.Name = 'Tahoma'\n", "\n  PixelsPerInch = 96\n"});
  // Defaults, the outer size of the form and the designer's notes stay out.
  ExpectLacks(text, {"\n  Color", "    Color", "\n  Width", "\n  Height", "TextHeight", "Visible", "ParentFont = True", "TabStop",
                     "Enabled", "Scaled"});
  ExpectReadsBackTheSame(form.get(), text, &FMethods);

  // It behaves as one built in code: the header is aligned and clickable, the
  // right-bottom anchored button follows a resize, the timer ticks.
  form->Show();
  RunUntilIdle();
  EXPECT_EQ(header->BoundsRect(), Rect(0, 0, 320, 41));
  ClickOn(header, 10, 10);
  EXPECT_EQ(FClicks, 1);
  form->SetClientWidth(400);
  EXPECT_EQ(ok->Left(), 232);
  AdvanceBy(1000);
  EXPECT_EQ(FTicks, 4);
}

TEST_F(ControlStreamingTest, AFormSavedAtAnotherResolutionIsScaledToTheScreen)
{
  Win::ScreenSettings().LogPixels = 144;
  auto form = Read(SavedDialog);
  ASSERT_TRUE(form);
  EXPECT_EQ(form->PixelsPerInch(), 144);
  EXPECT_EQ(form->Left(), 200); // its place on the screen does not scale
  EXPECT_EQ(form->ClientWidth(), 480);
  EXPECT_EQ(form->ClientHeight(), 225);
  EXPECT_EQ(form->Font()->Height(), -17);
  auto* header = FindIn<TPanel>(form.get(), "Header");
  auto* ok = FindIn<TButton>(form.get(), "OkButton");
  EXPECT_EQ(header->BoundsRect(), Rect(0, 0, 480, 62));
  EXPECT_EQ(header->Constraints()->MinHeight(), 45);
  EXPECT_EQ(header->Font()->Height(), -17);
  // The insets scale with the rest, or a control scaled up keeps its old gaps.
  EXPECT_EQ(header->Padding()->Left(), 9);
  EXPECT_EQ(header->Padding()->Top(), 0);
  EXPECT_EQ(ok->Margins()->Left(), 15);
  // Anchored to the right and bottom, yet scaled from where the resource put it.
  EXPECT_EQ(ok->BoundsRect(), Rect(228, 168, 228 + 113, 168 + 38));
  form->SetClientWidth(500);
  EXPECT_EQ(ok->Left(), 248);
  ExpectHas(WriteComponentRes(form.get()), {"\n  PixelsPerInch = 144\n"});

  // Unscaled forms, and resources that do not say, keep their stored sizes.
  auto unscaled = Read("object F: TForm\n  ClientWidth = 300\n  Scaled = False\n  PixelsPerInch = 96\nend\n");
  EXPECT_EQ(unscaled->ClientWidth(), 300);
  EXPECT_EQ(unscaled->PixelsPerInch(), 96);
  EXPECT_EQ(Read("object F: TForm\n  ClientWidth = 300\nend\n")->ClientWidth(), 300);
  EXPECT_THROW(Read("object F: TForm\n  PixelsPerInch = 0\nend\n"), EReadError);
}

TEST_F(ControlStreamingTest, ParentSwitchesDecideWhetherColourAndFontAreStored)
{
  auto form = Read(SavedDialog);
  ASSERT_TRUE(form);
  auto* header = FindIn<TPanel>(form.get(), "Header");
  header->SetColor(clYellow);
  header->Font()->SetStyle({fsBold});
  String text = WriteComponentRes(form.get());
  ExpectHas(text, {"\n    Color = clYellow\n", "\n    ParentFont = False\n", "\n    Font.Style = [fsBold]\n"});
  header->SetParentColor(true);
  header->SetParentFont(true);
  text = WriteComponentRes(form.get());
  ExpectHas(text, {"\n    ParentColor = True\n"});
  ExpectLacks(text, {"    Color =", "    Font.", "ShowHint"});
  // A hint switch of its own is stored whichever way it is set.
  header->SetShowHint(false);
  ExpectHas(WriteComponentRes(form.get()), {"\n    ParentShowHint = False\n", "\n    ShowHint = False\n"});
}

TEST_F(ControlStreamingTest, CursorsAndAlignmentsTravelByName)
{
  auto form = Read("object F: TForm\n"
                   "  object P: TPanel\n"
                   "    Alignment = taLeftJustify\n"
                   "    VerticalAlignment = taAlignTop\n"
                   "    Cursor = crSizeWE\n"
                   "  end\n"
                   "  object Q: TPanel\n"
                   "    Cursor = -22\n"
                   "  end\n"
                   "end\n");
  ASSERT_TRUE(form);
  auto* p = FindIn<TPanel>(form.get(), "P");
  EXPECT_EQ(p->Alignment(), taLeftJustify);
  EXPECT_EQ(p->VerticalAlignment(), taAlignTop);
  EXPECT_EQ(p->Cursor(), crSizeWE);
  EXPECT_EQ(FindIn<TPanel>(form.get(), "Q")->Cursor(), crSizeAll);
  ExpectHas(WriteComponentRes(form.get()), {"Cursor = crSizeAll", "Alignment = taLeftJustify"});
  // A cursor without a name (a host's own) is stored as its number.
  p->SetCursor(5);
  EXPECT_NE(WriteComponentRes(form.get()).find("Cursor = 5"), String::npos);
  EXPECT_THROW(Read("object F: TForm\n  object P: TPanel\n    Cursor = crPointyFinger\n  end\nend\n"), EReadError);
  EXPECT_THROW(Read("object F: TForm\n  object P: TPanel\n    Align = alMiddle\n  end\nend\n"), EReadError);
  // Ordinals, as resources written before the names were known hold them.
  auto numbered = Read("object F: TForm\n  object P: TPanel\n    Align = 5\n    Alignment = 1\n  end\nend\n");
  auto* p2 = FindIn<TPanel>(numbered.get(), "P");
  EXPECT_EQ(p2->Align(), alClient);
  EXPECT_EQ(p2->Alignment(), taRightJustify);
  EXPECT_THROW(Read("object F: TForm\n  object P: TPanel\n    Align = 7\n  end\nend\n"), EReadError);
}

// A button of its own in a double-buffered panel, beside a check box that
// follows the panel: what the button sets wins over what it took from the
// panel when it was put in, and what follows the parent is not written.
TEST_F(ControlStreamingTest, BiDiBufferingAndDragSettingsTravelInTheResource)
{
  int drops = 0;
  FMethods.Add<void(TObject*, TObject*, Integer, Integer)>("Dropped",
                                                          [&](TObject*, TObject*, Integer, Integer) { ++drops; });
  auto form = Read("object F: TForm\n"
                   "  object P: TPanel\n"
                   "    DoubleBuffered = True\n"
                   "    object B: TButton\n"
                   "      ParentBiDiMode = False\n"
                   "      BiDiMode = bdRightToLeft\n"
                   "      ParentDoubleBuffered = False\n"
                   "      DoubleBuffered = False\n"
                   "      DragCursor = crHandPoint\n"
                   "      DragKind = dkDock\n"
                   "      DragMode = dmAutomatic\n"
                   "      OnDragDrop = Dropped\n"
                   "    end\n"
                   "    object C: TCheckBox\n"
                   "    end\n"
                   "  end\n"
                   "end\n");
  ASSERT_TRUE(form);
  auto* b = FindIn<TButton>(form.get(), "B");
  auto* c = FindIn<TCheckBox>(form.get(), "C");
  EXPECT_FALSE(b->DoubleBuffered());
  EXPECT_TRUE(c->DoubleBuffered());
  EXPECT_TRUE(c->ParentDoubleBuffered());
  EXPECT_EQ(b->BiDiMode(), bdRightToLeft);
  EXPECT_TRUE(c->ParentBiDiMode());
  EXPECT_EQ(b->DragCursor(), crHandPoint);
  EXPECT_EQ(b->DragKind(), dkDock);
  EXPECT_EQ(b->DragMode(), dmAutomatic);
  EXPECT_EQ(c->DragCursor(), crDrag);
  ASSERT_TRUE(b->OnDragDrop);
  b->OnDragDrop(b, c, 1, 2);
  EXPECT_EQ(drops, 1);

  const String text = WriteComponentRes(form.get());
  ExpectHas(text, {"\n    DoubleBuffered = True\n", "\n      ParentDoubleBuffered = False\n",
                   "\n      DoubleBuffered = False\n", "\n      BiDiMode = bdRightToLeft\n",
                   "\n      DragCursor = crHandPoint\n", "\n      DragMode = dmAutomatic\n",
                   "\n      OnDragDrop = Dropped\n"});
  EXPECT_EQ(text.find("ParentDoubleBuffered"), text.rfind("ParentDoubleBuffered"));
  EXPECT_EQ(text.find("  BiDiMode = "), text.rfind("  BiDiMode = "));
  ExpectReadsBackTheSame(form.get(), text, &FMethods);
  EXPECT_THROW(Read("object F: TForm\n  object B: TButton\n    DragKind = dkFloat\n  end\nend\n"), EReadError);
}

} // namespace

} // namespace QxTest
