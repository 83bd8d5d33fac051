// Timers and panels.
#pragma once

#include "Vcl.Controls.hpp"

namespace Vcl {

// Raises OnTimer every Interval milliseconds on the user-interface thread
// while Enabled (and OnTimer is assigned).
class TTimer : public TComponent {
  QX_CLASS(TTimer, TComponent)
public:
  explicit TTimer(TComponent* AOwner);
  ~TTimer() override;

  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value);
  Cardinal Interval() const { return FInterval; }
  void SetInterval(Cardinal Value);
  TNotifyEvent OnTimer() const { return FOnTimer; }
  void SetOnTimer(TNotifyEvent Value);

protected:
  virtual void Timer();

private:
  void UpdateTimer();
  void WndProc(TMessage& Message);

  bool FEnabled = true;
  Cardinal FInterval = 1000;
  TNotifyEvent FOnTimer;
  Win::HWND FWindowHandle = nullptr;
};

// A container with an optional bevel and a centred caption.
class TCustomPanel : public TCustomControl {
  QX_CLASS(TCustomPanel, TCustomControl)
public:
  explicit TCustomPanel(TComponent* AOwner);

  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  TVerticalAlignment VerticalAlignment() const { return FVerticalAlignment; }
  void SetVerticalAlignment(TVerticalAlignment Value);
  TBevelCut BevelOuter() const { return FBevelOuter; }
  void SetBevelOuter(TBevelCut Value);
  TBevelCut BevelInner() const { return FBevelInner; }
  void SetBevelInner(TBevelCut Value);
  Integer BevelWidth() const { return FBevelWidth; }
  void SetBevelWidth(Integer Value);
  Integer BorderWidth() const { return FBorderWidth; }
  void SetBorderWidth(Integer Value);
  bool ShowCaption() const { return FShowCaption; }
  void SetShowCaption(bool Value);
  // Repaint the whole panel when it is resized (only the uncovered strips
  // when false); read when the window is made.
  bool FullRepaint() const { return FFullRepaint; }
  void SetFullRepaint(bool Value) { FFullRepaint = Value; }

protected:
  void CreateParams(TCreateParams& Params) override;
  void Paint() override;
  void AdjustClientRect(TRect& Rect) override;

private:
  template <class T>
  void Change(T& Field, T Value);
  TAlignment FAlignment = taCenter;
  TVerticalAlignment FVerticalAlignment = taVerticalCenter;
  TBevelCut FBevelOuter = bvRaised;
  TBevelCut FBevelInner = bvNone;
  Integer FBevelWidth = 1;
  Integer FBorderWidth = 0;
  bool FShowCaption = true;
  bool FFullRepaint = true;
};

class TPanel : public TCustomPanel {
  QX_CLASS(TPanel, TCustomPanel)
public:
  using TCustomPanel::TCustomPanel;
};

} // namespace Vcl
