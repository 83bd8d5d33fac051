// GDI: device contexts over 32-bit BGRA surfaces (Cairo's ARGB32 memory
// layout), GDI objects, regions and drawing with Win32 pixel semantics.
//
// Conventions of this stand-in:
// - Coordinates are logical; device = logical - window origin + DC offset.
// - Rectangles are half-open; lines exclude their end point; no anti-aliasing
//   except for glyphs.
// - GDI drawing writes opaque pixels (alpha 255) so that a surface is always a
//   valid Cairo image; AlphaBlend and the alpha-aware blits are the exceptions.
#pragma once

#include "Win.Kernel.hpp"

#include <System.Types.hpp>

#include <cstdint>

namespace Win {

using RECT = Vcl::TRect;
using POINT = Vcl::TPoint;
using SIZE = Vcl::TSize;
using COLORREF = std::uint32_t; // 0x00BBGGRR
using BYTE = std::uint8_t;

constexpr COLORREF RGB(BYTE r, BYTE g, BYTE b) { return COLORREF(r) | (COLORREF(g) << 8) | (COLORREF(b) << 16); }
constexpr BYTE GetRValue(COLORREF c) { return BYTE(c & 0xFF); }
constexpr BYTE GetGValue(COLORREF c) { return BYTE((c >> 8) & 0xFF); }
constexpr BYTE GetBValue(COLORREF c) { return BYTE((c >> 16) & 0xFF); }
constexpr COLORREF CLR_INVALID = 0xFFFFFFFF;

struct TDC;
struct TGdiObject;
struct TPenObject;
struct TBrushObject;
struct TFontObject;
struct TBitmapObject;
struct TRegionObject;
struct TWindow;

using HDC = TDC*;
using HGDIOBJ = TGdiObject*;
using HPEN = TPenObject*;
using HBRUSH = TBrushObject*;
using HFONT = TFontObject*;
using HBITMAP = TBitmapObject*;
using HRGN = TRegionObject*;
using HWND = TWindow*;

// ---- device capabilities ---------------------------------------------------
constexpr int HORZRES = 8;
constexpr int VERTRES = 10;
constexpr int BITSPIXEL = 12;
constexpr int LOGPIXELSX = 88;
constexpr int LOGPIXELSY = 90;

// GetDC(nullptr) is the screen's DC (no surface); release every DC it hands out.
HDC GetDC(HWND hWnd);
int ReleaseDC(HWND hWnd, HDC hDC);
int GetDeviceCaps(HDC hDC, int index);

// ---- system colours (GetSysColor indexes, classic default scheme) ------------
constexpr int COLOR_SCROLLBAR = 0, COLOR_BACKGROUND = 1, COLOR_ACTIVECAPTION = 2, COLOR_INACTIVECAPTION = 3,
              COLOR_MENU = 4, COLOR_WINDOW = 5, COLOR_WINDOWFRAME = 6, COLOR_MENUTEXT = 7,
              COLOR_WINDOWTEXT = 8, COLOR_CAPTIONTEXT = 9, COLOR_ACTIVEBORDER = 10, COLOR_INACTIVEBORDER = 11,
              COLOR_APPWORKSPACE = 12, COLOR_HIGHLIGHT = 13, COLOR_HIGHLIGHTTEXT = 14, COLOR_BTNFACE = 15,
              COLOR_BTNSHADOW = 16, COLOR_GRAYTEXT = 17, COLOR_BTNTEXT = 18, COLOR_INACTIVECAPTIONTEXT = 19,
              COLOR_BTNHIGHLIGHT = 20, COLOR_3DDKSHADOW = 21, COLOR_3DLIGHT = 22, COLOR_INFOTEXT = 23,
              COLOR_INFOBK = 24, COLOR_HOTLIGHT = 26, COLOR_GRADIENTACTIVECAPTION = 27,
              COLOR_GRADIENTINACTIVECAPTION = 28, COLOR_MENUHILIGHT = 29, COLOR_MENUBAR = 30;
constexpr int COLOR_MAX = 30;
// Out-of-range indexes give black rather than reading outside the table.
COLORREF GetSysColor(int index);
void SetSysColor(int index, COLORREF color); // tests and hosts may change the scheme
void ResetSysColors();

// ---- objects ---------------------------------------------------------------
constexpr int PS_SOLID = 0, PS_DASH = 1, PS_DOT = 2, PS_DASHDOT = 3, PS_DASHDOTDOT = 4, PS_NULL = 5,
              PS_INSIDEFRAME = 6;
constexpr int BS_SOLID = 0, BS_NULL = 1, BS_HOLLOW = 1, BS_HATCHED = 2, BS_PATTERN = 3;
constexpr int HS_HORIZONTAL = 0, HS_VERTICAL = 1, HS_FDIAGONAL = 2, HS_BDIAGONAL = 3, HS_CROSS = 4,
              HS_DIAGCROSS = 5;
constexpr int WHITE_BRUSH = 0, LTGRAY_BRUSH = 1, GRAY_BRUSH = 2, DKGRAY_BRUSH = 3, BLACK_BRUSH = 4,
              NULL_BRUSH = 5, WHITE_PEN = 6, BLACK_PEN = 7, NULL_PEN = 8, DEFAULT_GUI_FONT = 17;

constexpr int LF_FACESIZE = 32;
constexpr int FW_DONTCARE = 0, FW_NORMAL = 400, FW_SEMIBOLD = 600, FW_BOLD = 700;
constexpr BYTE DEFAULT_CHARSET = 1;
constexpr BYTE DEFAULT_QUALITY = 0, NONANTIALIASED_QUALITY = 3, ANTIALIASED_QUALITY = 4,
               CLEARTYPE_QUALITY = 5;
constexpr BYTE DEFAULT_PITCH = 0, FIXED_PITCH = 1, VARIABLE_PITCH = 2;
constexpr BYTE FF_DONTCARE = 0x00, FF_ROMAN = 0x10, FF_SWISS = 0x20, FF_MODERN = 0x30, FF_SCRIPT = 0x40,
               FF_DECORATIVE = 0x50;

// lfHeight < 0: character (em) height in pixels; > 0: cell height; 0: default.
struct LOGFONT {
  int lfHeight = 0;
  int lfWidth = 0;
  int lfEscapement = 0;
  int lfOrientation = 0;
  int lfWeight = FW_NORMAL;
  BYTE lfItalic = 0;
  BYTE lfUnderline = 0;
  BYTE lfStrikeOut = 0;
  BYTE lfCharSet = DEFAULT_CHARSET;
  BYTE lfOutPrecision = 0;
  BYTE lfClipPrecision = 0;
  BYTE lfQuality = DEFAULT_QUALITY;
  BYTE lfPitchAndFamily = DEFAULT_PITCH;
  char lfFaceName[LF_FACESIZE] = {};
};

HPEN CreatePen(int style, int width, COLORREF color);
HBRUSH CreateSolidBrush(COLORREF color);
HBRUSH CreateHatchBrush(int hatch, COLORREF color);
HBRUSH CreatePatternBrush(HBITMAP bitmap);
HBRUSH GetSysColorBrush(int index); // stock, never deleted
HFONT CreateFontIndirect(const LOGFONT& lf);
HGDIOBJ GetStockObject(int index);
// Returns the previously selected object of that kind (for a region: a
// region-type code, as Win32 does).
HGDIOBJ SelectObject(HDC dc, HGDIOBJ obj);
BOOL DeleteObject(HGDIOBJ obj); // deleting a stock or selected object is refused
// The object types are opaque here, so the typed handles get their own
// overloads (the same calls).
HGDIOBJ SelectObject(HDC dc, HPEN obj);
HGDIOBJ SelectObject(HDC dc, HBRUSH obj);
HGDIOBJ SelectObject(HDC dc, HFONT obj);
HGDIOBJ SelectObject(HDC dc, HBITMAP obj);
HGDIOBJ SelectObject(HDC dc, HRGN obj);
BOOL DeleteObject(HPEN obj);
BOOL DeleteObject(HBRUSH obj);
BOOL DeleteObject(HFONT obj);
BOOL DeleteObject(HBITMAP obj);
BOOL DeleteObject(HRGN obj);
// Win32 code casts between HGDIOBJ and the typed handles; these are those
// casts (the kind is not checked: GetObjectType tells it).
HGDIOBJ ToGdiObject(HPEN obj);
HGDIOBJ ToGdiObject(HBRUSH obj);
HGDIOBJ ToGdiObject(HFONT obj);
HGDIOBJ ToGdiObject(HBITMAP obj);
HGDIOBJ ToGdiObject(HRGN obj);
template <class THandle>
THandle FromGdiObject(HGDIOBJ obj); // HPEN, HBRUSH, HFONT, HBITMAP or HRGN
HGDIOBJ GetCurrentObject(HDC dc, UINT type);
constexpr UINT OBJ_PEN = 1, OBJ_BRUSH = 2, OBJ_FONT = 6, OBJ_BITMAP = 7, OBJ_REGION = 8;
int GetObjectType(HGDIOBJ obj);
int GetObject(HGDIOBJ obj, int size, void* out); // LOGFONT for fonts, BITMAP for bitmaps
int GetObject(HFONT obj, int size, void* out);
int GetObject(HBITMAP obj, int size, void* out);

// ---- bitmaps ---------------------------------------------------------------
struct BITMAP {
  int bmType = 0;
  int bmWidth = 0;
  int bmHeight = 0;
  int bmWidthBytes = 0;
  WORD bmPlanes = 1;
  WORD bmBitsPixel = 32;
  void* bmBits = nullptr;
};
constexpr DWORD BI_RGB = 0, BI_BITFIELDS = 3;
constexpr UINT DIB_RGB_COLORS = 0;
struct BITMAPINFOHEADER {
  DWORD biSize = 40;
  int biWidth = 0;
  int biHeight = 0; // positive: bottom-up rows; negative: top-down
  WORD biPlanes = 1;
  WORD biBitCount = 0;
  DWORD biCompression = BI_RGB;
  DWORD biSizeImage = 0;
  int biXPelsPerMeter = 0;
  int biYPelsPerMeter = 0;
  DWORD biClrUsed = 0;
  DWORD biClrImportant = 0;
};
struct RGBQUAD {
  BYTE rgbBlue = 0, rgbGreen = 0, rgbRed = 0, rgbReserved = 0;
};
struct BITMAPINFO {
  BITMAPINFOHEADER bmiHeader;
  RGBQUAD bmiColors[1];
};
// Bytes in one row of DIB pixel data: Width pixels of BitCount bits, padded
// to whole 32-bit words. Exact for every value of the parameter types.
constexpr std::uint64_t DibStride(std::uint32_t Width, WORD BitCount)
{
  return (std::uint64_t(Width) * BitCount + 31) / 32 * 4;
}

// All bitmaps are 32-bit BGRA surfaces, top-down, stride = 4 * width, pixels
// initialised to 0. Bits() points at row 0, the top row. Requests above 2^27
// pixels fail.
HBITMAP CreateBitmap32(int width, int height);
HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height);
// Only 32-bit BI_RGB is made. Whatever the sign of biHeight, the pixels are
// stored top-down like every bitmap here; *bits gets the top row.
HBITMAP CreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits, void* section, DWORD offset);
std::uint32_t* BitmapBits(HBITMAP bitmap);
int BitmapWidth(HBITMAP bitmap);
int BitmapHeight(HBITMAP bitmap);
// Scan lines in DIB order; with bits == nullptr fills only the header.
int GetDIBits(HDC dc, HBITMAP bitmap, UINT start, UINT lines, void* bits, BITMAPINFO* info, UINT usage);
int StretchDIBits(HDC dc, int xDest, int yDest, int destWidth, int destHeight, int xSrc, int ySrc,
                  int srcWidth, int srcHeight, const void* bits, const BITMAPINFO* info, UINT usage, DWORD rop);

// ---- DCs -------------------------------------------------------------------
HDC CreateCompatibleDC(HDC dc); // a memory DC with a 1 x 1 bitmap selected
BOOL DeleteDC(HDC dc);
int SaveDC(HDC dc);
BOOL RestoreDC(HDC dc, int savedDC); // negative: relative to the top
COLORREF SetTextColor(HDC dc, COLORREF color);
COLORREF GetTextColor(HDC dc);
COLORREF SetBkColor(HDC dc, COLORREF color);
COLORREF GetBkColor(HDC dc);
constexpr int TRANSPARENT = 1, OPAQUE = 2;
int SetBkMode(HDC dc, int mode);
int GetBkMode(HDC dc);
constexpr int R2_BLACK = 1, R2_NOT = 6, R2_XORPEN = 7, R2_COPYPEN = 13, R2_WHITE = 16;
int SetROP2(HDC dc, int rop2);
BOOL GetWindowOrgEx(HDC dc, POINT* point);
BOOL SetWindowOrgEx(HDC dc, int x, int y, POINT* old);
BOOL OffsetWindowOrgEx(HDC dc, int x, int y, POINT* old);
BOOL SetBrushOrgEx(HDC dc, int x, int y, POINT* old);
BOOL GetBrushOrgEx(HDC dc, POINT* point);

// ---- regions -----------------------------------------------------------------
constexpr int ERROR = 0, NULLREGION = 1, SIMPLEREGION = 2, COMPLEXREGION = 3;
constexpr int RGN_AND = 1, RGN_OR = 2, RGN_XOR = 3, RGN_DIFF = 4, RGN_COPY = 5;
HRGN CreateRectRgn(int left, int top, int right, int bottom);
HRGN CreateRectRgnIndirect(const RECT& rect);
HRGN CreateEllipticRgn(int left, int top, int right, int bottom);
HRGN CreateRoundRectRgn(int left, int top, int right, int bottom, int width, int height);
HRGN CreatePolygonRgn(const POINT* points, int count, int fillMode);
int CombineRgn(HRGN dest, HRGN src1, HRGN src2, int mode);
int OffsetRgn(HRGN rgn, int x, int y);
int GetRgnBox(HRGN rgn, RECT* rect);
BOOL PtInRegion(HRGN rgn, int x, int y);
BOOL RectInRegion(HRGN rgn, const RECT* rect);
BOOL EqualRgn(HRGN a, HRGN b);
BOOL SetRectRgn(HRGN rgn, int left, int top, int right, int bottom);
BOOL FillRgn(HDC dc, HRGN rgn, HBRUSH brush);
BOOL FrameRgn(HDC dc, HRGN rgn, HBRUSH brush, int width, int height);
// Clipping (region coordinates are device coordinates, as in Win32).
int SelectClipRgn(HDC dc, HRGN rgn); // nullptr removes the clip region
int ExtSelectClipRgn(HDC dc, HRGN rgn, int mode);
int IntersectClipRect(HDC dc, int left, int top, int right, int bottom); // logical
int ExcludeClipRect(HDC dc, int left, int top, int right, int bottom);   // logical
int GetClipBox(HDC dc, RECT* rect);                                       // logical
int GetClipRgn(HDC dc, HRGN rgn); // 1 and a copy when there is one, 0 when none
BOOL PtVisible(HDC dc, int x, int y);
BOOL RectVisible(HDC dc, const RECT* rect);

// ---- drawing ---------------------------------------------------------------------
int FillRect(HDC dc, const RECT* rect, HBRUSH brush);
int FrameRect(HDC dc, const RECT* rect, HBRUSH brush);
BOOL InvertRect(HDC dc, const RECT* rect);
BOOL Rectangle(HDC dc, int left, int top, int right, int bottom);
BOOL RoundRect(HDC dc, int left, int top, int right, int bottom, int width, int height);
BOOL Ellipse(HDC dc, int left, int top, int right, int bottom);
constexpr int ALTERNATE = 1, WINDING = 2;
int SetPolyFillMode(HDC dc, int mode);
BOOL Polygon(HDC dc, const POINT* points, int count);
BOOL Polyline(HDC dc, const POINT* points, int count);
BOOL MoveToEx(HDC dc, int x, int y, POINT* old);
BOOL LineTo(HDC dc, int x, int y);
// Steps along the line the way LineTo rasterises it, end point excluded,
// calling Proc with each point and Data.
using LINEDDAPROC = void (*)(int x, int y, LPARAM data);
BOOL LineDDA(int xStart, int yStart, int xEnd, int yEnd, LINEDDAPROC proc, LPARAM data);
COLORREF SetPixel(HDC dc, int x, int y, COLORREF color);
COLORREF GetPixel(HDC dc, int x, int y); // CLR_INVALID outside the surface or clip
BOOL DrawFocusRect(HDC dc, const RECT* rect); // dotted XOR frame: twice restores
BOOL PatBlt(HDC dc, int x, int y, int width, int height, DWORD rop);

constexpr DWORD SRCCOPY = 0x00CC0020, SRCPAINT = 0x00EE0086, SRCAND = 0x008800C6, SRCINVERT = 0x00660046,
                SRCERASE = 0x00440328, NOTSRCCOPY = 0x00330008, NOTSRCERASE = 0x001100A6,
                MERGECOPY = 0x00C000CA, MERGEPAINT = 0x00BB0226, PATCOPY = 0x00F00021,
                PATPAINT = 0x00FB0A09, PATINVERT = 0x005A0049, DSTINVERT = 0x00550009,
                BLACKNESS = 0x00000042, WHITENESS = 0x00FF0062;
BOOL BitBlt(HDC dest, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, DWORD rop);
constexpr int BLACKONWHITE = 1, WHITEONBLACK = 2, COLORONCOLOR = 3, HALFTONE = 4;
int SetStretchBltMode(HDC dc, int mode);
BOOL StretchBlt(HDC dest, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, int srcWidth,
                int srcHeight, DWORD rop);
constexpr BYTE AC_SRC_OVER = 0, AC_SRC_ALPHA = 1;
struct BLENDFUNCTION {
  BYTE BlendOp = AC_SRC_OVER;
  BYTE BlendFlags = 0;
  BYTE SourceConstantAlpha = 255;
  BYTE AlphaFormat = 0; // AC_SRC_ALPHA: the source is premultiplied per pixel
};
BOOL AlphaBlend(HDC dest, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, int srcWidth,
                int srcHeight, BLENDFUNCTION blend);
BOOL TransparentBlt(HDC dest, int x, int y, int width, int height, HDC src, int xSrc, int ySrc,
                    int srcWidth, int srcHeight, COLORREF transparent);

// ---- 3-D edges and frame controls (classic look, from the system colours) ----------
constexpr UINT BDR_RAISEDOUTER = 0x1, BDR_SUNKENOUTER = 0x2, BDR_RAISEDINNER = 0x4, BDR_SUNKENINNER = 0x8;
constexpr UINT EDGE_RAISED = 0x5, EDGE_SUNKEN = 0xA, EDGE_ETCHED = 0x6, EDGE_BUMP = 0x9;
constexpr UINT BF_LEFT = 0x1, BF_TOP = 0x2, BF_RIGHT = 0x4, BF_BOTTOM = 0x8, BF_RECT = 0xF,
               BF_DIAGONAL = 0x10, BF_MIDDLE = 0x800, BF_SOFT = 0x1000, BF_ADJUST = 0x2000, BF_FLAT = 0x4000,
               BF_MONO = 0x8000;
BOOL DrawEdge(HDC dc, RECT* rect, UINT edge, UINT flags);
constexpr UINT DFC_CAPTION = 1, DFC_MENU = 2, DFC_SCROLL = 3, DFC_BUTTON = 4;
constexpr UINT DFCS_BUTTONCHECK = 0x0000, DFCS_BUTTONRADIO = 0x0004, DFCS_BUTTON3STATE = 0x0008,
               DFCS_BUTTONPUSH = 0x0010, DFCS_SCROLLUP = 0x0000, DFCS_SCROLLDOWN = 0x0001,
               DFCS_SCROLLLEFT = 0x0002, DFCS_SCROLLRIGHT = 0x0003, DFCS_SCROLLCOMBOBOX = 0x0005,
               DFCS_INACTIVE = 0x0100, DFCS_PUSHED = 0x0200, DFCS_CHECKED = 0x0400, DFCS_TRANSPARENT = 0x0800,
               DFCS_HOT = 0x1000, DFCS_ADJUSTRECT = 0x2000, DFCS_FLAT = 0x4000, DFCS_MONO = 0x8000;
BOOL DrawFrameControl(HDC dc, RECT* rect, UINT type, UINT state);

// ---- text (fonts through fontconfig + FreeType) --------------------------------------
struct TEXTMETRIC {
  int tmHeight = 0; // ascent + descent
  int tmAscent = 0;
  int tmDescent = 0;
  int tmInternalLeading = 0;
  int tmExternalLeading = 0;
  int tmAveCharWidth = 0;
  int tmMaxCharWidth = 0;
  int tmWeight = FW_NORMAL;
  int tmOverhang = 0;
  BYTE tmItalic = 0;
  BYTE tmUnderlined = 0;
  BYTE tmStruckOut = 0;
  BYTE tmPitchAndFamily = 0;
  BYTE tmCharSet = DEFAULT_CHARSET;
};
// tmPitchAndFamily bits; TMPF_FIXED_PITCH set means a *variable* pitch font, as in Win32.
constexpr BYTE TMPF_FIXED_PITCH = 0x01, TMPF_VECTOR = 0x02, TMPF_TRUETYPE = 0x04;
struct ABC {
  int abcA = 0; // left bearing (negative overhangs to the left)
  UINT abcB = 0; // ink width
  int abcC = 0; // right bearing (negative overhangs to the right)
};
BOOL GetTextMetrics(HDC dc, TEXTMETRIC* tm);
// The text calls keep coordinates, extents and widths within GDI's 27-bit
// coordinate space, so that no sum of two of them overflows; nothing that far
// out is on a surface. Code that lays text out from their extents keeps to it.
constexpr int CoordLimit = 1 << 27;
// Text is UTF-8; count is in bytes.
BOOL GetTextExtentPoint32(HDC dc, const char* text, int count, SIZE* size);
BOOL GetCharABCWidths(HDC dc, UINT firstChar, UINT lastChar, ABC* abc); // code points
BOOL GetCharWidth32(HDC dc, UINT firstChar, UINT lastChar, int* widths);
int GetTextFace(HDC dc, int count, char* faceName);
constexpr UINT TA_LEFT = 0, TA_RIGHT = 2, TA_CENTER = 6, TA_TOP = 0, TA_BOTTOM = 8, TA_BASELINE = 24,
               TA_UPDATECP = 1;
constexpr UINT GDI_ERROR = 0xFFFFFFFF;
UINT SetTextAlign(HDC dc, UINT align);
UINT GetTextAlign(HDC dc);
BOOL TextOut(HDC dc, int x, int y, const char* text, int count);
constexpr UINT ETO_OPAQUE = 0x2, ETO_CLIPPED = 0x4;
// dx, when given, holds one advance per code point of the text.
BOOL ExtTextOut(HDC dc, int x, int y, UINT options, const RECT* rect, const char* text, int count,
                const int* dx);
constexpr UINT DT_TOP = 0x0, DT_LEFT = 0x0, DT_CENTER = 0x1, DT_RIGHT = 0x2, DT_VCENTER = 0x4,
               DT_BOTTOM = 0x8, DT_WORDBREAK = 0x10, DT_SINGLELINE = 0x20, DT_EXPANDTABS = 0x40,
               DT_TABSTOP = 0x80, DT_NOCLIP = 0x100, DT_EXTERNALLEADING = 0x200, DT_CALCRECT = 0x400,
               DT_NOPREFIX = 0x800, DT_INTERNAL = 0x1000, DT_EDITCONTROL = 0x2000, DT_PATH_ELLIPSIS = 0x4000,
               DT_END_ELLIPSIS = 0x8000, DT_MODIFYSTRING = 0x10000, DT_RTLREADING = 0x20000,
               DT_WORD_ELLIPSIS = 0x40000, DT_NOFULLWIDTHCHARBREAK = 0x80000, DT_HIDEPREFIX = 0x100000,
               DT_PREFIXONLY = 0x200000;
struct DRAWTEXTPARAMS {
  UINT cbSize = sizeof(DRAWTEXTPARAMS);
  int iTabLength = 0;
  int iLeftMargin = 0;
  int iRightMargin = 0;
  UINT uiLengthDrawn = 0;
};
// count -1: up to the terminating zero. Returns the text height.
int DrawText(HDC dc, const char* text, int count, RECT* rect, UINT format);
int DrawTextEx(HDC dc, const char* text, int count, RECT* rect, UINT format, DRAWTEXTPARAMS* params);

} // namespace Win
