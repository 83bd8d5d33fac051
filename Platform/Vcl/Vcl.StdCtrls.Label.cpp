#include "Vcl.StdCtrls.Label.hpp"

#include <Win.Gdi.Guards.hpp>

namespace Vcl {

TCustomLabel::TCustomLabel(TComponent* AOwner) : TGraphicControl(AOwner)
{
  SetBounds(0, 0, 65, 17);
  SetParentColor(true);
  SetAutoSize(true);
}

template <class T>
void TCustomLabel::Change(T& Field, T Value)
{
  if (Field == Value)
    return;
  Field = Value;
  AdjustSize();
  Invalidate();
}

void TCustomLabel::SetAlignment(TAlignment Value)
{
  Change(FAlignment, Value);
}

void TCustomLabel::SetLayout(TTextLayout Value)
{
  Change(FLayout, Value);
}

void TCustomLabel::SetWordWrap(bool Value)
{
  Change(FWordWrap, Value);
}

void TCustomLabel::SetTransparent(bool Value)
{
  Change(FTransparent, Value);
}

void TCustomLabel::Loaded()
{
  inherited::Loaded();
  AdjustSize();
}

void TCustomLabel::Dispatch(TMessage& Message)
{
  if (Message.Msg == CM_TEXTCHANGED || Message.Msg == CM_FONTCHANGED) {
    inherited::Dispatch(Message);
    AdjustSize();
    Invalidate();
    return;
  }
  inherited::Dispatch(Message);
}

Win::UINT TCustomLabel::TextFlags() const
{
  Win::UINT flags = Win::DT_NOPREFIX | Win::DT_EXPANDTABS;
  if (FWordWrap)
    flags |= Win::DT_WORDBREAK;
  if (FAlignment == taCenter)
    flags |= Win::DT_CENTER;
  else if (FAlignment == taRightJustify)
    flags |= Win::DT_RIGHT;
  return flags;
}

TRect TCustomLabel::TextExtent(Integer Width) const
{
  // An empty caption keeps the height of one line.
  const String text = Caption().empty() ? String(" ") : Caption();
  Win::HDC dc = Win::GetDC(nullptr);
  TRect r(0, 0, FWordWrap ? Width : 0, 0);
  {
    Win::TSelectedObject font(dc, Font()->Handle());
    Win::DrawText(dc, text.c_str(), -1, &r, TextFlags() | Win::DT_CALCRECT);
  }
  Win::ReleaseDC(nullptr, dc);
  return r;
}

bool TCustomLabel::CanAutoSize(Integer& NewWidth, Integer& NewHeight)
{
  const TRect extent = TextExtent(NewWidth);
  if (!FWordWrap)
    NewWidth = extent.Width();
  NewHeight = extent.Height();
  return true;
}

void TCustomLabel::Paint()
{
  TCanvas* canvas = Canvas();
  TRect r = ClientRect();
  if (!FTransparent) {
    canvas->Brush()->SetColor(Color());
    canvas->FillRect(r);
  }
  if (Caption().empty())
    return;
  const Integer textHeight = TextExtent(r.Width()).Height();
  if (FLayout == tlCenter)
    r.Top += (r.Height() - textHeight) / 2;
  else if (FLayout == tlBottom)
    r.Top = r.Bottom - textHeight;
  Win::HDC dc = canvas->Handle();
  Win::TSelectedObject font(dc, Font()->Handle());
  Win::SetBkMode(dc, Win::TRANSPARENT);
  Win::SetTextColor(dc, Win::COLORREF(ColorToRGB(Enabled() ? Font()->Color() : clGrayText)));
  const String text = Caption();
  Win::DrawText(dc, text.c_str(), -1, &r, TextFlags());
}

} // namespace Vcl
