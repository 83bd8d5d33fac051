// Graphics: drawing on a bitmap or a DC through the world and page transforms
// and the clip.
#include "GdiPlus.Cairo.Internal.hpp"

#include <Win.Gdi.Cairo.hpp>

#include <algorithm>
#include <cmath>
#include <span>
#include <vector>

namespace GdiPlus {

using namespace Internal;

namespace {

cairo_matrix_t CairoMatrix(const TAffine& A)
{
  cairo_matrix_t m;
  cairo_matrix_init(&m, A.XX, A.YX, A.XY, A.YY, A.X0, A.Y0);
  return m;
}

void PathToCairo(cairo_t* Cr, const TPathData& Path)
{
  cairo_new_path(Cr);
  std::size_t p = 0;
  for (TPathData::TKind kind : Path.Kinds) {
    switch (kind) {
    case TPathData::TKind::Move: cairo_move_to(Cr, Path.Points[p].X, Path.Points[p].Y); ++p; break;
    case TPathData::TKind::Line: cairo_line_to(Cr, Path.Points[p].X, Path.Points[p].Y); ++p; break;
    case TPathData::TKind::Cubic:
      cairo_curve_to(Cr, Path.Points[p].X, Path.Points[p].Y, Path.Points[p + 1].X, Path.Points[p + 1].Y,
                     Path.Points[p + 2].X, Path.Points[p + 2].Y);
      p += 3;
      break;
    case TPathData::TKind::Close: cairo_close_path(Cr); break;
    }
  }
}

// Whether the context's transform only moves: the half-pixel shift, a DC's
// origin, a world translation.
bool OnlyMoves(cairo_t* Cr, cairo_matrix_t& M)
{
  cairo_get_matrix(Cr, &M);
  return M.xx == 1 && M.yx == 0 && M.xy == 0 && M.yy == 1;
}

cairo_fill_rule_t FillRule(TGPFillMode Mode)
{
  return Mode == FillModeWinding ? CAIRO_FILL_RULE_WINDING : CAIRO_FILL_RULE_EVEN_ODD;
}

// How the region's areas combine when painted one on the other (A the
// destination, B the source).
cairo_operator_t CombineOperator(TGPCombineMode Mode)
{
  switch (Mode) {
  case CombineModeIntersect: return CAIRO_OPERATOR_DEST_IN;
  case CombineModeUnion: return CAIRO_OPERATOR_OVER;
  case CombineModeXor: return CAIRO_OPERATOR_XOR;
  case CombineModeExclude: return CAIRO_OPERATOR_DEST_OUT;
  case CombineModeComplement: return CAIRO_OPERATOR_OUT;
  default: return CAIRO_OPERATOR_SOURCE;
  }
}

// The region as an 8-bit mask of the given size, in the coordinates that
// Device maps to mask pixels. Regions have hard edges, as GDI+ clips do.
TSurfacePtr RenderRegion(const TRegionNode& Node, int Width, int Height, const cairo_matrix_t& Device)
{
  TSurfacePtr mask(cairo_image_surface_create(CAIRO_FORMAT_A8, Width, Height));
  TContextPtr cr(cairo_create(mask.get()));
  switch (Node.Kind) {
  case TRegionNode::TKind::Empty: break;
  case TRegionNode::TKind::Infinite: cairo_paint(cr.get()); break;
  case TRegionNode::TKind::Path:
    cairo_set_matrix(cr.get(), &Device);
    cairo_set_antialias(cr.get(), CAIRO_ANTIALIAS_NONE);
    cairo_set_fill_rule(cr.get(), FillRule(Node.Path.FillMode));
    PathToCairo(cr.get(), Node.Path);
    cairo_fill(cr.get());
    break;
  case TRegionNode::TKind::Combine: {
    TSurfacePtr a = RenderRegion(*Node.A, Width, Height, Device);
    TSurfacePtr b = RenderRegion(*Node.B, Width, Height, Device);
    cairo_set_source_surface(cr.get(), a.get(), 0, 0);
    cairo_paint(cr.get());
    cairo_set_operator(cr.get(), CombineOperator(Node.Mode));
    cairo_set_source_surface(cr.get(), b.get(), 0, 0);
    cairo_paint(cr.get());
    break;
  }
  }
  CairoCheck(cairo_status(cr.get()));
  cairo_surface_flush(mask.get());
  return mask;
}

class TCairoGraphics final : public IGPGraphics {
public:
  // On a bitmap of the layer.
  TCairoGraphics(std::shared_ptr<IGPImage> AImage, cairo_surface_t* Surface)
    : FImage(std::move(AImage)), FContext(cairo_create(Surface))
  {
    Init();
  }

  // On a DC: the DC's clip stays in the context, its logical coordinates
  // become the page transform.
  explicit TCairoGraphics(std::unique_ptr<Win::TCairoDC> DC)
    : FDC(std::move(DC)), FContext(cairo_reference(FDC->Context()))
  {
    Init();
  }

  // ---- settings --------------------------------------------------------------------

  TGPSmoothingMode SmoothingMode() const override { return FSmoothing; }
  void SetSmoothingMode(TGPSmoothingMode Value) override
  {
    if (Value < SmoothingModeDefault || Value > SmoothingModeAntiAlias8x8)
      GdipCheck(InvalidParameter);
    FSmoothing = Value;
  }
  TGPPixelOffsetMode PixelOffsetMode() const override { return FPixelOffset; }
  void SetPixelOffsetMode(TGPPixelOffsetMode Value) override
  {
    if (Value < PixelOffsetModeDefault || Value > PixelOffsetModeHalf)
      GdipCheck(InvalidParameter);
    FPixelOffset = Value;
  }
  TGPCompositingQuality CompositingQuality() const override { return FCompositingQuality; }
  void SetCompositingQuality(TGPCompositingQuality Value) override
  {
    if (Value < CompositingQualityDefault || Value > CompositingQualityAssumeLinear)
      GdipCheck(InvalidParameter);
    FCompositingQuality = Value;
  }
  TGPCompositingMode CompositingMode() const override { return FCompositingMode; }
  void SetCompositingMode(TGPCompositingMode Value) override
  {
    if (Value != CompositingModeSourceOver && Value != CompositingModeSourceCopy)
      GdipCheck(InvalidParameter);
    FCompositingMode = Value;
  }
  TGPTextRenderingHint TextRenderingHint() const override { return FTextHint; }
  void SetTextRenderingHint(TGPTextRenderingHint Value) override
  {
    if (Value < TextRenderingHintSystemDefault || Value > TextRenderingHintClearTypeGridFit)
      GdipCheck(InvalidParameter);
    FTextHint = Value;
  }
  TGPInterpolationMode InterpolationMode() const override { return FInterpolation; }
  void SetInterpolationMode(TGPInterpolationMode Value) override
  {
    if (Value < InterpolationModeDefault || Value > InterpolationModeHighQualityBicubic)
      GdipCheck(InvalidParameter);
    FInterpolation = Value;
  }
  float DpiX() const override { return FDpi; }
  float DpiY() const override { return FDpi; }

  // ---- transform ---------------------------------------------------------------------

  std::shared_ptr<IGPMatrix> Transform() const override
  {
    return TGPMatrix::Create(float(FWorld.XX), float(FWorld.YX), float(FWorld.XY), float(FWorld.YY),
                             float(FWorld.X0), float(FWorld.Y0));
  }
  void SetTransform(const std::shared_ptr<IGPMatrix>& Matrix) override { SetWorld(AffineOf(Matrix)); }
  void ResetTransform() override { FWorld = TAffine(); }
  void TranslateTransform(float DX, float DY, TGPMatrixOrder Order) override
  {
    CheckFinite({DX, DY});
    Compose(TAffine::Translation(DX, DY), Order);
  }
  void ScaleTransform(float SX, float SY, TGPMatrixOrder Order) override
  {
    CheckFinite({SX, SY});
    Compose(TAffine::Scaling(SX, SY), Order);
  }
  void RotateTransform(float Angle, TGPMatrixOrder Order) override
  {
    CheckFinite({Angle});
    Compose(TAffine::Rotation(Angle), Order);
  }
  void MultiplyTransform(const std::shared_ptr<IGPMatrix>& Matrix, TGPMatrixOrder Order) override
  {
    Compose(AffineOf(Matrix), Order);
  }

  // ---- clipping ------------------------------------------------------------------------

  void SetClip(const TGPRectF& Rect, TGPCombineMode Mode) override
  {
    TPathData path;
    AddRectTo(path, Rect);
    CombineClip(TRegionNode::FromPath(std::move(path)), Mode);
  }
  void SetClip(const std::shared_ptr<IGPGraphicsPath>& Path, TGPCombineMode Mode) override
  {
    CombineClip(TRegionNode::FromPath(PathDataOf(Path)), Mode);
  }
  void SetClip(const std::shared_ptr<IGPRegion>& Region, TGPCombineMode Mode) override
  {
    CombineClip(RegionNodeOf(Region), Mode);
  }
  void ResetClip() override
  {
    FClip.reset();
    FClipMask.reset();
  }
  std::shared_ptr<IGPRegion> Clip() const override
  {
    if (!FClip)
      return TGPRegion::Create();
    return MakeRegion(TRegionNode::Transformed(FClip, FWorld.Inverse()));
  }
  bool IsClipEmpty() const override
  {
    if (!FClipMask)
      return false;
    const unsigned char* data = cairo_image_surface_get_data(FClipMask.get());
    int stride = cairo_image_surface_get_stride(FClipMask.get());
    for (int y = 0; y < FHeight; ++y)
      for (int x = 0; x < FWidth; ++x)
        if (data[std::ptrdiff_t(y) * stride + x])
          return false;
    return true;
  }

  // ---- drawing ----------------------------------------------------------------------------

  void Clear(TGPColor Color) override
  {
    Paint(false, [&](cairo_t* cr) {
      cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
      SetColor(cr, Color);
      cairo_paint(cr);
    });
  }

  void FillRectangle(const std::shared_ptr<IGPBrush>& Brush, const TGPRectF& Rect) override
  {
    TPathData path;
    AddRectTo(path, Rect);
    Fill(Brush, path);
  }
  void DrawRectangle(const std::shared_ptr<IGPPen>& Pen, const TGPRectF& Rect) override
  {
    TPathData path;
    AddRectTo(path, Rect);
    Stroke(Pen, path);
  }
  void FillEllipse(const std::shared_ptr<IGPBrush>& Brush, const TGPRectF& Rect) override
  {
    Fill(Brush, Ellipse(Rect));
  }
  void DrawEllipse(const std::shared_ptr<IGPPen>& Pen, const TGPRectF& Rect) override
  {
    Stroke(Pen, Ellipse(Rect));
  }
  void DrawArc(const std::shared_ptr<IGPPen>& Pen, const TGPRectF& Rect, float StartAngle,
               float SweepAngle) override
  {
    TPathData path;
    AddArcTo(path, Rect, StartAngle, SweepAngle);
    Stroke(Pen, path);
  }
  void DrawLine(const std::shared_ptr<IGPPen>& Pen, float X1, float Y1, float X2, float Y2) override
  {
    const TGPPointF points[] = {{X1, Y1}, {X2, Y2}};
    StrokeLines(Pen, points);
  }
  void DrawLines(const std::shared_ptr<IGPPen>& Pen, const std::vector<TGPPointF>& Points) override
  {
    StrokeLines(Pen, Points);
  }
  void FillPolygon(const std::shared_ptr<IGPBrush>& Brush, const std::vector<TGPPointF>& Points,
                   TGPFillMode FillMode) override
  {
    TPathData path = Polygon(Points);
    if (FillMode != FillModeAlternate && FillMode != FillModeWinding)
      GdipCheck(InvalidParameter);
    path.FillMode = FillMode;
    Fill(Brush, path);
  }
  void DrawPolygon(const std::shared_ptr<IGPPen>& Pen, const std::vector<TGPPointF>& Points) override
  {
    Stroke(Pen, Polygon(Points));
  }
  void FillPath(const std::shared_ptr<IGPBrush>& Brush, const std::shared_ptr<IGPGraphicsPath>& Path) override
  {
    Fill(Brush, PathDataOf(Path));
  }
  void DrawPath(const std::shared_ptr<IGPPen>& Pen, const std::shared_ptr<IGPGraphicsPath>& Path) override
  {
    Stroke(Pen, PathDataOf(Path));
  }
  void FillRegion(const std::shared_ptr<IGPBrush>& Brush, const std::shared_ptr<IGPRegion>& Region) override
  {
    std::shared_ptr<const TRegionNode> node = RegionNodeOf(Region);
    const TSource source = SourceOf(Brush);
    cairo_matrix_t device = CairoMatrix(Then(FWorld, FPage));
    TSurfacePtr mask = RenderRegion(*node, FWidth, FHeight, device);
    Paint(false, [&](cairo_t* cr) {
      SetSource(cr, source);
      cairo_identity_matrix(cr);
      cairo_mask_surface(cr, mask.get(), 0, 0);
    });
  }

  void DrawImage(const std::shared_ptr<IGPImage>& Image, float X, float Y) override
  {
    ImageSurface(Image);
    DrawImage(Image, TGPRectF(X, Y, float(Image->Width()), float(Image->Height())));
  }
  void DrawImage(const std::shared_ptr<IGPImage>& Image, const TGPRectF& DestRect) override
  {
    ImageSurface(Image);
    DrawImage(Image, DestRect, 0, 0, float(Image->Width()), float(Image->Height()), UnitPixel, nullptr);
  }
  void DrawImage(const std::shared_ptr<IGPImage>& Image, const TGPRectF& DestRect, float SrcX, float SrcY,
                 float SrcWidth, float SrcHeight, TGPUnit SrcUnit,
                 const std::shared_ptr<IGPImageAttributes>& Attributes) override
  {
    cairo_surface_t* image = ImageSurface(Image);
    CheckRect(DestRect);
    CheckRect(TGPRectF(SrcX, SrcY, SrcWidth, SrcHeight));
    if (SrcUnit != UnitPixel && SrcUnit != UnitWorld)
      GdipCheck(NotImplemented);
    if (DestRect.Width == 0 || DestRect.Height == 0 || SrcWidth == 0 || SrcHeight == 0)
      return;
    double originX = 0, originY = 0;
    TSurfacePtr source = SourceArea(image, TGPRectF(SrcX, SrcY, SrcWidth, SrcHeight), Attributes,
                                    originX, originY);
    Paint(false, [&](cairo_t* cr) {
      cairo_rectangle(cr, DestRect.X, DestRect.Y, DestRect.Width, DestRect.Height);
      cairo_pattern_t* pattern = cairo_pattern_create_for_surface(source.get());
      cairo_matrix_t m;
      cairo_matrix_init_translate(&m, SrcX - originX, SrcY - originY);
      cairo_matrix_scale(&m, SrcWidth / DestRect.Width, SrcHeight / DestRect.Height);
      cairo_matrix_translate(&m, -DestRect.X, -DestRect.Y);
      cairo_pattern_set_matrix(pattern, &m);
      cairo_pattern_set_extend(pattern, CAIRO_EXTEND_PAD);
      cairo_pattern_set_filter(pattern, Filter());
      cairo_set_source(cr, pattern);
      cairo_pattern_destroy(pattern);
      cairo_fill(cr);
    });
  }

  void DrawString(const String& Text, const std::shared_ptr<IGPFont>& Font, const TGPRectF& LayoutRect,
                  const std::shared_ptr<IGPStringFormat>& Format,
                  const std::shared_ptr<IGPBrush>& Brush) override
  {
    const TCairoFont& font = CairoFont(Font);
    const TSource source = SourceOf(Brush);
    CheckFinite({LayoutRect.X, LayoutRect.Y, LayoutRect.Width, LayoutRect.Height});
    TCairoStringFormat defaults(0);
    const IGPStringFormat& format = Format ? *Format : defaults;
    Paint(false, [&](cairo_t* cr) {
      if (!(format.FormatFlags() & StringFormatFlagsNoClip) && LayoutRect.Width > 0 && LayoutRect.Height > 0) {
        cairo_rectangle(cr, LayoutRect.X, LayoutRect.Y, LayoutRect.Width, LayoutRect.Height);
        cairo_clip(cr);
      }
      SetFont(cr, font);
      SetSource(cr, source);
      for (const TTextLine& line : LayoutText(cr, Text, LayoutRect, format)) {
        cairo_move_to(cr, line.X, line.Baseline);
        cairo_show_text(cr, line.Text.c_str());
        DrawDecorations(cr, font.Style(), line.X, line.Baseline, line.Width);
      }
    });
  }

  void DrawString(const String& Text, const std::shared_ptr<IGPFont>& Font, TGPPointF Origin,
                  const std::shared_ptr<IGPStringFormat>& Format, const std::shared_ptr<IGPBrush>& Brush) override
  {
    DrawString(Text, Font, TGPRectF(Origin.X, Origin.Y, 0, 0), Format, Brush);
  }

  TGPRectF MeasureString(const String& Text, const std::shared_ptr<IGPFont>& Font, const TGPRectF& LayoutRect,
                         const std::shared_ptr<IGPStringFormat>& Format) override
  {
    const TCairoFont& font = CairoFont(Font);
    CheckFinite({LayoutRect.X, LayoutRect.Y, LayoutRect.Width, LayoutRect.Height});
    TCairoStringFormat defaults(0);
    const IGPStringFormat& format = Format ? *Format : defaults;
    cairo_t* cr = FContext.get();
    cairo_save(cr);
    SetWorldMatrix(cr, false);
    SetFont(cr, font);
    std::vector<TTextLine> lines = LayoutText(cr, Text, LayoutRect, format);
    cairo_font_extents_t fe;
    cairo_font_extents(cr, &fe);
    cairo_restore(cr);
    Check();
    double left = lines.front().X, right = left;
    for (const TTextLine& line : lines) {
      left = std::min(left, line.X);
      right = std::max(right, line.X + line.Width);
    }
    double top = lines.front().Baseline - fe.ascent;
    double height = (fe.ascent + fe.descent) * double(lines.size());
    return TGPRectF(float(left), float(top), float(right - left), float(height));
  }

  TGPRectF MeasureString(const String& Text, const std::shared_ptr<IGPFont>& Font, TGPPointF Origin,
                         const std::shared_ptr<IGPStringFormat>& Format) override
  {
    return MeasureString(Text, Font, TGPRectF(Origin.X, Origin.Y, 0, 0), Format);
  }

private:
  void Init()
  {
    cairo_t* cr = FContext.get();
    CairoCheck(cairo_status(cr));
    cairo_surface_t* surface = cairo_get_target(cr);
    FWidth = cairo_image_surface_get_width(surface);
    FHeight = cairo_image_surface_get_height(surface);
    Win::HDC screen = Win::GetDC(nullptr);
    FDpi = float(Win::GetDeviceCaps(screen, Win::LOGPIXELSY));
    Win::ReleaseDC(nullptr, screen);
    cairo_matrix_t page;
    cairo_get_matrix(cr, &page);
    FPage = {page.xx, page.yx, page.xy, page.yy, page.x0, page.y0};
    cairo_identity_matrix(cr);
    cairo_save(cr); // the base state, to which every call returns
  }

  void Check() { CairoCheck(cairo_status(FContext.get())); }

  void SetWorld(const TAffine& M)
  {
    // A transform that cannot be inverted would leave Cairo in an error state.
    if (!M.IsInvertible())
      GdipCheck(InvalidParameter);
    FWorld = M;
  }

  void Compose(const TAffine& M, TGPMatrixOrder Order)
  {
    SetWorld(Order == MatrixOrderAppend ? Then(FWorld, M) : Then(M, FWorld));
  }

  void CombineClip(std::shared_ptr<const TRegionNode> Node, TGPCombineMode Mode)
  {
    if (Mode < CombineModeReplace || Mode > CombineModeComplement)
      GdipCheck(InvalidParameter);
    std::shared_ptr<const TRegionNode> page = TRegionNode::Transformed(Node, FWorld);
    std::shared_ptr<const TRegionNode> current = FClip ? FClip : TRegionNode::Make(TRegionNode::TKind::Infinite);
    std::shared_ptr<const TRegionNode> clip = TRegionNode::Combined(current, page, Mode);
    cairo_matrix_t device = CairoMatrix(FPage);
    FClipMask = RenderRegion(*clip, FWidth, FHeight, device);
    FClip = clip;
  }

  // GDI+ puts pixel centres on whole coordinates unless told to offset them
  // by half a pixel; Cairo puts them on halves.
  double PixelShift() const
  {
    return FPixelOffset == PixelOffsetModeHalf || FPixelOffset == PixelOffsetModeHighQuality ? 0 : 0.5;
  }

  void SetWorldMatrix(cairo_t* Cr, bool Shapes)
  {
    TAffine page = Shapes ? Then(FPage, TAffine::Translation(PixelShift(), PixelShift())) : FPage;
    cairo_matrix_t m = CairoMatrix(Then(FWorld, page));
    cairo_set_matrix(Cr, &m);
  }

  // Runs one drawing in world coordinates through the clip, with the
  // context's state put back afterwards, and reports Cairo's failures.
  template <class F>
  void Paint(bool Shapes, F Draw)
  {
    cairo_t* cr = FContext.get();
    cairo_save(cr);
    cairo_set_antialias(cr, Smooth() ? CAIRO_ANTIALIAS_GRAY : CAIRO_ANTIALIAS_NONE);
    cairo_set_operator(cr, FCompositingMode == CompositingModeSourceCopy ? CAIRO_OPERATOR_SOURCE
                                                                         : CAIRO_OPERATOR_OVER);
    if (FClipMask)
      cairo_push_group(cr);
    SetWorldMatrix(cr, Shapes);
    Draw(cr);
    if (FClipMask) {
      cairo_pop_group_to_source(cr);
      cairo_identity_matrix(cr);
      cairo_mask_surface(cr, FClipMask.get(), 0, 0);
    }
    cairo_restore(cr);
    Check();
  }

  bool Smooth() const
  {
    return FSmoothing == SmoothingModeAntiAlias || FSmoothing == SmoothingModeAntiAlias8x8 ||
           FSmoothing == SmoothingModeHighQuality;
  }

  cairo_filter_t Filter() const
  {
    switch (FInterpolation) {
    case InterpolationModeNearestNeighbor: return CAIRO_FILTER_NEAREST;
    case InterpolationModeHighQuality:
    case InterpolationModeHighQualityBilinear:
    case InterpolationModeHighQualityBicubic:
    case InterpolationModeBicubic: return CAIRO_FILTER_BEST;
    default: return CAIRO_FILTER_BILINEAR;
    }
  }

  static void SetColor(cairo_t* Cr, TGPColor Color)
  {
    cairo_set_source_rgba(Cr, Color.R() / 255.0, Color.G() / 255.0, Color.B() / 255.0, Color.A() / 255.0);
  }

  // The kind of brush, found once per drawing and before anything is drawn.
  struct TSource {
    const IGPSolidBrush* Solid = nullptr;
    const IGPLinearGradientBrush* Gradient = nullptr;
  };

  static TSource SourceOf(const std::shared_ptr<IGPBrush>& Brush)
  {
    TSource source;
    source.Solid = dynamic_cast<const IGPSolidBrush*>(Brush.get());
    if (!source.Solid)
      source.Gradient = dynamic_cast<const IGPLinearGradientBrush*>(Brush.get());
    if (!source.Solid && !source.Gradient)
      GdipCheck(Brush ? NotImplemented : InvalidParameter);
    return source;
  }

  // The brush as Cairo's source, in the current world coordinates.
  static void SetSource(cairo_t* Cr, const TSource& Source)
  {
    if (Source.Solid) {
      SetColor(Cr, Source.Solid->Color());
      return;
    }
    // Under a transform that only moves the gradient is given in device
    // pixels instead: pixman then fills each row without transforming its
    // points, to the same pixels.
    cairo_matrix_t user;
    const bool moves = OnlyMoves(Cr, user);
    const double dx = moves ? user.x0 : 0, dy = moves ? user.y0 : 0;
    const IGPLinearGradientBrush* gradient = Source.Gradient;
    TGPPointF a = gradient->StartPoint(), b = gradient->EndPoint();
    cairo_pattern_t* pattern = cairo_pattern_create_linear(a.X + dx, a.Y + dy, b.X + dx, b.Y + dy);
    for (auto [offset, color] : {std::pair{0.0, gradient->StartColor()}, std::pair{1.0, gradient->EndColor()}})
      cairo_pattern_add_color_stop_rgba(pattern, offset, color.R() / 255.0, color.G() / 255.0, color.B() / 255.0,
                                        color.A() / 255.0);
    cairo_pattern_set_extend(pattern, CAIRO_EXTEND_PAD);
    if (moves)
      cairo_identity_matrix(Cr);
    cairo_set_source(Cr, pattern);
    cairo_set_matrix(Cr, &user);
    cairo_pattern_destroy(pattern);
  }

  void Fill(const std::shared_ptr<IGPBrush>& Brush, const TPathData& Path)
  {
    const TSource source = SourceOf(Brush);
    Paint(true, [&](cairo_t* cr) {
      SetSource(cr, source);
      cairo_set_fill_rule(cr, FillRule(Path.FillMode));
      PathToCairo(cr, Path);
      cairo_fill(cr);
    });
  }

  void Stroke(const std::shared_ptr<IGPPen>& Pen, const TPathData& Path)
  {
    StrokeAlong(Pen, [&](cairo_t* cr) { PathToCairo(cr, Path); });
  }

  // Lines go to Cairo as they come, with no path built on the way: a chart
  // draws one segment for every value it shows. Under a transform that only
  // moves they go in device pixels, moved as Cairo would move them (x + x0),
  // which spares Cairo transforming every point.
  void StrokeLines(const std::shared_ptr<IGPPen>& Pen, std::span<const TGPPointF> Points)
  {
    if (Points.size() < 2)
      GdipCheck(InvalidParameter);
    for (const TGPPointF& p : Points)
      CheckFinite({p.X, p.Y});
    StrokeAlong(Pen, [&](cairo_t* cr) {
      cairo_matrix_t m;
      const bool moves = OnlyMoves(cr, m);
      const double dx = moves ? m.x0 : 0, dy = moves ? m.y0 : 0;
      if (moves)
        cairo_identity_matrix(cr);
      cairo_new_path(cr);
      cairo_move_to(cr, Points[0].X + dx, Points[0].Y + dy);
      for (const TGPPointF& p : Points.subspan(1))
        cairo_line_to(cr, p.X + dx, p.Y + dy);
      cairo_set_matrix(cr, &m);
    });
  }

  template <class F>
  void StrokeAlong(const std::shared_ptr<IGPPen>& Pen, F AddPath)
  {
    if (!Pen)
      GdipCheck(InvalidParameter);
    std::shared_ptr<IGPBrush> brush = Pen->Brush();
    const TSource source = SourceOf(brush);
    Paint(true, [&](cairo_t* cr) {
      SetSource(cr, source);
      AddPath(cr);
      cairo_set_line_width(cr, Pen->Width());
      if (Pen->Width() == 0) { // one device pixel, whatever the transform
        cairo_identity_matrix(cr);
        cairo_set_line_width(cr, 1);
      }
      cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
      cairo_set_line_join(cr, CAIRO_LINE_JOIN_MITER);
      if (source.Gradient && Pen->Width() != 0 && StrokeThroughMask(cr, AddPath))
        return;
      // The path is in device pixels by now and a transform that only moves
      // changes nothing of the pen, but Cairo's stroker works harder under one.
      cairo_matrix_t m;
      if (OnlyMoves(cr, m))
        cairo_identity_matrix(cr);
      cairo_stroke(cr);
    });
  }

  // Along a stroke Cairo composites a gradient row by row, and pixman clears
  // a scanline buffer of some 24 KB for every row. A stroke is often cheaper
  // drawn into a coverage mask of its own, with the gradient painted through
  // that at once: the same pixels. Only where that plainly holds: a
  // transform that only moves, the source laid over, no clip group, and a
  // clip that leaves alone all that the stroke may touch.
  template <class F>
  bool StrokeThroughMask(cairo_t* Cr, F AddPath)
  {
    cairo_matrix_t m;
    if (!OnlyMoves(Cr, m) || FClipMask || FCompositingMode != CompositingModeSourceOver)
      return false;
    // No stroke reaches further from its path than a mitred join or a
    // square cap does, so the path's extents grown by that hold it: asking
    // Cairo for the stroke's own extents would cost about what drawing a
    // long thin line does.
    double l, t, r, b;
    cairo_path_extents(Cr, &l, &t, &r, &b);
    const double reach = std::max(cairo_get_miter_limit(Cr), std::sqrt(2.0)) * cairo_get_line_width(Cr) / 2;
    const TMaskArea area(l - reach, t - reach, r + reach, b + reach, m);
    if (!MaskHolds(area) || !ClipLeavesAlone(Cr, l, t, r, b, m) || !MaskPaysOff(Cr, area, m))
      return false;
    TSurfacePtr mask(cairo_image_surface_create(CAIRO_FORMAT_A8, int(area.Width), int(area.Height)));
    TContextPtr coverage(cairo_create(mask.get()));
    cairo_t* mc = coverage.get();
    cairo_translate(mc, m.x0 - area.Left, m.y0 - area.Top);
    cairo_set_antialias(mc, cairo_get_antialias(Cr));
    cairo_set_tolerance(mc, cairo_get_tolerance(Cr));
    cairo_set_line_width(mc, cairo_get_line_width(Cr));
    cairo_set_line_cap(mc, cairo_get_line_cap(Cr));
    cairo_set_line_join(mc, cairo_get_line_join(Cr));
    cairo_set_miter_limit(mc, cairo_get_miter_limit(Cr));
    AddPath(mc);
    cairo_identity_matrix(mc);
    cairo_stroke(mc);
    if (cairo_status(mc) != CAIRO_STATUS_SUCCESS) // no memory for the mask: the plain way
      return false;
    cairo_new_path(Cr);
    cairo_identity_matrix(Cr);
    cairo_mask_surface(Cr, mask.get(), area.Left, area.Top);
    return true;
  }

  // The whole surface pixels around user-space extents under a transform
  // that only moves, with a pixel to spare on every side.
  struct TMaskArea {
    TMaskArea(double L, double T, double R, double B, const cairo_matrix_t& M)
      : Left(std::floor(L + M.x0) - 1), Top(std::floor(T + M.y0) - 1), Width(std::ceil(R + M.x0) + 1 - Left),
        Height(std::ceil(B + M.y0) + 1 - Top)
    {
    }
    double Left, Top, Width, Height;
  };

  // A mask of at most 4 MB.
  static bool MaskHolds(const TMaskArea& Area) { return Area.Width * Area.Height <= double(1 << 22); }

  // Row by row, Cairo composites from a row's first covered pixel to its
  // last, and each composite costs besides about what 512 pixels do; the
  // mask composites its whole area once. A box no wider than that cost is
  // never much dearer through the mask; a wider one only when the path
  // fills its rows, as a chart's line does, and unlike a long diagonal.
  static bool MaskPaysOff(cairo_t* Cr, const TMaskArea& Area, const cairo_matrix_t& M)
  {
    constexpr double kRowCost = 512;
    if (Area.Width <= kRowCost)
      return true;
    const double reach = cairo_get_line_width(Cr) + 1;
    std::vector<std::pair<double, double>> rows(size_t(Area.Height), {Area.Width, 0.0});
    auto cover = [&](double X0, double Y0, double X1, double Y1) {
      const double top = std::clamp(std::min(Y0, Y1) + M.y0 - reach - Area.Top, 0.0, Area.Height - 1);
      const double bottom = std::clamp(std::max(Y0, Y1) + M.y0 + reach - Area.Top, 0.0, Area.Height - 1);
      const double left = std::min(X0, X1) + M.x0 - reach - Area.Left;
      const double right = std::max(X0, X1) + M.x0 + reach - Area.Left;
      for (size_t y = size_t(top); y <= size_t(bottom); ++y)
        rows[y] = {std::min(rows[y].first, left), std::max(rows[y].second, right)};
    };
    ForEachFlatLine(Cr, cover);
    double plain = 0;
    for (const auto& [left, right] : rows)
      if (left < right)
        plain += kRowCost + std::min(right, Area.Width) - std::max(left, 0.0);
    return Area.Width * Area.Height <= plain;
  }

  // The current path's lines in user space, curves flattened: a flat path
  // holds only moves, lines and closes.
  template <class F>
  static void ForEachFlatLine(cairo_t* Cr, F Line)
  {
    cairo_path_t* path = cairo_copy_path_flat(Cr);
    decltype(cairo_path_data_t::point) at{}, start{};
    for (int i = 0; path->status == CAIRO_STATUS_SUCCESS && i < path->num_data; i += path->data[i].header.length) {
      const cairo_path_data_type_t type = path->data[i].header.type;
      const auto to = type == CAIRO_PATH_CLOSE_PATH ? start : path->data[i + 1].point;
      if (type != CAIRO_PATH_MOVE_TO)
        Line(at.x, at.y, to.x, to.y);
      else
        start = to;
      at = to;
    }
    cairo_path_destroy(path);
  }

  // Whether one rectangle of the clip holds every surface pixel that Cairo
  // reckons a stroke of the path (user-space extents L, T, R, B) may reach,
  // as far as a mitred join goes: then Cairo composites without the clip,
  // whichever way the stroke is drawn.
  bool ClipLeavesAlone(cairo_t* Cr, double L, double T, double R, double B, const cairo_matrix_t& M) const
  {
    const double reach = std::sqrt(2.0) * cairo_get_miter_limit(Cr) * cairo_get_line_width(Cr) + 1;
    const double l = std::max(L + M.x0 - reach, 0.0), t = std::max(T + M.y0 - reach, 0.0);
    const double r = std::min(R + M.x0 + reach, double(FWidth)), b = std::min(B + M.y0 + reach, double(FHeight));
    cairo_rectangle_list_t* clip = cairo_copy_clip_rectangle_list(Cr);
    bool holds = false;
    for (int i = 0; clip->status == CAIRO_STATUS_SUCCESS && i < clip->num_rectangles && !holds; ++i) {
      const cairo_rectangle_t& c = clip->rectangles[i];
      holds = c.x + M.x0 <= l && c.y + M.y0 <= t && c.x + c.width + M.x0 >= r && c.y + c.height + M.y0 >= b;
    }
    cairo_rectangle_list_destroy(clip);
    return holds;
  }

  static TPathData Ellipse(const TGPRectF& Rect)
  {
    CheckRect(Rect);
    TPathData path;
    AddArcTo(path, Rect, 0, 360);
    path.Close();
    return path;
  }

  static TPathData Polygon(const std::vector<TGPPointF>& Points)
  {
    CheckPoints(Points, 1);
    TPathData path;
    for (const TGPPointF& p : Points)
      path.LineTo({p.X, p.Y});
    path.Close();
    return path;
  }

  // What the image shows of the source rectangle, so that smoothing at its
  // edges does not reach outside it: the whole-pixel area it covers (through
  // the colour matrix when there is one), with that area's top-left corner.
  static TSurfacePtr SourceArea(cairo_surface_t* Image, const TGPRectF& Src,
                                const std::shared_ptr<IGPImageAttributes>& Attributes, double& OriginX,
                                double& OriginY)
  {
    cairo_surface_flush(Image);
    int w = cairo_image_surface_get_width(Image), h = cairo_image_surface_get_height(Image);
    int left = std::clamp(int(std::floor(Src.X)), 0, w - 1), top = std::clamp(int(std::floor(Src.Y)), 0, h - 1);
    int right = std::clamp(int(std::ceil(double(Src.X) + Src.Width)), left + 1, w);
    int bottom = std::clamp(int(std::ceil(double(Src.Y) + Src.Height)), top + 1, h);
    OriginX = left;
    OriginY = top;
    if (Attributes && Attributes->HasColorMatrix())
      return ColorTransformed(Image, left, top, right - left, bottom - top, Attributes->ColorMatrix());
    return TSurfacePtr(cairo_surface_create_for_rectangle(Image, left, top, right - left, bottom - top));
  }

  // A copy of an area with the colour matrix applied to straight colour.
  static TSurfacePtr ColorTransformed(cairo_surface_t* Source, int Left, int Top, int W, int H,
                                      const TGPColorMatrix& M)
  {
    TSurfacePtr out = NewSurface(W, H);
    for (int y = 0; y < H; ++y)
      for (int x = 0; x < W; ++x) {
        TGPColor c(UnpremultiplyArgb(Row(Source, Top + y)[Left + x]));
        const double in[5] = {c.R() / 255.0, c.G() / 255.0, c.B() / 255.0, c.A() / 255.0, 1};
        std::uint8_t v[4];
        for (std::size_t j = 0; j < 4; ++j) {
          double sum = 0;
          for (std::size_t i = 0; i < 5; ++i)
            sum += in[i] * M[i][j];
          v[j] = std::uint8_t(std::lround(std::clamp(sum, 0.0, 1.0) * 255));
        }
        Row(out.get(), y)[x] = PremultiplyArgb(TGPColor::Create(v[3], v[0], v[1], v[2]).Argb());
      }
    cairo_surface_mark_dirty(out.get());
    return out;
  }

  void SetFont(cairo_t* Cr, const TCairoFont& Font)
  {
    double emSize = Font.PixelSize(FDpi);
    if (!(emSize > 0) || !std::isfinite(emSize))
      GdipCheck(InvalidParameter);
    cairo_set_font_face(Cr, Font.Face());
    cairo_set_font_size(Cr, emSize);
    cairo_font_options_t* options = cairo_font_options_create();
    bool mono = FTextHint == TextRenderingHintSingleBitPerPixel ||
                FTextHint == TextRenderingHintSingleBitPerPixelGridFit;
    cairo_font_options_set_antialias(options, mono ? CAIRO_ANTIALIAS_NONE : CAIRO_ANTIALIAS_GRAY);
    cairo_set_font_options(Cr, options);
    cairo_font_options_destroy(options);
  }

  std::shared_ptr<IGPImage> FImage; // keeps the surface alive
  std::unique_ptr<Win::TCairoDC> FDC; // flushes the DC's surface at the end
  TContextPtr FContext;
  int FWidth = 0, FHeight = 0;
  float FDpi = 96;
  TAffine FPage;  // page to surface pixels (a DC's origin)
  TAffine FWorld; // world to page
  std::shared_ptr<const TRegionNode> FClip; // page coordinates; none is infinite
  TSurfacePtr FClipMask;
  TGPSmoothingMode FSmoothing = SmoothingModeDefault;
  TGPPixelOffsetMode FPixelOffset = PixelOffsetModeDefault;
  TGPCompositingQuality FCompositingQuality = CompositingQualityDefault;
  TGPCompositingMode FCompositingMode = CompositingModeSourceOver;
  TGPTextRenderingHint FTextHint = TextRenderingHintSystemDefault;
  TGPInterpolationMode FInterpolation = InterpolationModeDefault;
};

} // namespace

std::shared_ptr<IGPGraphics> TGPGraphics::Create(const std::shared_ptr<IGPImage>& Image)
{
  return std::make_shared<TCairoGraphics>(Image, ImageSurface(Image));
}

std::shared_ptr<IGPGraphics> TGPGraphics::Create(Win::HDC DC)
{
  auto painter = std::make_unique<Win::TCairoDC>(DC);
  if (!painter->Context())
    GdipCheck(InvalidParameter);
  return std::make_shared<TCairoGraphics>(std::move(painter));
}

} // namespace GdiPlus
