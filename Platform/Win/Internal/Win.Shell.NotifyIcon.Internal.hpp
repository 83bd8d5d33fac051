// The notification area's part in the desktop: its strip drawn over the
// composed screen, and its reset with the window system.
#pragma once

#include "Win.Desktop.hpp"
#include "Win.Shell.NotifyIcon.hpp"

#include <memory>

namespace Win {

// Draws the strip (and the balloon that shows) into the screen image; no
// strip while no icon is registered.
void ComposeNotifyArea(TImage& Screen);
// Forgets every icon (their pictures freed), the pending failure and the
// presenter.
void ResetNotifyArea();

// Shows the icons somewhere besides the strip (a desktop's own notification
// area): told of every change after the shell applied it.
class TNotifyAreaPresenter {
public:
  virtual ~TNotifyAreaPresenter() = default;
  virtual void IconAdded(const TNotifyIconInfo& Icon) = 0;
  virtual void IconChanged(const TNotifyIconInfo& Icon) = 0;
  virtual void IconRemoved(HWND hWnd, UINT Id) = 0;
  virtual void BalloonShown(const TNotifyIconInfo& Icon) = 0;
  virtual void BalloonClosed(HWND hWnd, UINT Id) = 0;
};
void SetNotifyAreaPresenter(std::unique_ptr<TNotifyAreaPresenter> Presenter);
// The icon's menu; an empty one when it has none or is unknown.
TNotifyIconMenu NotifyIconMenu(HWND hWnd, UINT Id);
// The presenter's user closed or let a balloon time out (NIN_BALLOON...).
void EndNotifyBalloon(HWND hWnd, UINT Id, UINT Event);

} // namespace Win
