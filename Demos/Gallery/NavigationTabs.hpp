// The tab half of the navigation page: a tab strip over an animated panel
// that cycles three pages (a tab follows the panel, the panel follows a
// clicked tab), and a splash strip that grows in at the bottom now and then.
#pragma once

#include <Quorex.Vcl.AnimatedPanels.hpp>
#include <Quorex.Vcl.TabControl.hpp>

#include <vector>

namespace Gallery {

// Owns its controls and places them on Parent, which they fill.
class TNavigationTabs : public Vcl::TComponent {
  QX_CLASS(TNavigationTabs, Vcl::TComponent)
public:
  TNavigationTabs(Vcl::TComponent* AOwner, Vcl::TWinControl* Parent);

  Quorex::TQxTabControl* Tabs = nullptr;
  Quorex::TQxAnimatedPanel* Slider = nullptr;
  Quorex::TQxSplashPanel* Splash = nullptr;
  std::vector<Vcl::TWinControl*> Pages;

private:
  void TabActivated(Quorex::TQxTab* Tab);
  void PanelChanged();
};

} // namespace Gallery
