// Points, sizes and rectangles: 32-bit signed, a rectangle is half-open
// (Right and Bottom are outside), its width is Right - Left.
#pragma once

#include "System.hpp"

#include <algorithm>
#include <limits>

namespace Vcl {

// A host may hand over any 32-bit edges: the difference or sum of two of them
// is formed in 64 bits and clamped to the Integer range, never wrapped.
constexpr Integer ClampToInteger(Int64 Value)
{
  return Integer(std::clamp<Int64>(Value, std::numeric_limits<Integer>::min(), std::numeric_limits<Integer>::max()));
}

struct TPoint {
  Integer X = 0;
  Integer Y = 0;
  constexpr TPoint() = default;
  constexpr TPoint(Integer AX, Integer AY) : X(AX), Y(AY) {}
  constexpr bool operator==(const TPoint&) const = default;
  constexpr TPoint operator+(TPoint o) const { return {X + o.X, Y + o.Y}; }
  constexpr TPoint operator-(TPoint o) const { return {X - o.X, Y - o.Y}; }
  void Offset(Integer DX, Integer DY) { X += DX; Y += DY; }
};

struct TSize {
  Integer cx = 0;
  Integer cy = 0;
  constexpr TSize() = default;
  constexpr TSize(Integer ACx, Integer ACy) : cx(ACx), cy(ACy) {}
  constexpr bool operator==(const TSize&) const = default;
  constexpr Integer Width() const { return cx; }
  constexpr Integer Height() const { return cy; }
};

struct TRect {
  Integer Left = 0;
  Integer Top = 0;
  Integer Right = 0;
  Integer Bottom = 0;

  constexpr TRect() = default;
  constexpr TRect(Integer ALeft, Integer ATop, Integer ARight, Integer ABottom)
    : Left(ALeft), Top(ATop), Right(ARight), Bottom(ABottom) {}
  constexpr TRect(TPoint TopLeft, TPoint BottomRight)
    : Left(TopLeft.X), Top(TopLeft.Y), Right(BottomRight.X), Bottom(BottomRight.Y) {}
  constexpr bool operator==(const TRect&) const = default;

  constexpr Integer Width() const { return ClampToInteger(Int64(Right) - Left); }
  constexpr Integer Height() const { return ClampToInteger(Int64(Bottom) - Top); }
  constexpr TSize Size() const { return {Width(), Height()}; }
  constexpr TPoint TopLeft() const { return {Left, Top}; }
  constexpr TPoint BottomRight() const { return {Right, Bottom}; }
  // Half-way between the edges always lies between them, so it fits.
  constexpr TPoint CenterPoint() const
  {
    return {Integer(Left + (Int64(Right) - Left) / 2), Integer(Top + (Int64(Bottom) - Top) / 2)};
  }
  // Empty when it covers no pixel (also when inverted).
  constexpr bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
  // Half-open: the right and bottom edges are outside.
  constexpr bool Contains(TPoint P) const { return P.X >= Left && P.X < Right && P.Y >= Top && P.Y < Bottom; }
  constexpr bool Contains(const TRect& R) const
  {
    return R.Left >= Left && R.Right <= Right && R.Top >= Top && R.Bottom <= Bottom;
  }
  constexpr bool IntersectsWith(const TRect& R) const
  {
    return Left < R.Right && R.Left < Right && Top < R.Bottom && R.Top < Bottom;
  }
  void SetWidth(Integer W) { Right = ClampToInteger(Int64(Left) + W); }
  void SetHeight(Integer H) { Bottom = ClampToInteger(Int64(Top) + H); }
  void Inflate(Integer DX, Integer DY) { Left -= DX; Top -= DY; Right += DX; Bottom += DY; }
  void Offset(Integer DX, Integer DY) { Left += DX; Right += DX; Top += DY; Bottom += DY; }
  void Offset(TPoint P) { Offset(P.X, P.Y); }
  // Moves the top-left corner, keeping the size.
  void SetLocation(Integer X, Integer Y) { Offset(X - Left, Y - Top); }
  void NormalizeRect()
  {
    if (Left > Right) std::swap(Left, Right);
    if (Top > Bottom) std::swap(Top, Bottom);
  }
};

constexpr TPoint Point(Integer X, Integer Y) { return {X, Y}; }
constexpr TRect Rect(Integer Left, Integer Top, Integer Right, Integer Bottom) { return {Left, Top, Right, Bottom}; }
constexpr TRect Bounds(Integer Left, Integer Top, Integer Width, Integer Height)
{
  return {Left, Top, ClampToInteger(Int64(Left) + Width), ClampToInteger(Int64(Top) + Height)};
}

// The common part; false (and an empty rectangle) when they do not overlap.
inline bool IntersectRect(TRect& Dest, const TRect& A, const TRect& B)
{
  Dest = TRect(std::max(A.Left, B.Left), std::max(A.Top, B.Top), std::min(A.Right, B.Right),
               std::min(A.Bottom, B.Bottom));
  if (Dest.IsEmpty()) {
    Dest = TRect();
    return false;
  }
  return true;
}

// The smallest rectangle holding both; empty rectangles do not count.
inline bool UnionRect(TRect& Dest, const TRect& A, const TRect& B)
{
  if (A.IsEmpty()) {
    Dest = B.IsEmpty() ? TRect() : B;
    return !Dest.IsEmpty();
  }
  if (B.IsEmpty()) {
    Dest = A;
    return true;
  }
  Dest = TRect(std::min(A.Left, B.Left), std::min(A.Top, B.Top), std::max(A.Right, B.Right),
               std::max(A.Bottom, B.Bottom));
  return true;
}

// A rectangle of Inner's size centred in Outer (halves truncated toward the top left).
inline TRect CenteredRect(const TRect& Outer, const TRect& Inner)
{
  const Int64 w = Int64(Inner.Right) - Inner.Left, h = Int64(Inner.Bottom) - Inner.Top;
  const Int64 l = Outer.Left + (Int64(Outer.Right) - Outer.Left - w) / 2;
  const Int64 t = Outer.Top + (Int64(Outer.Bottom) - Outer.Top - h) / 2;
  return {ClampToInteger(l), ClampToInteger(t), ClampToInteger(l + w), ClampToInteger(t + h)};
}

inline bool PtInRect(const TRect& R, TPoint P)
{
  return R.Contains(P);
}

} // namespace Vcl
