// The framework's graphics classes: colours, fonts, pens, brushes, the
// canvas over a device context, and the graphic classes (bitmap, icon, the
// picture container with its registry of graphic classes).
#pragma once

#include <System.Classes.hpp>
#include <System.TypInfo.hpp>
#include <System.Types.hpp>
#include <Win.Gdi.hpp>
#include <Win.Icon.hpp>

#include <memory>
#include <mutex>

namespace Vcl {

// ---- colours -----------------------------------------------------------------
// 0x00BBGGRR for explicit colours; the high byte 0xFF marks a system colour
// whose low byte is the GetSysColor index.
using TColor = std::int32_t;
using TColorRef = std::uint32_t;

constexpr TColor clSystemColor = TColor(0xFF000000);

constexpr TColor clScrollBar = clSystemColor | Win::COLOR_SCROLLBAR;
constexpr TColor clBackground = clSystemColor | Win::COLOR_BACKGROUND;
constexpr TColor clActiveCaption = clSystemColor | Win::COLOR_ACTIVECAPTION;
constexpr TColor clInactiveCaption = clSystemColor | Win::COLOR_INACTIVECAPTION;
constexpr TColor clMenu = clSystemColor | Win::COLOR_MENU;
constexpr TColor clWindow = clSystemColor | Win::COLOR_WINDOW;
constexpr TColor clWindowFrame = clSystemColor | Win::COLOR_WINDOWFRAME;
constexpr TColor clMenuText = clSystemColor | Win::COLOR_MENUTEXT;
constexpr TColor clWindowText = clSystemColor | Win::COLOR_WINDOWTEXT;
constexpr TColor clCaptionText = clSystemColor | Win::COLOR_CAPTIONTEXT;
constexpr TColor clActiveBorder = clSystemColor | Win::COLOR_ACTIVEBORDER;
constexpr TColor clInactiveBorder = clSystemColor | Win::COLOR_INACTIVEBORDER;
constexpr TColor clAppWorkSpace = clSystemColor | Win::COLOR_APPWORKSPACE;
constexpr TColor clHighlight = clSystemColor | Win::COLOR_HIGHLIGHT;
constexpr TColor clHighlightText = clSystemColor | Win::COLOR_HIGHLIGHTTEXT;
constexpr TColor clBtnFace = clSystemColor | Win::COLOR_BTNFACE;
constexpr TColor clBtnShadow = clSystemColor | Win::COLOR_BTNSHADOW;
constexpr TColor clGrayText = clSystemColor | Win::COLOR_GRAYTEXT;
constexpr TColor clBtnText = clSystemColor | Win::COLOR_BTNTEXT;
constexpr TColor clInactiveCaptionText = clSystemColor | Win::COLOR_INACTIVECAPTIONTEXT;
constexpr TColor clBtnHighlight = clSystemColor | Win::COLOR_BTNHIGHLIGHT;
constexpr TColor cl3DDkShadow = clSystemColor | Win::COLOR_3DDKSHADOW;
constexpr TColor cl3DLight = clSystemColor | Win::COLOR_3DLIGHT;
constexpr TColor clInfoText = clSystemColor | Win::COLOR_INFOTEXT;
constexpr TColor clInfoBk = clSystemColor | Win::COLOR_INFOBK;
constexpr TColor clHotLight = clSystemColor | Win::COLOR_HOTLIGHT;
constexpr TColor clGradientActiveCaption = clSystemColor | Win::COLOR_GRADIENTACTIVECAPTION;
constexpr TColor clGradientInactiveCaption = clSystemColor | Win::COLOR_GRADIENTINACTIVECAPTION;
constexpr TColor clMenuHighlight = clSystemColor | Win::COLOR_MENUHILIGHT;
constexpr TColor clMenuBar = clSystemColor | Win::COLOR_MENUBAR;

constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clLtGray = 0xC0C0C0;
constexpr TColor clDkGray = 0x808080;
constexpr TColor clMoneyGreen = 0xC0DCC0;
constexpr TColor clSkyBlue = 0xF0CAA6;
constexpr TColor clCream = 0xF0FBFF;
constexpr TColor clMedGray = 0xA4A0A0;
constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;

constexpr TColor clWebSnow = 0xFAFAFF, clWebFloralWhite = 0xF0FAFF, clWebLavenderBlush = 0xF5F0FF,
                 clWebOldLace = 0xE6F5FD, clWebIvory = 0xF0FFFF, clWebCornSilk = 0xDCF8FF,
                 clWebBeige = 0xDCF5F5, clWebAntiqueWhite = 0xD7EBFA, clWebWheat = 0xB3DEF5,
                 clWebAliceBlue = 0xFFF8F0, clWebGhostWhite = 0xFFF8F8, clWebLavender = 0xFAE6E6,
                 clWebSeashell = 0xEEF5FF, clWebLightYellow = 0xE0FFFF, clWebPapayaWhip = 0xD5EFFF,
                 clWebNavajoWhite = 0xADDEFF, clWebMoccasin = 0xB5E4FF, clWebBurlywood = 0x87B8DE,
                 clWebAzure = 0xFFFFF0, clWebMintcream = 0xFAFFF5, clWebHoneydew = 0xF0FFF0,
                 clWebLinen = 0xE6F0FA, clWebLemonChiffon = 0xCDFAFF, clWebBlanchedAlmond = 0xCDEBFF,
                 clWebBisque = 0xC4E4FF, clWebPeachPuff = 0xB9DAFF, clWebTan = 0x8CB4D2,
                 clWebYellow = 0x00FFFF, clWebDarkOrange = 0x008CFF, clWebRed = 0x0000FF,
                 clWebDarkRed = 0x00008B, clWebMaroon = 0x000080, clWebIndianRed = 0x5C5CCD,
                 clWebOrangeRed = 0x0045FF, clWebOrange = 0x00A5FF, clWebGold = 0x00D7FF,
                 clWebGreen = 0x008000, clWebLime = 0x00FF00, clWebDarkGreen = 0x006400,
                 clWebForestGreen = 0x228B22, clWebSeaGreen = 0x578B2E, clWebLimeGreen = 0x32CD32,
                 clWebOlive = 0x008080, clWebNavy = 0x800000, clWebBlue = 0xFF0000,
                 clWebDarkBlue = 0x8B0000, clWebRoyalBlue = 0xE16941, clWebSteelBlue = 0xB48246,
                 clWebSkyBlue = 0xEBCE87, clWebDodgerBlue = 0xFF901E, clWebCornFlowerBlue = 0xED9564,
                 clWebTeal = 0x808000, clWebCyan = 0xFFFF00, clWebTurquoise = 0xD0E040,
                 clWebPurple = 0x800080, clWebIndigo = 0x82004B, clWebViolet = 0xEE82EE,
                 clWebMagenta = 0xFF00FF, clWebOrchid = 0xD670DA, clWebPink = 0xCBC0FF,
                 clWebHotPink = 0xB469FF, clWebDeepPink = 0x9314FF, clWebBrown = 0x2A2AA5,
                 clWebChocolate = 0x1E69D2, clWebSienna = 0x2D52A0, clWebSalmon = 0x7280FA,
                 clWebCoral = 0x507FFF, clWebTomato = 0x4763FF, clWebKhaki = 0x8CE6F0,
                 clWebGray = 0x808080, clWebSilver = 0xC0C0C0, clWebDimGray = 0x696969,
                 clWebLightGrey = 0xD3D3D3, clWebDarkGray = 0xA9A9A9, clWebGainsboro = 0xDCDCDC,
                 clWebWhiteSmoke = 0xF5F5F5, clWebWhite = 0xFFFFFF, clWebBlack = 0x000000;

// An explicit colour; system colours resolve through the current scheme (an
// index outside the table gives black). clNone and clDefault pass unchanged.
TColor ColorToRGB(TColor Color);
// Names such as "clBtnFace" (any case), system colours included.
bool IdentToColor(const String& Ident, TColor& Color);
bool ColorToIdent(TColor Color, String& Ident);
// A colour name, or a number ("$00BBGGRR", decimal); EConvertError otherwise.
TColor StringToColor(const String& S);
// The colour's name when it has one, else "$00BBGGRR".
String ColorToString(TColor Color);

// Hue, luminance and saturation in 0..240 (HLSMAX).
constexpr Integer HLSMAX = 240;
void ColorRGBToHLS(TColorRef clrRGB, Word& Hue, Word& Luminance, Word& Saturation);
TColorRef ColorHLSToRGB(Word Hue, Word Luminance, Word Saturation);
// Moves the luminance by n, in HLS units, or with fScale in tenths of a
// percent of HLSMAX; the result is clamped to 0..HLSMAX. System colours are
// resolved first.
TColorRef ColorAdjustLuma(TColorRef clrRGB, Integer n, bool fScale);

// ---- fonts, pens, brushes -------------------------------------------------------
enum class TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using enum TFontStyle;
using TFontStyles = TSet<TFontStyle>;
enum class TFontPitch { fpDefault, fpVariable, fpFixed };
using enum TFontPitch;
enum class TFontQuality { fqDefault, fqDraft, fqProof, fqNonAntialiased, fqAntialiased, fqClearType,
                          fqClearTypeNatural };
using enum TFontQuality;
using TFontCharset = Byte;
using TFontName = String;

enum class TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame, psUserStyle,
                       psAlternate };
using enum TPenStyle;
enum class TPenMode { pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot, pmMaskPenNot,
                      pmMergeNotPen, pmMaskNotPen, pmMerge, pmNotMerge, pmMask, pmNotMask, pmXor, pmNotXor };
using enum TPenMode;
enum class TBrushStyle { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross,
                         bsDiagCross };
using enum TBrushStyle;

// Value names for form resources.
QX_ENUM_NAMES(TFontStyle, fsBold, fsItalic, fsUnderline, fsStrikeOut)
QX_ENUM_NAMES(TFontPitch, fpDefault, fpVariable, fpFixed)
QX_ENUM_NAMES(TFontQuality, fqDefault, fqDraft, fqProof, fqNonAntialiased, fqAntialiased, fqClearType,
              fqClearTypeNatural)
QX_ENUM_NAMES(TPenStyle, psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame, psUserStyle,
              psAlternate)
QX_ENUM_NAMES(TPenMode, pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot, pmMaskPenNot,
              pmMergeNotPen, pmMaskNotPen, pmMerge, pmNotMerge, pmMask, pmNotMask, pmXor, pmNotXor)
QX_ENUM_NAMES(TBrushStyle, bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross,
              bsDiagCross)

class TBitmap;

// Base of fonts, pens and brushes: owns one GDI handle, made on demand and
// dropped whenever a property changes.
class TGraphicsObject : public TPersistent {
  QX_CLASS(TGraphicsObject, TPersistent)
public:
  ~TGraphicsObject() override;
  TNotifyEvent OnChange;
  // Whether a handle has been made and not yet dropped.
  bool HandleAllocated() const { return FHandle != nullptr; }

protected:
  Win::HGDIOBJ HandleOf();
  virtual Win::HGDIOBJ CreateHandle() = 0;
  // Drops the handle, then tells OnChange: listeners (a canvas) deselect the
  // old handle before it is deleted.
  void Changed();

private:
  Win::HGDIOBJ FHandle = nullptr;
};

class TFont : public TGraphicsObject {
  QX_CLASS(TFont, TGraphicsObject)
public:
  TFont();
  void Assign(const TPersistent* Source) override;

  Win::HFONT Handle();
  // Takes the description of the font behind the handle (the handle itself
  // is not kept).
  void SetHandle(Win::HFONT Value);
  const TFontName& Name() const { return FName; }
  void SetName(const TFontName& Value);
  // Points; derived from Height at PixelsPerInch.
  Integer Size() const;
  void SetSize(Integer Value);
  // Negative: the character (em) height in pixels; positive: the cell height.
  Integer Height() const { return FHeight; }
  void SetHeight(Integer Value);
  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  TFontStyles Style() const { return FStyle; }
  void SetStyle(TFontStyles Value);
  TFontPitch Pitch() const { return FPitch; }
  void SetPitch(TFontPitch Value);
  TFontCharset Charset() const { return FCharset; }
  void SetCharset(TFontCharset Value);
  TFontQuality Quality() const { return FQuality; }
  void SetQuality(TFontQuality Value);
  // Tenths of a degree.
  Integer Orientation() const { return FOrientation; }
  void SetOrientation(Integer Value);
  // The resolution Size and Height convert with (the screen's at creation).
  Integer PixelsPerInch() const { return FPixelsPerInch; }
  void SetPixelsPerInch(Integer Value);

protected:
  Win::HGDIOBJ CreateHandle() override;

private:
  template <class T>
  void Set(T& Field, const T& Value);

  TFontName FName = "Tahoma";
  Integer FHeight;
  Integer FPixelsPerInch;
  TColor FColor = clWindowText;
  TFontStyles FStyle;
  TFontPitch FPitch = fpDefault;
  TFontCharset FCharset = Win::DEFAULT_CHARSET;
  TFontQuality FQuality = fqDefault;
  Integer FOrientation = 0;
};

class TPen : public TGraphicsObject {
  QX_CLASS(TPen, TGraphicsObject)
public:
  void Assign(const TPersistent* Source) override;

  Win::HPEN Handle();
  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  Integer Width() const { return FWidth; }
  void SetWidth(Integer Value);
  TPenStyle Style() const { return FStyle; }
  void SetStyle(TPenStyle Value);
  TPenMode Mode() const { return FMode; }
  void SetMode(TPenMode Value);

protected:
  Win::HGDIOBJ CreateHandle() override;

private:
  TColor FColor = clBlack;
  Integer FWidth = 1;
  TPenStyle FStyle = psSolid;
  TPenMode FMode = pmCopy;
};

class TBrush : public TGraphicsObject {
  QX_CLASS(TBrush, TGraphicsObject)
public:
  TBrush();
  ~TBrush() override;
  void Assign(const TPersistent* Source) override;

  Win::HBRUSH Handle();
  TColor Color() const { return FColor; }
  // A colour other than clNone makes a clear brush solid; clNone makes it clear.
  void SetColor(TColor Value);
  TBrushStyle Style() const { return FStyle; }
  void SetStyle(TBrushStyle Value);
  // A pattern brush from a copy of the bitmap (not owned); nullptr ends it.
  TBitmap* Bitmap() const { return FBitmap.get(); }
  void SetBitmap(TBitmap* Value);

protected:
  Win::HGDIOBJ CreateHandle() override;

private:
  TColor FColor = clWhite;
  TBrushStyle FStyle = bsSolid;
  std::unique_ptr<TBitmap> FBitmap;
};

// ---- text formats ---------------------------------------------------------------
enum class TTextFormats { tfBottom, tfCalcRect, tfCenter, tfEditControl, tfEndEllipsis, tfPathEllipsis,
                          tfExpandTabs, tfExternalLeading, tfLeft, tfModifyString, tfNoClip, tfNoPrefix,
                          tfRight, tfRtlReading, tfSingleLine, tfTop, tfVerticalCenter, tfWordBreak,
                          tfHidePrefix, tfNoFullWidthCharBreak, tfPrefixOnly, tfTabStop, tfWordEllipsis,
                          tfComposited };
using enum TTextFormats;
using TTextFormat = TSet<TTextFormats>;
// The DrawText flags of a format set.
Win::UINT TextFormatToDrawTextFlags(TTextFormat Format);

// ---- canvas ------------------------------------------------------------------
using TCopyMode = Win::DWORD;
constexpr TCopyMode cmBlackness = Win::BLACKNESS, cmDstInvert = Win::DSTINVERT, cmMergeCopy = Win::MERGECOPY,
                    cmMergePaint = Win::MERGEPAINT, cmNotSrcCopy = Win::NOTSRCCOPY,
                    cmNotSrcErase = Win::NOTSRCERASE, cmPatCopy = Win::PATCOPY, cmPatInvert = Win::PATINVERT,
                    cmPatPaint = Win::PATPAINT, cmSrcAnd = Win::SRCAND, cmSrcCopy = Win::SRCCOPY,
                    cmSrcErase = Win::SRCERASE, cmSrcInvert = Win::SRCINVERT, cmSrcPaint = Win::SRCPAINT,
                    cmWhiteness = Win::WHITENESS;

class TGraphic;

// Drawing on a device context with the canvas's pen, brush and font, which
// stay selected into the context (and follow their changes) while it has one.
// A plain canvas draws on a context given with SetHandle and does not own it;
// descendants make their own in CreateHandle.
class TCanvas : public TPersistent {
  QX_CLASS(TCanvas, TPersistent)
public:
  TCanvas();
  ~TCanvas() override;

  // The context with pen, brush and font selected; CreateHandle when none.
  Win::HDC Handle();
  void SetHandle(Win::HDC Value);
  bool HandleAllocated() const { return FHandle != nullptr; }

  // A recursive lock for drawing from more than one thread.
  void Lock();
  void Unlock();
  bool TryLock();
  Integer LockCount() const { return FLockCount; }

  TFont* Font() const { return FFont.get(); }
  void SetFont(const TFont* Value) { FFont->Assign(Value); }
  TPen* Pen() const { return FPen.get(); }
  void SetPen(const TPen* Value) { FPen->Assign(Value); }
  TBrush* Brush() const { return FBrush.get(); }
  void SetBrush(const TBrush* Value) { FBrush->Assign(Value); }
  TCopyMode CopyMode() const { return FCopyMode; }
  void SetCopyMode(TCopyMode Value) { FCopyMode = Value; }
  // ETO_ options that TextOut and the clipped TextRect add.
  Integer TextFlags() const { return FTextFlags; }
  void SetTextFlags(Integer Value) { FTextFlags = Value; }

  void FillRect(const TRect& Rect);
  void FrameRect(const TRect& Rect);
  void Rectangle(Integer X1, Integer Y1, Integer X2, Integer Y2);
  void Rectangle(const TRect& Rect) { Rectangle(Rect.Left, Rect.Top, Rect.Right, Rect.Bottom); }
  void RoundRect(Integer X1, Integer Y1, Integer X2, Integer Y2, Integer X3, Integer Y3);
  void RoundRect(const TRect& Rect, Integer CX, Integer CY);
  void Ellipse(Integer X1, Integer Y1, Integer X2, Integer Y2);
  void Ellipse(const TRect& Rect) { Ellipse(Rect.Left, Rect.Top, Rect.Right, Rect.Bottom); }
  void Polygon(const std::vector<TPoint>& Points);
  void Polyline(const std::vector<TPoint>& Points);
  void MoveTo(Integer X, Integer Y);
  void LineTo(Integer X, Integer Y);
  TPoint PenPos();
  void SetPenPos(TPoint Value) { MoveTo(Value.X, Value.Y); }
  TColor Pixels(Integer X, Integer Y);
  void SetPixels(Integer X, Integer Y, TColor Value);
  void DrawFocusRect(const TRect& Rect);

  void TextOut(Integer X, Integer Y, const String& Text);
  // Text at (X, Y) clipped to Rect, opaque on the brush unless it is clear.
  void TextRect(const TRect& Rect, Integer X, Integer Y, const String& Text);
  // DrawText with the format's flags; tfCalcRect measures into Rect,
  // tfModifyString writes the shortened text back.
  void TextRect(TRect& Rect, String& Text, TTextFormat TextFormat);
  TSize TextExtent(const String& Text);
  Integer TextWidth(const String& Text) { return TextExtent(Text).cx; }
  Integer TextHeight(const String& Text) { return TextExtent(Text).cy; }

  void Draw(Integer X, Integer Y, TGraphic* Graphic);
  void Draw(Integer X, Integer Y, TGraphic* Graphic, Byte Opacity);
  void StretchDraw(const TRect& Rect, TGraphic* Graphic);
  // Source area of Canvas into Dest with CopyMode (stretched when sizes differ).
  void CopyRect(const TRect& Dest, TCanvas* Canvas, const TRect& Source);
  // Copies the bitmap's Source area to Dest showing the brush where it has Color.
  void BrushCopy(const TRect& Dest, TBitmap* Bitmap, const TRect& Source, TColor Color);
  TRect ClipRect();
  // Deselects pen, brush and font so the next use selects them afresh.
  void Refresh();

  TNotifyEvent OnChange;
  TNotifyEvent OnChanging;

protected:
  enum TState : unsigned { csHandleValid = 1, csFontValid = 2, csPenValid = 4, csBrushValid = 8 };
  virtual void CreateHandle() {}
  // Called whenever the context is about to be drawn on or handed out.
  virtual void SurfaceNeeded() {}
  void RequiredState(unsigned State);
  virtual void Changing();
  virtual void Changed();
  void DeselectHandles();

private:
  void CreateFont();
  void CreatePen();
  void CreateBrush();
  void FontChanged(TObject* Sender);
  void PenChanged(TObject* Sender);
  void BrushChanged(TObject* Sender);
  void DrawTextFlags(TRect& Rect, String& Text, Win::UINT Flags);
  // Makes the context when the canvas can; false, raising nothing, when it cannot.
  bool HandleAvailable();

  Win::HDC FHandle = nullptr;
  unsigned FState = 0;
  std::unique_ptr<TFont> FFont;
  std::unique_ptr<TPen> FPen;
  std::unique_ptr<TBrush> FBrush;
  TCopyMode FCopyMode = cmSrcCopy;
  Integer FTextFlags = 0;
  std::recursive_mutex FMutex;
  Integer FLockCount = 0;
};

// Lends a device context to a plain canvas for a block: the canvas draws on
// it until the block ends, by an exception too, and then lets go, so it
// never keeps a context that is gone after the paint.
class TCanvasAttachment {
public:
  TCanvasAttachment(TCanvas* Canvas, Win::HDC DC) : FCanvas(Canvas) { FCanvas->SetHandle(DC); }
  ~TCanvasAttachment() { FCanvas->SetHandle(nullptr); }
  TCanvasAttachment(const TCanvasAttachment&) = delete;
  TCanvasAttachment& operator=(const TCanvasAttachment&) = delete;

private:
  TCanvas* FCanvas;
};

// ---- glyphs -------------------------------------------------------------------
enum class TScrollDirection { sdLeft, sdRight, sdUp, sdDown };
using enum TScrollDirection;
QX_ENUM_NAMES(TScrollDirection, sdLeft, sdRight, sdUp, sdDown)

// A solid arrow head in the pen colour pointing in Direction, its box's top
// left at Location: Size + 1 pixels deep and 2 * Size + 1 wide (across the
// direction it points in). A Size below 1 draws nothing.
void DrawArrow(TCanvas* ACanvas, TScrollDirection Direction, TPoint Location, Integer Size);

// ---- graphics -----------------------------------------------------------------
// A picture that can draw itself on a canvas and be stored in a stream.
class TGraphic : public TPersistent {
  QX_CLASS(TGraphic, TPersistent)
public:
  virtual bool Empty() const = 0;
  virtual Integer Width() const = 0;
  virtual Integer Height() const = 0;
  virtual void SetWidth(Integer Value) { SetSize(Value, Height()); }
  virtual void SetHeight(Integer Value) { SetSize(Width(), Value); }
  virtual void SetSize(Integer AWidth, Integer AHeight) = 0;
  virtual bool Transparent() const { return FTransparent; }
  virtual void SetTransparent(bool Value);
  bool Modified() const { return FModified; }
  void SetModified(bool Value);
  // Whether the graphic can carry per-pixel alpha.
  virtual bool SupportsPartialTransparency() const { return false; }

  virtual void LoadFromStream(TStream* Stream) = 0;
  virtual void SaveToStream(TStream* Stream) = 0;
  void LoadFromFile(const String& FileName);
  void SaveToFile(const String& FileName);
  // The form of the picture data in form resources (the stream form by default).
  virtual void ReadData(TStream* Stream) { LoadFromStream(Stream); }
  virtual void WriteData(TStream* Stream) { SaveToStream(Stream); }
  // A graphic held by a published property streams as its "Data" (ReadData,
  // WriteData), written when it is not empty.
  void DefineProperties(TFiler* Filer) override;

  TNotifyEvent OnChange;

protected:
  friend class TCanvas;
  friend class TPicture;
  virtual void Draw(TCanvas* ACanvas, const TRect& Rect) = 0;
  // Draw with a constant opacity; the default ignores the opacity.
  virtual void DrawTransparent(TCanvas* ACanvas, const TRect& Rect, Byte Opacity);
  virtual void Changed();

private:
  bool FTransparent = false;
  bool FModified = false;
};

using TGraphicClass = const TClassInfo*;

enum class TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom };
using enum TPixelFormat;
enum class TAlphaFormat { afIgnored, afDefined, afPremultiplied };
using enum TAlphaFormat;
enum class TTransparentMode { tmAuto, tmFixed };
using enum TTransparentMode;

// A bitmap on a 32-bit surface. ScanLine gives top-down rows in the pixel
// format's layout: 4 bytes B, G, R, A for pf32bit and pfDevice (the surface
// itself), 3 bytes B, G, R for pf24bit, 1 bit per pixel (most significant
// first, 1 = white) for pf1bit, rows padded to 4 bytes. Rows of pf24bit and
// pf1bit are a converted copy: what is written to them reaches the surface
// before the next drawing, Handle or Draw, and drawing on the canvas shows in
// the rows at the next ScanLine call.
class TBitmap : public TGraphic {
  QX_CLASS(TBitmap, TGraphic)
public:
  TBitmap();
  TBitmap(Integer AWidth, Integer AHeight);
  ~TBitmap() override;
  void Assign(const TPersistent* Source) override;

  bool Empty() const override { return FWidth == 0 || FHeight == 0; }
  Integer Width() const override { return FWidth; }
  Integer Height() const override { return FHeight; }
  // Keeps the overlapping top-left part of the picture; new pixels are black.
  void SetSize(Integer AWidth, Integer AHeight) override;
  bool SupportsPartialTransparency() const override { return FPixelFormat == pf32bit; }

  // EInvalidGraphicOperation for pf4bit, pf8bit, pf15bit, pf16bit and pfCustom.
  TPixelFormat PixelFormat() const { return FPixelFormat; }
  void SetPixelFormat(TPixelFormat Value);
  TAlphaFormat AlphaFormat() const { return FAlphaFormat; }
  void SetAlphaFormat(TAlphaFormat Value);
  // Black and white (pf1bit); switching it on reduces the pixels to the
  // nearer of black and white.
  bool Monochrome() const { return FPixelFormat == pf1bit; }
  void SetMonochrome(bool Value);

  TCanvas* Canvas();
  // Row 0 is the top; EInvalidGraphicOperation outside 0..Height-1.
  Byte* ScanLine(Integer Row);
  // The surface (32-bit); the bitmap keeps owning it. Frees the canvas's
  // context so the handle can be selected elsewhere.
  Win::HBITMAP Handle();
  // Takes ownership of a 32-bit surface (pf32bit); nullptr empties the bitmap.
  void SetHandle(Win::HBITMAP Value);
  // Gives the surface to the caller; the bitmap becomes empty.
  Win::HBITMAP ReleaseHandle();
  bool HandleAllocated() const { return FHandle != nullptr; }

  TColor TransparentColor();
  void SetTransparentColor(TColor Value);
  TTransparentMode TransparentMode() const { return FTransparentMode; }
  void SetTransparentMode(TTransparentMode Value);

  // BMP files: BITMAPFILEHEADER and a core, info, V4 or V5 header; 1, 4, 8,
  // 16, 24 and 32 bits, BI_RGB and bit fields. Corrupt data raises
  // EInvalidGraphic and leaves the bitmap unchanged.
  void LoadFromStream(TStream* Stream) override;
  void SaveToStream(TStream* Stream) override;
  // Form data: a length field (see ReadLengthField), then the BMP file.
  void ReadData(TStream* Stream) override;
  void WriteData(TStream* Stream) override;

protected:
  void Draw(TCanvas* ACanvas, const TRect& Rect) override;
  void DrawTransparent(TCanvas* ACanvas, const TRect& Rect, Byte Opacity) override;

private:
  class TBitmapCanvas;
  friend class TBitmapCanvas;
  enum class TRows { Stale, Ahead };
  void Reset(Win::HBITMAP Handle, Integer AWidth, Integer AHeight);
  void FlushRows();
  void FreeContext();
  Win::HDC ContextHandle();
  bool HasRowCopy() const { return FPixelFormat == pf24bit || FPixelFormat == pf1bit; }
  void Blend(TCanvas* ACanvas, const TRect& Rect, Byte Opacity, bool PerPixel);
  void SurfaceToFormat();

  Win::HBITMAP FHandle = nullptr;
  Integer FWidth = 0;
  Integer FHeight = 0;
  TPixelFormat FPixelFormat = pfDevice;
  TAlphaFormat FAlphaFormat = afIgnored;
  TTransparentMode FTransparentMode = tmAuto;
  TColor FTransparentColor = clDefault;
  std::unique_ptr<TCanvas> FCanvas;
  std::vector<Byte> FRows;
  Integer FRowStride = 0;
  TRows FRowsState = TRows::Stale;
};

// An icon: a colour bitmap with a 1-bit AND mask, or with 32-bit alpha. A
// loaded icon also keeps its whole .ico file, every size of it.
class TIcon : public TGraphic {
  QX_CLASS(TIcon, TGraphic)
public:
  TIcon() = default;
  ~TIcon() override;
  void Assign(const TPersistent* Source) override;

  bool Empty() const override { return FHandle == nullptr; }
  Integer Width() const override;
  Integer Height() const override;
  // EInvalidGraphicOperation "Cannot change the size of an icon" once it has
  // an image; before, it only sets the size LoadFromStream prefers.
  void SetSize(Integer AWidth, Integer AHeight) override;
  void SetTransparent(bool Value) override { (void)Value; }
  bool SupportsPartialTransparency() const override { return true; }

  Win::HICON Handle() const { return FHandle; }
  // Takes ownership of the icon; a loaded file is let go.
  void SetHandle(Win::HICON Value);
  // The icon becomes empty, file and all.
  Win::HICON ReleaseHandle();
  bool HandleAllocated() const { return FHandle != nullptr; }

  // An .ico file: the entry nearest the preferred size (32 x 32 when none is
  // set) with the most colours, a bitmap frame of 1, 4, 8, 24 or 32 bits.
  // Bad data raises EInvalidGraphic "Icon image is not valid" and leaves the
  // icon as it was. The file is kept as it was read.
  void LoadFromStream(TStream* Stream) override;
  // The loaded file unchanged; an icon given a handle writes a one-image
  // .ico file: 32-bit colour with alpha, or 24-bit with the mask.
  void SaveToStream(TStream* Stream) override;

protected:
  void Draw(TCanvas* ACanvas, const TRect& Rect) override;
  void AssignTo(TPersistent* Dest) const override;

private:
  void Replace(Win::HICON Handle, TBytes Data);

  Win::HICON FHandle = nullptr;
  TBytes FData; // the loaded .ico file; empty for an icon given a handle
  Integer FRequestedWidth = 0;
  Integer FRequestedHeight = 0;
};

// Holds one graphic of any registered class.
class TPicture : public TPersistent {
  QX_CLASS(TPicture, TPersistent)
public:
  TPicture() = default;
  ~TPicture() override;
  void Assign(const TPersistent* Source) override;

  TGraphic* Graphic() const { return FGraphic.get(); }
  // A copy of Value (of the same class), or none.
  void SetGraphic(TGraphic* Value);
  // The graphic as a bitmap (an icon), replacing any other kind by an empty one.
  TBitmap* Bitmap();
  TIcon* Icon();
  Integer Width() const { return FGraphic ? FGraphic->Width() : 0; }
  Integer Height() const { return FGraphic ? FGraphic->Height() : 0; }

  // By extension; EInvalidGraphic "Unknown picture file extension (.ext)".
  void LoadFromFile(const String& FileName);
  void SaveToFile(const String& FileName);
  // Form data: the class name (a length byte and the name), then the
  // graphic's own data.
  void ReadData(TStream* Stream);
  void WriteData(TStream* Stream);
  // Streams the graphic as the binary property "Data" (ReadData, WriteData).
  void DefineProperties(TFiler* Filer) override;

  // Extension without the dot ("bmp"); an empty extension registers the
  // class for lookup by name only. The class must have a default constructor.
  static void RegisterFileFormat(const String& Extension, const String& Description,
                                 TGraphicClass GraphicClass);
  static void UnregisterGraphicClass(TGraphicClass GraphicClass);
  // By class name (any case); nullptr when not registered.
  static TGraphicClass FindGraphicClass(const String& ClassName);
  // By extension, with or without the dot; nullptr when not registered.
  static TGraphicClass GraphicClassForExtension(const String& Extension);
  static TGraphic* CreateGraphic(TGraphicClass GraphicClass);

  TNotifyEvent OnChange;

protected:
  void Changed(TObject* Sender);

private:
  template <class T>
  T* ForceType();
  void Adopt(std::unique_ptr<TGraphic> Graphic);

  std::unique_ptr<TGraphic> FGraphic;
};

// ---- stored graphics ------------------------------------------------------------------------
// The framing of a picture's stored data: the graphic's class name as a
// length byte and the name (empty: no graphic), then the graphic's own data,
// which a graphic that cannot tell where its data ends (a bitmap) puts
// behind a little-endian 32-bit length field. Reading raises EReadError on
// data that ends inside either, a name that is no identifier and a length
// beyond the bytes left; writing raises EWriteError on a name longer than
// 255 bytes.
void WriteGraphicClassName(TStream* Stream, const String& ClassName);
String ReadGraphicClassName(TStream* Stream);
void WriteLengthField(TStream* Stream, Cardinal Length);
Cardinal ReadLengthField(TStream* Stream);

} // namespace Vcl
