// Status and errors, and the plain objects: brushes, pens, string formats,
// image attributes.
#include "GdiPlus.Cairo.Internal.hpp"

#include <Win.Gdi.hpp>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace GdiPlus {

using namespace Internal;

namespace {

const char* StatusText(TGPStatus Status)
{
  switch (Status) {
  case Ok: return "Ok";
  case GenericError: return "Generic Error";
  case InvalidParameter: return "Invalid Parameter";
  case OutOfMemory: return "Out Of Memory";
  case ObjectBusy: return "Object Busy";
  case InsufficientBuffer: return "Insufficient Buffer";
  case NotImplemented: return "Not Implemented";
  case Win32Error: return "Win32 Error";
  case WrongState: return "Wrong State";
  case Aborted: return "Aborted";
  case FileNotFound: return "File Not Found";
  case ValueOverflow: return "Value Overflow";
  case AccessDenied: return "Access Denied";
  case UnknownImageFormat: return "Unknown Image Format";
  case FontFamilyNotFound: return "Font Family Not Found";
  case FontStyleNotFound: return "Font Style Not Found";
  case NotTrueTypeFont: return "Not TrueType Font";
  case UnsupportedGdiplusVersion: return "Unsupported Gdiplus Version";
  case GdiplusNotInitialized: return "Gdiplus Not Initialized";
  case PropertyNotFound: return "Property Not Found";
  case PropertyNotSupported: return "Property Not Supported";
  case ProfileNotFound: return "Profile Not Found";
  }
  return nullptr;
}

String StatusMessage(TGPStatus Status)
{
  if (const char* text = StatusText(Status))
    return String("(GDI+ Error) ") + text;
  return "Unknown error: " + Vcl::IntToStr(static_cast<int>(Status));
}

TGPStatus CairoStatus(cairo_status_t Status)
{
  switch (Status) {
  case CAIRO_STATUS_SUCCESS: return Ok;
  case CAIRO_STATUS_NO_MEMORY: return OutOfMemory;
  case CAIRO_STATUS_INVALID_SIZE:
  case CAIRO_STATUS_INVALID_MATRIX:
  case CAIRO_STATUS_INVALID_STRING:
  case CAIRO_STATUS_INVALID_FORMAT: return InvalidParameter;
  case CAIRO_STATUS_FILE_NOT_FOUND: return FileNotFound;
  case CAIRO_STATUS_FONT_TYPE_MISMATCH: return FontStyleNotFound;
  default: return GenericError;
  }
}

class TCairoSolidBrush final : public IGPSolidBrush {
public:
  explicit TCairoSolidBrush(TGPColor AColor) : FColor(AColor) {}
  TGPColor Color() const override { return FColor; }
  void SetColor(TGPColor Value) override { FColor = Value; }

private:
  TGPColor FColor;
};

class TCairoLinearGradientBrush final : public IGPLinearGradientBrush {
public:
  TCairoLinearGradientBrush(TGPPointF AStart, TGPPointF AEnd, TGPColor AColor1, TGPColor AColor2, TGPRectF ARect)
    : FStart(AStart), FEnd(AEnd), FColor1(AColor1), FColor2(AColor2), FRect(ARect)
  {
  }
  TGPColor StartColor() const override { return FColor1; }
  TGPColor EndColor() const override { return FColor2; }
  void SetLinearColors(TGPColor Color1, TGPColor Color2) override
  {
    FColor1 = Color1;
    FColor2 = Color2;
  }
  TGPRectF Rectangle() const override { return FRect; }
  TGPPointF StartPoint() const override { return FStart; }
  TGPPointF EndPoint() const override { return FEnd; }

private:
  TGPPointF FStart, FEnd;
  TGPColor FColor1, FColor2;
  TGPRectF FRect;
};

class TCairoPen final : public IGPPen {
public:
  TCairoPen(std::shared_ptr<IGPBrush> ABrush, float AWidth) : FBrush(std::move(ABrush)) { SetWidth(AWidth); }
  TGPColor Color() const override
  {
    if (auto* solid = dynamic_cast<const IGPSolidBrush*>(FBrush.get()))
      return solid->Color();
    if (auto* gradient = dynamic_cast<const IGPLinearGradientBrush*>(FBrush.get()))
      return gradient->StartColor();
    return TGPColor();
  }
  void SetColor(TGPColor Value) override { FBrush = TGPSolidBrush::Create(Value); }
  float Width() const override { return FWidth; }
  void SetWidth(float Value) override
  {
    CheckFinite({Value});
    if (Value < 0)
      GdipCheck(InvalidParameter);
    FWidth = Value;
  }
  std::shared_ptr<IGPBrush> Brush() const override { return FBrush; }
  void SetBrush(const std::shared_ptr<IGPBrush>& Value) override
  {
    if (!Value)
      GdipCheck(InvalidParameter);
    FBrush = Value;
  }

private:
  std::shared_ptr<IGPBrush> FBrush;
  float FWidth = 1;
};

class TCairoImageAttributes final : public IGPImageAttributes {
public:
  void SetColorMatrix(const TGPColorMatrix& Matrix) override
  {
    for (const auto& row : Matrix)
      for (float v : row)
        CheckFinite({v});
    FMatrix = Matrix;
    FHasMatrix = true;
  }
  void ClearColorMatrix() override { FHasMatrix = false; }
  bool HasColorMatrix() const override { return FHasMatrix; }
  TGPColorMatrix ColorMatrix() const override { return FHasMatrix ? FMatrix : IdentityColorMatrix(); }

private:
  TGPColorMatrix FMatrix = IdentityColorMatrix();
  bool FHasMatrix = false;
};

// The point where the line through P along Direction meets the
// perpendicular through Q.
TGPPointF Project(TGPPointF P, double DX, double DY, TGPPointF Q)
{
  double t = ((Q.X - P.X) * DX + (Q.Y - P.Y) * DY) / (DX * DX + DY * DY);
  return {float(P.X + t * DX), float(P.Y + t * DY)};
}

std::shared_ptr<IGPLinearGradientBrush> GradientAlong(const TGPRectF& Rect, TGPColor Color1, TGPColor Color2,
                                                      double Degrees)
{
  CheckRect(Rect);
  CheckFinite({Degrees});
  if (Rect.Width == 0 || Rect.Height == 0)
    GdipCheck(InvalidParameter);
  double a = Degrees * std::numbers::pi / 180;
  double dx = std::cos(a), dy = std::sin(a);
  // The corners that project furthest back and forth along the direction.
  const TGPPointF corners[] = {{Rect.X, Rect.Y},
                               {Rect.X + Rect.Width, Rect.Y},
                               {Rect.X + Rect.Width, Rect.Y + Rect.Height},
                               {Rect.X, Rect.Y + Rect.Height}};
  const TGPPointF* first = &corners[0];
  const TGPPointF* last = &corners[0];
  for (const TGPPointF& c : corners) {
    if (c.X * dx + c.Y * dy < first->X * dx + first->Y * dy)
      first = &c;
    if (c.X * dx + c.Y * dy > last->X * dx + last->Y * dy)
      last = &c;
  }
  TGPPointF start = *first;
  TGPPointF end = Project(start, dx, dy, *last);
  return std::make_shared<TCairoLinearGradientBrush>(start, end, Color1, Color2, Rect);
}

} // namespace

namespace Internal {

void CairoCheck(cairo_status_t Status)
{
  GdipCheck(CairoStatus(Status));
}

} // namespace Internal

EGdiplusException::EGdiplusException(TGPStatus AStatus) : Exception(StatusMessage(AStatus)), FStatus(AStatus)
{
}

void GdipCheck(TGPStatus Status)
{
  if (Status != Ok)
    throw EGdiplusException(Status);
}

TGPColor TGPColor::CreateFromColorRef(std::uint32_t ColorRef)
{
  if ((ColorRef & 0xFF000000u) == 0xFF000000u)
    ColorRef = Win::GetSysColor(int(ColorRef & 0xFF));
  return Create(255, Win::GetRValue(ColorRef), Win::GetGValue(ColorRef), Win::GetBValue(ColorRef));
}

std::shared_ptr<IGPSolidBrush> TGPSolidBrush::Create(TGPColor Color)
{
  return std::make_shared<TCairoSolidBrush>(Color);
}

std::shared_ptr<IGPStringFormat> TGPStringFormat::Create(int FormatFlags)
{
  return std::make_shared<TCairoStringFormat>(FormatFlags);
}

std::shared_ptr<IGPLinearGradientBrush> TGPLinearGradientBrush::Create(TGPPointF Point1, TGPPointF Point2,
                                                                       TGPColor Color1, TGPColor Color2)
{
  CheckPoints({Point1, Point2}, 2);
  if (Point1 == Point2)
    GdipCheck(OutOfMemory); // what GDI+ answers for a gradient of no length
  TGPRectF rect(std::min(Point1.X, Point2.X), std::min(Point1.Y, Point2.Y), std::abs(Point2.X - Point1.X),
                std::abs(Point2.Y - Point1.Y));
  return std::make_shared<TCairoLinearGradientBrush>(Point1, Point2, Color1, Color2, rect);
}

std::shared_ptr<IGPLinearGradientBrush> TGPLinearGradientBrush::Create(const TGPRectF& Rect, TGPColor Color1,
                                                                       TGPColor Color2, TGPLinearGradientMode Mode)
{
  switch (Mode) {
  case LinearGradientModeHorizontal: return GradientAlong(Rect, Color1, Color2, 0);
  case LinearGradientModeVertical: return GradientAlong(Rect, Color1, Color2, 90);
  case LinearGradientModeForwardDiagonal: return GradientAlong(Rect, Color1, Color2, 45);
  case LinearGradientModeBackwardDiagonal: return GradientAlong(Rect, Color1, Color2, 135);
  }
  GdipCheck(InvalidParameter);
  return nullptr;
}

std::shared_ptr<IGPLinearGradientBrush> TGPLinearGradientBrush::Create(const TGPRectF& Rect, TGPColor Color1,
                                                                       TGPColor Color2, float Angle,
                                                                       bool IsAngleScalable)
{
  (void)IsAngleScalable;
  return GradientAlong(Rect, Color1, Color2, Angle);
}

std::shared_ptr<IGPPen> TGPPen::Create(TGPColor Color, float Width)
{
  return std::make_shared<TCairoPen>(TGPSolidBrush::Create(Color), Width);
}

std::shared_ptr<IGPPen> TGPPen::Create(const std::shared_ptr<IGPBrush>& Brush, float Width)
{
  if (!Brush)
    GdipCheck(InvalidParameter);
  return std::make_shared<TCairoPen>(Brush, Width);
}

std::shared_ptr<IGPImageAttributes> TGPImageAttributes::Create()
{
  return std::make_shared<TCairoImageAttributes>();
}

} // namespace GdiPlus
