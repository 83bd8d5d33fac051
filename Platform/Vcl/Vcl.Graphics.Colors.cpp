#include "Vcl.Graphics.hpp"

#include <algorithm>
#include <array>

namespace Vcl {

namespace {

struct TColorName {
  TColor Color;
  const char* Name;
};

// Order matters for ColorToIdent: of colours sharing a value, the first name wins.
constexpr TColorName ColorNames[] = {
  {clBlack, "clBlack"}, {clMaroon, "clMaroon"}, {clGreen, "clGreen"}, {clOlive, "clOlive"},
  {clNavy, "clNavy"}, {clPurple, "clPurple"}, {clTeal, "clTeal"}, {clGray, "clGray"},
  {clSilver, "clSilver"}, {clRed, "clRed"}, {clLime, "clLime"}, {clYellow, "clYellow"},
  {clBlue, "clBlue"}, {clFuchsia, "clFuchsia"}, {clAqua, "clAqua"}, {clWhite, "clWhite"},
  {clMoneyGreen, "clMoneyGreen"}, {clSkyBlue, "clSkyBlue"}, {clCream, "clCream"}, {clMedGray, "clMedGray"},
  {clActiveBorder, "clActiveBorder"}, {clActiveCaption, "clActiveCaption"},
  {clAppWorkSpace, "clAppWorkSpace"}, {clBackground, "clBackground"}, {clBtnFace, "clBtnFace"},
  {clBtnHighlight, "clBtnHighlight"}, {clBtnShadow, "clBtnShadow"}, {clBtnText, "clBtnText"},
  {clCaptionText, "clCaptionText"}, {clDefault, "clDefault"},
  {clGradientActiveCaption, "clGradientActiveCaption"},
  {clGradientInactiveCaption, "clGradientInactiveCaption"}, {clGrayText, "clGrayText"},
  {clHighlight, "clHighlight"}, {clHighlightText, "clHighlightText"}, {clHotLight, "clHotLight"},
  {clInactiveBorder, "clInactiveBorder"}, {clInactiveCaption, "clInactiveCaption"},
  {clInactiveCaptionText, "clInactiveCaptionText"}, {clInfoBk, "clInfoBk"}, {clInfoText, "clInfoText"},
  {clMenu, "clMenu"}, {clMenuBar, "clMenuBar"}, {clMenuHighlight, "clMenuHighlight"},
  {clMenuText, "clMenuText"}, {clNone, "clNone"}, {clScrollBar, "clScrollBar"}, {cl3DDkShadow, "cl3DDkShadow"},
  {cl3DLight, "cl3DLight"}, {clWindow, "clWindow"}, {clWindowFrame, "clWindowFrame"},
  {clWindowText, "clWindowText"}, {clLtGray, "clLtGray"}, {clDkGray, "clDkGray"},
  {clWebSnow, "clWebSnow"}, {clWebFloralWhite, "clWebFloralWhite"}, {clWebLavenderBlush, "clWebLavenderBlush"},
  {clWebOldLace, "clWebOldLace"}, {clWebIvory, "clWebIvory"}, {clWebCornSilk, "clWebCornSilk"},
  {clWebBeige, "clWebBeige"}, {clWebAntiqueWhite, "clWebAntiqueWhite"}, {clWebWheat, "clWebWheat"},
  {clWebAliceBlue, "clWebAliceBlue"}, {clWebGhostWhite, "clWebGhostWhite"}, {clWebLavender, "clWebLavender"},
  {clWebSeashell, "clWebSeashell"}, {clWebLightYellow, "clWebLightYellow"},
  {clWebPapayaWhip, "clWebPapayaWhip"}, {clWebNavajoWhite, "clWebNavajoWhite"},
  {clWebMoccasin, "clWebMoccasin"}, {clWebBurlywood, "clWebBurlywood"}, {clWebAzure, "clWebAzure"},
  {clWebMintcream, "clWebMintcream"}, {clWebHoneydew, "clWebHoneydew"}, {clWebLinen, "clWebLinen"},
  {clWebLemonChiffon, "clWebLemonChiffon"}, {clWebBlanchedAlmond, "clWebBlanchedAlmond"},
  {clWebBisque, "clWebBisque"}, {clWebPeachPuff, "clWebPeachPuff"}, {clWebTan, "clWebTan"},
  {clWebYellow, "clWebYellow"}, {clWebDarkOrange, "clWebDarkOrange"}, {clWebRed, "clWebRed"},
  {clWebDarkRed, "clWebDarkRed"}, {clWebMaroon, "clWebMaroon"}, {clWebIndianRed, "clWebIndianRed"},
  {clWebOrangeRed, "clWebOrangeRed"}, {clWebOrange, "clWebOrange"}, {clWebGold, "clWebGold"},
  {clWebGreen, "clWebGreen"}, {clWebLime, "clWebLime"}, {clWebDarkGreen, "clWebDarkGreen"},
  {clWebForestGreen, "clWebForestGreen"}, {clWebSeaGreen, "clWebSeaGreen"}, {clWebLimeGreen, "clWebLimeGreen"},
  {clWebOlive, "clWebOlive"}, {clWebNavy, "clWebNavy"}, {clWebBlue, "clWebBlue"},
  {clWebDarkBlue, "clWebDarkBlue"}, {clWebRoyalBlue, "clWebRoyalBlue"}, {clWebSteelBlue, "clWebSteelBlue"},
  {clWebSkyBlue, "clWebSkyBlue"}, {clWebDodgerBlue, "clWebDodgerBlue"},
  {clWebCornFlowerBlue, "clWebCornFlowerBlue"}, {clWebTeal, "clWebTeal"}, {clWebCyan, "clWebCyan"},
  {clWebTurquoise, "clWebTurquoise"}, {clWebPurple, "clWebPurple"}, {clWebIndigo, "clWebIndigo"},
  {clWebViolet, "clWebViolet"}, {clWebMagenta, "clWebMagenta"}, {clWebOrchid, "clWebOrchid"},
  {clWebPink, "clWebPink"}, {clWebHotPink, "clWebHotPink"}, {clWebDeepPink, "clWebDeepPink"},
  {clWebBrown, "clWebBrown"}, {clWebChocolate, "clWebChocolate"}, {clWebSienna, "clWebSienna"},
  {clWebSalmon, "clWebSalmon"}, {clWebCoral, "clWebCoral"}, {clWebTomato, "clWebTomato"},
  {clWebKhaki, "clWebKhaki"}, {clWebGray, "clWebGray"}, {clWebSilver, "clWebSilver"},
  {clWebDimGray, "clWebDimGray"}, {clWebLightGrey, "clWebLightGrey"}, {clWebDarkGray, "clWebDarkGray"},
  {clWebGainsboro, "clWebGainsboro"}, {clWebWhiteSmoke, "clWebWhiteSmoke"}, {clWebWhite, "clWebWhite"},
  {clWebBlack, "clWebBlack"},
};

constexpr Integer RGBMAX = 255;
constexpr Integer HLSUNDEFINED = HLSMAX * 2 / 3;

Integer HueToRGB(Integer n1, Integer n2, Integer hue)
{
  if (hue < 0)
    hue += HLSMAX;
  if (hue > HLSMAX)
    hue -= HLSMAX;
  if (hue < HLSMAX / 6)
    return n1 + ((n2 - n1) * hue + HLSMAX / 12) / (HLSMAX / 6);
  if (hue < HLSMAX / 2)
    return n2;
  if (hue < HLSMAX * 2 / 3)
    return n1 + ((n2 - n1) * (HLSMAX * 2 / 3 - hue) + HLSMAX / 12) / (HLSMAX / 6);
  return n1;
}

Byte ToChannel(Integer hlsValue)
{
  return Byte(std::clamp((hlsValue * RGBMAX + HLSMAX / 2) / HLSMAX, 0, RGBMAX));
}

} // namespace

TColor ColorToRGB(TColor Color)
{
  if ((Color & clSystemColor) != clSystemColor)
    return Color;
  return TColor(Win::GetSysColor(Color & 0xFF));
}

bool IdentToColor(const String& Ident, TColor& Color)
{
  for (const TColorName& c : ColorNames)
    if (SameText(Ident, c.Name)) {
      Color = c.Color;
      return true;
    }
  return false;
}

bool ColorToIdent(TColor Color, String& Ident)
{
  for (const TColorName& c : ColorNames)
    if (c.Color == Color) {
      Ident = c.Name;
      return true;
    }
  return false;
}

TColor StringToColor(const String& S)
{
  TColor color;
  if (IdentToColor(S, color))
    return color;
  return StrToInt(S);
}

String ColorToString(TColor Color)
{
  String name;
  if (ColorToIdent(Color, name))
    return name;
  return "$" + IntToHex(Cardinal(Color), 8);
}

void ColorRGBToHLS(TColorRef clrRGB, Word& Hue, Word& Luminance, Word& Saturation)
{
  const TColorRef rgb = TColorRef(ColorToRGB(TColor(clrRGB)));
  const Integer r = Win::GetRValue(rgb), g = Win::GetGValue(rgb), b = Win::GetBValue(rgb);
  const Integer cMax = std::max({r, g, b}), cMin = std::min({r, g, b});
  const Integer l = ((cMax + cMin) * HLSMAX + RGBMAX) / (2 * RGBMAX);
  Luminance = Word(l);
  if (cMax == cMin) {
    Saturation = 0;
    Hue = Word(HLSUNDEFINED);
    return;
  }
  const Integer span = cMax - cMin;
  if (l <= HLSMAX / 2)
    Saturation = Word((span * HLSMAX + (cMax + cMin) / 2) / (cMax + cMin));
  else
    Saturation = Word((span * HLSMAX + (2 * RGBMAX - cMax - cMin) / 2) / (2 * RGBMAX - cMax - cMin));
  auto delta = [&](Integer c) { return ((cMax - c) * (HLSMAX / 6) + span / 2) / span; };
  Integer h;
  if (r == cMax)
    h = delta(b) - delta(g);
  else if (g == cMax)
    h = HLSMAX / 3 + delta(r) - delta(b);
  else
    h = 2 * HLSMAX / 3 + delta(g) - delta(r);
  if (h < 0)
    h += HLSMAX;
  if (h > HLSMAX)
    h -= HLSMAX;
  Hue = Word(h);
}

TColorRef ColorHLSToRGB(Word Hue, Word Luminance, Word Saturation)
{
  const Integer l = std::min<Integer>(Luminance, HLSMAX), s = std::min<Integer>(Saturation, HLSMAX);
  if (s == 0) {
    const Byte v = ToChannel(l);
    return Win::RGB(v, v, v);
  }
  const Integer magic2 = l <= HLSMAX / 2 ? (l * (HLSMAX + s) + HLSMAX / 2) / HLSMAX
                                         : l + s - (l * s + HLSMAX / 2) / HLSMAX;
  const Integer magic1 = 2 * l - magic2;
  const Integer h = Hue;
  return Win::RGB(ToChannel(HueToRGB(magic1, magic2, h + HLSMAX / 3)), ToChannel(HueToRGB(magic1, magic2, h)),
                  ToChannel(HueToRGB(magic1, magic2, h - HLSMAX / 3)));
}

TColorRef ColorAdjustLuma(TColorRef clrRGB, Integer n, bool fScale)
{
  Word h, l, s;
  ColorRGBToHLS(clrRGB, h, l, s);
  const Int64 change = fScale ? Int64(n) * HLSMAX / 1000 : Int64(n);
  const Int64 luma = std::clamp<Int64>(Int64(l) + change, 0, HLSMAX);
  return ColorHLSToRGB(h, Word(luma), s);
}

Win::UINT TextFormatToDrawTextFlags(TTextFormat Format)
{
  using namespace Win;
  static constexpr std::array<std::pair<TTextFormats, UINT>, 23> Flags{{
    {tfBottom, DT_BOTTOM}, {tfCalcRect, DT_CALCRECT}, {tfCenter, DT_CENTER}, {tfEditControl, DT_EDITCONTROL},
    {tfEndEllipsis, DT_END_ELLIPSIS}, {tfPathEllipsis, DT_PATH_ELLIPSIS}, {tfExpandTabs, DT_EXPANDTABS},
    {tfExternalLeading, DT_EXTERNALLEADING}, {tfLeft, DT_LEFT}, {tfModifyString, DT_MODIFYSTRING},
    {tfNoClip, DT_NOCLIP}, {tfNoPrefix, DT_NOPREFIX}, {tfRight, DT_RIGHT}, {tfRtlReading, DT_RTLREADING},
    {tfSingleLine, DT_SINGLELINE}, {tfTop, DT_TOP}, {tfVerticalCenter, DT_VCENTER},
    {tfWordBreak, DT_WORDBREAK}, {tfHidePrefix, DT_HIDEPREFIX},
    {tfNoFullWidthCharBreak, DT_NOFULLWIDTHCHARBREAK}, {tfPrefixOnly, DT_PREFIXONLY}, {tfTabStop, DT_TABSTOP},
    {tfWordEllipsis, DT_WORD_ELLIPSIS},
  }};
  UINT result = 0;
  for (const auto& [format, flag] : Flags)
    if (Format.Contains(format))
      result |= flag;
  return result;
}

} // namespace Vcl
