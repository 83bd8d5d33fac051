#include "Quorex.Vcl.TabControl.hpp"

#include <GdiPlusHelpers.hpp>
#include <GdiPlusUtils.hpp>
#include <Quorex.System.DPI.hpp>
#include <Quorex.Vcl.ControlProperties.hpp>
#include <Vcl.Graphics.Measure.hpp>

#include <algorithm>
#include <climits>
#include <cmath>

namespace Quorex {

using namespace Vcl;
using namespace GdiPlus;

namespace {

constexpr const char* kFontName = "Trebuchet MS";
constexpr Integer kFontSize = 14;
// Room on either side of a caption.
constexpr Integer kCaptionMargin = 10;

constexpr TGPColor kStripTop(0xFFE6E6E6), kStripBottom(0xFFEFEFEF), kLine(0xFF808080);
constexpr TGPColor kActiveTop(0xFFFF7200), kActiveBottom(0xFFE14B02);
constexpr TGPColor kSeparatorMiddle(0xFFA0A0A0);

// A rectangle of no area has no gradient to fill (the layer refuses one of
// no length), so it is skipped.
void FillVerticalGradient(IGPGraphics& Graphics, const TGPRectF& Rect, TGPColor Top, TGPColor Bottom)
{
  if (!(Rect.Width > 0) || !(Rect.Height > 0))
    return;
  Graphics.FillRectangle(TGPLinearGradientBrush::Create(Rect, Top, Bottom, LinearGradientModeVertical), Rect);
}

TQxTabControl* TabControlOf(const TControl* Control)
{
  return dynamic_cast<TQxTabControl*>(Control->Parent());
}

} // namespace

// ---- TQxTabPainter -------------------------------------------------------------------------

std::shared_ptr<IGPFont> TQxTabPainter::GetFont()
{
  return TGPFont::Create(kFontName, float(kFontSize), {}, UnitPoint);
}

Integer TQxTabPainter::TabHeight()
{
  return Integer(std::trunc(float(DPI::Scale(15)) + GetFont()->GetHeight(float(DPI::GetValue()))));
}

std::shared_ptr<IGPGraphics> TQxTabPainter::GraphicsOrNew(std::shared_ptr<IGPGraphics> Graphics) const
{
  return Graphics ? Graphics : ToGPGraphics(FTabControl);
}

void TQxTabPainter::DrawTabControl()
{
  const TRect r = FTabControl->ClientRect();
  std::shared_ptr<IGPGraphics> graphics = ToGPGraphics(FTabControl);
  FillVerticalGradient(*graphics, ToGPRectF(r), kStripTop, kStripBottom);
  graphics->DrawLine(TGPPen::Create(kLine, 1.0f), 0, float(r.Bottom - 1), float(r.Right), float(r.Bottom - 1));

  std::vector<TQxTab*> tabs;
  for (Integer i = 0; i < FTabControl->ControlCount(); ++i)
    if (auto* tab = dynamic_cast<TQxTab*>(FTabControl->Controls(i)))
      tabs.push_back(tab);
  std::stable_sort(tabs.begin(), tabs.end(), TQxTabPositionComparer());

  const bool designing = FTabControl->ComponentState().Contains(csDesigning);
  bool previousActive = true;
  for (TQxTab* tab : tabs) {
    if (tab->Visible() || designing) {
      DrawTab(tab, graphics);
      if (!previousActive && !tab->Active())
        DrawSeparator(tab, *graphics);
    }
    previousActive = tab->Active();
  }
}

void TQxTabPainter::DrawSeparator(TQxTab* Tab, IGPGraphics& Graphics)
{
  const float half = float(Tab->Height() / 2);
  const float height = half - 4;
  const float x = float(Tab->Left());
  FillVerticalGradient(Graphics, TGPRectF(x, float(Tab->Top() + 4), 1, height), kStripTop, kSeparatorMiddle);
  FillVerticalGradient(Graphics, TGPRectF(x, half, 1, height), kSeparatorMiddle, kStripBottom);
}

void TQxTabPainter::DrawTab(TQxTab* Tab, std::shared_ptr<IGPGraphics> Graphics)
{
  Graphics = GraphicsOrNew(std::move(Graphics));
  const TGPRectF rect(float(Tab->Left()), float(Tab->Top()), float(Tab->Width()), float(Tab->Height() - 1));
  if (Tab->Active()) {
    FillVerticalGradient(*Graphics, rect, kActiveTop, kActiveBottom);
    DrawPointer(Tab, Graphics);
  }
  std::shared_ptr<IGPStringFormat> format = TGPStringFormat::Create();
  format->SetAlignment(StringAlignmentCenter);
  const TColor ink = Tab->Active() ? TColor(0) : TColor(0x00808080);
  Graphics->DrawString(Tab->Caption(), GetFont(), rect, format, TGPSolidBrush::Create(ToGPColor(ink)));
}

void TQxTabPainter::DrawPointer(TQxTab* Tab, std::shared_ptr<IGPGraphics> Graphics)
{
  Graphics = GraphicsOrNew(std::move(Graphics));
  const float x = float(Tab->Left());
  const float b = float(Tab->Top() + Tab->Height());
  const std::vector<TGPPointF> points{{x + float(DPI::Scale(15)), b - float(DPI::Scale(12)) + 2},
                                      {x + float(DPI::Scale(3)), b + 2},
                                      {x + float(DPI::Scale(27)), b + 2}};
  Graphics->FillPolygon(TGPSolidBrush::Create(TGPColor(0xFFFFFFFF)), points);
  Graphics->DrawPolygon(TGPPen::Create(kLine, 1.0f), points);
}

int TQxTabPositionComparer::Compare(const TQxTab* A, const TQxTab* B)
{
  // Compared rather than subtracted: a tab far to the right must not wrap.
  return (A->Left() > B->Left()) - (A->Left() < B->Left());
}

// ---- TQxTab ------------------------------------------------------------------------------------

TQxTab::TQxTab(TComponent* AOwner) : TCustomControl(AOwner)
{
  SetAlign(alLeft);
  // Its owner paints it through its transparent window: a buffer of its
  // own, taken from a double-buffered parent, would cover that painting.
  SetParentDoubleBuffered(false);
  SetDoubleBuffered(false);
  Canvas()->Font()->SetName(kFontName);
  Canvas()->Font()->SetSize(kFontSize);
  SetAutoSize(true);
}

TQxTab::~TQxTab()
{
  // While the tab is still one: its control may look at it.
  if (TQxTabControl* control = TabControlOf(this))
    control->TabDestroyed(this);
}

void TQxTab::CreateParams(TCreateParams& Params)
{
  inherited::CreateParams(Params);
  Params.ExStyle |= Win::WS_EX_TRANSPARENT;
}

Integer TQxTab::GetAutoWidth()
{
  // Measured apart from the window, so that a tab without one yet (or
  // being read from a resource) sizes all the same.
  TMeasureCanvas measure(Canvas()->Font());
  return measure.TextWidth(Caption()) + 2 * DPI::Scale(kCaptionMargin);
}

bool TQxTab::CanAutoSize(Integer& NewWidth, Integer& NewHeight)
{
  (void)NewHeight;
  NewWidth = GetAutoWidth();
  return true;
}

void TQxTab::SetActive(bool Value)
{
  if (FActive == Value)
    return;
  FActive = Value;
  TWinControl* parent = Parent();
  if (!parent)
    return;
  if (Value) {
    inherited::Click();
    if (TQxTabControl* control = TabControlOf(this))
      control->TabActivated(this);
  }
  // The click may have taken the tab elsewhere.
  if (Parent())
    Parent()->Invalidate();
}

void TQxTab::WMLButtonDown(TMessage& Message)
{
  inherited::Dispatch(Message);
  TQxTabControl* control = TabControlOf(this);
  if (!control || control->AllowTabActivation())
    SetActive(true);
}

void TQxTab::Dispatch(TMessage& Message)
{
  switch (Message.Msg) {
  case Win::WM_ERASEBKGND:
    Message.Result = 1;
    return;
  case Win::WM_LBUTTONDOWN:
    WMLButtonDown(Message);
    return;
  case CM_TEXTCHANGED:
    inherited::Dispatch(Message);
    AdjustSize();
    if (Parent())
      Parent()->Invalidate();
    return;
  default:
    inherited::Dispatch(Message);
  }
}

// ---- TQxTabControl ------------------------------------------------------------------------------

TQxTabControl::TQxTabControl(TComponent* AOwner)
  : TCustomControl(AOwner), FPainter(std::make_unique<TQxTabPainter>(this))
{
  SetAlign(alTop);
  SetHeight(35);
  SetDoubleBuffered(true);
  SetAutoSize(true);
}

TQxTabControl::~TQxTabControl()
{
  for (TQxTab* tab : std::vector<TQxTab*>(FTabs))
    tab->SetParent(nullptr);
}

TQxTab* TQxTabControl::NewTab()
{
  Integer right = 0;
  for (const TQxTab* tab : FTabs)
    right = std::max(right, tab->Left() + tab->Width());
  auto* tab = new TQxTab(this);
  tab->SetLeft(right);
  tab->SetParent(this);
  return tab;
}

TQxTab* TQxTabControl::GetTab(Integer I) const
{
  if (I < 0 || I >= GetCount())
    throw EListError("List index out of bounds (" + IntToStr(I) + ")");
  return FTabs[size_t(I)];
}

void TQxTabControl::TabActivated(TQxTab* Tab)
{
  for (TQxTab* other : std::vector<TQxTab*>(FTabs))
    if (other != Tab)
      other->SetActive(false);
  if (OnTabActivate)
    OnTabActivate(Tab);
}

void TQxTabControl::TabDestroyed(TQxTab* Tab)
{
  std::erase(FTabs, Tab);
  if (Tab->FPainter == FPainter.get())
    Tab->FPainter = nullptr;
}

void TQxTabControl::ControlChange(TControl* Control, bool Inserting)
{
  if (!Inserting) {
    // A tab being destroyed has left already (its destructor saw to it).
    auto it = std::find(FTabs.begin(), FTabs.end(), Control);
    if (it != FTabs.end())
      TabDestroyed(*it);
    return;
  }
  auto* tab = dynamic_cast<TQxTab*>(Control);
  if (!tab || std::find(FTabs.begin(), FTabs.end(), tab) != FTabs.end())
    return;
  FTabs.push_back(tab);
  tab->FPainter = FPainter.get();
}

bool TQxTabControl::CanAutoSize(Integer& NewWidth, Integer& NewHeight)
{
  (void)NewWidth;
  NewHeight = TQxTabPainter::TabHeight();
  return true;
}

void TQxTabControl::Paint()
{
  FPainter->DrawTabControl();
}

void TQxTabControl::Dispatch(TMessage& Message)
{
  switch (Message.Msg) {
  case Win::WM_ERASEBKGND:
    Message.Result = 1;
    return;
  case CM_CONTROLCHANGE:
    inherited::Dispatch(Message);
    ControlChange(reinterpret_cast<TControl*>(Message.WParam), Message.LParam != 0);
    return;
  default:
    inherited::Dispatch(Message);
  }
}

QX_PUBLISHED_CONTROL(TQxTab)
{
  Publish("AutoSize").Default(true);
  Property("Active", &T::Active, &T::SetActive).Default(false);
  for (const char* name : {"Caption", "Action", "Enabled", "Visible"})
    Publish(name);
  Publish("Align").Default(alLeft);
}

QX_PUBLISHED_CONTROL(TQxTabControl)
{
  Publish("AutoSize").Default(true);
  Publish("Align").Default(alTop);
  Publish("AlignWithMargins");
  Publish("Margins");
  Property("AllowTabActivation", &T::AllowTabActivation, &T::SetAllowTabActivation).Default(true);
  Event("OnTabActivate", &T::OnTabActivate);
}

} // namespace Quorex
