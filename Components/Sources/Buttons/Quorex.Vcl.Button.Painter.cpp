#include "Quorex.Vcl.Button.Painter.hpp"

#include <Quorex.Imaging.RectHelper.hpp>
#include <Quorex.System.DPI.hpp>
#include <Quorex.Vcl.CanvasHelper.hpp>
#include <Quorex.Vcl.SystemIcons.hpp>

#include <cstdlib>

namespace Quorex {

using namespace Vcl;

namespace {

// The splitter stops short of the arrow area's top and bottom by this much.
constexpr Integer SplitterInset = 3;
constexpr Integer FocusInset = 2;

// Where PositionRect puts the image for each alignment, in TImageAlignment order.
struct TImagePlace {
  TAlignment Horizontal;
  TVerticalAlignment Vertical;
};
constexpr TImagePlace ImagePlaces[] = {{taLeftJustify, taVerticalCenter},
                                       {taRightJustify, taVerticalCenter},
                                       {taCenter, taAlignTop},
                                       {taCenter, taAlignBottom},
                                       {taCenter, taVerticalCenter}};

Integer ArrowDrawingSize()
{
  return DPI::Scale(3);
}

} // namespace

TQxButtonPainter::TQxButtonPainter() : FSysIcons(std::make_unique<TQxSystemIconList>())
{
  FSysIcons->SetWidth(Win::GetSystemMetrics(Win::SM_CXSMICON));
  FSysIcons->SetHeight(Win::GetSystemMetrics(Win::SM_CYSMICON));
  FSysIcons->FillList();
}

TQxButtonPainter::~TQxButtonPainter() = default;

TSize TQxButtonPainter::GetArrowSize() const
{
  const Integer h = DPI::Scale(5);
  return TSize(2 * h - 1, h);
}

Integer TQxButtonPainter::GetArrowMargin() const
{
  return DPI::Scale(4);
}

TRect TQxButtonPainter::GetArrowAreaRect() const
{
  return TRect(FRect.Right - GetArrowSize().cx - 2 * GetArrowMargin(), 0, FRect.Right, FRect.Height());
}

TRect TQxButtonPainter::GetMainButtonRect() const
{
  TRect r = FRect;
  if (FStyle == bvsSplit)
    r.Right -= GetArrowAreaRect().Width();
  return r;
}

bool TQxButtonPainter::HaveImage() const
{
  return (FImages && FImageIndex >= 0) || FElevationRequired;
}

TSize TQxButtonPainter::ImageSize() const
{
  if (FElevationRequired)
    return TSize(FSysIcons->Width(), FSysIcons->Height());
  return TSize(FImages->Width(), FImages->Height());
}

TRect TQxButtonPainter::Margins() const
{
  if (!FImageMargins)
    return TRect();
  return TRect(FImageMargins->Left(), FImageMargins->Top(), FImageMargins->Right(), FImageMargins->Bottom());
}

TRect TQxButtonPainter::GetImageRect() const
{
  if (!HaveImage())
    return TRect();
  const TSize size = ImageSize();
  const TImagePlace place = ImagePlaces[size_t(FImageAlignment)];
  TRect r = PositionRect(GetMainButtonRect(), size.cx, size.cy, place.Horizontal, place.Vertical);
  const TRect margins = Margins();
  switch (FImageAlignment) {
  case iaLeft:
    r.Offset(margins.Left, 0);
    break;
  case iaRight:
    r.Offset(-margins.Right, 0);
    break;
  case iaTop:
    r.Offset(0, margins.Top);
    break;
  case iaBottom:
    r.Offset(0, -margins.Bottom);
    break;
  case iaCenter:
    break;
  }
  return r;
}

TRect TQxButtonPainter::GetImageRectWithMargins() const
{
  const TRect image = GetImageRect(), margins = Margins();
  return TRect(image.Left - margins.Left, image.Top - margins.Top, image.Right + margins.Right,
               image.Bottom + margins.Bottom);
}

TRect TQxButtonPainter::ExcludeAreas(TRect R) const
{
  if (HaveImage()) {
    const TRect image = GetImageRectWithMargins();
    switch (FImageAlignment) {
    case iaLeft:
      R.Left += image.Right;
      break;
    case iaRight:
      R.Right -= image.Width();
      break;
    case iaTop:
      R.Top += image.Bottom;
      break;
    case iaBottom:
      R.Bottom -= image.Height();
      break;
    case iaCenter:
      break;
    }
  }
  if (FStyle != bvsNormal)
    R.Right -= GetArrowAreaRect().Width();
  return R;
}

// An empty caption takes no room, so a button without one sizes to its
// image and arrow alone.
TRect TQxButtonPainter::GetTextRect()
{
  const TRect area = ExcludeAreas(FRect);
  TRect measured = area;
  if (FCaption.empty())
    measured.Right = measured.Left, measured.Bottom = measured.Top;
  else
    QxDrawText(FCanvas, FCaption, measured, true, Win::DT_CALCRECT | (FWordWrap ? Win::DT_WORDBREAK : 0u));
  return PositionRect(area, measured, taCenter, taVerticalCenter);
}

TRect TQxButtonPainter::GetFocusRect() const
{
  TRect r = GetMainButtonRect();
  r.Inflate(-FocusInset, -FocusInset);
  return r;
}

TPoint TQxButtonPainter::GetArrowPoint() const
{
  const TRect area = GetArrowAreaRect();
  const TSize arrow = GetArrowSize();
  return TPoint(area.Left + (area.Width() - arrow.cx) / 2, (FRect.Height() - arrow.cy) / 2);
}

TSize TQxButtonPainter::GetMinimalSize()
{
  FCanvas->SetFont(FFont);
  const TRect text = GetTextRect();
  TSize size(text.Width(), text.Height());
  if (!FCaption.empty()) {
    const Integer fontHeight = std::abs(FFont->Height());
    size.cx += FStyle == bvsNormal && !HaveImage() ? 3 * fontHeight : DPI::Scale(16);
    size.cy = 2 * fontHeight + 3;
  }
  const TRect image = GetImageRectWithMargins();
  switch (FImageAlignment) {
  case iaLeft:
  case iaRight:
    size.cx += image.Width();
    size.cy = std::max(size.cy, image.Height());
    break;
  case iaTop:
  case iaBottom:
    size.cy += image.Height();
    size.cx = std::max(size.cx, image.Width());
    break;
  case iaCenter:
    break;
  }
  if (FStyle != bvsNormal)
    size.cx += GetArrowAreaRect().Width();
  return size;
}

void TQxButtonPainter::Paint()
{
  FCanvas->SetFont(FFont);
  if (FStyle == bvsSplit) {
    PaintSplitButtonMain();
    PaintSplitButtonDropDown();
  } else {
    PaintPushButton();
    if (FStyle == bvsDropDown)
      PaintArrow();
  }
  PaintText();
  PaintIcon();
}

// The glyph is centred in the arrow box whose top left is the arrow point.
void TQxButtonPainter::PaintArrow()
{
  FCanvas->Pen()->SetColor(FState == uicsDisabled ? TColor(0x00C0C0C0) : clBlack);
  const Integer size = ArrowDrawingSize();
  const TSize box = GetArrowSize();
  TPoint at = GetArrowPoint();
  at.Offset((box.cx - (2 * size + 1)) / 2, (box.cy - (size + 1)) / 2);
  DrawArrow(FCanvas, sdDown, at, size);
}

void TQxButtonPainter::PaintSplitter()
{
  const TRect area = GetArrowAreaRect();
  QxDrawSplitter(FCanvas, area.Left, area.Top + SplitterInset, area.Bottom - SplitterInset, FState != uicsDisabled);
}

void TQxButtonPainter::PaintText()
{
  TRect r = GetTextRect();
  QxDrawText(FCanvas, FCaption, r, FState != uicsDisabled, Win::DT_CENTER | (FWordWrap ? Win::DT_WORDBREAK : 0u));
}

// Images keep their colours on a disabled button too.
void TQxButtonPainter::PaintIcon()
{
  if (!HaveImage())
    return;
  const TRect r = GetImageRect();
  if (FElevationRequired)
    FSysIcons->Draw(FCanvas, r.Left, r.Top, FSysIcons->GetIndex(itShield), true);
  else
    FImages->Draw(FCanvas, r.Left, r.Top, FImageIndex, true);
}

} // namespace Quorex
