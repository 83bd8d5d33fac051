// A horizontal strip of tabs docked to the top, for switching the pages a
// host shows below it. The tabs are real child windows (so that they can
// be placed, ordered and clicked), but the strip paints itself and all its
// tabs in one pass; the tabs draw nothing.
#pragma once

#include <GdiPlus.hpp>
#include <Vcl.Controls.hpp>

#include <functional>
#include <memory>
#include <vector>

namespace Quorex {

class TQxTab;
class TQxTabControl;

using TTabActivateEvent = std::function<void(TQxTab* Tab)>;

// Paints a tab control and its tabs through the graphics layer on the
// control's canvas.
class TQxTabPainter {
public:
  explicit TQxTabPainter(TQxTabControl* TabControl) : FTabControl(TabControl) {}

  void DrawTabControl();
  // Without a graphics they draw on a new one on the control's canvas.
  void DrawTab(TQxTab* Tab, std::shared_ptr<GdiPlus::IGPGraphics> Graphics = nullptr);
  void DrawPointer(TQxTab* Tab, std::shared_ptr<GdiPlus::IGPGraphics> Graphics = nullptr);
  // The captions' font.
  static std::shared_ptr<GdiPlus::IGPFont> GetFont();
  // The strip's height: room for one line of the captions' font.
  static Vcl::Integer TabHeight();

private:
  std::shared_ptr<GdiPlus::IGPGraphics> GraphicsOrNew(std::shared_ptr<GdiPlus::IGPGraphics> Graphics) const;
  void DrawSeparator(TQxTab* Tab, GdiPlus::IGPGraphics& Graphics);

  TQxTabControl* FTabControl;
};

// Orders tabs from left to right.
struct TQxTabPositionComparer {
  // Negative, zero or positive as A lies left of, at or right of B.
  static int Compare(const TQxTab* A, const TQxTab* B);
  bool operator()(const TQxTab* A, const TQxTab* B) const { return Compare(A, B) < 0; }
};

class TQxTab : public Vcl::TCustomControl {
  QX_CLASS(TQxTab, Vcl::TCustomControl)
public:
  explicit TQxTab(Vcl::TComponent* AOwner);
  ~TQxTab() override;

  bool Active() const { return FActive; }
  // Activating runs the tab's click (its action or OnClick) and tells its
  // tab control, which deactivates the other tabs; either way the parent
  // repaints.
  virtual void SetActive(bool Value);
  // The painter of the tab control the tab sits on (none elsewhere).
  TQxTabPainter* Painter() const { return FPainter; }
  // The caption's width in the tab's font plus the margins.
  Vcl::Integer GetAutoWidth();
  // A tab clicks only by becoming active.
  void Click() override {}

  void Dispatch(Vcl::TMessage& Message) override;

protected:
  bool CanAutoSize(Vcl::Integer& NewWidth, Vcl::Integer& NewHeight) override;
  void CreateParams(Vcl::TCreateParams& Params) override;

private:
  friend class TQxTabControl;
  void WMLButtonDown(Vcl::TMessage& Message);

  TQxTabPainter* FPainter = nullptr;
  bool FActive = false;
};

class TQxTabControl : public Vcl::TCustomControl {
  QX_CLASS(TQxTabControl, Vcl::TCustomControl)
public:
  explicit TQxTabControl(Vcl::TComponent* AOwner);
  ~TQxTabControl() override;

  // A new tab owned by the control, placed after all its tabs.
  TQxTab* NewTab();
  Vcl::Integer GetCount() const { return Vcl::Integer(FTabs.size()); }
  // In the order the tabs came to the control.
  TQxTab* GetTab(Vcl::Integer I) const;
  // Deactivates every other tab, then raises OnTabActivate.
  void TabActivated(TQxTab* Tab);
  void TabDestroyed(TQxTab* Tab);
  TQxTabPainter* Painter() const { return FPainter.get(); }

  bool AllowTabActivation() const { return FAllowTabActivation; }
  void SetAllowTabActivation(bool Value) { FAllowTabActivation = Value; }
  TTabActivateEvent OnTabActivate;

  void Dispatch(Vcl::TMessage& Message) override;

protected:
  bool CanAutoSize(Vcl::Integer& NewWidth, Vcl::Integer& NewHeight) override;
  void Paint() override;

private:
  // Tabs join and leave the list as they become and stop being the
  // control's children, however that happens.
  void ControlChange(Vcl::TControl* Control, bool Inserting);

  std::unique_ptr<TQxTabPainter> FPainter;
  std::vector<TQxTab*> FTabs;
  bool FAllowTabActivation = true;
};

} // namespace Quorex
