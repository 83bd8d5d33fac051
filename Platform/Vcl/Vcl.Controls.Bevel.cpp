// The bevel of a windowed control: its share of the window frame and its
// painting there.
#include "Vcl.Controls.Bevel.hpp"

#include "Vcl.Controls.hpp"
#include <Win.Gdi.hpp>

#include <algorithm>
#include <utility>

namespace Vcl {

TRect TBevel::Frame() const
{
  if (Kind == bkNone)
    return TRect();
  Integer size = 0;
  if (Inner != bvNone)
    size += Width;
  if (Outer != bvNone)
    size += Width;
  return TRect(Edges.Contains(beLeft) ? size : 0, Edges.Contains(beTop) ? size : 0,
               Edges.Contains(beRight) ? size : 0, Edges.Contains(beBottom) ? size : 0);
}

namespace {

// Stores a part of the bevel; Changed runs only when it changed.
template <class V, class F>
void ChangeBevel(V& Field, V Value, F Changed)
{
  if (Field == Value)
    return;
  Field = Value;
  Changed();
}

} // namespace

void TWinControl::SetBevelEdges(TBevelEdges Value) { ChangeBevel(FBevel.Edges, Value, [this] { BevelChanged(); }); }
void TWinControl::SetBevelInner(TBevelCut Value) { ChangeBevel(FBevel.Inner, Value, [this] { BevelChanged(); }); }
void TWinControl::SetBevelOuter(TBevelCut Value) { ChangeBevel(FBevel.Outer, Value, [this] { BevelChanged(); }); }
void TWinControl::SetBevelKind(TBevelKind Value) { ChangeBevel(FBevel.Kind, Value, [this] { BevelChanged(); }); }

void TWinControl::SetBevelWidth(TBevelWidth Value)
{
  ChangeBevel(FBevel.Width, std::max(Value, 1), [this] { BevelChanged(); });
}

// The frame is the window's: it is asked for it again, and the children
// take their places in the client area that is left.
void TWinControl::BevelChanged()
{
  if (FHandle)
    Win::SetWindowPos(FHandle, nullptr, 0, 0, 0, 0,
                      Win::SWP_NOMOVE | Win::SWP_NOSIZE | Win::SWP_NOZORDER | Win::SWP_NOACTIVATE |
                        Win::SWP_FRAMECHANGED);
  Realign();
}

TRect TWinControl::ClientRect() const
{
  const TRect f = FBevel.Frame();
  return TRect(0, 0, std::max(Width() - f.Left - f.Right, 0), std::max(Height() - f.Top - f.Bottom, 0));
}

void TWinControl::WMNCCalcSize(TMessage& Message)
{
  DefaultHandler(Message);
  auto* r = reinterpret_cast<Win::RECT*>(Message.LParam);
  const TRect f = FBevel.Frame();
  r->Left += f.Left;
  r->Top += f.Top;
  r->Right -= f.Right;
  r->Bottom -= f.Bottom;
}

namespace {

Win::UINT CutEdge(TBevelCut Cut, bool Outer)
{
  switch (Cut) {
  case bvLowered:
    return Outer ? Win::BDR_SUNKENOUTER : Win::BDR_SUNKENINNER;
  case bvRaised:
    return Outer ? Win::BDR_RAISEDOUTER : Win::BDR_RAISEDINNER;
  default:
    return 0;
  }
}

Win::UINT EdgeFlags(const TBevel& Bevel, bool Ctl3D)
{
  Win::UINT flags = Win::BF_ADJUST;
  for (auto [edge, bit] : {std::pair{beLeft, Win::BF_LEFT}, std::pair{beTop, Win::BF_TOP},
                           std::pair{beRight, Win::BF_RIGHT}, std::pair{beBottom, Win::BF_BOTTOM}})
    if (Bevel.Edges.Contains(edge))
      flags |= bit;
  if (Bevel.Kind == bkSoft)
    flags |= Win::BF_SOFT;
  if (Bevel.Kind == bkFlat)
    flags |= Win::BF_FLAT;
  if (!Ctl3D)
    flags |= Win::BF_MONO;
  return flags;
}

// One cut, Width rings deep; a space is the face colour.
void DrawCut(Win::HDC DC, Win::RECT& Rect, TBevelCut Cut, bool Outer, const TBevel& Bevel, Win::UINT Flags)
{
  if (Cut == bvNone)
    return;
  for (Integer i = 0; i < Bevel.Width; ++i) {
    if (Cut != bvSpace) {
      Win::DrawEdge(DC, &Rect, CutEdge(Cut, Outer), Flags);
      continue;
    }
    Win::RECT inner = Rect;
    inner.Left += Bevel.Edges.Contains(beLeft) ? 1 : 0;
    inner.Top += Bevel.Edges.Contains(beTop) ? 1 : 0;
    inner.Right -= Bevel.Edges.Contains(beRight) ? 1 : 0;
    inner.Bottom -= Bevel.Edges.Contains(beBottom) ? 1 : 0;
    Win::HBRUSH face = Win::GetSysColorBrush(Win::COLOR_BTNFACE);
    for (const Win::RECT& strip : {Win::RECT(Rect.Left, Rect.Top, Rect.Right, inner.Top),
                                   Win::RECT(Rect.Left, inner.Bottom, Rect.Right, Rect.Bottom),
                                   Win::RECT(Rect.Left, inner.Top, inner.Left, inner.Bottom),
                                   Win::RECT(inner.Right, inner.Top, Rect.Right, inner.Bottom)})
      Win::FillRect(DC, &strip, face);
    Rect = inner;
  }
}

} // namespace

void TWinControl::WMNCPaint(TMessage& Message)
{
  DefaultHandler(Message);
  if (FBevel.Kind == bkNone || !FHandle)
    return;
  Win::HDC dc = Win::GetWindowDC(FHandle);
  Win::RECT r(0, 0, Width(), Height());
  const Win::UINT flags = EdgeFlags(FBevel, Ctl3D());
  DrawCut(dc, r, FBevel.Outer, true, FBevel, flags);
  DrawCut(dc, r, FBevel.Inner, false, FBevel, flags);
  Win::ReleaseDC(FHandle, dc);
}

} // namespace Vcl
