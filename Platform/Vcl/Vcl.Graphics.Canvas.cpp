#include "Vcl.Graphics.hpp"

namespace Vcl {

namespace {

// R2_ codes by TPenMode.
constexpr int PenModeCodes[] = {1, 16, 11, 6, 13, 4, 14, 5, 12, 3, 15, 2, 9, 8, 7, 10};

Win::COLORREF Ref(TColor color)
{
  return Win::COLORREF(ColorToRGB(color));
}

int Length(const String& text)
{
  return int(text.size());
}

} // namespace

TCanvas::TCanvas()
  : FFont(std::make_unique<TFont>()), FPen(std::make_unique<TPen>()), FBrush(std::make_unique<TBrush>())
{
  FFont->OnChange = [this](TObject* Sender) { FontChanged(Sender); };
  FPen->OnChange = [this](TObject* Sender) { PenChanged(Sender); };
  FBrush->OnChange = [this](TObject* Sender) { BrushChanged(Sender); };
}

TCanvas::~TCanvas()
{
  DeselectHandles();
}

Win::HDC TCanvas::Handle()
{
  RequiredState(csHandleValid | csFontValid | csPenValid | csBrushValid);
  return FHandle;
}

void TCanvas::SetHandle(Win::HDC Value)
{
  if (FHandle == Value)
    return;
  DeselectHandles();
  FHandle = Value;
  FState = Value ? unsigned(csHandleValid) : 0u;
}

void TCanvas::DeselectHandles()
{
  if (!FHandle || !(FState & (csFontValid | csPenValid | csBrushValid)))
    return;
  Win::SelectObject(FHandle, Win::GetStockObject(Win::BLACK_PEN));
  Win::SelectObject(FHandle, Win::GetStockObject(Win::NULL_BRUSH));
  Win::SelectObject(FHandle, Win::GetStockObject(Win::DEFAULT_GUI_FONT));
  FState &= ~unsigned(csFontValid | csPenValid | csBrushValid);
}

bool TCanvas::HandleAvailable()
{
  if (!(FState & csHandleValid))
    CreateHandle();
  if (!FHandle)
    return false;
  RequiredState(csHandleValid);
  return true;
}

void TCanvas::RequiredState(unsigned State)
{
  if ((State & csHandleValid) && !(FState & csHandleValid)) {
    CreateHandle();
    if (!FHandle)
      throw EInvalidOperation("Canvas does not allow drawing");
  }
  if (State & csHandleValid)
    SurfaceNeeded();
  const unsigned needed = State & ~FState;
  if (needed & csFontValid)
    CreateFont();
  if (needed & csPenValid)
    CreatePen();
  if (needed & csBrushValid)
    CreateBrush();
}

void TCanvas::CreateFont()
{
  Win::SelectObject(FHandle, FFont->Handle());
  Win::SetTextColor(FHandle, Ref(FFont->Color()));
  FState |= csFontValid;
}

void TCanvas::CreatePen()
{
  Win::SelectObject(FHandle, FPen->Handle());
  Win::SetROP2(FHandle, PenModeCodes[size_t(FPen->Mode())]);
  FState |= csPenValid;
}

void TCanvas::CreateBrush()
{
  Win::SelectObject(FHandle, FBrush->Handle());
  const Win::COLORREF color = Ref(FBrush->Color());
  if (FBrush->Style() == bsSolid) {
    Win::SetBkColor(FHandle, color);
    Win::SetBkMode(FHandle, Win::OPAQUE);
  } else {
    Win::SetBkColor(FHandle, ~color & 0xFFFFFF);
    Win::SetBkMode(FHandle, Win::TRANSPARENT);
  }
  FState |= csBrushValid;
}

// The object's old handle is still alive here; selecting the new one
// releases it so the object can delete it.
void TCanvas::FontChanged(TObject*)
{
  if (FState & csFontValid)
    CreateFont();
}

void TCanvas::PenChanged(TObject*)
{
  if (FState & csPenValid)
    CreatePen();
}

void TCanvas::BrushChanged(TObject*)
{
  if (FState & csBrushValid)
    CreateBrush();
}

void TCanvas::Lock()
{
  FMutex.lock();
  ++FLockCount;
}

void TCanvas::Unlock()
{
  --FLockCount;
  FMutex.unlock();
}

bool TCanvas::TryLock()
{
  if (!FMutex.try_lock())
    return false;
  ++FLockCount;
  return true;
}

void TCanvas::Changing()
{
  if (OnChanging)
    OnChanging(this);
}

void TCanvas::Changed()
{
  if (OnChange)
    OnChange(this);
}

void TCanvas::Refresh()
{
  DeselectHandles();
}

void TCanvas::FillRect(const TRect& Rect)
{
  Changing();
  RequiredState(csHandleValid | csBrushValid);
  Win::FillRect(FHandle, &Rect, FBrush->Handle());
  Changed();
}

void TCanvas::FrameRect(const TRect& Rect)
{
  Changing();
  RequiredState(csHandleValid | csBrushValid);
  Win::FrameRect(FHandle, &Rect, FBrush->Handle());
  Changed();
}

void TCanvas::Rectangle(Integer X1, Integer Y1, Integer X2, Integer Y2)
{
  Changing();
  RequiredState(csHandleValid | csPenValid | csBrushValid);
  Win::Rectangle(FHandle, X1, Y1, X2, Y2);
  Changed();
}

void TCanvas::RoundRect(Integer X1, Integer Y1, Integer X2, Integer Y2, Integer X3, Integer Y3)
{
  Changing();
  RequiredState(csHandleValid | csPenValid | csBrushValid);
  Win::RoundRect(FHandle, X1, Y1, X2, Y2, X3, Y3);
  Changed();
}

void TCanvas::RoundRect(const TRect& Rect, Integer CX, Integer CY)
{
  RoundRect(Rect.Left, Rect.Top, Rect.Right, Rect.Bottom, CX, CY);
}

void TCanvas::Ellipse(Integer X1, Integer Y1, Integer X2, Integer Y2)
{
  Changing();
  RequiredState(csHandleValid | csPenValid | csBrushValid);
  Win::Ellipse(FHandle, X1, Y1, X2, Y2);
  Changed();
}

void TCanvas::Polygon(const std::vector<TPoint>& Points)
{
  Changing();
  RequiredState(csHandleValid | csPenValid | csBrushValid);
  Win::Polygon(FHandle, Points.data(), int(Points.size()));
  Changed();
}

void TCanvas::Polyline(const std::vector<TPoint>& Points)
{
  Changing();
  RequiredState(csHandleValid | csPenValid);
  Win::Polyline(FHandle, Points.data(), int(Points.size()));
  Changed();
}

void TCanvas::MoveTo(Integer X, Integer Y)
{
  RequiredState(csHandleValid);
  Win::MoveToEx(FHandle, X, Y, nullptr);
}

void TCanvas::LineTo(Integer X, Integer Y)
{
  Changing();
  RequiredState(csHandleValid | csPenValid | csBrushValid);
  Win::LineTo(FHandle, X, Y);
  Changed();
}

TPoint TCanvas::PenPos()
{
  RequiredState(csHandleValid);
  TPoint pos;
  Win::MoveToEx(FHandle, 0, 0, &pos);
  Win::MoveToEx(FHandle, pos.X, pos.Y, nullptr);
  return pos;
}

TColor TCanvas::Pixels(Integer X, Integer Y)
{
  RequiredState(csHandleValid);
  return TColor(Win::GetPixel(FHandle, X, Y));
}

void TCanvas::SetPixels(Integer X, Integer Y, TColor Value)
{
  Changing();
  RequiredState(csHandleValid | csPenValid);
  Win::SetPixel(FHandle, X, Y, Ref(Value));
  Changed();
}

void TCanvas::DrawFocusRect(const TRect& Rect)
{
  Changing();
  RequiredState(csHandleValid | csBrushValid);
  Win::DrawFocusRect(FHandle, &Rect);
  Changed();
}

void TCanvas::TextOut(Integer X, Integer Y, const String& Text)
{
  Changing();
  RequiredState(csHandleValid | csFontValid | csBrushValid);
  Win::ExtTextOut(FHandle, X, Y, Win::UINT(FTextFlags), nullptr, Text.data(), Length(Text), nullptr);
  Win::SIZE size;
  Win::GetTextExtentPoint32(FHandle, Text.data(), Length(Text), &size);
  Win::MoveToEx(FHandle, X + size.cx, Y, nullptr);
  Changed();
}

void TCanvas::TextRect(const TRect& Rect, Integer X, Integer Y, const String& Text)
{
  Changing();
  RequiredState(csHandleValid | csFontValid | csBrushValid);
  Win::UINT options = Win::ETO_CLIPPED | Win::UINT(FTextFlags);
  if (FBrush->Style() != bsClear)
    options |= Win::ETO_OPAQUE;
  Win::ExtTextOut(FHandle, X, Y, options, &Rect, Text.data(), Length(Text), nullptr);
  Changed();
}

void TCanvas::TextRect(TRect& Rect, String& Text, TTextFormat TextFormat)
{
  // The text engine never writes into the caller's text, so a shortened
  // string cannot be handed back: the text stays as given.
  const Win::UINT flags = TextFormatToDrawTextFlags(TextFormat) & ~Win::DT_MODIFYSTRING;
  DrawTextFlags(Rect, Text, flags);
}

void TCanvas::DrawTextFlags(TRect& Rect, String& Text, Win::UINT Flags)
{
  Changing();
  RequiredState(csHandleValid | csFontValid | csBrushValid);
  Win::DrawText(FHandle, Text.data(), Length(Text), &Rect, Flags);
  Changed();
}

TSize TCanvas::TextExtent(const String& Text)
{
  RequiredState(csHandleValid | csFontValid);
  Win::SIZE size;
  Win::GetTextExtentPoint32(FHandle, Text.data(), Length(Text), &size);
  return size;
}

void TCanvas::Draw(Integer X, Integer Y, TGraphic* Graphic)
{
  if (!Graphic || Graphic->Empty())
    return;
  StretchDraw(Bounds(X, Y, Graphic->Width(), Graphic->Height()), Graphic);
}

void TCanvas::Draw(Integer X, Integer Y, TGraphic* Graphic, Byte Opacity)
{
  if (!Graphic || Graphic->Empty())
    return;
  Changing();
  RequiredState(csHandleValid);
  Win::SetBkColor(FHandle, Ref(FBrush->Color()));
  Win::SetTextColor(FHandle, Ref(FFont->Color()));
  Graphic->DrawTransparent(this, Bounds(X, Y, Graphic->Width(), Graphic->Height()), Opacity);
  Changed();
}

void TCanvas::StretchDraw(const TRect& Rect, TGraphic* Graphic)
{
  if (!Graphic || Graphic->Empty())
    return;
  Changing();
  // A canvas without a context is left to the graphic, which draws on the
  // context and reports its absence in its own terms.
  if (HandleAvailable()) {
    Win::SetBkColor(FHandle, Ref(FBrush->Color()));
    Win::SetTextColor(FHandle, Ref(FFont->Color()));
  }
  Graphic->Draw(this, Rect);
  Changed();
}

void TCanvas::CopyRect(const TRect& Dest, TCanvas* Canvas, const TRect& Source)
{
  Changing();
  RequiredState(csHandleValid | csFontValid | csBrushValid);
  Win::HDC source = Canvas->Handle();
  Win::StretchBlt(FHandle, Dest.Left, Dest.Top, Dest.Width(), Dest.Height(), source, Source.Left, Source.Top,
                  Source.Width(), Source.Height(), FCopyMode);
  Changed();
}

void TCanvas::BrushCopy(const TRect& Dest, TBitmap* Bitmap, const TRect& Source, TColor Color)
{
  if (!Bitmap || Bitmap->Empty())
    return;
  Changing();
  RequiredState(csHandleValid | csBrushValid);
  Win::FillRect(FHandle, &Dest, FBrush->Handle());
  Win::TransparentBlt(FHandle, Dest.Left, Dest.Top, Dest.Width(), Dest.Height(), Bitmap->Canvas()->Handle(),
                      Source.Left, Source.Top, Source.Width(), Source.Height(), Ref(Color));
  Changed();
}

TRect TCanvas::ClipRect()
{
  RequiredState(csHandleValid);
  TRect rect;
  Win::GetClipBox(FHandle, &rect);
  return rect;
}

// One line of the head per depth step, narrowing by a pixel on each side;
// lines leave out their end point, so each reaches one past its last pixel.
void DrawArrow(TCanvas* ACanvas, TScrollDirection Direction, TPoint Location, Integer Size)
{
  const Integer x = Location.X, y = Location.Y;
  for (Integer depth = 0; depth <= Size && Size > 0; ++depth) {
    const Integer from = depth, to = 2 * Size - depth + 1;
    switch (Direction) {
    case sdDown:
      ACanvas->MoveTo(x + from, y + depth);
      ACanvas->LineTo(x + to, y + depth);
      break;
    case sdUp:
      ACanvas->MoveTo(x + from, y + Size - depth);
      ACanvas->LineTo(x + to, y + Size - depth);
      break;
    case sdRight:
      ACanvas->MoveTo(x + depth, y + from);
      ACanvas->LineTo(x + depth, y + to);
      break;
    case sdLeft:
      ACanvas->MoveTo(x + Size - depth, y + from);
      ACanvas->LineTo(x + Size - depth, y + to);
      break;
    }
  }
}

} // namespace Vcl
