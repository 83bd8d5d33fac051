#include "Quorex.Vcl.CheckBox.hpp"

#include <Quorex.Vcl.ControlProperties.hpp>
#include <System.ScopeGuards.hpp>
#include <Win.Gdi.Guards.hpp>
#include <Winapi.Windows.hpp>

#include <algorithm>

namespace Quorex {

using namespace Vcl;

namespace {

// The caption stands this far from the check mark.
constexpr Integer kCaptionSpace = 8;
// Room above and below the mark.
constexpr Integer kMarkPadding = 4;

struct TScreenDC {
  Win::HDC DC = Win::GetDC(nullptr);
  ~TScreenDC() { Win::ReleaseDC(nullptr, DC); }
};

TSize TextExtent(const String& Text, TFont* Font)
{
  TScreenDC screen;
  Win::TSelectedObject font(screen.DC, Font->Handle());
  Win::SIZE size{};
  Win::GetTextExtentPoint32(screen.DC, Text.c_str(), int(Text.size()), &size);
  return {size.cx, size.cy};
}

bool AlignedHorizontally(TAlign Align)
{
  return Align == alTop || Align == alBottom || Align == alClient;
}

bool AlignedVertically(TAlign Align)
{
  return Align == alLeft || Align == alRight || Align == alClient;
}

} // namespace

TQxCustomCheckBox::TQxCustomCheckBox(TComponent* AOwner)
  : TCheckBox(AOwner), FCanvas(std::make_unique<TControlCanvas>()), FSysIcons(std::make_unique<TQxSystemIconList>())
{
  FCanvas->SetControl(this);
  FSysIcons->SetWidth(Win::GetSystemMetrics(Win::SM_CXSMICON));
  FSysIcons->SetHeight(Win::GetSystemMetrics(Win::SM_CYSMICON));
  FSysIcons->FillList();
}

TQxCustomCheckBox::~TQxCustomCheckBox() = default;

TSize TQxCustomCheckBox::GetDefaultCheckBoxSize()
{
  // The platform keeps no bitmap of check boxes; its check-mark metric is
  // the size one image of that bitmap would have.
  return {Win::GetSystemMetrics(Win::SM_CXMENUCHECK), Win::GetSystemMetrics(Win::SM_CYMENUCHECK)};
}

void TQxCustomCheckBox::CalcAutoSize()
{
  if (FCalculatingSize || !Parent() || !FAutoSize || ComponentState().Contains(csReading) ||
      ComponentState().Contains(csLoading))
    return;
  TSize mark = GetDefaultCheckBoxSize();
  Integer width = mark.cx;
  Integer height = mark.cy + kMarkPadding;
  if (String text = Caption(); !text.empty()) {
    TSize extent = TextExtent(text, Font());
    width = std::max(mark.cx, extent.cx + mark.cx + kCaptionSpace);
    height = std::max(height, extent.cy);
  }
  // Room for the shield whether or not it shows, so that showing it does
  // not move anything.
  width += FSysIcons->Width();
  // A host's OnResize may raise: the marker must not stay set.
  const TScopedValue calculating(FCalculatingSize, true);
  if (!AlignedHorizontally(Align()) && ClientWidth() != width)
    SetClientWidth(width);
  if (!AlignedVertically(Align()) && ClientHeight() != height)
    SetClientHeight(height);
}

void TQxCustomCheckBox::SetAutoSize(bool Value)
{
  if (FAutoSize == Value)
    return;
  FAutoSize = Value;
  CalcAutoSize();
}

void TQxCustomCheckBox::SetElevationRequired(bool Value)
{
  if (FElevationRequired == Value)
    return;
  FElevationRequired = Value;
  Repaint();
}

void TQxCustomCheckBox::CreateWnd()
{
  inherited::CreateWnd();
  CalcAutoSize();
}

void TQxCustomCheckBox::Resize()
{
  if (FAutoSize)
    CalcAutoSize();
  else
    inherited::Resize();
}

void TQxCustomCheckBox::Paint()
{
  if (!FElevationRequired)
    return;
  Integer x = ClientWidth() - FSysIcons->Width();
  Integer y = (ClientHeight() - FSysIcons->Height()) / 2;
  FSysIcons->Draw(FCanvas.get(), x, y, FSysIcons->GetIndex(itShield), Enabled());
}

void TQxCustomCheckBox::Dispatch(TMessage& Message)
{
  switch (Message.Msg) {
  case Win::WM_PAINT: {
    inherited::Dispatch(Message);
    if (ComponentState().Contains(csDestroying) || !HandleAllocated())
      return;
    // The canvas lets go of its device context on every way out, so none
    // outlives the paint.
    struct TRelease {
      TControlCanvas* Canvas;
      ~TRelease() { Canvas->FreeHandle(); }
    } release{FCanvas.get()};
    Paint();
    return;
  }
  case CM_FONTCHANGED:
  case CM_PARENTFONTCHANGED:
  case CM_TEXTCHANGED:
    inherited::Dispatch(Message);
    CalcAutoSize();
    return;
  default:
    inherited::Dispatch(Message);
  }
}

QX_PUBLISHED_CONTROL(TQxCheckBox)
{
  Property("AutoSize", &T::AutoSize, &T::SetAutoSize).Default(false);
  Property("ElevationRequired", &T::ElevationRequired, &T::SetElevationRequired).Default(false);
}

} // namespace Quorex
