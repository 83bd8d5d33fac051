// The look of a TQxCustomButton. Before each paint the button copies its
// state into its painter; the painter owns the whole geometry (main part,
// arrow area, image, text, focus rectangle), the content-size measurement
// behind auto size, and the drawing that every look shares (text, image,
// arrow, splitter). Descendants, one unit each, only paint the background
// of the main part and of the drop-down part.
#pragma once

#include <Quorex.Vcl.Types.hpp>

#include <Vcl.Graphics.hpp>
#include <Vcl.ImgList.hpp>
#include <Vcl.StdCtrls.hpp>

#include <memory>

namespace Quorex {

using Vcl::Integer;
using Vcl::String;
using Vcl::TCanvas;
using Vcl::TColor;
using Vcl::TPoint;
using Vcl::TRect;
using Vcl::TSize;

class TQxSystemIconList;

enum class TQxButtonViewStyle { bvsNormal, bvsDropDown, bvsSplit };
using enum TQxButtonViewStyle;

class TQxButtonPainter {
public:
  TQxButtonPainter();
  virtual ~TQxButtonPainter();
  TQxButtonPainter(const TQxButtonPainter&) = delete;
  TQxButtonPainter& operator=(const TQxButtonPainter&) = delete;

  void Paint();
  // The content: caption, image with margins and arrow area.
  TSize GetMinimalSize();
  TRect GetMainButtonRect() const;
  TRect GetArrowAreaRect() const;
  TRect GetImageRect() const;
  TRect GetImageRectWithMargins() const;
  TRect GetTextRect();
  TRect GetFocusRect() const;
  TSize GetArrowSize() const;
  Integer GetArrowMargin() const;
  TPoint GetArrowPoint() const;
  // R less the image (by its alignment) and the arrow area.
  TRect ExcludeAreas(TRect R) const;
  bool HaveImage() const;

  // What the button copies in before each use; nothing here is owned.
  String FCaption;
  Vcl::TCustomImageList* FImages = nullptr;
  Integer FImageIndex = -1;
  TCanvas* FCanvas = nullptr;
  TRect FRect;
  bool FWordWrap = false;
  Vcl::TImageAlignment FImageAlignment = Vcl::iaLeft;
  Vcl::TImageMargins* FImageMargins = nullptr;
  TUIControlState FState = uicsNormal;
  Vcl::TFont* FFont = nullptr;
  TQxButtonViewStyle FStyle = bvsNormal;
  TUIControlState FSplitState = uicsNormal;
  bool FFocused = false;
  bool FElevationRequired = false;
  bool FTransparent = false;
  TColor FColor = Vcl::clNone;

protected:
  virtual void PaintPushButton() {}
  virtual void PaintSplitButtonMain() { PaintPushButton(); }
  virtual void PaintSplitButtonDropDown() {}

  void PaintArrow();
  void PaintSplitter();
  void PaintText();
  void PaintIcon();

private:
  TSize ImageSize() const;
  // The four margins as (Left, Top, Right, Bottom); none without margins.
  TRect Margins() const;

  // The shield comes from here, at the small icon size.
  std::unique_ptr<TQxSystemIconList> FSysIcons;
};

} // namespace Quorex
