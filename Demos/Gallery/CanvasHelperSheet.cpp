#include "CanvasHelperSheet.hpp"

#include <Quorex.Vcl.CanvasHelper.hpp>
#include <Win.Desktop.hpp>
#include <Win.Themes.hpp>

#include <algorithm>
#include <functional>
#include <vector>

namespace Gallery {

using namespace Quorex;
using namespace Vcl;

namespace {

constexpr int kLabelWidth = 150, kCellWidth = 76, kRowHeight = 34, kHeaderHeight = 56, kMargin = 12, kPadding = 4;
constexpr int kStates = 4;
constexpr int kPanelWidth = kLabelWidth + kStates * kCellWidth;

const char* const kStateNames[kStates] = {"normal", "disabled", "hot", "pressed"};
constexpr TUIControlState kStateOrder[kStates] = {uicsNormal, uicsDisabled, uicsHot, uicsPressed};

// The look of check boxes, expanders and selections follows a control, which
// the helpers now ask for its window; the sheet lends them a real windowless
// control without a parent for as long as it draws, so they see the common
// visual-style class.
TControl* gSheetControl = nullptr;

TControl* SheetControl()
{
  return gSheetControl;
}

struct TRow {
  const char* Name;
  // Draws column Column (0..3) into the cell; false leaves the cell empty.
  std::function<bool(TCanvas*, const TRect&, int Column)> Draw;
};

template <class F>
TRow ByState(const char* Name, F Draw)
{
  return {Name, [Draw](TCanvas* c, const TRect& r, int col) {
            Draw(c, r, kStateOrder[col]);
            return true;
          }};
}

std::vector<TRow> Rows()
{
  std::vector<TRow> rows = {
    ByState("Button", [](TCanvas* c, TRect r, TUIControlState s) { QxDrawButton(c, r, s); }),
    ByState("Split button",
            [](TCanvas* c, TRect r, TUIControlState s) {
              QxDrawSplitButtonMain(c, TRect(r.Left, r.Top, r.Right - 16, r.Bottom), s);
              QxDrawSplitButtonDropDown(c, TRect(r.Right - 16, r.Top, r.Right, r.Bottom), s);
            }),
    ByState("Flat button", [](TCanvas* c, TRect r, TUIControlState s) { QxDrawFlatButton(c, r, s); }),
    ByState("Flat split button",
            [](TCanvas* c, TRect r, TUIControlState s) {
              QxDrawFlatSplitButtonMain(c, TRect(r.Left, r.Top, r.Right - 16, r.Bottom), s);
              QxDrawFlatSplitButtonDropDown(c, TRect(r.Right - 16, r.Top, r.Right, r.Bottom), s);
            }),
  };
  for (TCheckBoxState check : {cbUnchecked, cbChecked, cbGrayed}) {
    static const char* const names[] = {"Check box", "Check box, checked", "Check box, grayed"};
    rows.push_back(ByState(names[static_cast<int>(check)], [check](TCanvas* c, TRect r, TUIControlState s) {
      QxDrawCheckbox(c, SheetControl(), r, s, check);
    }));
  }
  for (TTreeViewExpanderState state : {tvesClosed, tvesOpened}) {
    rows.push_back(ByState(state == tvesClosed ? "Expander, closed" : "Expander, opened",
                           [state](TCanvas* c, TRect r, TUIControlState s) {
                             QxDrawTreeExpander(c, SheetControl(), r, s, state);
                           }));
  }
  rows.push_back({"Selection: hot, selected, unfocused", [](TCanvas* c, const TRect& r, int col) {
                    if (col > 2)
                      return false;
                    QxDrawSelection(c, SheetControl(), r, TListItemSelectionState(col));
                    return true;
                  }});
  rows.push_back({"Focus rect, splitter", [](TCanvas* c, const TRect& r, int col) {
                    if (col == 0)
                      QxDrawFocusRect(c, r);
                    else if (col < 3)
                      QxDrawSplitter(c, r.Left + r.Width() / 2, r.Top, r.Bottom, col == 1);
                    return col < 3;
                  }});
  rows.push_back({"Text, enabled / disabled", [](TCanvas* c, const TRect& r, int col) {
                    if (col > 1)
                      return false;
                    TRect t = r;
                    QxDrawText(c, "Text", t, col == 0, Win::DT_SINGLELINE | Win::DT_CENTER | Win::DT_VCENTER);
                    return true;
                  }});
  return rows;
}

void DrawLabel(TCanvas* Canvas, const TRect& R, const String& Text, bool Bold = false)
{
  Canvas->Font()->SetStyle(Bold ? TFontStyles{fsBold} : TFontStyles{});
  Canvas->Brush()->SetStyle(bsClear);
  TRect r = R;
  String text = Text;
  Canvas->TextRect(r, text, TTextFormat{tfSingleLine, tfVerticalCenter});
  Canvas->Brush()->SetStyle(bsSolid);
}

// A row's name wraps within the name column, centred on the row.
void DrawRowName(TCanvas* Canvas, const TRect& R, const String& Text)
{
  Canvas->Font()->SetStyle({});
  Canvas->Brush()->SetStyle(bsClear);
  TRect r(R.Left, R.Top, R.Right - kPadding, R.Bottom);
  String text = Text;
  TRect measured = r;
  Canvas->TextRect(measured, text, TTextFormat{tfWordBreak, tfCalcRect});
  r.Top += (r.Height() - measured.Height()) / 2;
  Canvas->TextRect(r, text, TTextFormat{tfWordBreak});
  Canvas->Brush()->SetStyle(bsSolid);
}

// Rows are tall enough for their names in the sheet's font.
int RowHeight(TCanvas* Canvas, const std::vector<TRow>& Rows)
{
  int height = kRowHeight;
  for (const TRow& row : Rows) {
    TRect r(0, 0, kLabelWidth - kPadding, 0);
    String text = row.Name;
    Canvas->TextRect(r, text, TTextFormat{tfWordBreak, tfCalcRect});
    height = std::max(height, r.Height() + kPadding);
  }
  return height;
}

void DrawPanel(TCanvas* Canvas, int Left, int RowHeight, bool Themed, const std::vector<TRow>& Rows)
{
  Win::EnableTheming(Themed ? Win::TRUE : Win::FALSE);
  DrawLabel(Canvas, TRect(Left, kMargin, Left + kPanelWidth, kMargin + 20), Themed ? "Themed" : "Classic", true);
  for (int col = 0; col < kStates; ++col) {
    int x = Left + kLabelWidth + col * kCellWidth;
    DrawLabel(Canvas, TRect(x + 4, kMargin + 22, x + kCellWidth, kHeaderHeight), kStateNames[col]);
  }
  for (std::size_t i = 0; i < Rows.size(); ++i) {
    int top = kHeaderHeight + int(i) * RowHeight;
    DrawRowName(Canvas, TRect(Left, top, Left + kLabelWidth, top + RowHeight), Rows[i].Name);
    // Cells keep their height however tall the row, centred on it.
    top += (RowHeight - kRowHeight) / 2;
    for (int col = 0; col < kStates; ++col) {
      int x = Left + kLabelWidth + col * kCellWidth;
      Rows[i].Draw(Canvas, TRect(x + 4, top + 4, x + kCellWidth - 4, top + kRowHeight - 4), col);
    }
  }
}

} // namespace

void RenderCanvasHelperSheet(TBitmap* Bitmap)
{
  std::vector<TRow> rows = Rows();
  Bitmap->SetPixelFormat(pf32bit);
  TCanvas* canvas = Bitmap->Canvas();
  canvas->Font()->SetName("DejaVu Sans");
  canvas->Font()->SetSize(9);
  const int rowHeight = RowHeight(canvas, rows);
  Bitmap->SetSize(2 * kPanelWidth + 3 * kMargin, kHeaderHeight + int(rows.size()) * rowHeight + kMargin);
  canvas->Brush()->SetColor(clBtnFace);
  canvas->FillRect(TRect(0, 0, Bitmap->Width(), Bitmap->Height()));
  bool themed = Win::IsThemeActive() != Win::FALSE;
  TGraphicControl control(nullptr);
  gSheetControl = &control;
  DrawPanel(canvas, kMargin, rowHeight, false, rows);
  DrawPanel(canvas, 2 * kMargin + kPanelWidth, rowHeight, true, rows);
  gSheetControl = nullptr;
  Win::EnableTheming(themed ? Win::TRUE : Win::FALSE);
}

void SaveCanvasHelperSheet(const String& FileName)
{
  TBitmap bitmap;
  RenderCanvasHelperSheet(&bitmap);
  Win::TImage image;
  image.Width = bitmap.Width();
  image.Height = bitmap.Height();
  const std::uint32_t* bits = Win::BitmapBits(bitmap.Handle());
  image.Pixels.assign(bits, bits + std::size_t(image.Width) * std::size_t(image.Height));
  Win::SaveImagePng(image, FileName);
}

} // namespace Gallery
