#include "Vcl.Controls.Padding.hpp"

#include <algorithm>
#include <limits>

namespace Vcl {

namespace {

// Insets from a resource may be anything: the sides saturate rather than wrap.
Integer Move(Integer Edge, Int64 By)
{
  return Integer(std::clamp<Int64>(Edge + By, std::numeric_limits<Integer>::min(), std::numeric_limits<Integer>::max()));
}

} // namespace

void TMargins::Assign(const TPersistent* Source)
{
  const auto* margins = dynamic_cast<const TMargins*>(Source);
  if (!margins) {
    inherited::Assign(Source);
    return;
  }
  SetBounds(margins->FLeft, margins->FTop, margins->FRight, margins->FBottom);
}

void TMargins::SetBounds(Integer ALeft, Integer ATop, Integer ARight, Integer ABottom)
{
  if (FLeft == ALeft && FTop == ATop && FRight == ARight && FBottom == ABottom)
    return;
  FLeft = ALeft;
  FTop = ATop;
  FRight = ARight;
  FBottom = ABottom;
  Change();
}

TRect TMargins::Inset(const TRect& Rect) const
{
  return TRect(Move(Rect.Left, FLeft), Move(Rect.Top, FTop), Move(Rect.Right, -Int64(FRight)),
               Move(Rect.Bottom, -Int64(FBottom)));
}

TRect TMargins::Outset(const TRect& Rect) const
{
  return TRect(Move(Rect.Left, -Int64(FLeft)), Move(Rect.Top, -Int64(FTop)), Move(Rect.Right, FRight),
               Move(Rect.Bottom, FBottom));
}

void TMargins::SetSide(Integer& Field, Integer Value)
{
  if (Field == Value)
    return;
  Field = Value;
  Change();
}

void TMargins::Change()
{
  if (FControl)
    ControlChange();
  if (OnChange)
    OnChange(this);
}

void TMargins::ControlChange()
{
  if (FControl->AlignWithMargins())
    FControl->RequestAlign();
}

void TWinControl::SetPadding(const TPadding* Value)
{
  FPadding->Assign(Value);
}

void TPadding::ControlChange()
{
  static_cast<TWinControl*>(FControl)->Realign();
}

QX_PUBLISHED(TMargins)
{
  Property("Left", &T::Left, &T::SetLeft).Default(3);
  Property("Top", &T::Top, &T::SetTop).Default(3);
  Property("Right", &T::Right, &T::SetRight).Default(3);
  Property("Bottom", &T::Bottom, &T::SetBottom).Default(3);
}

QX_PUBLISHED(TPadding)
{
  Property("Left", &T::Left, &T::SetLeft).Default(0);
  Property("Top", &T::Top, &T::SetTop).Default(0);
  Property("Right", &T::Right, &T::SetRight).Default(0);
  Property("Bottom", &T::Bottom, &T::SetBottom).Default(0);
}

} // namespace Vcl
