#include "Quorex.Vcl.Grid.hpp"

#include <GdiPlusUtils.hpp>
#include <Quorex.Vcl.CanvasHelper.hpp>
#include <System.Generics.hpp>
#include <System.SysUtils.hpp>
#include <Win.Gdi.Guards.hpp>
#include <Win.SizeMove.hpp>
#include <Winapi.Windows.hpp>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

namespace Quorex {

using namespace Vcl;

namespace {

// Room around the plot: the frame's distance from the top and bottom edges
// and from the labels.
constexpr Integer kMargin = 6;
constexpr Integer kLabelGap = 11;
const String kPercentFormat = "%3.0f%%";
// The default of a property whose default depends on other values: it
// equals no value, so that its stored rule alone decides.
const TBytes kNoFixedDefault;
// Pixel coordinates are kept within this, so that far-off values stay drawable.
constexpr double kFarPixel = 1 << 20;

bool Loading(const TComponent* Component)
{
  const TComponentState state = Component->ComponentState();
  return state.Contains(csLoading) || state.Contains(csReading);
}

// Lends the control's canvas to a device context for one drawing.
class TCanvasOnDC {
public:
  TCanvasOnDC(TCanvas* Canvas, Win::HDC DC) : FCanvas(static_cast<TControlCanvas*>(Canvas))
  {
    FCanvas->FreeHandle();
    FCanvas->Lock();
    FCanvas->SetHandle(DC);
  }
  ~TCanvasOnDC()
  {
    FCanvas->SetHandle(nullptr);
    FCanvas->Unlock();
  }
  TCanvasOnDC(const TCanvasOnDC&) = delete;
  TCanvasOnDC& operator=(const TCanvasOnDC&) = delete;

private:
  TControlCanvas* FCanvas;
};

void SetPen(TCanvas* Canvas, TColor Color, Integer Width, TPenStyle Style)
{
  Canvas->Pen()->SetColor(Color);
  Canvas->Pen()->SetWidth(Width);
  Canvas->Pen()->SetStyle(Style);
}

Integer ToPixel(double Value)
{
  return Integer(std::nearbyint(std::clamp(Value, -kFarPixel, kFarPixel)));
}

} // namespace

// ---- TQxGridGraph -----------------------------------------------------------------------

TQxGridGraph::TQxGridGraph(TCollection* Collection) : TCollectionItem(Collection), FValueName(ClassName()) {}

void TQxGridGraph::Assign(const TPersistent* Source)
{
  const auto* graph = dynamic_cast<const TQxGridGraph*>(Source);
  if (!graph) {
    inherited::Assign(Source);
    return;
  }
  FValueName = graph->FValueName;
  FMinColor = graph->FMinColor;
  FMaxColor = graph->FMaxColor;
  FVisible = graph->FVisible;
  FValues = graph->FValues;
  FFirst = graph->FFirst;
  FCount = graph->FCount;
  Changed(false);
}

String TQxGridGraph::DisplayName() const
{
  return FValueName.empty() ? ClassName() : FValueName;
}

template <class V>
void TQxGridGraph::SetAndChange(V& Field, const V& Value)
{
  if (Field == Value)
    return;
  Field = Value;
  Changed(false);
}

void TQxGridGraph::SetMinColor(TColor Value)
{
  SetAndChange(FMinColor, Value);
}

void TQxGridGraph::SetMaxColor(TColor Value)
{
  SetAndChange(FMaxColor, Value);
}

void TQxGridGraph::SetVisible(bool Value)
{
  SetAndChange(FVisible, Value);
}

void TQxGridGraph::Add(double Value)
{
  if (FCount == Capacity) {
    FValues[size_t(FFirst)] = Value;
    FFirst = (FFirst + 1) % Capacity;
    return;
  }
  FValues[size_t((FFirst + FCount) % Capacity)] = Value;
  ++FCount;
}

void TQxGridGraph::Clear()
{
  FFirst = 0;
  FCount = 0;
  if (auto* graphs = dynamic_cast<TQxGridGraphs*>(Collection()))
    graphs->Grid()->ResetBackground();
}

double TQxGridGraph::Values(Integer Index) const
{
  if (Index < 0 || Index >= FCount)
    ListIndexError(Index);
  return FValues[size_t((FFirst + Index) % Capacity)];
}

// ---- TQxGridGraphs ----------------------------------------------------------------------

TQxGridGraph* TQxGridGraphs::Add()
{
  return static_cast<TQxGridGraph*>(TCollection::Add());
}

void TQxGridGraphs::DefineData(const TRect& Rect)
{
  for (Integer i = 0; i < Count(); ++i) {
    TQxGridGraph* graph = Items(i);
    graph->FGDIpPen.reset();
    graph->FGDIpBrush.reset();
    if (!graph->Visible())
      continue;
    // The line's colour follows its height: MinColor at the top, MaxColor at
    // the bottom.
    graph->FGDIpBrush = GdiPlus::TGPLinearGradientBrush::Create(
      ToGPRectF(Rect), ToGPColor(ColorToRGB(graph->MinColor())), ToGPColor(ColorToRGB(graph->MaxColor())),
      GdiPlus::LinearGradientModeVertical);
    graph->FGDIpPen = GdiPlus::TGPPen::Create(graph->FGDIpBrush, 1.0f);
  }
}

void TQxGridGraphs::Update(TCollectionItem* Item)
{
  inherited::Update(Item);
  FGrid->Reset(false, true, true);
}

// ---- TQxGridMarkerLine ------------------------------------------------------------------

void TQxGridMarkerLine::Assign(const TPersistent* Source)
{
  const auto* line = dynamic_cast<const TQxGridMarkerLine*>(Source);
  if (!line) {
    inherited::Assign(Source);
    return;
  }
  FColor = line->FColor;
  FPosition = line->FPosition;
  FThickness = line->FThickness;
  FStyle = line->FStyle;
  Changed(false);
}

template <class V>
void TQxGridMarkerLine::SetAndChange(V& Field, const V& Value)
{
  if (Field == Value)
    return;
  Field = Value;
  Changed(false);
}

void TQxGridMarkerLine::SetColor(TColor Value)
{
  SetAndChange(FColor, Value);
}

void TQxGridMarkerLine::SetThickness(Integer Value)
{
  if (Value >= 1)
    SetAndChange(FThickness, Value);
}

void TQxGridMarkerLine::SetPosition(Integer Value)
{
  if (Value >= 0)
    SetAndChange(FPosition, Value);
}

void TQxGridMarkerLine::SetStyle(TPenStyle Value)
{
  SetAndChange(FStyle, Value);
}

// ---- TQxGridMarkerLines -----------------------------------------------------------------

TQxGridMarkerLine* TQxGridMarkerLines::Add()
{
  return static_cast<TQxGridMarkerLine*>(TCollection::Add());
}

void TQxGridMarkerLines::Update(TCollectionItem* Item)
{
  inherited::Update(Item);
  FGrid->Invalidate();
}

// ---- TQxGridPeak ------------------------------------------------------------------------

TQxGridPeak::TQxGridPeak(TCollection* Collection) : TCollectionItem(Collection)
{
  const TQxCustomGrid* grid = Grid();
  if (!grid)
    return;
  FMiddleLabelFormat = grid->MiddleLabelFormat();
  FMaxLabelFormat = grid->MaxLabelFormat();
  FMiddleValueDisplayScale = grid->MiddleValueDisplayScale();
  FMaxValueDisplayScale = grid->MaxValueDisplayScale();
  FValue = grid->MaxValue();
}

TQxCustomGrid* TQxGridPeak::Grid() const
{
  auto* peaks = dynamic_cast<TQxGridPeaksScale*>(Collection());
  return peaks ? peaks->Grid() : nullptr;
}

void TQxGridPeak::Assign(const TPersistent* Source)
{
  const auto* peak = dynamic_cast<const TQxGridPeak*>(Source);
  if (!peak) {
    inherited::Assign(Source);
    return;
  }
  FMiddleLabelFormat = peak->FMiddleLabelFormat;
  FMaxLabelFormat = peak->FMaxLabelFormat;
  FMiddleValueDisplayScale = peak->FMiddleValueDisplayScale;
  FMaxValueDisplayScale = peak->FMaxValueDisplayScale;
  FValue = peak->FValue;
  Changed(false);
}

void TQxGridPeak::SetValue(double Value)
{
  if (std::isfinite(Value))
    FValue = Value;
}

bool TQxGridPeak::IsMaxLabelFormatStored() const
{
  return !Grid() || FMaxLabelFormat != Grid()->MaxLabelFormat();
}

bool TQxGridPeak::IsMiddleLabelFormatStored() const
{
  return !Grid() || FMiddleLabelFormat != Grid()->MiddleLabelFormat();
}

// The display scales are not in the grid's resource: a reader's grid has
// 1.0, so a scale equal to a grid's other value must be kept as well.
bool TQxGridPeak::IsMaxValueDisplayScaleStored() const
{
  return !Grid() || FMaxValueDisplayScale != Grid()->MaxValueDisplayScale() || FMaxValueDisplayScale != 1.0;
}

bool TQxGridPeak::IsMiddleValueDisplayScaleStored() const
{
  return !Grid() || FMiddleValueDisplayScale != Grid()->MiddleValueDisplayScale() || FMiddleValueDisplayScale != 1.0;
}

bool TQxGridPeak::IsValueStored() const
{
  return !Grid() || FValue != Grid()->MaxValue();
}

// ---- TQxGridPeaksScale ------------------------------------------------------------------

TQxGridPeak* TQxGridPeaksScale::AddPeak()
{
  return static_cast<TQxGridPeak*>(TCollection::Add());
}

TQxGridPeak* TQxGridPeaksScale::GetPeakForValue(double Value) const
{
  for (Integer i = 0; i < Count(); ++i)
    if (Peaks(i)->Value() > Value)
      return Peaks(i);
  return nullptr;
}

// ---- TQxCustomGrid: life and properties -------------------------------------------------

TQxCustomGrid::TQxCustomGrid(TComponent* AOwner) : TCustomControl(AOwner)
{
  // Not opaque: the background paint runs before every paint.
  SetControlStyle(ControlStyle() - TControlStyle{csOpaque});
  FGraphs = std::make_unique<TQxGridGraphs>(this);
  FGraphs->SetPropName("Graphs");
  FMarkerLines = std::make_unique<TQxGridMarkerLines>(this);
  FMarkerLines->SetPropName("MarkerLines");
  FAutoScalePeaks = std::make_unique<TQxGridPeaksScale>(this);
  FAutoScalePeaks->SetPropName("AutoScalePeaks");
  SetColor(COLOR_BACKGROUND);
  SetFontColorDefault();
  SetTypeGrid(tgPercent);
  SetBounds(Left(), Top(), 200, 100);
}

TQxCustomGrid::~TQxCustomGrid()
{
  Destroying();
  FAutoScalePeaks.reset();
  FGraphs.reset();
  FMarkerLines.reset();
  DropGraph();
  FGridBitmap.reset();
}

template <class V>
void TQxCustomGrid::SetAndRepaint(V& Field, const V& Value)
{
  if (Field == Value)
    return;
  Field = Value;
  Reset(false, false, true);
}

void TQxCustomGrid::SetShowMiddleLabel(bool Value)
{
  SetAndRepaint(FShowMiddleLabel, Value);
}

void TQxCustomGrid::SetShowLabel(bool Value)
{
  SetAndRepaint(FShowLabel, Value);
}

void TQxCustomGrid::SetBorderColor(TColor Value)
{
  SetAndRepaint(FBorderColor, Value);
}

void TQxCustomGrid::SetGridBorderColor(TColor Value)
{
  SetAndRepaint(FGridBorderColor, Value);
}

void TQxCustomGrid::SetMaxValueDisplayScale(double Value)
{
  SetAndRepaint(FMaxValueDisplayScale, Value);
}

void TQxCustomGrid::SetMiddleValueDisplayScale(double Value)
{
  SetAndRepaint(FMiddleValueDisplayScale, Value);
}

void TQxCustomGrid::SetMinValueDisplayScale(double Value)
{
  SetAndRepaint(FMinValueDisplayScale, Value);
}

// Compared as they are: a format's literal text ("K" or "k") is shown as
// written.
void TQxCustomGrid::SetMaxLabelFormat(const String& Value)
{
  SetAndRepaint(FMaxLabelFormat, Value);
}

void TQxCustomGrid::SetMiddleLabelFormat(const String& Value)
{
  SetAndRepaint(FMiddleLabelFormat, Value);
}

void TQxCustomGrid::SetMinLabelFormat(const String& Value)
{
  SetAndRepaint(FMinLabelFormat, Value);
}

void TQxCustomGrid::SetMaxValue(double Value)
{
  SetRange(FMinValue, Value);
}

void TQxCustomGrid::SetMinValue(double Value)
{
  SetRange(Value, FMaxValue);
}

// Every scale and marker divides by the range, so it never becomes empty or
// reversed; a resource's pair is checked as a whole once it has loaded.
void TQxCustomGrid::SetRange(double AMinValue, double AMaxValue)
{
  if (!std::isfinite(AMinValue) || !std::isfinite(AMaxValue))
    return;
  if (!Loading(this) && !(AMinValue < AMaxValue))
    return;
  if (AMinValue == FMinValue && AMaxValue == FMaxValue)
    return;
  FMinValue = AMinValue;
  FMaxValue = AMaxValue;
  Reset(false, true, true);
}

void TQxCustomGrid::Loaded()
{
  inherited::Loaded();
  if (!(FMinValue < FMaxValue))
    throw EReadError(Format("Invalid grid range: MaxValue (%g) must be greater than MinValue (%g)",
                            {FMaxValue, FMinValue}));
}

void TQxCustomGrid::SetMoveDelta(Integer Value)
{
  if (Value < 1 || Value == FMoveDelta)
    return;
  FMoveDelta = Value;
  Reset(false, true, true);
}

void TQxCustomGrid::SetAntiAlias(bool Value)
{
  if (Value == FAntiAlias)
    return;
  FAntiAlias = Value;
  Reset(false, true, true);
}

void TQxCustomGrid::SetGridLinesColor(TColor Value)
{
  if (Value == FGridLinesColor)
    return;
  FGridLinesColor = Value;
  FGridBitmap.reset();
  Invalidate();
}

void TQxCustomGrid::SetGridRowSize(Integer Value)
{
  if (Value < 1)
    return;
  Value = std::min(Value, MaxGridRowSize);
  if (Value == FGridRowSize)
    return;
  FGridRowSize = Value;
  // The phase stays within the new spacing, so the grid copy stays within
  // the bitmap.
  FGridOffset %= FGridRowSize;
  FGridBitmap.reset();
  Invalidate();
}

void TQxCustomGrid::SetTypeGrid(TTypeGrid Value)
{
  if (Value == FTypeGrid)
    return;
  FTypeGrid = Value;
  FAutoScale = Value == tgNumeric;
  if (Value == tgPercent) {
    SetRange(0, 100);
    SetMaxLabelFormat(kPercentFormat);
    SetMiddleLabelFormat(kPercentFormat);
    SetMinLabelFormat(kPercentFormat);
  }
  // The labels and the scale of the values change with the mode.
  Reset(false, true, true);
}

void TQxCustomGrid::SetFontColorDefault()
{
  TFont* font = Font();
  TNotifyEvent onChange = std::move(font->OnChange);
  font->OnChange = nullptr;
  try {
    font->SetColor(COLOR_GRID_LABEL);
  } catch (...) {
    font->OnChange = std::move(onChange);
    throw;
  }
  font->OnChange = std::move(onChange);
}

// ---- caches -----------------------------------------------------------------------------

void TQxCustomGrid::Reset(bool CheckGrid, bool DropGraphBitmap, bool DoInvalidate)
{
  if (CheckGrid && FGridBitmap &&
      (FGridBitmap->Width() - 2 * FGridRowSize < ClientWidth() || FGridBitmap->Height() < ClientHeight()))
    FGridBitmap.reset();
  if (DropGraphBitmap && !FInSizeMove)
    DropGraph();
  if (DoInvalidate)
    Invalidate();
}

void TQxCustomGrid::ResetBackground()
{
  Reset(true, true, false);
  FGridBitmap.reset();
  if (HandleAllocated())
    InitScale();
}

void TQxCustomGrid::DropGraph()
{
  FGDIpGraph.reset();
  FGraphBitmap.reset();
}

// ---- values -----------------------------------------------------------------------------

double TQxCustomGrid::Range() const
{
  const double range = FMaxValue - FMinValue;
  return std::isfinite(range) && range > 0 ? range : 0;
}

double TQxCustomGrid::Stored(double Value) const
{
  if (FTypeGrid == tgNumeric)
    return Value;
  const double range = Range();
  return range > 0 ? (Value - FMinValue) / range * 100 : 0;
}

float TQxCustomGrid::PixelY(double StoredValue) const
{
  const double h = FGraphBitmap ? FGraphBitmap->Height() : 0;
  return float(std::clamp(h - StoredValue * FCoeffHeight, -kFarPixel, kFarPixel));
}

// The maximum grows past the value: to the first peak above it, or by a
// tenth of the value's size, which also lifts a negative maximum past it.
void TQxCustomGrid::AutoScaleFor(double Value)
{
  if (const TQxGridPeak* peak = FAutoScalePeaks->GetPeakForValue(Value)) {
    FMaxLabelFormat = peak->MaxLabelFormat();
    FMaxValueDisplayScale = peak->MaxValueDisplayScale();
    FMiddleLabelFormat = peak->MiddleLabelFormat();
    FMiddleValueDisplayScale = peak->MiddleValueDisplayScale();
    FMaxValue = peak->Value();
  } else {
    const double grown = Value + 0.1 * std::fabs(Value);
    FMaxValue = std::isfinite(grown) ? grown : Value;
  }
  Reset(false, true, false);
}

void TQxCustomGrid::AddValues(std::span<const double> Values)
{
  for (Integer i = 0; i < FGraphs->Count(); ++i) {
    TQxGridGraph* graph = FGraphs->Items(i);
    if (size_t(i) >= Values.size()) {
      graph->Add(FMinValue);
      continue;
    }
    const double v = std::isfinite(Values[size_t(i)]) ? Values[size_t(i)] : FMinValue;
    if (v > FMaxValue && FAutoScale && FTypeGrid == tgNumeric)
      AutoScaleFor(v);
    graph->Add(Stored(v));
  }
  if (!FInSizeMove)
    FGridOffset = Integer((std::int64_t(FGridOffset) + FMoveDelta) % FGridRowSize);
  if (FGraphBitmap && !FInSizeMove) {
    MoveGraph();
    const Integer right = FGraphBitmap->Width() - 1;
    for (Integer i = 0; i < FGraphs->Count(); ++i) {
      const TQxGridGraph* graph = FGraphs->Items(i);
      const Integer n = graph->Count();
      // As in a full redraw, a segment that would start left of the bitmap
      // is not drawn.
      if (!graph->Visible() || n < 2 || !graph->FGDIpPen || right < FMoveDelta)
        continue;
      FGDIpGraph->DrawLine(graph->FGDIpPen, float(right), PixelY(graph->Values(n - 1)), float(right - FMoveDelta),
                           PixelY(graph->Values(n - 2)));
    }
  }
  Invalidate();
}

// ---- bitmaps ----------------------------------------------------------------------------

void TQxCustomGrid::InitScale()
{
  if (FGridBitmap)
    return;
  // Twice a huge client does not fit an Integer: no bitmap then.
  const std::int64_t wide = 2 * std::int64_t(ClientWidth()) + 2 * std::int64_t(FGridRowSize);
  const std::int64_t high = 2 * std::int64_t(ClientHeight());
  constexpr std::int64_t most = std::numeric_limits<Integer>::max();
  if (wide <= 0 || high <= 0 || wide > most || high > most)
    return;
  const Integer w = Integer(wide);
  const Integer h = Integer(high);
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetPixelFormat(pf32bit);
  bitmap->SetSize(w, h);
  TCanvas* canvas = bitmap->Canvas();
  canvas->Brush()->SetStyle(bsSolid);
  canvas->Brush()->SetColor(Color());
  canvas->FillRect(TRect(0, 0, w, h));
  SetPen(canvas, FGridLinesColor, 1, psDot);
  // Anchored at the bottom-right corner, where the newest values are.
  for (Integer x = w - FGridRowSize; x > 0; x -= FGridRowSize) {
    canvas->MoveTo(x, 0);
    canvas->LineTo(x, h);
  }
  for (Integer y = h - FGridRowSize; y > 0; y -= FGridRowSize) {
    canvas->MoveTo(0, y);
    canvas->LineTo(w, y);
  }
  FGridBitmap = std::move(bitmap);
}

void TQxCustomGrid::InitGraph()
{
  if (FGraphBitmap)
    return;
  const Integer w = ClientWidth();
  const Integer h = FGridRect.Height();
  if (w <= 0 || h <= 0)
    return;
  FGraphs->DefineData(TRect(0, 0, w, h));
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetPixelFormat(pf32bit);
  // The lines are drawn anti-aliased over transparent black, which leaves
  // them premultiplied; a new 32-bit bitmap starts all zero, that is
  // transparent black.
  bitmap->SetAlphaFormat(afPremultiplied);
  bitmap->SetSize(w, h);
  FGDIpGraph = GdiPlus::TGPGraphics::Create(bitmap->Canvas()->Handle());
  FGDIpGraph->SetSmoothingMode(FAntiAlias ? GdiPlus::SmoothingModeAntiAlias : GdiPlus::SmoothingModeNone);
  FGraphBitmap = std::move(bitmap);
  // Numeric values are scaled as they are, from 0 rather than from MinValue.
  const double range = Range();
  FCoeffHeight = FTypeGrid == tgPercent ? 0.01 * h : (range > 0 ? 1.0 / range * h : 0);
  for (Integer i = 0; i < FGraphs->Count(); ++i) {
    TQxGridGraph* graph = FGraphs->Items(i);
    if (graph->Visible() && graph->Count() >= 2 && graph->FGDIpPen)
      DrawGraph(graph, w);
  }
}

// Newest value at the right edge, each older one MoveDelta further left,
// down to the last one that is not left of the bitmap: one line through
// them all, so that the joints are smooth.
void TQxCustomGrid::DrawGraph(TQxGridGraph* Graph, Integer Width)
{
  std::vector<GdiPlus::TGPPointF> points;
  std::int64_t x = Width - 1;
  for (Integer i = Graph->Count() - 1; i >= 0 && x >= 0; --i, x -= FMoveDelta)
    points.push_back({float(x), PixelY(Graph->Values(i))});
  if (points.size() >= 2)
    FGDIpGraph->DrawLines(Graph->FGDIpPen, points);
}

// Every row moves MoveDelta pixels left, which for rows that follow each
// other is one move of the whole picture; the columns that come free at the
// right of each row (never more than the bitmap is wide) are cleared.
void TQxCustomGrid::MoveGraph()
{
  const size_t w = size_t(FGraphBitmap->Width());
  const size_t h = size_t(FGraphBitmap->Height());
  const size_t delta = std::min(size_t(FMoveDelta), w);
  auto* pixels = reinterpret_cast<std::uint32_t*>(FGraphBitmap->ScanLine(0));
  if (delta < w)
    std::memmove(pixels, pixels + delta, (w * h - delta) * 4);
  for (size_t y = 0; y < h; ++y)
    std::memset(pixels + y * w + (w - delta), 0, delta * 4);
}

// ---- painting ---------------------------------------------------------------------------

String TQxCustomGrid::LabelText(const String& LabelFormat, double Value) const
{
  try {
    return Format(LabelFormat, {Value});
  } catch (const Exception&) {
    return String();
  }
}

String TQxCustomGrid::GetMaxText() const
{
  return LabelText(FMaxLabelFormat, FTypeGrid == tgPercent ? 100.0 : FMaxValue * FMaxValueDisplayScale);
}

String TQxCustomGrid::GetMiddleText() const
{
  if (!FShowMiddleLabel)
    return String();
  return LabelText(FMiddleLabelFormat,
                   FTypeGrid == tgPercent ? 50.0 : (FMaxValue - FMinValue) / 2 * FMiddleValueDisplayScale);
}

String TQxCustomGrid::GetMinText() const
{
  return LabelText(FMinLabelFormat, FTypeGrid == tgPercent ? 0.0 : FMinValue * FMinValueDisplayScale);
}

void TQxCustomGrid::WMEraseBkgnd(TMessage& Message)
{
  Message.Result = 1;
  // The buffered paint erases its buffer with both parameters the same.
  if (DoubleBuffered() && Message.WParam != Win::WPARAM(Message.LParam))
    return;
  auto dc = reinterpret_cast<Win::HDC>(Message.WParam);
  if (!dc)
    return;
  Win::TSavedDC saved(dc);
  TCanvasOnDC canvas(Canvas(), dc);
  DrawBackground();
}

void TQxCustomGrid::DrawBackground()
{
  const Integer cw = ClientWidth();
  const Integer ch = ClientHeight();
  if (cw < 1 || ch < 1)
    return;
  TCanvas* canvas = Canvas();
  canvas->SetFont(Font());
  canvas->Brush()->SetStyle(bsSolid);
  canvas->Brush()->SetColor(Color());
  canvas->FillRect(ClientRect());
  SetPen(canvas, FBorderColor, 1, psSolid);
  canvas->Rectangle(ClientRect());
  FGridRect = TRect(0, kMargin, cw, ch - kMargin);
  SetPen(canvas, FGridBorderColor, 1, psSolid);
  if (FShowLabel) {
    FGridRect.Right -= kMargin;
    const Integer labelWidth = std::max({canvas->TextWidth(GetMiddleText()), canvas->TextWidth(GetMaxText()),
                                         canvas->TextWidth(GetMinText())});
    DrawLabels(labelWidth);
    FGridRect.Left += labelWidth + kLabelGap;
    SetPen(canvas, FGridBorderColor, 1, psSolid);
    canvas->Rectangle(FGridRect);
  } else {
    canvas->MoveTo(FGridRect.Left + 1, FGridRect.Top);
    canvas->LineTo(FGridRect.Right - 1, FGridRect.Top);
    canvas->MoveTo(FGridRect.Left + 1, FGridRect.Bottom - 1);
    canvas->LineTo(FGridRect.Right - 1, FGridRect.Bottom - 1);
  }
  FGridRect.Inflate(-1, -1);
  InitScale();
  CopyGrid();
}

void TQxCustomGrid::DrawLabels(Integer LabelWidth)
{
  const TRect labels(kMargin, kMargin, LabelWidth + kMargin, ClientHeight() - kMargin);
  constexpr Win::UINT flags = Win::DT_LEFT | Win::DT_SINGLELINE | Win::DT_NOPREFIX;
  auto draw = [&](const String& Text, Win::UINT Place) {
    TRect r = labels;
    QxDrawText(Canvas(), Text, r, true, flags | Place);
  };
  draw(GetMaxText(), Win::DT_TOP);
  draw(GetMinText(), Win::DT_BOTTOM);
  if (FShowMiddleLabel)
    draw(GetMiddleText(), Win::DT_VCENTER);
}

// The window of the grid bitmap that shows the current scroll phase.
void TQxCustomGrid::CopyGrid()
{
  const Integer gw = FGridRect.Width();
  const Integer gh = FGridRect.Height();
  if (!FGridBitmap || gw <= 0 || gh <= 0)
    return;
  const Integer left = FGridBitmap->Width() - FGridRowSize - gw + FGridOffset;
  const Integer top = FGridBitmap->Height() - gh;
  Win::BitBlt(Canvas()->Handle(), FGridRect.Left, FGridRect.Top, gw, gh, FGridBitmap->Canvas()->Handle(), left, top,
              Win::SRCCOPY);
}

void TQxCustomGrid::Paint()
{
  InitGraph();
  TCanvas* canvas = Canvas();
  const Integer cw = ClientWidth();
  TRect clip(0, FGridRect.Top, cw, ClientHeight() - FGridRect.Top);
  if (FShowLabel) {
    clip.Left = FGridRect.Left;
    clip.Right = cw - FGridRect.Top;
  }
  Win::HDC dc = canvas->Handle();
  Win::TSavedDC saved(dc);
  Win::IntersectClipRect(dc, clip.Left, clip.Top, clip.Right, clip.Bottom);
  if (FGraphBitmap) {
    const Integer w = FGraphBitmap->Width();
    // While the window is being sized the old picture stretches to the new
    // height instead of being drawn again.
    if (FInSizeMove)
      canvas->StretchDraw(TRect(clip.Right - w, clip.Top, clip.Right, clip.Bottom), FGraphBitmap.get());
    else
      canvas->Draw(FGridRect.Right - w, FGridRect.Top, FGraphBitmap.get());
  }
  DrawMarkerLines();
}

void TQxCustomGrid::DrawMarkerLines()
{
  const double range = Range();
  if (range <= 0)
    return;
  TCanvas* canvas = Canvas();
  canvas->Brush()->SetStyle(bsClear);
  for (Integer i = 0; i < FMarkerLines->Count(); ++i) {
    const TQxGridMarkerLine* line = FMarkerLines->Items(i);
    SetPen(canvas, line->Color(), line->Thickness(), line->Style());
    const Integer y = ToPixel(FGridRect.Bottom - FGridRect.Height() * (line->Position() - FMinValue) / range);
    canvas->MoveTo(FGridRect.Left, y);
    canvas->LineTo(FGridRect.Right, y);
  }
}

// ---- messages ---------------------------------------------------------------------------

void TQxCustomGrid::Dispatch(TMessage& Message)
{
  if (ComponentState().Contains(csDestroying)) {
    inherited::Dispatch(Message);
    return;
  }
  switch (Message.Msg) {
  case Win::WM_ERASEBKGND:
    WMEraseBkgnd(Message);
    return;
  case Win::WM_SIZE:
    Reset(true, true, true);
    inherited::Dispatch(Message);
    return;
  case Win::WM_ENTERSIZEMOVE:
    FInSizeMove = true;
    inherited::Dispatch(Message);
    return;
  case Win::WM_EXITSIZEMOVE:
    FInSizeMove = false;
    inherited::Dispatch(Message);
    Reset(true, true, true);
    return;
  case CM_COLORCHANGED:
    ResetBackground();
    inherited::Dispatch(Message);
    return;
  case CM_PARENTFONTCHANGED:
    inherited::Dispatch(Message);
    // The parent's font brings its colour along; the labels keep their own
    // unless the host chose one.
    if (ParentFont() && Parent() && Parent()->Font()->Color() == Font()->Color())
      SetFontColorDefault();
    return;
  default:
    inherited::Dispatch(Message);
  }
}

// ---- published --------------------------------------------------------------------------

QX_PUBLISHED(TQxGrid)
{
  for (const char* name : {"Align", "Anchors", "ParentColor"})
    Publish(name);
  Publish("Color").Default(COLOR_BACKGROUND);
  for (const char* name : {"ParentFont", "Font", "DoubleBuffered", "ParentDoubleBuffered"})
    Publish(name);
  // The mode first: switching it sets the range, the formats and AutoScale,
  // which the lines after it then override.
  Property("TypeGrid", &T::TypeGrid, &T::SetTypeGrid).Default(tgPercent);
  Property("MoveDelta", &T::MoveDelta, &T::SetMoveDelta).Default(1);
  Property("ShowMiddleLabel", &T::ShowMiddleLabel, &T::SetShowMiddleLabel).Default(false);
  Property("ShowLabel", &T::ShowLabel, &T::SetShowLabel).Default(true);
  Property("MaxLabelFormat", &T::MaxLabelFormat, &T::SetMaxLabelFormat).Default(kPercentFormat);
  Property("MiddleLabelFormat", &T::MiddleLabelFormat, &T::SetMiddleLabelFormat).Default(kPercentFormat);
  Property("MinLabelFormat", &T::MinLabelFormat, &T::SetMinLabelFormat).Default(kPercentFormat);
  Property("MaxValue", &T::MaxValue, &T::SetMaxValue).Default(100.0);
  Property("MinValue", &T::MinValue, &T::SetMinValue).Default(0.0);
  Property("BorderColor", &T::BorderColor, &T::SetBorderColor).As(pkColor).Default(COLOR_BORDER);
  Property("GridBorderColor", &T::GridBorderColor, &T::SetGridBorderColor).As(pkColor).Default(COLOR_GRID_BORDER);
  Property("GridLinesColor", &T::GridLinesColor, &T::SetGridLinesColor).As(pkColor).Default(COLOR_GRID_LINES);
  Property("GridRowSize", &T::GridRowSize, &T::SetGridRowSize).Default(15);
  // Written where it differs from what the mode read before it set.
  Property("AutoScale", &T::AutoScale, &T::SetAutoScale).Default(kNoFixedDefault).StoredWhen([](const TObject* o) {
    const auto* grid = static_cast<const TQxGrid*>(o);
    return grid->AutoScale() != (grid->TypeGrid() == tgNumeric);
  });
  Property("AntiAlias", &T::AntiAlias, &T::SetAntiAlias).Default(true);
  Property("Graphs", &T::Graphs, &T::SetGraphs);
  Property("MarkerLines", &T::MarkerLines, &T::SetMarkerLines);
  // After the range and formats, which a new peak starts from.
  Property("AutoScalePeaks", &T::AutoScalePeaks, &T::SetAutoScalePeaks);
}

QX_PUBLISHED(TQxGridGraph)
{
  Property("ValueName", &T::ValueName, &T::SetValueName).Default(String("TQxGridGraph"));
  Property("MinColor", &T::MinColor, &T::SetMinColor).As(pkColor).Default(TColor(0x00FF0000));
  Property("MaxColor", &T::MaxColor, &T::SetMaxColor).As(pkColor).Default(TColor(0x000000FF));
  Property("Visible", &T::Visible, &T::SetVisible).Default(true);
}

QX_PUBLISHED(TQxGridMarkerLine)
{
  Property("Color", &T::Color, &T::SetColor).As(pkColor).Default(TColor(0x00000080));
  Property("Thickness", &T::Thickness, &T::SetThickness).Default(1);
  Property("Position", &T::Position, &T::SetPosition).Default(50);
  Property("Style", &T::Style, &T::SetStyle).Default(psSolid);
}

// A peak's defaults are the grid's values of the moment.
QX_PUBLISHED(TQxGridPeak)
{
  Property("MaxLabelFormat", &T::MaxLabelFormat, &T::SetMaxLabelFormat)
    .Default(kNoFixedDefault)
    .Stored(&T::IsMaxLabelFormatStored);
  Property("MiddleLabelFormat", &T::MiddleLabelFormat, &T::SetMiddleLabelFormat)
    .Default(kNoFixedDefault)
    .Stored(&T::IsMiddleLabelFormatStored);
  Property("MaxValueDisplayScale", &T::MaxValueDisplayScale, &T::SetMaxValueDisplayScale)
    .Default(kNoFixedDefault)
    .Stored(&T::IsMaxValueDisplayScaleStored);
  Property("MiddleValueDisplayScale", &T::MiddleValueDisplayScale, &T::SetMiddleValueDisplayScale)
    .Default(kNoFixedDefault)
    .Stored(&T::IsMiddleValueDisplayScaleStored);
  Property("Value", &T::Value, &T::SetValue).Default(kNoFixedDefault).Stored(&T::IsValueStored);
}

} // namespace Quorex
