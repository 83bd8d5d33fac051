#include "Vcl.Controls.Padding.hpp"

#include <algorithm>
#include <limits>

namespace Vcl {

void TPadding::Assign(const TPersistent* Source)
{
  const auto* padding = dynamic_cast<const TPadding*>(Source);
  if (!padding) {
    inherited::Assign(Source);
    return;
  }
  SetBounds(padding->FLeft, padding->FTop, padding->FRight, padding->FBottom);
}

void TPadding::SetBounds(Integer ALeft, Integer ATop, Integer ARight, Integer ABottom)
{
  if (FLeft == ALeft && FTop == ATop && FRight == ARight && FBottom == ABottom)
    return;
  FLeft = ALeft;
  FTop = ATop;
  FRight = ARight;
  FBottom = ABottom;
  Change();
}

TRect TPadding::Inset(const TRect& Rect) const
{
  // Insets from a resource may be anything: the sides saturate rather than wrap.
  auto move = [](Integer Edge, Int64 By) {
    return Integer(std::clamp<Int64>(Edge + By, std::numeric_limits<Integer>::min(),
                                     std::numeric_limits<Integer>::max()));
  };
  return TRect(move(Rect.Left, FLeft), move(Rect.Top, FTop), move(Rect.Right, -Int64(FRight)),
               move(Rect.Bottom, -Int64(FBottom)));
}

void TPadding::SetSide(Integer& Field, Integer Value)
{
  if (Field == Value)
    return;
  Field = Value;
  Change();
}

void TPadding::Change()
{
  if (FControl)
    FControl->Realign();
  if (OnChange)
    OnChange(this);
}

QX_PUBLISHED(TPadding)
{
  Property("Left", &T::Left, &T::SetLeft).Default(0);
  Property("Top", &T::Top, &T::SetTop).Default(0);
  Property("Right", &T::Right, &T::SetRight).Default(0);
  Property("Bottom", &T::Bottom, &T::SetBottom).Default(0);
}

} // namespace Vcl
