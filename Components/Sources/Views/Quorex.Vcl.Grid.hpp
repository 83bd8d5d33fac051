// A scrolling graph grid in the manner of a live load monitor: every
// AddValues call scrolls the plot left and draws only the newest segment of
// each series, over a dotted grid that scrolls along. The vertical axis is a
// percentage or a numeric range whose maximum can grow on its own, stepping
// through a table of peaks that also relabel the axis; horizontal marker
// lines mark thresholds.
#pragma once

#include <GdiPlus.hpp>
#include <System.TypInfo.hpp>
#include <Vcl.Controls.hpp>
#include <Vcl.Graphics.hpp>

#include <array>
#include <initializer_list>
#include <memory>
#include <span>

namespace Quorex {

enum class TTypeGrid { tgPercent, tgNumeric };
using enum TTypeGrid;
QX_ENUM_NAMES(TTypeGrid, tgPercent, tgNumeric)

inline constexpr Vcl::TColor COLOR_GRID_LABEL = Vcl::TColor(0x0011AA11);
inline constexpr Vcl::TColor COLOR_GRID_BORDER = Vcl::TColor(0x0011AA11);
inline constexpr Vcl::TColor COLOR_BACKGROUND = Vcl::TColor(0x00000000);
inline constexpr Vcl::TColor COLOR_BORDER = Vcl::TColor(0x00000000);
inline constexpr Vcl::TColor COLOR_GRID_LINES = Vcl::TColor(0x00008000);

// Scanline access to 32-bit BGRA rows.
using TRGBQuadArray = Win::RGBQUAD[];
using PRGBQuadArray = Win::RGBQUAD*;

class TQxCustomGrid;

// One series: its colours, its switch and its last 1000 values.
class TQxGridGraph : public Vcl::TCollectionItem {
  QX_CLASS(TQxGridGraph, Vcl::TCollectionItem)
public:
  static constexpr Vcl::Integer Capacity = 1000;

  explicit TQxGridGraph(Vcl::TCollection* Collection);
  void Assign(const Vcl::TPersistent* Source) override;
  Vcl::String DisplayName() const override;

  const Vcl::String& ValueName() const { return FValueName; }
  void SetValueName(const Vcl::String& Value) { FValueName = Value; }
  Vcl::TColor MinColor() const { return FMinColor; }
  void SetMinColor(Vcl::TColor Value);
  Vcl::TColor MaxColor() const { return FMaxColor; }
  void SetMaxColor(Vcl::TColor Value);
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);

  // Appends a stored value; the oldest goes when the store is full.
  void Add(double Value);
  // Empties the store and lets the grid rebuild its bitmaps; no repaint.
  void Clear();
  Vcl::Integer Count() const { return FCount; }
  // Oldest first; EListError outside 0..Count-1.
  double Values(Vcl::Integer Index) const;

private:
  friend class TQxGridGraphs;
  friend class TQxCustomGrid;
  template <class V>
  void SetAndChange(V& Field, const V& Value);

  Vcl::String FValueName;
  Vcl::TColor FMaxColor = Vcl::TColor(0x000000FF);
  Vcl::TColor FMinColor = Vcl::TColor(0x00FF0000);
  // A ring: FFirst is the oldest of FCount values.
  std::array<double, Capacity> FValues{};
  Vcl::Integer FFirst = 0;
  Vcl::Integer FCount = 0;
  std::shared_ptr<GdiPlus::IGPPen> FGDIpPen;
  std::shared_ptr<GdiPlus::IGPLinearGradientBrush> FGDIpBrush;
  bool FVisible = true;
};

// The grid's collections: each holds the grid and reports it as its owner.
template <class Item>
class TQxGridCollection : public Vcl::TCollection {
public:
  TQxGridCollection(TQxCustomGrid* AGrid) : Vcl::TCollection(&Item::StaticClass()), FGrid(AGrid) {}
  Vcl::TPersistent* GetOwner() const override;
  TQxCustomGrid* Grid() const { return FGrid; }
  Item* Items(Vcl::Integer Index) const { return static_cast<Item*>(Vcl::TCollection::Items(Index)); }
  Item* operator[](Vcl::Integer Index) const { return Items(Index); }

protected:
  TQxCustomGrid* FGrid;
};

class TQxGridGraphs : public TQxGridCollection<TQxGridGraph> {
  QX_CLASS(TQxGridGraphs, Vcl::TCollection)
public:
  using TQxGridCollection::TQxGridCollection;
  TQxGridGraph* Add();
  // New pens and gradient brushes over Rect for the visible series; the
  // hidden ones let theirs go.
  void DefineData(const Vcl::TRect& Rect);

protected:
  void Update(Vcl::TCollectionItem* Item) override;
};

class TQxGridMarkerLine : public Vcl::TCollectionItem {
  QX_CLASS(TQxGridMarkerLine, Vcl::TCollectionItem)
public:
  explicit TQxGridMarkerLine(Vcl::TCollection* Collection) : Vcl::TCollectionItem(Collection) {}
  void Assign(const Vcl::TPersistent* Source) override;

  Vcl::TColor Color() const { return FColor; }
  void SetColor(Vcl::TColor Value);
  // Pen width; values below 1 are ignored.
  Vcl::Integer Thickness() const { return FThickness; }
  void SetThickness(Vcl::Integer Value);
  // In axis units; negative values are ignored.
  Vcl::Integer Position() const { return FPosition; }
  void SetPosition(Vcl::Integer Value);
  Vcl::TPenStyle Style() const { return FStyle; }
  void SetStyle(Vcl::TPenStyle Value);

private:
  template <class V>
  void SetAndChange(V& Field, const V& Value);

  Vcl::TColor FColor = Vcl::TColor(0x00000080);
  Vcl::Integer FPosition = 50;
  Vcl::Integer FThickness = 1;
  Vcl::TPenStyle FStyle = Vcl::psSolid;
};

class TQxGridMarkerLines : public TQxGridCollection<TQxGridMarkerLine> {
  QX_CLASS(TQxGridMarkerLines, Vcl::TCollection)
public:
  using TQxGridCollection::TQxGridCollection;
  TQxGridMarkerLine* Add();

protected:
  void Update(Vcl::TCollectionItem* Item) override;
};

// A step of automatic scaling: the maximum it sets and the labels that go
// with it. A new peak starts from the grid's current maximum and labels.
class TQxGridPeak : public Vcl::TCollectionItem {
  QX_CLASS(TQxGridPeak, Vcl::TCollectionItem)
public:
  explicit TQxGridPeak(Vcl::TCollection* Collection);
  void Assign(const Vcl::TPersistent* Source) override;

  const Vcl::String& MaxLabelFormat() const { return FMaxLabelFormat; }
  void SetMaxLabelFormat(const Vcl::String& Value) { FMaxLabelFormat = Value; }
  const Vcl::String& MiddleLabelFormat() const { return FMiddleLabelFormat; }
  void SetMiddleLabelFormat(const Vcl::String& Value) { FMiddleLabelFormat = Value; }
  double MaxValueDisplayScale() const { return FMaxValueDisplayScale; }
  void SetMaxValueDisplayScale(double Value) { FMaxValueDisplayScale = Value; }
  double MiddleValueDisplayScale() const { return FMiddleValueDisplayScale; }
  void SetMiddleValueDisplayScale(double Value) { FMiddleValueDisplayScale = Value; }
  double Value() const { return FValue; }
  // Only finite values: the peak becomes the axis maximum.
  void SetValue(double Value);

  // Whether each value differs from the grid's, which a form resource
  // then has to keep.
  bool IsMaxLabelFormatStored() const;
  bool IsMiddleLabelFormatStored() const;
  bool IsMaxValueDisplayScaleStored() const;
  bool IsMiddleValueDisplayScaleStored() const;
  bool IsValueStored() const;

private:
  TQxCustomGrid* Grid() const;

  Vcl::String FMiddleLabelFormat;
  Vcl::String FMaxLabelFormat;
  double FMiddleValueDisplayScale = 1.0;
  double FMaxValueDisplayScale = 1.0;
  double FValue = 100;
};

class TQxGridPeaksScale : public TQxGridCollection<TQxGridPeak> {
  QX_CLASS(TQxGridPeaksScale, Vcl::TCollection)
public:
  using TQxGridCollection::TQxGridCollection;
  TQxGridPeak* AddPeak();
  TQxGridPeak* Peaks(Vcl::Integer Index) const { return Items(Index); }
  // The first peak, in collection order, whose Value is above Value; nullptr
  // when none is.
  TQxGridPeak* GetPeakForValue(double Value) const;
};

class TQxCustomGrid : public Vcl::TCustomControl {
  QX_CLASS(TQxCustomGrid, Vcl::TCustomControl)
public:
  // Grid spacings above this are taken as this.
  static constexpr Vcl::Integer MaxGridRowSize = 1000;

  explicit TQxCustomGrid(Vcl::TComponent* AOwner);
  ~TQxCustomGrid() override;

  // One value per graph, in collection order; a graph without one receives
  // MinValue, extra values are ignored. Non-finite values count as MinValue.
  void AddValues(std::span<const double> Values);
  void AddValues(std::initializer_list<double> Values) { AddValues(std::span<const double>(Values)); }
  // Drops what the flags name: a grid bitmap that the client outgrew, the
  // graph bitmap (kept while the window is being sized), and invalidates.
  void Reset(bool CheckGrid, bool DropGraph, bool DoInvalidate);
  // Drops both bitmaps and builds the grid bitmap again at once.
  void ResetBackground();

  TQxGridGraphs* Graphs() const { return FGraphs.get(); }
  void SetGraphs(const TQxGridGraphs* Value) { FGraphs->Assign(Value); }
  TQxGridMarkerLines* MarkerLines() const { return FMarkerLines.get(); }
  void SetMarkerLines(const TQxGridMarkerLines* Value) { FMarkerLines->Assign(Value); }
  TQxGridPeaksScale* AutoScalePeaks() const { return FAutoScalePeaks.get(); }
  void SetAutoScalePeaks(const TQxGridPeaksScale* Value) { FAutoScalePeaks->Assign(Value); }

  Vcl::Integer MoveDelta() const { return FMoveDelta; }
  void SetMoveDelta(Vcl::Integer Value);
  bool ShowMiddleLabel() const { return FShowMiddleLabel; }
  void SetShowMiddleLabel(bool Value);
  bool ShowLabel() const { return FShowLabel; }
  void SetShowLabel(bool Value);
  const Vcl::String& MaxLabelFormat() const { return FMaxLabelFormat; }
  void SetMaxLabelFormat(const Vcl::String& Value);
  const Vcl::String& MiddleLabelFormat() const { return FMiddleLabelFormat; }
  void SetMiddleLabelFormat(const Vcl::String& Value);
  const Vcl::String& MinLabelFormat() const { return FMinLabelFormat; }
  void SetMinLabelFormat(const Vcl::String& Value);
  double MaxValueDisplayScale() const { return FMaxValueDisplayScale; }
  void SetMaxValueDisplayScale(double Value);
  double MiddleValueDisplayScale() const { return FMiddleValueDisplayScale; }
  void SetMiddleValueDisplayScale(double Value);
  double MinValueDisplayScale() const { return FMinValueDisplayScale; }
  void SetMinValueDisplayScale(double Value);
  // The axis range: each accepted only finite and with MaxValue above
  // MinValue; while a form resource loads both are taken as they come and
  // checked together once it has loaded.
  double MaxValue() const { return FMaxValue; }
  void SetMaxValue(double Value);
  double MinValue() const { return FMinValue; }
  void SetMinValue(double Value);
  Vcl::TColor BorderColor() const { return FBorderColor; }
  void SetBorderColor(Vcl::TColor Value);
  Vcl::TColor GridBorderColor() const { return FGridBorderColor; }
  void SetGridBorderColor(Vcl::TColor Value);
  Vcl::TColor GridLinesColor() const { return FGridLinesColor; }
  void SetGridLinesColor(Vcl::TColor Value);
  // Grid spacing in pixels; values below 1 are ignored, values above
  // MaxGridRowSize taken as MaxGridRowSize.
  Vcl::Integer GridRowSize() const { return FGridRowSize; }
  void SetGridRowSize(Vcl::Integer Value);
  bool AutoScale() const { return FAutoScale; }
  void SetAutoScale(bool Value) { FAutoScale = Value; }
  TTypeGrid TypeGrid() const { return FTypeGrid; }
  void SetTypeGrid(TTypeGrid Value);
  bool AntiAlias() const { return FAntiAlias; }
  void SetAntiAlias(bool Value);

  // The texts of the three labels as they show now ("" for a format that
  // does not apply to one number, and for the hidden middle label).
  Vcl::String GetMaxText() const;
  Vcl::String GetMiddleText() const;
  Vcl::String GetMinText() const;
  // The plot area in client coordinates, as the last background paint laid
  // it out.
  const Vcl::TRect& GridRect() const { return FGridRect; }
  bool InSizeMove() const { return FInSizeMove; }

  void Dispatch(Vcl::TMessage& Message) override;

protected:
  void Paint() override;
  void Loaded() override;
  // Sets the font colour to COLOR_GRID_LABEL without a font-changed message.
  void SetFontColorDefault();

private:
  void WMEraseBkgnd(Vcl::TMessage& Message);
  void DrawBackground();
  void DrawLabels(Vcl::Integer LabelWidth);
  void CopyGrid();
  void InitScale();
  void InitGraph();
  void DrawGraph(TQxGridGraph* Graph, Vcl::Integer Width);
  void DrawMarkerLines();
  void MoveGraph();
  void DropGraph();
  void AutoScaleFor(double Value);
  void SetRange(double AMinValue, double AMaxValue);
  double Stored(double Value) const;
  float PixelY(double StoredValue) const;
  // MaxValue - MinValue, or 0 for a range that cannot divide.
  double Range() const;
  Vcl::String LabelText(const Vcl::String& Format, double Value) const;
  template <class V>
  void SetAndRepaint(V& Field, const V& Value);

  bool FInSizeMove = false;
  std::unique_ptr<Vcl::TBitmap> FGridBitmap;
  std::unique_ptr<Vcl::TBitmap> FGraphBitmap;
  Vcl::TRect FGridRect;
  Vcl::Integer FGridOffset = 0;
  double FCoeffHeight = 0;
  std::shared_ptr<GdiPlus::IGPGraphics> FGDIpGraph;
  Vcl::String FMinLabelFormat;
  Vcl::String FMiddleLabelFormat;
  Vcl::String FMaxLabelFormat;
  double FMaxValueDisplayScale = 1.0;
  double FMiddleValueDisplayScale = 1.0;
  double FMinValueDisplayScale = 1.0;
  bool FShowMiddleLabel = false;
  bool FShowLabel = true;
  double FMaxValue = 100;
  double FMinValue = 0;
  Vcl::TColor FBorderColor = COLOR_BORDER;
  Vcl::TColor FGridBorderColor = COLOR_GRID_BORDER;
  Vcl::TColor FGridLinesColor = COLOR_GRID_LINES;
  Vcl::Integer FGridRowSize = 15;
  bool FAutoScale = false;
  TTypeGrid FTypeGrid = tgNumeric; // the constructor switches to percent
  bool FAntiAlias = true;
  std::unique_ptr<TQxGridGraphs> FGraphs;
  std::unique_ptr<TQxGridMarkerLines> FMarkerLines;
  std::unique_ptr<TQxGridPeaksScale> FAutoScalePeaks;
  Vcl::Integer FMoveDelta = 1;
};

class TQxGrid : public TQxCustomGrid {
  QX_CLASS(TQxGrid, TQxCustomGrid)
public:
  using TQxCustomGrid::TQxCustomGrid;
};

template <class Item>
Vcl::TPersistent* TQxGridCollection<Item>::GetOwner() const
{
  return FGrid;
}

} // namespace Quorex
