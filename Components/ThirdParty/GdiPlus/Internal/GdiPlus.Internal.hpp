// The geometry behind matrices, paths and regions, shared by the units of
// the object layer. Plain C++: the Cairo side is GdiPlus.Cairo.Internal.hpp.
#pragma once

#include "GdiPlus.hpp"

#include <memory>
#include <vector>

namespace GdiPlus::Internal {

struct TPointD {
  double X = 0;
  double Y = 0;
};

// x' = XX x + XY y + X0, y' = YX x + YY y + Y0 (Cairo's layout of the GDI+
// elements M11 = XX, M12 = YX, M21 = XY, M22 = YY).
struct TAffine {
  double XX = 1, YX = 0, XY = 0, YY = 1, X0 = 0, Y0 = 0;
  TPointD Apply(TPointD P) const { return {XX * P.X + XY * P.Y + X0, YX * P.X + YY * P.Y + Y0}; }
  double Determinant() const { return XX * YY - XY * YX; }
  bool IsFinite() const;
  bool IsInvertible() const;
  TAffine Inverse() const; // the caller checks IsInvertible
  static TAffine Translation(double DX, double DY) { return {1, 0, 0, 1, DX, DY}; }
  static TAffine Scaling(double SX, double SY) { return {SX, 0, 0, SY, 0, 0}; }
  static TAffine Rotation(double Degrees);
};
// First A, then B.
TAffine Then(const TAffine& A, const TAffine& B);

TAffine AffineOf(const std::shared_ptr<IGPMatrix>& Matrix); // InvalidParameter for a null matrix

// Raise InvalidParameter for NaN, infinities and negative sizes.
void CheckFinite(std::initializer_list<double> Values);
void CheckRect(const TGPRectF& Rect);
void CheckPoints(const std::vector<TGPPointF>& Points, std::size_t Least);

// Figures of moves, lines and cubic curves.
struct TPathData {
  enum class TKind : unsigned char { Move, Line, Cubic, Close };
  std::vector<TKind> Kinds;
  std::vector<TPointD> Points; // Move and Line one each, Cubic three, Close none
  TGPFillMode FillMode = FillModeAlternate;
  bool Open = false; // whether the next line or arc continues the last figure

  void MoveTo(TPointD P);
  // Continues the open figure with a line to P (or starts one at P).
  void LineTo(TPointD P);
  void CubicTo(TPointD C1, TPointD C2, TPointD P);
  void Close();
  void Transform(const TAffine& M);
  bool Empty() const { return Kinds.empty(); }
  // Every figure as a closed polygon, curves flattened to within a tenth of a unit.
  std::vector<std::vector<TPointD>> Polygons() const;
  bool Contains(double X, double Y) const;
  // X, Y, right, bottom of the points; all zero for an empty path.
  void Bounds(double& Left, double& Top, double& Right, double& Bottom) const;
};

void AddArcTo(TPathData& Path, const TGPRectF& Rect, double StartAngle, double SweepAngle);
void AddRectTo(TPathData& Path, const TGPRectF& Rect);

const TPathData& PathDataOf(const std::shared_ptr<IGPGraphicsPath>& Path); // InvalidParameter for null

// A region as an immutable tree of combinations of paths.
struct TRegionNode {
  enum class TKind { Empty, Infinite, Path, Combine };
  TKind Kind = TKind::Infinite;
  TPathData Path;
  TGPCombineMode Mode = CombineModeReplace;
  std::shared_ptr<const TRegionNode> A, B;

  static std::shared_ptr<const TRegionNode> Make(TKind Kind);
  static std::shared_ptr<const TRegionNode> FromPath(TPathData Path);
  static std::shared_ptr<const TRegionNode> Combined(std::shared_ptr<const TRegionNode> A,
                                                     std::shared_ptr<const TRegionNode> B, TGPCombineMode Mode);
  static std::shared_ptr<const TRegionNode> Transformed(const std::shared_ptr<const TRegionNode>& Node,
                                                        const TAffine& M);
  bool Contains(double X, double Y) const;
  // A box that holds the region; false when it is unbounded.
  bool Bounds(double& Left, double& Top, double& Right, double& Bottom) const;
};

std::shared_ptr<const TRegionNode> RegionNodeOf(const std::shared_ptr<IGPRegion>& Region);
std::shared_ptr<IGPRegion> MakeRegion(std::shared_ptr<const TRegionNode> Node);

} // namespace GdiPlus::Internal
