// The label of the standard controls: a caption painted on its parent,
// sized to its text while AutoSize (the default), wrapped at its width
// while WordWrap. Kept apart from Vcl.StdCtrls.hpp, which nearly every
// component includes.
#pragma once

#include "Vcl.Controls.hpp"

namespace Vcl {

enum class TTextLayout { tlTop, tlCenter, tlBottom };
using enum TTextLayout;
QX_ENUM_NAMES(TTextLayout, tlTop, tlCenter, tlBottom)

class TCustomLabel : public TGraphicControl {
  QX_CLASS(TCustomLabel, TGraphicControl)
public:
  explicit TCustomLabel(TComponent* AOwner);

  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  TTextLayout Layout() const { return FLayout; }
  void SetLayout(TTextLayout Value);
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool Value);
  // Leaves the parent's pixels behind the text instead of filling with Color.
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool Value);

  void Dispatch(TMessage& Message) override;
  void Loaded() override;

protected:
  void Paint() override;
  bool CanAutoSize(Integer& NewWidth, Integer& NewHeight) override;

private:
  Win::UINT TextFlags() const;
  // The text's extent, wrapped at Width when WordWrap.
  TRect TextExtent(Integer Width) const;
  template <class T>
  void Change(T& Field, T Value);

  TAlignment FAlignment = taLeftJustify;
  TTextLayout FLayout = tlTop;
  bool FWordWrap = false;
  bool FTransparent = false;
};

class TLabel : public TCustomLabel {
  QX_CLASS(TLabel, TCustomLabel)
public:
  using TCustomLabel::TCustomLabel;
};

} // namespace Vcl
