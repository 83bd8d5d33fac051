#include "Quorex.Imaging.RectHelper.hpp"

namespace Quorex {

using namespace Vcl;

namespace {

int AlignStart(int Start, int End, int Size, bool Leading, bool Trailing)
{
  if (Leading)
    return Start;
  if (Trailing)
    return End - Size;
  return Start + (End - Start - Size) / 2;
}

} // namespace

TRect PositionRect(const TRect& Bounds, const TRect& Item, TAlignment Horizontal, TVerticalAlignment Vertical)
{
  const int w = Item.Width(), h = Item.Height();
  const int left = AlignStart(Bounds.Left, Bounds.Right, w, Horizontal == taLeftJustify, Horizontal == taRightJustify);
  const int top = AlignStart(Bounds.Top, Bounds.Bottom, h, Vertical == taAlignTop, Vertical == taAlignBottom);
  return TRect(left, top, left + w, top + h);
}

TRect PositionRect(const TRect& Bounds, int Width, int Height, TAlignment Horizontal, TVerticalAlignment Vertical)
{
  return PositionRect(Bounds, TRect(0, 0, Width, Height), Horizontal, Vertical);
}

} // namespace Quorex
