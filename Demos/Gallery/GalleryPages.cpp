#include "GalleryPages.hpp"

#include "CanvasHelperSheet.hpp"
#include "GalleryResources.hpp"

#include <System.Classes.Streaming.hpp>
#include <Vcl.Forms.hpp>
#include <Vcl.Graphics.hpp>
#include <Vcl.Menus.hpp>

#include <memory>

namespace Gallery {

using namespace Quorex;
using namespace Vcl;

std::vector<std::string>& EventLog()
{
  static std::vector<std::string> log;
  return log;
}

namespace {

constexpr int kMargin = 16;

// A panel that erases with diagonal stripes drawn in logical coordinates,
// so that transparent children show the stripes aligned with its own.
class TStripedPanel : public TQxCustomPanel {
public:
  using TQxCustomPanel::TQxCustomPanel;

protected:
  void EraseBkGnd() override
  {
    TCanvas* canvas = Canvas();
    canvas->Brush()->SetStyle(bsSolid);
    canvas->Brush()->SetColor(TColor(0x00F4E8D8));
    canvas->FillRect(ClientRect());
    canvas->Pen()->SetColor(TColor(0x00D8B890));
    canvas->Pen()->SetWidth(3);
    for (int d = -Height(); d < Width(); d += 12) {
      canvas->MoveTo(d, 0);
      canvas->LineTo(d + Height(), Height());
    }
  }
};

// The canvas-helper sheet, drawn once into a bitmap and blitted from it.
class TSheetView : public TGraphicControl {
public:
  explicit TSheetView(TComponent* AOwner) : TGraphicControl(AOwner), FSheet(std::make_unique<TBitmap>())
  {
    RenderCanvasHelperSheet(FSheet.get());
    SetBounds(0, 0, FSheet->Width(), FSheet->Height());
  }

protected:
  void Paint() override { Canvas()->Draw(0, 0, FSheet.get()); }

private:
  std::unique_ptr<TBitmap> FSheet;
};

void LogLinkClick(const String& LinkId)
{
  EventLog().push_back("link clicked: " + LinkId);
}

} // namespace

// ---- TGalleryPage ------------------------------------------------------------------------

TGalleryPage::TGalleryPage(TComponent* AOwner) : TComponent(AOwner), FClient(new TQxFrameClient(this))
{
  FClient->SetColor(clWindow);
}

THtmlLabel* TGalleryPage::AddLabel(const String& Caption, Integer X, Integer Y, Integer Width, TWinControl* Parent)
{
  auto* label = new THtmlLabel(this);
  // Word breaking turns the automatic width off, so it comes before the width.
  if (Width > 0)
    label->SetWordBreak(true);
  label->SetAutoHeight(true);
  label->SetBounds(X, Y, Width > 0 ? Width : 10, 16);
  label->SetParent(Parent ? Parent : FClient);
  label->SetCaption(Caption);
  label->OnLinkClick = LogLinkClick;
  return label;
}

void TGalleryPage::AddTitle(const String& Title)
{
  AddLabel("<font size=16><b>" + Title + "</b></font>", kMargin, 12);
}

// ---- pages -----------------------------------------------------------------------------------

TMarkupPage::TMarkupPage(TComponent* AOwner) : TGalleryPage(AOwner)
{
  AddTitle("Markup labels");
  AddLabel("Plain, <b>bold</b>, <i>italic</i>, <u>underlined</u> and <b><i>bold italic</i></b> text.", kMargin, 56);
  AddLabel("Colours: <font color=clRed>red</font>, <font color=$008000>green</font>, "
           "<font color=clBlue>blue</font> <div> backgrounds: <font bgcolor=clYellow>yellow</font>, "
           "<font bgcolor=$F0D0A0 color=clNavy> light blue </font>",
           kMargin, 80);
  AddLabel("Fonts: <font face=\"DejaVu Serif\" size=12>DejaVu Serif 12</font> <div> "
           "<font face=\"DejaVu Sans Mono\">DejaVu Sans Mono</font> <div> <font size=14>size 14</font>",
           kMargin, 104);
  AddLabel("A paragraph wraps at the label's width: the renderer lays the words out one by one and starts a "
           "new line when the next word would cross the right edge. <b>Bold words</b>, <i>italic words</i> and "
           "<font color=clPurple>coloured words</font> wrap the same way.<br>A line break starts a new line.",
           kMargin, 136, 420);
  Links = AddLabel("Links: <a href=docs>read the documentation</a> <div> <a href=about>about the gallery</a>", kMargin,
                   236);
  auto* guide = new TQxPanel(this);
  guide->SetBounds(470, 270, 2, 40);
  guide->SetColor(clSilver);
  guide->SetParentColor(false);
  guide->SetParent(Client());
  THtmlLabel* right = AddLabel("Right-justified, automatic width", 300, 272);
  right->SetAlignment(taRightJustify);
  right->SetLeft(470 - right->Width());
  THtmlLabel* longer = AddLabel("The right edge stays where it was", 300, 292);
  longer->SetAlignment(taRightJustify);
  longer->SetLeft(470 - longer->Width());
  longer->SetCaption("<b>The right edge stays where it was, with a longer caption</b>");
  AddLabel("<font color=clGray>Both labels keep their right edge on the grey bar; the second one's caption grew "
           "after it was placed.</font>",
           kMargin, 324);
}

TTransparencyPage::TTransparencyPage(TComponent* AOwner) : TGalleryPage(AOwner)
{
  AddTitle("Transparency");
  AddLabel("Transparent labels and a transparent panel over a striped panel: the stripes run on unbroken.", kMargin,
           52);
  auto* striped = new TStripedPanel(this);
  striped->SetBounds(kMargin, 84, 440, 220);
  striped->SetParent(Client());
  AddLabel("<font size=14><b>A transparent markup label</b></font>", 16, 16, 0, striped);
  AddLabel("Its text sits on the stripes, <i>with nothing filled behind it</i>.", 16, 44, 0, striped);
  THtmlLabel* opaque = AddLabel("An opaque label fills its background", 16, 72, 0, striped);
  opaque->SetColor(clWhite);
  opaque->SetTransparent(false);
  auto* glass = new TQxPanel(this);
  glass->SetBounds(40, 110, 260, 90);
  glass->SetTransparent(true);
  glass->SetParent(striped);
  AddLabel("<b>Inside a transparent panel</b><br>the parent's stripes show through,<br>aligned with the parent's.", 12,
           10, 0, glass);
}

TCanvasHelperPage::TCanvasHelperPage(TComponent* AOwner) : TGalleryPage(AOwner)
{
  auto* sheet = new TSheetView(this);
  sheet->SetParent(Client());
}

TFormResourcePage::TFormResourcePage(TComponent* AOwner) : TGalleryPage(AOwner)
{
  ReadComponentRes(FormResourcePageText(), Client());
}

namespace {

// As a form designer saves a small editor window with its main menu.
const String MenuFormText = R"(object MenuForm: TForm
  Left = 0
  Top = 0
  BorderStyle = bsToolWindow
  Caption = 'A form with a main menu'
  ClientHeight = 150
  ClientWidth = 340
  Color = clWindow
  Menu = MainMenu1
  PixelsPerInch = 96
  object Note: TPanel
    Left = 0
    Top = 0
    Width = 340
    Height = 150
    Align = alClient
    Alignment = taRightJustify
    BevelOuter = bvLowered
    BorderWidth = 10
    Caption = 'Read from a resource'
    Color = $00F8EEE4
  end
  object MainMenu1: TMainMenu
    Left = 8
    Top = 8
    object File1: TMenuItem
      Caption = '&File'
      object New1: TMenuItem
        Caption = '&New'
        ShortCut = 16462
        OnClick = MenuClick
      end
      object Open1: TMenuItem
        Caption = '&Open...'
        ShortCut = 16463
        OnClick = MenuClick
      end
      object Save1: TMenuItem
        Caption = '&Save'
        ShortCut = 16467
        OnClick = MenuClick
      end
      object N1: TMenuItem
        Caption = '-'
      end
      object Recent1: TMenuItem
        Caption = '&Recent files'
        object Report1: TMenuItem
          Caption = 'report.txt'
          OnClick = MenuClick
        end
      end
      object N2: TMenuItem
        Caption = '-'
      end
      object Exit1: TMenuItem
        Caption = 'E&xit'
        Enabled = False
      end
    end
    object Edit1: TMenuItem
      Caption = '&Edit'
      object Undo1: TMenuItem
        Caption = '&Undo'
        ShortCut = 16474
        OnClick = MenuClick
      end
      object Copy1: TMenuItem
        Caption = '&Copy'
        ShortCut = 16451
        OnClick = MenuClick
      end
      object Paste1: TMenuItem
        Caption = '&Paste'
        ShortCut = 16470
        OnClick = MenuClick
      end
    end
    object View1: TMenuItem
      Caption = '&View'
      object StatusBar1: TMenuItem
        AutoCheck = True
        Caption = '&Status bar'
        Checked = True
      end
    end
    object Help1: TMenuItem
      Caption = '&Help'
      Enabled = False
    end
  end
end
)";

} // namespace

TForm* TFormResourcePage::ShowMenuForm()
{
  if (!FMenuForm) {
    TMethodTable methods;
    methods.Add<void(TObject*)>("MenuClick", [](TObject* Sender) {
      EventLog().push_back("menu item: " + StripHotkey(static_cast<TMenuItem*>(Sender)->Caption()));
    });
    FMenuForm = static_cast<TForm*>(ReadComponentRes(MenuFormText, nullptr, &methods));
    InsertComponent(FMenuForm);
    TPoint at = Client()->ClientToScreen(TPoint(480, 52));
    FMenuForm->SetBounds(at.X, at.Y, FMenuForm->Width(), FMenuForm->Height());
  }
  FMenuForm->Show();
  return FMenuForm;
}

} // namespace Gallery
