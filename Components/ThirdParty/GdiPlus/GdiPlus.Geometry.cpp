// Matrices, paths and regions: pure geometry, no drawing.
#include "GdiPlus.Internal.hpp"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace GdiPlus {

using namespace Internal;

namespace Internal {

// ---- affine transforms -----------------------------------------------------------------

bool TAffine::IsFinite() const
{
  return std::isfinite(XX) && std::isfinite(YX) && std::isfinite(XY) && std::isfinite(YY) && std::isfinite(X0) &&
         std::isfinite(Y0);
}

bool TAffine::IsInvertible() const
{
  double d = Determinant();
  return IsFinite() && std::isfinite(d) && d != 0 && std::isfinite(1 / d);
}

TAffine TAffine::Inverse() const
{
  double d = Determinant();
  TAffine r{YY / d, -YX / d, -XY / d, XX / d, 0, 0};
  r.X0 = -(r.XX * X0 + r.XY * Y0);
  r.Y0 = -(r.YX * X0 + r.YY * Y0);
  return r;
}

TAffine TAffine::Rotation(double Degrees)
{
  double a = Degrees * std::numbers::pi / 180;
  double c = std::cos(a), s = std::sin(a);
  return {c, s, -s, c, 0, 0};
}

TAffine Then(const TAffine& A, const TAffine& B)
{
  return {B.XX * A.XX + B.XY * A.YX, B.YX * A.XX + B.YY * A.YX,
          B.XX * A.XY + B.XY * A.YY, B.YX * A.XY + B.YY * A.YY,
          B.XX * A.X0 + B.XY * A.Y0 + B.X0, B.YX * A.X0 + B.YY * A.Y0 + B.Y0};
}

void CheckFinite(std::initializer_list<double> Values)
{
  for (double v : Values)
    if (!std::isfinite(v))
      GdipCheck(InvalidParameter);
}

void CheckRect(const TGPRectF& Rect)
{
  CheckFinite({Rect.X, Rect.Y, Rect.Width, Rect.Height});
  if (Rect.Width < 0 || Rect.Height < 0)
    GdipCheck(InvalidParameter);
}

void CheckPoints(const std::vector<TGPPointF>& Points, std::size_t Least)
{
  if (Points.size() < Least)
    GdipCheck(InvalidParameter);
  for (const TGPPointF& p : Points)
    CheckFinite({p.X, p.Y});
}

// ---- paths --------------------------------------------------------------------------------

void TPathData::MoveTo(TPointD P)
{
  Kinds.push_back(TKind::Move);
  Points.push_back(P);
  Open = true;
}

void TPathData::LineTo(TPointD P)
{
  if (!Open) {
    MoveTo(P);
    return;
  }
  const TPointD& last = Points.back();
  if (last.X == P.X && last.Y == P.Y)
    return;
  Kinds.push_back(TKind::Line);
  Points.push_back(P);
}

void TPathData::CubicTo(TPointD C1, TPointD C2, TPointD P)
{
  if (!Open)
    MoveTo(C1);
  Kinds.push_back(TKind::Cubic);
  Points.insert(Points.end(), {C1, C2, P});
}

void TPathData::Close()
{
  if (!Open)
    return;
  Kinds.push_back(TKind::Close);
  Open = false;
}

void TPathData::Transform(const TAffine& M)
{
  for (TPointD& p : Points)
    p = M.Apply(p);
}

namespace {

TPointD CubicAt(TPointD P0, TPointD P1, TPointD P2, TPointD P3, double T)
{
  double u = 1 - T;
  double a = u * u * u, b = 3 * u * u * T, c = 3 * u * T * T, d = T * T * T;
  return {a * P0.X + b * P1.X + c * P2.X + d * P3.X, a * P0.Y + b * P1.Y + c * P2.Y + d * P3.Y};
}

double Distance(TPointD A, TPointD B)
{
  return std::hypot(A.X - B.X, A.Y - B.Y);
}

} // namespace

std::vector<std::vector<TPointD>> TPathData::Polygons() const
{
  std::vector<std::vector<TPointD>> polygons;
  std::size_t p = 0;
  for (TKind kind : Kinds) {
    switch (kind) {
    case TKind::Move: polygons.push_back({Points[p++]}); break;
    case TKind::Line: polygons.back().push_back(Points[p++]); break;
    case TKind::Cubic: {
      TPointD p0 = polygons.back().back();
      double length = Distance(p0, Points[p]) + Distance(Points[p], Points[p + 1]) +
                      Distance(Points[p + 1], Points[p + 2]);
      int steps = std::clamp(int(std::ceil(std::sqrt(length * 10))), 1, 256);
      for (int i = 1; i <= steps; ++i)
        polygons.back().push_back(CubicAt(p0, Points[p], Points[p + 1], Points[p + 2], double(i) / steps));
      p += 3;
      break;
    }
    case TKind::Close: break;
    }
  }
  return polygons;
}

bool TPathData::Contains(double X, double Y) const
{
  int winding = 0, crossings = 0;
  for (const std::vector<TPointD>& polygon : Polygons())
    for (std::size_t i = 0; i < polygon.size(); ++i) {
      TPointD a = polygon[i], b = polygon[(i + 1) % polygon.size()];
      if ((a.Y <= Y) == (b.Y <= Y))
        continue;
      double x = a.X + (Y - a.Y) * (b.X - a.X) / (b.Y - a.Y);
      if (x <= X)
        continue;
      ++crossings;
      winding += b.Y > a.Y ? 1 : -1;
    }
  return FillMode == FillModeWinding ? winding != 0 : (crossings & 1) != 0;
}

void TPathData::Bounds(double& Left, double& Top, double& Right, double& Bottom) const
{
  Left = Top = Right = Bottom = 0;
  if (Points.empty())
    return;
  Left = Right = Points[0].X;
  Top = Bottom = Points[0].Y;
  for (const TPointD& p : Points) {
    Left = std::min(Left, p.X);
    Right = std::max(Right, p.X);
    Top = std::min(Top, p.Y);
    Bottom = std::max(Bottom, p.Y);
  }
}

namespace {

// The ellipse's own parameter for a direction seen from its centre: GDI+
// measures arc angles as directions, not as parameters.
double ParameterOf(double Angle, double A, double B)
{
  return std::atan2(A * std::sin(Angle), B * std::cos(Angle));
}

// A cubic per quarter turn or less of the unit circle, scaled to the ellipse.
void AddEllipticArc(TPathData& Path, double CX, double CY, double A, double B, double T0, double T1)
{
  int pieces = std::max(1, int(std::ceil(std::abs(T1 - T0) / (std::numbers::pi / 2) - 1e-9)));
  double step = (T1 - T0) / pieces;
  double h = 4.0 / 3.0 * std::tan(step / 4);
  auto at = [&](double t, double dx, double dy) {
    return TPointD{CX + A * (std::cos(t) + dx), CY + B * (std::sin(t) + dy)};
  };
  Path.LineTo(at(T0, 0, 0));
  for (int i = 0; i < pieces; ++i) {
    double s = T0 + step * i, e = s + step;
    Path.CubicTo(at(s, -h * std::sin(s), h * std::cos(s)), at(e, h * std::sin(e), -h * std::cos(e)), at(e, 0, 0));
  }
}

} // namespace

void AddArcTo(TPathData& Path, const TGPRectF& Rect, double StartAngle, double SweepAngle)
{
  CheckRect(Rect);
  CheckFinite({StartAngle, SweepAngle});
  double a = Rect.Width / 2.0, b = Rect.Height / 2.0;
  double cx = Rect.X + a, cy = Rect.Y + b;
  double sweep = std::clamp(SweepAngle, -360.0, 360.0) * std::numbers::pi / 180;
  double start = std::fmod(StartAngle, 360.0) * std::numbers::pi / 180;
  double t0 = ParameterOf(start, a, b);
  if (a == 0 || b == 0) {
    Path.LineTo(TPointD{cx + a * std::cos(t0), cy + b * std::sin(t0)});
    return;
  }
  double t1 = ParameterOf(start + sweep, a, b);
  // Unwind the end so that the parameter turns as far as the angle does.
  double turns = std::round(((t1 - t0) - sweep) / (2 * std::numbers::pi));
  t1 -= turns * 2 * std::numbers::pi;
  if (std::abs(sweep) >= 2 * std::numbers::pi)
    t1 = t0 + sweep;
  AddEllipticArc(Path, cx, cy, a, b, t0, t1);
}

void AddRectTo(TPathData& Path, const TGPRectF& Rect)
{
  CheckRect(Rect);
  Path.Open = false;
  Path.MoveTo({Rect.X, Rect.Y});
  Path.LineTo({Rect.X + Rect.Width, Rect.Y});
  Path.LineTo({Rect.X + Rect.Width, Rect.Y + Rect.Height});
  Path.LineTo({Rect.X, Rect.Y + Rect.Height});
  Path.Close();
}

// ---- regions --------------------------------------------------------------------------------

std::shared_ptr<const TRegionNode> TRegionNode::Make(TKind Kind)
{
  auto node = std::make_shared<TRegionNode>();
  node->Kind = Kind;
  return node;
}

std::shared_ptr<const TRegionNode> TRegionNode::FromPath(TPathData Path)
{
  auto node = std::make_shared<TRegionNode>();
  node->Kind = TKind::Path;
  node->Path = std::move(Path);
  return node;
}

std::shared_ptr<const TRegionNode> TRegionNode::Combined(std::shared_ptr<const TRegionNode> A,
                                                         std::shared_ptr<const TRegionNode> B, TGPCombineMode Mode)
{
  if (Mode == CombineModeReplace)
    return B;
  if (Mode < CombineModeReplace || Mode > CombineModeComplement)
    GdipCheck(InvalidParameter);
  auto node = std::make_shared<TRegionNode>();
  node->Kind = TKind::Combine;
  node->Mode = Mode;
  node->A = std::move(A);
  node->B = std::move(B);
  return node;
}

std::shared_ptr<const TRegionNode> TRegionNode::Transformed(const std::shared_ptr<const TRegionNode>& Node,
                                                            const TAffine& M)
{
  switch (Node->Kind) {
  case TKind::Path: {
    TPathData path = Node->Path;
    path.Transform(M);
    return FromPath(std::move(path));
  }
  case TKind::Combine: return Combined(Transformed(Node->A, M), Transformed(Node->B, M), Node->Mode);
  default: return Node;
  }
}

bool TRegionNode::Contains(double X, double Y) const
{
  switch (Kind) {
  case TKind::Empty: return false;
  case TKind::Infinite: return true;
  case TKind::Path: return Path.Contains(X, Y);
  case TKind::Combine: break;
  }
  bool a = A->Contains(X, Y), b = B->Contains(X, Y);
  switch (Mode) {
  case CombineModeIntersect: return a && b;
  case CombineModeUnion: return a || b;
  case CombineModeXor: return a != b;
  case CombineModeExclude: return a && !b;
  case CombineModeComplement: return b && !a;
  default: return b;
  }
}

bool TRegionNode::Bounds(double& Left, double& Top, double& Right, double& Bottom) const
{
  switch (Kind) {
  case TKind::Empty: Left = Top = Right = Bottom = 0; return true;
  case TKind::Infinite: return false;
  case TKind::Path: Path.Bounds(Left, Top, Right, Bottom); return true;
  case TKind::Combine: break;
  }
  double al, at, ar, ab, bl, bt, br, bb;
  bool a = A->Bounds(al, at, ar, ab), b = B->Bounds(bl, bt, br, bb);
  auto take = [&](bool has, double l, double t, double r, double bo) {
    Left = l, Top = t, Right = r, Bottom = bo;
    return has;
  };
  switch (Mode) {
  case CombineModeIntersect:
    if (a && b)
      return take(true, std::max(al, bl), std::max(at, bt), std::max(std::max(al, bl), std::min(ar, br)),
                  std::max(std::max(at, bt), std::min(ab, bb)));
    return a ? take(true, al, at, ar, ab) : take(b, bl, bt, br, bb);
  case CombineModeExclude: return take(a, al, at, ar, ab);
  case CombineModeComplement: return take(b, bl, bt, br, bb);
  default:
    return take(a && b, std::min(al, bl), std::min(at, bt), std::max(ar, br), std::max(ab, bb));
  }
}

} // namespace Internal

namespace {

// ---- the objects ------------------------------------------------------------------------------

class TMatrix final : public IGPMatrix {
public:
  explicit TMatrix(const TAffine& A) : FA(A) {}
  std::array<float, 6> Elements() const override
  {
    return {float(FA.XX), float(FA.YX), float(FA.XY), float(FA.YY), float(FA.X0), float(FA.Y0)};
  }
  void SetElements(float M11, float M12, float M21, float M22, float DX, float DY) override
  {
    CheckFinite({M11, M12, M21, M22, DX, DY});
    FA = {M11, M12, M21, M22, DX, DY};
  }
  void Reset() override { FA = TAffine(); }
  void Translate(float OffsetX, float OffsetY, TGPMatrixOrder Order) override
  {
    CheckFinite({OffsetX, OffsetY});
    Apply(TAffine::Translation(OffsetX, OffsetY), Order);
  }
  void Scale(float ScaleX, float ScaleY, TGPMatrixOrder Order) override
  {
    CheckFinite({ScaleX, ScaleY});
    Apply(TAffine::Scaling(ScaleX, ScaleY), Order);
  }
  void Rotate(float Angle, TGPMatrixOrder Order) override
  {
    CheckFinite({Angle});
    Apply(TAffine::Rotation(Angle), Order);
  }
  void Multiply(const std::shared_ptr<IGPMatrix>& Matrix, TGPMatrixOrder Order) override
  {
    Apply(AffineOf(Matrix), Order);
  }
  void Invert() override
  {
    if (!FA.IsInvertible())
      GdipCheck(InvalidParameter);
    FA = FA.Inverse();
  }
  bool IsIdentity() const override
  {
    return FA.XX == 1 && FA.YX == 0 && FA.XY == 0 && FA.YY == 1 && FA.X0 == 0 && FA.Y0 == 0;
  }
  bool IsInvertible() const override { return FA.IsInvertible(); }
  TGPPointF TransformPoint(TGPPointF Point) const override
  {
    TPointD p = FA.Apply({Point.X, Point.Y});
    return {float(p.X), float(p.Y)};
  }
  std::shared_ptr<IGPMatrix> Clone() const override { return std::make_shared<TMatrix>(FA); }
  const TAffine& Affine() const { return FA; }

private:
  // Prepend: the new transform acts first.
  void Apply(const TAffine& M, TGPMatrixOrder Order)
  {
    TAffine r = Order == MatrixOrderAppend ? Then(FA, M) : Then(M, FA);
    if (!r.IsFinite())
      GdipCheck(ValueOverflow);
    FA = r;
  }

  TAffine FA;
};

class TGraphicsPath final : public IGPGraphicsPath {
public:
  explicit TGraphicsPath(TGPFillMode Mode) { FData.FillMode = Mode; }
  explicit TGraphicsPath(TPathData Data) : FData(std::move(Data)) {}
  TGPFillMode FillMode() const override { return FData.FillMode; }
  void SetFillMode(TGPFillMode Value) override
  {
    if (Value != FillModeAlternate && Value != FillModeWinding)
      GdipCheck(InvalidParameter);
    FData.FillMode = Value;
  }
  void AddArc(const TGPRectF& Rect, float StartAngle, float SweepAngle) override
  {
    AddArcTo(FData, Rect, StartAngle, SweepAngle);
  }
  void AddLine(float X1, float Y1, float X2, float Y2) override
  {
    CheckFinite({X1, Y1, X2, Y2});
    FData.LineTo({X1, Y1});
    FData.LineTo({X2, Y2});
  }
  void AddLines(const std::vector<TGPPointF>& Points) override
  {
    CheckPoints(Points, 1);
    for (const TGPPointF& p : Points)
      FData.LineTo({p.X, p.Y});
  }
  void AddBezier(TGPPointF P1, TGPPointF P2, TGPPointF P3, TGPPointF P4) override
  {
    CheckPoints({P1, P2, P3, P4}, 4);
    FData.LineTo({P1.X, P1.Y});
    FData.CubicTo({P2.X, P2.Y}, {P3.X, P3.Y}, {P4.X, P4.Y});
  }
  void AddRectangle(const TGPRectF& Rect) override { AddRectTo(FData, Rect); }
  void AddEllipse(const TGPRectF& Rect) override
  {
    CheckRect(Rect);
    FData.Open = false;
    AddArcTo(FData, Rect, 0, 360);
    FData.Close();
  }
  void AddPolygon(const std::vector<TGPPointF>& Points) override
  {
    CheckPoints(Points, 3);
    FData.Open = false;
    for (const TGPPointF& p : Points)
      FData.LineTo({p.X, p.Y});
    FData.Close();
  }
  void StartFigure() override { FData.Open = false; }
  void CloseFigure() override { FData.Close(); }
  void Reset() override { FData = TPathData{{}, {}, FData.FillMode, false}; }
  void Transform(const std::shared_ptr<IGPMatrix>& Matrix) override { FData.Transform(AffineOf(Matrix)); }
  int PointCount() const override { return int(FData.Points.size()); }
  TGPRectF GetBounds() const override
  {
    double l, t, r, b;
    FData.Bounds(l, t, r, b);
    return TGPRectF(float(l), float(t), float(r - l), float(b - t));
  }
  bool IsVisible(float X, float Y) const override { return FData.Contains(X, Y); }
  std::shared_ptr<IGPGraphicsPath> Clone() const override { return std::make_shared<TGraphicsPath>(FData); }
  const TPathData& Data() const { return FData; }

private:
  TPathData FData;
};

class TRegion final : public IGPRegion {
public:
  explicit TRegion(std::shared_ptr<const TRegionNode> Node) : FNode(std::move(Node)) {}
  void MakeInfinite() override { FNode = TRegionNode::Make(TRegionNode::TKind::Infinite); }
  void MakeEmpty() override { FNode = TRegionNode::Make(TRegionNode::TKind::Empty); }
  void Combine(const TGPRectF& Rect, TGPCombineMode Mode) override
  {
    TPathData path;
    AddRectTo(path, Rect);
    FNode = TRegionNode::Combined(FNode, TRegionNode::FromPath(std::move(path)), Mode);
  }
  void Combine(const std::shared_ptr<IGPGraphicsPath>& Path, TGPCombineMode Mode) override
  {
    FNode = TRegionNode::Combined(FNode, TRegionNode::FromPath(PathDataOf(Path)), Mode);
  }
  void Combine(const std::shared_ptr<IGPRegion>& Region, TGPCombineMode Mode) override
  {
    FNode = TRegionNode::Combined(FNode, RegionNodeOf(Region), Mode);
  }
  void Translate(float DX, float DY) override
  {
    CheckFinite({DX, DY});
    FNode = TRegionNode::Transformed(FNode, TAffine::Translation(DX, DY));
  }
  void Transform(const std::shared_ptr<IGPMatrix>& Matrix) override
  {
    FNode = TRegionNode::Transformed(FNode, AffineOf(Matrix));
  }
  bool IsInfinite() const override { return FNode->Kind == TRegionNode::TKind::Infinite; }
  bool IsVisible(float X, float Y) const override { return FNode->Contains(X, Y); }
  TGPRectF GetBounds() const override
  {
    double l, t, r, b;
    if (!FNode->Bounds(l, t, r, b))
      return TGPRectF(-4194304, -4194304, 8388608, 8388608);
    return TGPRectF(float(l), float(t), float(r - l), float(b - t));
  }
  std::shared_ptr<IGPRegion> Clone() const override { return std::make_shared<TRegion>(FNode); }
  const std::shared_ptr<const TRegionNode>& Node() const { return FNode; }

private:
  std::shared_ptr<const TRegionNode> FNode;
};

} // namespace

namespace Internal {

TAffine AffineOf(const std::shared_ptr<IGPMatrix>& Matrix)
{
  auto* m = dynamic_cast<const TMatrix*>(Matrix.get());
  if (!m)
    GdipCheck(InvalidParameter);
  return m->Affine();
}

const TPathData& PathDataOf(const std::shared_ptr<IGPGraphicsPath>& Path)
{
  auto* p = dynamic_cast<const TGraphicsPath*>(Path.get());
  if (!p)
    GdipCheck(InvalidParameter);
  return p->Data();
}

std::shared_ptr<const TRegionNode> RegionNodeOf(const std::shared_ptr<IGPRegion>& Region)
{
  auto* r = dynamic_cast<const TRegion*>(Region.get());
  if (!r)
    GdipCheck(InvalidParameter);
  return r->Node();
}

std::shared_ptr<IGPRegion> MakeRegion(std::shared_ptr<const TRegionNode> Node)
{
  return std::make_shared<TRegion>(std::move(Node));
}

} // namespace Internal

std::shared_ptr<IGPMatrix> TGPMatrix::Create()
{
  return std::make_shared<TMatrix>(TAffine());
}

std::shared_ptr<IGPMatrix> TGPMatrix::Create(float M11, float M12, float M21, float M22, float DX, float DY)
{
  CheckFinite({M11, M12, M21, M22, DX, DY});
  return std::make_shared<TMatrix>(TAffine{M11, M12, M21, M22, DX, DY});
}

std::shared_ptr<IGPGraphicsPath> TGPGraphicsPath::Create(TGPFillMode FillMode)
{
  auto path = std::make_shared<TGraphicsPath>(FillModeAlternate);
  path->SetFillMode(FillMode);
  return path;
}

std::shared_ptr<IGPRegion> TGPRegion::Create()
{
  return MakeRegion(TRegionNode::Make(TRegionNode::TKind::Infinite));
}

std::shared_ptr<IGPRegion> TGPRegion::Create(const TGPRectF& Rect)
{
  TPathData path;
  AddRectTo(path, Rect);
  return MakeRegion(TRegionNode::FromPath(std::move(path)));
}

std::shared_ptr<IGPRegion> TGPRegion::Create(const std::shared_ptr<IGPGraphicsPath>& Path)
{
  return MakeRegion(TRegionNode::FromPath(PathDataOf(Path)));
}

} // namespace GdiPlus
