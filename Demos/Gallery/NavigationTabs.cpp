#include "NavigationTabs.hpp"

#include <Quorex.Vcl.HtmlLabel.hpp>

#include <algorithm>

namespace Gallery {

using namespace Quorex;
using namespace Vcl;

namespace {

constexpr int kSplashHeight = 44;

struct TPageLook {
  const char* Tab;
  const char* Text;
  TColor Color;
};

// The pages' titles stand above their text.
constexpr int kTitleHeight = 34;

constexpr TPageLook kPages[] = {
  {"Overview",
   "The strip above and this panel go together: a click on a tab "
   "slides its page in, and every few seconds the panel moves on by itself and the strip follows.",
   TColor(0x00F7EBDD)},
  {"Details",
   "Each step of a slide covers part of what is left, scaled by the "
   "time since the last step, so the page eases out and lands exactly in place.",
   TColor(0x00DDF4E4)},
  {"History",
   "A page that slides out goes back where it came from; the cycle "
   "wraps round in both directions.",
   TColor(0x00E0E4FA)},
};

THtmlLabel* AddText(TComponent* Owner, TWinControl* Parent, const String& Text, int X, int Y, int Width)
{
  auto* label = new THtmlLabel(Owner);
  label->SetWordBreak(true);
  label->SetAutoHeight(true);
  label->SetBounds(X, Y, Width, 16);
  label->SetParent(Parent);
  label->SetCaption(Text);
  return label;
}

} // namespace

TNavigationTabs::TNavigationTabs(TComponent* AOwner, TWinControl* Parent) : TComponent(AOwner)
{
  Tabs = new TQxTabControl(this);
  Tabs->SetParent(Parent);
  Slider = new TQxAnimatedPanel(this);
  Slider->SetBevelOuter(bvNone);
  Slider->SetAlign(alClient);
  Slider->SetInterval(5000);
  // At the default speed a slide across this panel's 700-odd pixels takes
  // a second and a half, much of it crawling the last pixels; three times
  // that lands it in about two thirds of a second.
  Slider->SetSpeedMultiplier(15);
  Slider->SetParent(Parent);
  for (const TPageLook& look : kPages) {
    TQxTab* tab = Tabs->NewTab();
    tab->SetCaption(look.Tab);
    auto* page = new TPanel(this);
    page->SetBevelOuter(bvNone);
    page->SetColor(look.Color);
    page->SetBounds(0, 0, Parent->ClientWidth(), Parent->ClientHeight());
    const int width = std::max(Parent->ClientWidth() - 48, 100);
    AddText(this, page, String("<font size=14><b>") + look.Tab + "</b></font>", 24, 20, width);
    AddText(this, page, look.Text, 24, 20 + kTitleHeight, width);
    Pages.push_back(page);
    Slider->Add(page);
  }
  Tabs->OnTabActivate = [this](TQxTab* Tab) { TabActivated(Tab); };
  Slider->OnChange = [this](TObject*) { PanelChanged(); };

  // Over the bottom of the panel, hidden until its first splash.
  Splash = new TQxSplashPanel(this);
  Splash->SetVisible(false);
  Splash->SetColor(TColor(0x00C8F4FF));
  Splash->SetBorderColor(TColor(0x0000A5E6));
  Splash->SetBounds(0, Parent->ClientHeight() - kSplashHeight, Parent->ClientWidth(), kSplashHeight);
  Splash->SetAnchors({akLeft, akRight, akBottom});
  Splash->SetFirstTimeDelay(4000);
  Splash->SetIntervalSec(20);
  Splash->SetSpeedMultiplier(4);
  Splash->SetParent(Parent);
  THtmlLabel* note = AddText(this, Splash, "<b>Tip:</b> the strip grows from its bottom edge every twenty seconds. "
                                            "<a href=dismiss>Dismiss</a>", 12, 13, Parent->ClientWidth() - 24);
  note->OnLinkClick = [this](const String&) { Splash->Splash(ssHiding); };

  Tabs->GetTab(0)->SetActive(true);
}

void TNavigationTabs::TabActivated(TQxTab* Tab)
{
  int index = 0;
  while (Tabs->GetTab(index) != Tab)
    ++index;
  TWinControl* page = Pages[size_t(index)];
  if (page == Slider->ActiveControl() || page == Slider->NewControl())
    return;
  // Mid-slide the strip keeps showing where the panel is going.
  if (!Slider->CanChange()) {
    Tabs->GetTab(Slider->Current())->SetActive(true);
    return;
  }
  Slider->SetDirection(index < Slider->Current() ? adLeftToRight : adRightToLeft);
  Slider->SetCurrent(index);
}

void TNavigationTabs::PanelChanged()
{
  // A slide the panel started on its own: the strip follows.
  TQxTab* tab = Tabs->GetTab(Slider->Current());
  if (!tab->Active())
    tab->SetActive(true);
}

} // namespace Gallery
