// The bevel a windowed control draws in its window frame around the client
// area when BevelKind is not bkNone: which edges carry it, its inner and
// outer cuts, its look and the width of each cut. The panel's own bevel
// (Vcl.ExtCtrls) is painted inside its client area and shares only the cuts.
#pragma once

#include <System.TypInfo.hpp>
#include <System.Types.hpp>

namespace Vcl {

enum class TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };
using enum TBevelCut;
QX_ENUM_NAMES(TBevelCut, bvNone, bvLowered, bvRaised, bvSpace)
enum class TBevelEdge { beLeft, beTop, beRight, beBottom };
using enum TBevelEdge;
QX_ENUM_NAMES(TBevelEdge, beLeft, beTop, beRight, beBottom)
using TBevelEdges = TSet<TBevelEdge>;
enum class TBevelKind { bkNone, bkTile, bkSoft, bkFlat };
using enum TBevelKind;
QX_ENUM_NAMES(TBevelKind, bkNone, bkTile, bkSoft, bkFlat)
using TBevelWidth = Integer;

struct TBevel {
  TBevelEdges Edges{beLeft, beTop, beRight, beBottom};
  TBevelCut Inner = bvRaised;
  TBevelCut Outer = bvLowered;
  TBevelKind Kind = bkNone;
  TBevelWidth Width = 1;

  // How far the bevel reaches in from each edge (Left, Top, Right and
  // Bottom hold the four widths); all zero with bkNone.
  TRect Frame() const;
};

} // namespace Vcl
