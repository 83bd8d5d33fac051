#include "Quorex.Vcl.HeaderFooterBar.hpp"

#include <GdiPlusUtils.hpp>
#include <Vcl.Forms.hpp>

#include <algorithm>

namespace Quorex {

using namespace Vcl;
using namespace GdiPlus;

namespace {

constexpr TColor kBackgroundTop = 0x565656, kBackgroundBottom = 0x0E0E0E;
constexpr TColor kGridTop = 0x686968, kGridBottom = 0x161616;
constexpr TColor kOutline = 0x0146F4;
constexpr Integer kTileWidth = 4;
// No pair of grid lines starts this close to the bottom.
constexpr Integer kGridBottomMargin = 6;

} // namespace

TCustomHeaderFooterBar::TCustomHeaderFooterBar(TComponent* AOwner, TCustomHeaderFooterPanelStyle AStyle)
  : TCustomPanel(AOwner), FStyle(AStyle), FPattern(std::make_unique<TBitmap>())
{
  FPattern->SetPixelFormat(pf24bit);
  SetBarSize(bsSmall);
  SetAlign(alTop);
}

TCustomHeaderFooterBar::~TCustomHeaderFooterBar() = default;

void TCustomHeaderFooterBar::Assign(const TPersistent* Source)
{
  if (const auto* bar = dynamic_cast<const TCustomHeaderFooterBar*>(Source))
    SetBarSize(bar->BarSize());
}

void TCustomHeaderFooterBar::SetBarSize(TBarSize Value)
{
  FBarSize = Value;
  AdjustSize();
  if (!ControlState().Contains(csCreating))
    Repaint();
}

Integer TCustomHeaderFooterBar::GetDPI() const
{
  if (const TCustomForm* form = GetParentForm(this, true))
    return form->PixelsPerInch();
  return Screen->PixelsPerInch();
}

// While a resource is read, the size class may come after the height it
// keeps (bsManual): the class is applied once everything is read.
bool TCustomHeaderFooterBar::CanResize(Integer& NewWidth, Integer& NewHeight)
{
  inherited::CanResize(NewWidth, NewHeight);
  if (ComponentState().Contains(csLoading))
    return true;
  if (FBarSize == bsSmall)
    NewHeight = Win::MulDiv(20, GetDPI(), 96);
  else if (FBarSize == bsMedium)
    NewHeight = Win::MulDiv(40, GetDPI(), 96);
  return true;
}

void TCustomHeaderFooterBar::Loaded()
{
  inherited::Loaded();
  AdjustSize();
}

// The tiles start at the left edge and the strip follows the height: a new
// size repaints the whole bar, not only the uncovered part.
void TCustomHeaderFooterBar::CreateParams(TCreateParams& Params)
{
  inherited::CreateParams(Params);
  Params.WindowClass.style |= Win::CS_HREDRAW | Win::CS_VREDRAW;
}

void TCustomHeaderFooterBar::ChangeScale(Integer M, Integer D)
{
  inherited::ChangeScale(M, D);
  if (FBarSize != bsManual)
    SetBarSize(FBarSize);
  UpdatePattern();
  Refresh();
}

void TCustomHeaderFooterBar::Resize()
{
  inherited::Resize();
  UpdatePattern();
}

Integer TCustomHeaderFooterBar::GetOutlineHeight() const
{
  const Integer dpi = GetDPI();
  const Integer h96 = Win::MulDiv(Height(), 96, dpi);
  const Integer t = std::max(std::min(Win::MulDiv(2, h96, 40), 6), 2);
  return Win::MulDiv(t, dpi, 96);
}

// The tile depends on the height and, through the outline, on the
// resolution: a change of either rebuilds it, a change of width never does.
void TCustomHeaderFooterBar::UpdatePattern()
{
  const Integer height = Height(), dpi = GetDPI();
  if (height <= 0 || (FPattern->Height() == height && FPatternDpi == dpi))
    return;
  FPattern->SetSize(kTileWidth, height);
  FPatternDpi = dpi;
  const std::shared_ptr<IGPGraphics> graphics = TGPGraphics::Create(FPattern->Canvas()->Handle());
  graphics->SetSmoothingMode(SmoothingModeNone);
  const TGPRectF tile(0, 0, float(kTileWidth), float(height));
  graphics->FillRectangle(TGPLinearGradientBrush::Create(tile, ToGPColor(kBackgroundTop),
                                                         ToGPColor(kBackgroundBottom), LinearGradientModeVertical),
                          ToGPRectF(TRect(0, 0, Width(), height)));
  BuildPatternGrid(*graphics);
  const Integer outline = GetOutlineHeight();
  const Integer top = FStyle == hfpsFooter ? 0 : height - outline;
  BuildOutline(*graphics, Bounds(0, top, kTileWidth, outline));
}

void TCustomHeaderFooterBar::BuildPatternGrid(IGPGraphics& Graphics)
{
  const Integer height = Height();
  const std::shared_ptr<IGPBitmap> column = TGPBitmap::Create(1, height);
  {
    const std::shared_ptr<IGPGraphics> g = TGPGraphics::Create(column);
    g->SetSmoothingMode(SmoothingModeNone);
    g->FillRectangle(TGPLinearGradientBrush::Create(TGPRectF(0, 0, 1, float(height)), ToGPColor(kGridTop),
                                                    ToGPColor(kGridBottom), LinearGradientModeVertical),
                     TGPRectF(0, 0, 1, float(height)));
  }
  auto line = [&Graphics](TGPPointF From, TGPPointF To, TGPColor FromColor, TGPColor ToColor) {
    Graphics.DrawLine(TGPPen::Create(TGPLinearGradientBrush::Create(From, To, FromColor, ToColor), 1.0f), From.X,
                      From.Y, To.X, To.Y);
  };
  for (Integer y = 0; y < height - kGridBottomMargin; y += 4) {
    const TGPColor c0 = column->GetPixel(0, y), c1 = column->GetPixel(0, y + 1), c3 = column->GetPixel(0, y + 3);
    const float fy = float(y);
    line(TGPPointF{0, fy}, TGPPointF{3, fy + 3}, c0, c3);
    line(TGPPointF{3, fy + 1}, TGPPointF{1, fy + 3}, c1, c3);
  }
}

void TCustomHeaderFooterBar::BuildOutline(IGPGraphics& Graphics, const TRect& Rect)
{
  Graphics.FillRectangle(TGPSolidBrush::Create(ToGPColor(kOutline)), ToGPRectF(Rect));
}

void TCustomHeaderFooterBar::Paint()
{
  DoPaint(Canvas()->Handle());
}

void TCustomHeaderFooterBar::Dispatch(TMessage& Message)
{
  if (Message.Msg != Win::WM_ERASEBKGND) {
    inherited::Dispatch(Message);
    return;
  }
  DoPaint(reinterpret_cast<Win::HDC>(Message.WParam));
  Message.Result = -1;
}

void TCustomHeaderFooterBar::DoPaint(Win::HDC DC)
{
  if (!DC)
    return;
  UpdatePattern();
  if (Canvas()->HandleAllocated() && Canvas()->Handle() == DC) {
    DrawTiles(Canvas());
    return;
  }
  TCanvas temporary;
  TCanvasAttachment attached(&temporary, DC);
  DrawTiles(&temporary);
}

// From the left edge on, the last tile overhanging the right one.
void TCustomHeaderFooterBar::DrawTiles(TCanvas* ACanvas)
{
  for (Integer i = 0; i <= Width() / kTileWidth; ++i)
    ACanvas->Draw(kTileWidth * i, 0, FPattern.get());
}

} // namespace Quorex
