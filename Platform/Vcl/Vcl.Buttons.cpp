#include "Vcl.Buttons.hpp"

#include "Vcl.Forms.hpp"
#include "Vcl.Themes.hpp"

#include <System.Streams.hpp>
#include <Win.Gdi.Guards.hpp>
#include <Winapi.Modules.hpp>

#include <utility>
#include <vector>

namespace Vcl {

namespace {

TSize TextSize(TCanvas* Canvas, const String& Caption)
{
  if (Caption.empty())
    return TSize();
  TRect r;
  Win::DrawText(Canvas->Handle(), Caption.c_str(), -1, &r, Win::DT_CALCRECT | Win::DT_SINGLELINE);
  return TSize(r.Width(), r.Height());
}

// Offsets of glyph and text along the layout axis from its start.
void PlaceAlong(Integer Space, Integer Glyph, Integer Text, Integer Margin, Integer Spacing, bool GlyphFirst,
                Integer& GlyphAt, Integer& TextAt)
{
  if (Glyph == 0 || Text == 0)
    Spacing = 0;
  if (Margin == -1 && Spacing == -1)
    Margin = Spacing = (Space - Glyph - Text) / 3;
  else if (Margin == -1)
    Margin = (Space - Glyph - Spacing - Text) / 2;
  else if (Spacing == -1)
    Spacing = (Space - Margin - Glyph - Text) / 2;
  if (GlyphFirst) {
    GlyphAt = Margin;
    TextAt = Margin + Glyph + Spacing;
    return;
  }
  GlyphAt = Space - Margin - Glyph;
  TextAt = GlyphAt - Spacing - Text;
}

TModalResult KindResult(TBitBtnKind Kind)
{
  static constexpr TModalResult results[] = {mrNone, mrOk,    mrCancel, mrNone,  mrYes,  mrNo,
                                             mrNone, mrAbort, mrRetry,  mrIgnore, mrAll};
  return results[int(Kind)];
}

const char* KindCaption(TBitBtnKind Kind)
{
  static constexpr const char* captions[] = {"",      "OK",    "Cancel", "Help",   "Yes", "No",
                                             "Close", "Abort", "Retry",  "Ignore", "All"};
  return captions[int(Kind)];
}

// The stock glyph of a kind: a bitmap of the "vcl" module.
std::unique_ptr<TBitmap> StockGlyph(TBitBtnKind Kind)
{
  static constexpr const char* names[] = {"",      "BBOK",    "BBCANCEL", "BBHELP",   "BBYES", "BBNO",
                                          "BBCLOSE", "BBABORT", "BBRETRY",  "BBIGNORE", "BBALL"};
  TResourceStream stream(Win::GetModuleHandle("vcl"), names[int(Kind)], Win::RT_BITMAP);
  auto glyph = std::make_unique<TBitmap>();
  glyph->LoadFromStream(&stream);
  return glyph;
}

// A glyph's disabled look when it has no cell of its own for it: its shape
// (every pixel but the key colour) in the highlight colour one pixel right
// and down, then in the shadow colour over that.
void DrawEmbossed(Win::HDC DC, TPoint At, TBitmap* Glyph, TSize Cell, TColor Key)
{
  TBitmap shape(Cell.cx, Cell.cy);
  Win::BitBlt(shape.Canvas()->Handle(), 0, 0, Cell.cx, Cell.cy, Glyph->Canvas()->Handle(), 0, 0, Win::SRCCOPY);
  const Win::COLORREF key = Win::COLORREF(ColorToRGB(Key));
  std::vector<bool> inside;
  for (Integer y = 0; y < Cell.cy; ++y) {
    const Byte* p = shape.ScanLine(y);
    for (Integer x = 0; x < Cell.cx; ++x, p += 4)
      inside.push_back(Win::RGB(p[2], p[1], p[0]) != key);
  }
  for (const auto& [colour, offset] : {std::pair{clBtnHighlight, 1}, std::pair{clBtnShadow, 0}}) {
    const Win::COLORREF ink = Win::COLORREF(ColorToRGB(colour)), hole = ink ^ 0xFFFFFF;
    auto cell = inside.begin();
    for (Integer y = 0; y < Cell.cy; ++y) {
      Byte* p = shape.ScanLine(y);
      for (Integer x = 0; x < Cell.cx; ++x, p += 4) {
        const Win::COLORREF c = *cell++ ? ink : hole;
        p[0] = Win::GetBValue(c);
        p[1] = Win::GetGValue(c);
        p[2] = Win::GetRValue(c);
        p[3] = 0xFF;
      }
    }
    Win::TransparentBlt(DC, At.X + offset, At.Y + offset, Cell.cx, Cell.cy, shape.Canvas()->Handle(), 0, 0, Cell.cx,
                        Cell.cy, hole);
  }
}

template <typename V>
bool Change(V& Field, const V& Value)
{
  if (Field == Value)
    return false;
  Field = Value;
  return true;
}

} // namespace

// ---- TButtonGlyph -------------------------------------------------------------------------------

TButtonGlyph::TButtonGlyph() : FGlyph(std::make_unique<TBitmap>()) {}

void TButtonGlyph::SetGlyph(TBitmap* Value)
{
  if (Value) {
    FGlyph->Assign(Value);
    return;
  }
  FGlyph = std::make_unique<TBitmap>();
}

void TButtonGlyph::SetNumGlyphs(TNumGlyphs Value)
{
  if (Value >= 1 && Value <= 4)
    FNumGlyphs = Value;
}

TSize TButtonGlyph::CellSize() const
{
  if (FGlyph->Empty())
    return TSize();
  return TSize(FGlyph->Width() / FNumGlyphs, FGlyph->Height());
}

void TButtonGlyph::Draw(TCanvas* Canvas, const TRect& Client, bool Offset, const String& Caption,
                        TButtonLayout Layout, Integer Margin, Integer Spacing, TButtonState State, bool Enabled,
                        Win::UINT BiDiFlags) const
{
  if (BiDiFlags & Win::DT_RIGHT)
    Layout = Layout == blGlyphLeft ? blGlyphRight : Layout == blGlyphRight ? blGlyphLeft : Layout;
  const TSize glyph = CellSize();
  const TSize text = TextSize(Canvas, Caption);
  const bool horizontal = Layout == blGlyphLeft || Layout == blGlyphRight;
  const bool glyphFirst = Layout == blGlyphLeft || Layout == blGlyphTop;
  TPoint g, t;
  if (horizontal) {
    PlaceAlong(Client.Width(), glyph.cx, text.cx, Margin, Spacing, glyphFirst, g.X, t.X);
    g.Y = (Client.Height() - glyph.cy + 1) / 2;
    t.Y = (Client.Height() - text.cy) / 2;
  } else {
    PlaceAlong(Client.Height(), glyph.cy, text.cy, Margin, Spacing, glyphFirst, g.Y, t.Y);
    g.X = (Client.Width() - glyph.cx + 1) / 2;
    t.X = (Client.Width() - text.cx) / 2;
  }
  const TPoint shift(Client.Left + (Offset ? 1 : 0), Client.Top + (Offset ? 1 : 0));
  g = g + shift;
  t = t + shift;
  const TColor key = glyph.cx > 0 ? FGlyph->Canvas()->Pixels(0, FGlyph->Height() - 1) : clNone;
  if (glyph.cx > 0 && State == bsDisabled && FNumGlyphs == 1)
    DrawEmbossed(Canvas->Handle(), g, FGlyph.get(), glyph, key);
  else if (glyph.cx > 0) {
    const int cell = int(State) < FNumGlyphs ? int(State) : 0;
    Win::TransparentBlt(Canvas->Handle(), g.X, g.Y, glyph.cx, glyph.cy, FGlyph->Canvas()->Handle(), cell * glyph.cx,
                        0, glyph.cx, glyph.cy, Win::COLORREF(ColorToRGB(key)));
  }
  if (Caption.empty())
    return;
  Win::SetBkMode(Canvas->Handle(), Win::TRANSPARENT);
  Win::SetTextColor(Canvas->Handle(), Win::COLORREF(ColorToRGB(Enabled ? Canvas->Font()->Color() : clGrayText)));
  TRect r(t.X, t.Y, t.X + text.cx, t.Y + text.cy);
  Win::DrawText(Canvas->Handle(), Caption.c_str(), -1, &r, Win::DT_SINGLELINE);
}

// ---- TBitBtn ------------------------------------------------------------------------------------

TBitBtn::TBitBtn(TComponent* AOwner) : TButton(AOwner) {}

void TBitBtn::CreateParams(TCreateParams& Params)
{
  inherited::CreateParams(Params);
  Params.Style = (Params.Style & ~Win::DWORD(Win::BS_TYPEMASK)) | Win::BS_OWNERDRAW;
}

void TBitBtn::SetGlyph(TBitmap* Value)
{
  FGlyph.SetGlyph(Value);
  FKind = bkCustom;
  Invalidate();
}

void TBitBtn::SetNumGlyphs(TNumGlyphs Value)
{
  const TNumGlyphs old = NumGlyphs();
  FGlyph.SetNumGlyphs(Value);
  if (old != NumGlyphs())
    Invalidate();
}

void TBitBtn::SetKind(TBitBtnKind Value)
{
  if (!Change(FKind, Value) || Value == bkCustom)
    return;
  // While loading, a caption the resource gave before the kind stays.
  if (!ComponentState().Contains(csLoading) || Caption().empty())
    SetCaption(KindCaption(Value));
  SetModalResult(KindResult(Value));
  SetCancel(Value == bkCancel);
  FGlyph.SetGlyph(StockGlyph(Value).get());
  FGlyph.SetNumGlyphs(1);
  Invalidate();
}

void TBitBtn::SetLayout(TButtonLayout Value)
{
  if (Change(FLayout, Value))
    Invalidate();
}

void TBitBtn::SetMargin(Integer Value)
{
  if (Value >= -1 && Change(FMargin, Value))
    Invalidate();
}

void TBitBtn::SetSpacing(Integer Value)
{
  if (Change(FSpacing, Value))
    Invalidate();
}

// A close button closes its form.
void TBitBtn::Click()
{
  TCustomForm* form = FKind == bkClose ? GetParentForm(this) : nullptr;
  inherited::Click();
  if (form)
    form->Close();
}

void TBitBtn::Dispatch(TMessage& Message)
{
  if (Message.Msg == CN_DRAWITEM) {
    CNDrawItem(*reinterpret_cast<const Win::DRAWITEMSTRUCT*>(Message.LParam));
    Message.Result = 1;
    return;
  }
  inherited::Dispatch(Message);
}

void TBitBtn::CNDrawItem(const Win::DRAWITEMSTRUCT& Item)
{
  TCanvas canvas;
  canvas.SetHandle(Item.hDC);
  canvas.Font()->Assign(Font());
  const bool pressed = Item.itemState & Win::ODS_SELECTED;
  const bool focused = Item.itemState & Win::ODS_FOCUS;
  TRect r = ClientRect();
  if (ThemeControl(this)) {
    const TThemedButton look = !Enabled() ? tbPushButtonDisabled
                               : pressed  ? tbPushButtonPressed
                               : (Active() || focused) ? tbPushButtonDefaulted
                                                        : tbPushButtonNormal;
    const TThemedElementDetails details = StyleServices()->GetElementDetails(look);
    StyleServices()->DrawParentBackground(Handle(), Item.hDC, &details, true);
    StyleServices()->DrawElement(Item.hDC, details, Item.rcItem);
    StyleServices()->GetElementContentRect(Item.hDC, details, Item.rcItem, r);
  } else {
    if (Active() || focused) {
      Win::FrameRect(Item.hDC, &r, Win::GetSysColorBrush(Win::COLOR_WINDOWFRAME));
      r.Inflate(-1, -1);
    }
    Win::DrawFrameControl(Item.hDC, &r, Win::DFC_BUTTON,
                          Win::DFCS_BUTTONPUSH | Win::DFCS_ADJUSTRECT | (pressed ? Win::DFCS_PUSHED : 0) |
                            (Enabled() ? 0 : Win::DFCS_INACTIVE));
  }
  FGlyph.Draw(&canvas, ClientRect(), pressed, Caption(), FLayout, FMargin, FSpacing,
              Enabled() ? (pressed ? bsDown : bsUp) : bsDisabled, Enabled(), DrawTextBiDiModeFlags(0));
  if (focused) {
    TRect focus = ClientRect();
    focus.Inflate(-4, -4);
    Win::DrawFocusRect(Item.hDC, &focus);
  }
  canvas.SetHandle(nullptr);
}

// ---- TSpeedButton -------------------------------------------------------------------------------

TSpeedButton::TSpeedButton(TComponent* AOwner) : TGraphicControl(AOwner)
{
  // A quick second press counts as a press: each one toggles a grouped button.
  FControlStyle = {csCaptureMouse};
  SetBounds(0, 0, 23, 22);
}

void TSpeedButton::SetGlyph(TBitmap* Value)
{
  FGlyph.SetGlyph(Value);
  Invalidate();
}

void TSpeedButton::SetNumGlyphs(TNumGlyphs Value)
{
  const TNumGlyphs old = NumGlyphs();
  FGlyph.SetNumGlyphs(Value);
  if (old != NumGlyphs())
    Invalidate();
}

void TSpeedButton::SetLayout(TButtonLayout Value)
{
  if (Change(FLayout, Value))
    Invalidate();
}

void TSpeedButton::SetMargin(Integer Value)
{
  if (Value >= -1 && Change(FMargin, Value))
    Invalidate();
}

void TSpeedButton::SetSpacing(Integer Value)
{
  if (Change(FSpacing, Value))
    Invalidate();
}

void TSpeedButton::SetGroupIndex(Integer Value)
{
  if (!Change(FGroupIndex, Value))
    return;
  if (FGroupIndex == 0)
    SetDown(false);
  else if (FDown)
    ReleaseGroup();
}

void TSpeedButton::SetDown(bool Value)
{
  if (FGroupIndex == 0)
    Value = false;
  if (Value == FDown || (FDown && !FAllowAllUp))
    return;
  FDown = Value;
  if (FDown)
    ReleaseGroup();
  Invalidate();
}

void TSpeedButton::SetAllowAllUp(bool Value) { FAllowAllUp = Value; }

void TSpeedButton::SetFlat(bool Value)
{
  if (Change(FFlat, Value))
    Invalidate();
}

TButtonState TSpeedButton::State() const
{
  if (!Enabled())
    return bsDisabled;
  if (FPressed)
    return bsDown;
  return FDown ? bsExclusive : bsUp;
}

void TSpeedButton::ReleaseGroup()
{
  if (!Parent())
    return;
  for (Integer i = 0; i < Parent()->ControlCount(); ++i) {
    auto* other = dynamic_cast<TSpeedButton*>(Parent()->Controls(i));
    if (other && other != this && other->FGroupIndex == FGroupIndex && other->FDown) {
      other->FDown = false;
      other->Invalidate();
    }
  }
}

void TSpeedButton::SetPressed(bool Value)
{
  if (Change(FPressed, Value))
    Invalidate();
}

void TSpeedButton::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y)
{
  inherited::MouseDown(Button, Shift, X, Y);
  if (Button == mbLeft && Enabled())
    SetPressed(true);
}

void TSpeedButton::MouseMove(TShiftState Shift, Integer X, Integer Y)
{
  inherited::MouseMove(Shift, X, Y);
  if (MouseCapture())
    SetPressed(ClientRect().Contains(TPoint(X, Y)));
}

// A release over the button clicks it; a grouped button toggles first, and
// the last one down of its group stays down unless all may be up.
void TSpeedButton::MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y)
{
  // The capture is gone by now; the pressed look tells whether the release
  // is over the button.
  const bool clicked = FPressed && Button == mbLeft;
  if (Button == mbLeft)
    SetPressed(false);
  inherited::MouseUp(Button, Shift, X, Y);
  if (!clicked)
    return;
  if (FGroupIndex != 0 && (!FDown || FAllowAllUp)) {
    FDown = !FDown;
    if (FDown)
      ReleaseGroup();
    Invalidate();
  }
  Click();
}

void TSpeedButton::Dispatch(TMessage& Message)
{
  switch (Message.Msg) {
  case CM_MOUSEENTER:
  case CM_MOUSELEAVE:
    FMouseInControl = Message.Msg == CM_MOUSEENTER && Enabled();
    if (FFlat || ThemeControl(this))
      Invalidate();
    break;
  case CM_ENABLEDCHANGED:
  case CM_TEXTCHANGED:
    Invalidate();
    break;
  default:
    break;
  }
  inherited::Dispatch(Message);
}

TRect TSpeedButton::PaintFrame()
{
  TRect r = ClientRect();
  const TButtonState state = State();
  const bool down = state == bsDown || state == bsExclusive;
  if (ThemeControl(this)) {
    const TThemedToolBar look = state == bsDisabled    ? ttbButtonDisabled
                                : state == bsDown      ? ttbButtonPressed
                                : state == bsExclusive ? (FMouseInControl ? ttbButtonCheckedHot : ttbButtonChecked)
                                : FMouseInControl      ? ttbButtonHot
                                                       : ttbButtonNormal;
    if (FFlat) {
      StyleServices()->DrawElement(Canvas()->Handle(), StyleServices()->GetElementDetails(look), r);
      r.Inflate(-2, -2);
      return r;
    }
    const TThemedButton push = state == bsDisabled ? tbPushButtonDisabled
                               : down                 ? tbPushButtonPressed
                               : FMouseInControl ? tbPushButtonHot
                                                 : tbPushButtonNormal;
    const TThemedElementDetails details = StyleServices()->GetElementDetails(push);
    StyleServices()->DrawElement(Canvas()->Handle(), details, r);
    StyleServices()->GetElementContentRect(Canvas()->Handle(), details, ClientRect(), r);
    return r;
  }
  if (!FFlat) {
    Win::DrawFrameControl(Canvas()->Handle(), &r, Win::DFC_BUTTON,
                          Win::DFCS_BUTTONPUSH | Win::DFCS_ADJUSTRECT | (down ? Win::DFCS_PUSHED : 0));
    return r;
  }
  if (FMouseInControl || down)
    Win::DrawEdge(Canvas()->Handle(), &r, down ? Win::BDR_SUNKENOUTER : Win::BDR_RAISEDINNER,
                  Win::BF_RECT | Win::BF_ADJUST);
  return r;
}

void TSpeedButton::Paint()
{
  Canvas()->Font()->Assign(Font());
  PaintFrame();
  const TButtonState state = State();
  FGlyph.Draw(Canvas(), ClientRect(), state == bsDown || state == bsExclusive, Caption(), FLayout, FMargin,
              FSpacing, state, Enabled(), DrawTextBiDiModeFlags(0));
}

} // namespace Vcl
