// Form resources as designers save them: the order they read in, the notes
// they carry, the roots they use, and what a read-write cycle keeps.
#include "TestControls.hpp"

#include <QxFormCompare.hpp>
#include <QxSolidImages.hpp>
#include <System.Classes.DataModule.hpp>
#include <System.Classes.Streaming.hpp>
#include <Vcl.Controls.Padding.hpp>
#include <Vcl.Forms.Frame.hpp>
#include <Vcl.ImgList.hpp>
#include <Vcl.StdCtrls.Edit.hpp>
#include <Vcl.StdCtrls.Label.hpp>
#include <gmock/gmock.h>

#include <cstdlib>
#include <memory>

namespace QxTest {

// A frame that builds its caption in its constructor, as a host's frame class does.
class TCaptionFrame : public TFrame {
  QX_CLASS(TCaptionFrame, TFrame)
public:
  explicit TCaptionFrame(TComponent* AOwner) : TFrame(AOwner)
  {
    auto* label = new TLabel(this);
    label->SetName("Label1");
    label->SetCaption("From the class");
    label->SetParent(this);
  }
};

QX_PUBLISHED(TCaptionFrame)
{
}

namespace {

// Seven buttons created in one order and tabbed in another, the form shown
// and centred before its size is read, designer notes on every control.
const String DesignedForm = "object Entry: TForm\n"
                            "  Left = 0\n"
                            "  Top = 0\n"
                            "  ActiveControl = B5\n"
                            "  BorderIcons = [biSystemMenu, biMinimize]\n"
                            "  Caption = 'Entry'\n"
                            "  Visible = True\n"
                            "  Position = poScreenCenter\n"
                            "  ClientHeight = 300\n"
                            "  ClientWidth = 400\n"
                            "  Color = clBtnFace\n"
                            "  Font.Charset = DEFAULT_CHARSET\n"
                            "  Font.Color = clRed\n"
                            "  Font.Height = -12\n"
                            "  Font.Name = 'Segoe UI'\n"
                            "  Font.Style = [fsBold]\n"
                            "  OldCreateOrder = False\n"
                            "  OnCloseQuery = AskClose\n"
                            "  OnShow = Shown\n"
                            "  DesignSize = (\n"
                            "    400\n"
                            "    300)\n"
                            "  PixelsPerInch = 96\n"
                            "  TextHeight = 15\n"
                            "  object Box: TPanel\n"
                            "    Left = 8\n"
                            "    Top = 8\n"
                            "    Width = 384\n"
                            "    Height = 250\n"
                            "    Anchors = [akLeft, akTop, akRight, akBottom]\n"
                            "    ParentBackground = False\n"
                            "    TabOrder = 0\n"
                            "    ExplicitWidth = 380\n"
                            "    ExplicitHeight = 240\n"
                            "    object Note: TLabel\n"
                            "      Left = 4\n"
                            "      Top = 4\n"
                            "      Caption = 'Own font'\n"
                            "      Font.Charset = DEFAULT_CHARSET\n"
                            "      Font.Color = clWindowText\n"
                            "      Font.Height = -11\n"
                            "      Font.Name = 'Tahoma'\n"
                            "      Font.Style = []\n"
                            "      ParentFont = False\n"
                            "      IsControl = True\n"
                            "    end\n"
                            "    object B0: TButton\n      TabOrder = 0\n    end\n"
                            "    object B1: TButton\n      TabOrder = 6\n    end\n"
                            "    object B2: TButton\n      TabOrder = 4\n    end\n"
                            "    object B3: TButton\n      TabOrder = 5\n    end\n"
                            "    object B4: TButton\n      TabOrder = 1\n    end\n"
                            "    object B5: TButton\n      TabOrder = 3\n    end\n"
                            "    object B6: TButton\n"
                            "      Left = 300\n"
                            "      Top = 220\n"
                            "      Anchors = [akRight, akBottom]\n"
                            "      TabOrder = 2\n"
                            "      ExplicitLeft = 296\n"
                            "    end\n"
                            "  end\n"
                            "end\n";

// An image list as the framework writes it: the header, then a sheet of
// cells four to a row (a red one, a blue one), then the mask's sheet (the
// blue cell's left half transparent).
String FrameworkImageListData()
{
  auto sheet = [](TColor Background, TColor Cell1, TRect Cell1Rect) {
    auto b = SolidBitmap(64, 16, Background);
    b->Canvas()->Brush()->SetColor(Cell1);
    b->Canvas()->FillRect(Cell1Rect);
    return b;
  };
  const std::uint8_t header[28] = {'I', 'L', 1, 1, 2, 0, 4, 0, 4, 0, 16, 0, 16, 0, 0xFF, 0xFF, 0xFF, 0xFF, 1, 0};
  TBytesStream stream;
  stream.WriteBuffer(header, sizeof header);
  auto images = sheet(clRed, clBlue, Rect(16, 0, 32, 16));
  images->SaveToStream(&stream);
  auto mask = sheet(clBlack, clWhite, Rect(16, 0, 24, 16));
  mask->SaveToStream(&stream);
  String hex;
  for (std::uint8_t byte : stream.Bytes())
    hex += Format("%.2X", {Integer(byte)});
  return hex;
}

class DesignerFormTest : public ControlTest {
protected:
  DesignerFormTest()
  {
    FMethods.Add<void(TObject*, bool&)>("AskClose", [this](TObject*, bool& CanClose) { CanClose = FMayClose; });
    FMethods.Add<void(TObject*)>("Shown", [this](TObject* Sender) {
      auto* form = static_cast<TForm*>(Sender);
      FShownAt.push_back(form->BoundsRect());
    });
    FMethods.Add<void(TObject*)>("Created", [this](TObject*) { ++FCreated; });
  }

  template <class T = TForm>
  std::unique_ptr<T> Read(const String& Text)
  {
    return ReadAs<T>(Text, &FMethods);
  }

  TMethodTable FMethods;
  bool FMayClose = true;
  std::vector<TRect> FShownAt;
  int FCreated = 0;
};

TEST_F(DesignerFormTest, ADesignerFormReadsInTheDesignersOrderAndNotes)
{
  auto form = Read(DesignedForm);
  ASSERT_TRUE(form);
  // Tab orders are those read, whatever order the buttons were created in.
  auto* box = FindIn<TPanel>(form.get(), "Box");
  const int orders[] = {0, 6, 4, 5, 1, 3, 2};
  for (int i = 0; i < 7; ++i)
    EXPECT_EQ(FindIn<TButton>(form.get(), "B" + IntToStr(i))->TabOrder(), orders[i]) << i;
  // Shown once, when loaded: centred with the size it was read to have.
  ASSERT_EQ(FShownAt.size(), 1u);
  EXPECT_TRUE(form->Visible());
  EXPECT_EQ(FShownAt[0], form->BoundsRect());
  EXPECT_LE(std::abs(form->Left() * 2 + form->Width() - Screen->Width()), 1);
  EXPECT_LE(std::abs(form->Top() * 2 + form->Height() - Screen->Height()), 1);
  // The active control named before the form could show takes the focus when it does.
  auto* b5 = FindIn<TButton>(form.get(), "B5");
  EXPECT_EQ(form->ActiveControl(), b5);
  RunUntilIdle();
  EXPECT_TRUE(b5->Focused());
  // The framework properties designers use, and the designer's notes dropped.
  EXPECT_EQ(form->BorderIcons(), (TBorderIcons{biSystemMenu, biMinimize}));
  EXPECT_FALSE(box->ParentBackground());
  EXPECT_EQ(box->Width(), 384);
  EXPECT_EQ(FindIn<TButton>(form.get(), "B6")->Left(), 300);
  FMayClose = false;
  EXPECT_FALSE(form->CloseQuery());

  // What is written reads back to the same form and the same text.
  const String text = WriteComponentRes(form.get());
  ExpectHas(text, {"\n  BorderIcons = [biSystemMenu, biMinimize]\n", "\n  OnCloseQuery = AskClose\n",
                   "\n  ActiveControl = B5\n", "\n    ParentBackground = False\n", "\n      TabOrder = 6\n"});
  ExpectLacks(text, {"Explicit", "DesignSize", "IsControl", "TextHeight"});
  ExpectReadsBackTheSame(form.get(), text, &FMethods);
}

// A designer's file, in the designer's order, written back unchanged: fonts,
// anchors and tab orders that are not the creation order.
TEST_F(DesignerFormTest, ADesignersFileReadAndWrittenComesBackUnchanged)
{
  const String designed = "object Settings: TForm\n"
                          "  Left = 0\n"
                          "  Top = 0\n"
                          "  BorderIcons = [biSystemMenu]\n"
                          "  BorderStyle = bsDialog\n"
                          "  Caption = 'Settings'\n"
                          "  ClientHeight = 120\n"
                          "  ClientWidth = 240\n"
                          "  Font.Charset = DEFAULT_CHARSET\n"
                          "  Font.Color = clWindowText\n"
                          "  Font.Height = -11\n"
                          "  Font.Name = 'Tahoma'\n"
                          "  Font.Style = []\n"
                          "  Position = poScreenCenter\n"
                          "  OnCloseQuery = AskClose\n"
                          "  PixelsPerInch = 96\n"
                          "  object Cancel: TButton\n"
                          "    Left = 160\n"
                          "    Top = 88\n"
                          "    Width = 75\n"
                          "    Height = 25\n"
                          "    Anchors = [akRight, akBottom]\n"
                          "    Cancel = True\n"
                          "    Caption = 'Cancel'\n"
                          "    ModalResult = 2\n"
                          "    TabOrder = 1\n"
                          "  end\n"
                          "  object Ok: TButton\n"
                          "    Left = 80\n"
                          "    Top = 88\n"
                          "    Width = 75\n"
                          "    Height = 25\n"
                          "    Anchors = [akRight, akBottom]\n"
                          "    Caption = 'OK'\n"
                          "    Default = True\n"
                          "    ModalResult = 1\n"
                          "    TabOrder = 0\n"
                          "  end\n"
                          "end\n";
  auto form = Read(designed);
  ASSERT_TRUE(form);
  EXPECT_EQ(FindIn<TButton>(form.get(), "Ok")->TabOrder(), 0);
  EXPECT_EQ(WriteComponentRes(form.get()), designed);
}

// A control with a font of its own equal to a font's defaults, under a form
// whose font is not: what is written must not read back with the form's.
TEST_F(DesignerFormTest, AFontOfItsOwnIsWrittenWholeAndReadsBackItsOwn)
{
  auto form = Read(DesignedForm);
  ASSERT_TRUE(form);
  auto back = Read(WriteComponentRes(form.get()));
  ASSERT_TRUE(back);
  auto* note = FindIn<TLabel>(back.get(), "Note");
  EXPECT_FALSE(note->ParentFont());
  EXPECT_EQ(note->Font()->Color(), clWindowText);
  EXPECT_EQ(note->Font()->Style(), TFontStyles{});
  EXPECT_EQ(note->Font()->Name(), "Tahoma");
  EXPECT_EQ(FindIn<TButton>(back.get(), "B0")->Font()->Color(), clRed);
}

TEST_F(DesignerFormTest, AControlInWhatCannotHoldItFailsWithItsLine)
{
  for (const char* holder : {"TTimer", "TLabel"}) {
    SCOPED_TRACE(holder);
    EXPECT_THAT(
      [&] { Read(Format("object F: TForm\n  object H: %s\n    object P: TPanel\n    end\n  end\nend\n", {String(holder)})); },
      testing::ThrowsMessage<EReadError>(testing::HasSubstr("cannot hold P on line 3")));
  }
}

// Margins, AlignWithMargins and the flat look as designers set them on the
// framework's controls: read, applied by the align pass, written back.
TEST_F(DesignerFormTest, MarginsAndTheFlatLookLoadAndWriteBack)
{
  auto form = Read("object F: TForm\n"
                   "  ClientHeight = 200\n"
                   "  ClientWidth = 300\n"
                   "  Ctl3D = False\n"
                   "  object P: TPanel\n"
                   "    Height = 60\n"
                   "    Margins.Left = 0\n"
                   "    Margins.Bottom = 12\n"
                   "    Align = alTop\n"
                   "    AlignWithMargins = True\n"
                   "    ParentCtl3D = False\n"
                   "    Ctl3D = True\n"
                   "    object E: TEdit\n"
                   "      Margins.Top = 5\n"
                   "      Align = alTop\n"
                   "      AlignWithMargins = True\n"
                   "      Ctl3D = False\n"
                   "    end\n"
                   "  end\n"
                   "  object C: TCheckBox\n"
                   "    Top = 100\n"
                   "  end\n"
                   "  object L: TLabel\n"
                   "    Margins.Right = 9\n"
                   "  end\n"
                   "end\n");
  ASSERT_TRUE(form);
  auto* panel = FindIn<TPanel>(form.get(), "P");
  EXPECT_EQ(panel->BoundsRect(), TRect(0, 3, 297, 63));
  EXPECT_TRUE(panel->Ctl3D());
  auto* edit = FindIn<TEdit>(form.get(), "E");
  EXPECT_EQ(edit->Top(), 1 + 5); // inside the panel's bevel
  EXPECT_FALSE(edit->Ctl3D());
  EXPECT_FALSE(FindIn<TCheckBox>(form.get(), "C")->Ctl3D()); // from the form
  EXPECT_EQ(FindIn<TLabel>(form.get(), "L")->Margins()->Right(), 9);

  const String text = WriteComponentRes(form.get());
  ExpectHas(text, {"\n    Margins.Left = 0\n", "\n    AlignWithMargins = True\n", "\n      Ctl3D = False\n",
                   "\n    Margins.Right = 9\n"});
  ExpectReadsBackTheSame(form.get(), text, &FMethods);
}

// What a frame's class builds is written 'inherited', so the text reads
// back instead of failing on a second Label1.
TEST_F(DesignerFormTest, FramesWriteWhatTheirClassBuildsAsInherited)
{
  auto form = Read("object F: TForm\n"
                   "  inline Frame1: TCaptionFrame\n"
                   "    Left = 10\n"
                   "    inherited Label1: TLabel\n"
                   "      Caption = 'Changed'\n"
                   "    end\n"
                   "    object Extra: TButton\n"
                   "    end\n"
                   "  end\n"
                   "end\n");
  ASSERT_TRUE(form);
  const String text = WriteComponentRes(form.get());
  ExpectHas(text, {"\n  inline Frame1: TCaptionFrame\n    Left = 10\n", "\n    inherited Label1: TLabel\n",
                   "\n      Caption = 'Changed'\n", "\n    object Extra: TButton\n"});
  auto back = Read(text);
  ASSERT_TRUE(back);
  auto* frame = FindIn<TCaptionFrame>(back.get(), "Frame1");
  EXPECT_EQ(FindIn<TLabel>(frame, "Label1")->Caption(), "Changed");
  EXPECT_EQ(frame->ComponentCount(), 2);
  EXPECT_EQ(WriteComponentRes(back.get()), text);
}

TEST_F(DesignerFormTest, AnImageListInTheFrameworksStreamFormatLoads)
{
  auto form = Read("object F: TForm\n  object Icons: TImageList\n    Bitmap = {" + FrameworkImageListData() +
                   "}\n  end\nend\n");
  ASSERT_TRUE(form);
  auto* icons = FindIn<TImageList>(form.get(), "Icons");
  ASSERT_EQ(icons->Count(), 2);
  auto canvas = SolidBitmap(32, 16, clLime);
  icons->Draw(canvas->Canvas(), 0, 0, 0);
  icons->Draw(canvas->Canvas(), 16, 0, 1);
  EXPECT_EQ(canvas->Canvas()->Pixels(8, 8), clRed);   // red cell
  EXPECT_EQ(canvas->Canvas()->Pixels(18, 8), clLime); // transparent half: the background
  EXPECT_EQ(canvas->Canvas()->Pixels(28, 8), clBlue); // blue half
  // Written back in the project's own form, it reads back the same.
  auto back = Read(WriteComponentRes(form.get()));
  ASSERT_TRUE(back);
  EXPECT_EQ(FindIn<TImageList>(back.get(), "Icons")->Count(), 2);
  EXPECT_THROW(Read("object F: TForm\n  object Icons: TImageList\n    Bitmap = {494C0101}\n  end\nend\n"),
               EReadError);
}

TEST_F(DesignerFormTest, DataModulesAndFramesAreRootsOfTheirOwn)
{
  auto module = Read<TDataModule>("object Data: TDataModule\n"
                                  "  OldCreateOrder = False\n"
                                  "  OnCreate = Created\n"
                                  "  Height = 200\n"
                                  "  Width = 300\n"
                                  "  HorizontalOffset = 40\n"
                                  "  PixelsPerInch = 96\n"
                                  "  object Ticker: TTimer\n"
                                  "    Left = 20\n"
                                  "    Top = 30\n"
                                  "  end\n"
                                  "end\n");
  ASSERT_TRUE(module);
  EXPECT_EQ(FCreated, 1);
  EXPECT_EQ(module->Height(), 200);
  EXPECT_NE(module->FindComponent("Ticker"), nullptr);
  const String text = WriteComponentRes(module.get());
  ExpectHas(text, {"\n  Height = 200\n  Width = 300\n  OnCreate = Created\n", "\n    Left = 20\n    Top = 30\n"});
  ExpectLacks(text, {"Offset", "PixelsPerInch"});

  auto frame = Read<TFrame>("object Part: TFrame\n  Width = 200\n  object B: TButton\n    Caption = 'Go'\n  end\nend\n");
  ASSERT_TRUE(frame);
  EXPECT_EQ(frame->Width(), 200);
  EXPECT_EQ(FindIn<TButton>(frame.get(), "B")->Parent(), frame.get());
}

} // namespace

} // namespace QxTest
