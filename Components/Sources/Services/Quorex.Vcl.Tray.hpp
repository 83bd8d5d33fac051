// An icon in the notification area: tooltip, balloon notifications, an
// animation through an image list, mouse events and a popup menu on the
// right button. The shell talks back through a hidden window's messages.
#pragma once

#include <System.TypInfo.hpp>
#include <Vcl.Controls.hpp>
#include <Vcl.ExtCtrls.hpp>
#include <Vcl.ImgList.hpp>
#include <Vcl.Menus.hpp>
#include <Win.Shell.NotifyIcon.hpp>

#include <memory>
#include <vector>

namespace Quorex {

using Vcl::Cardinal;
using Vcl::Integer;
using Vcl::String;

enum class TBalloonFlags { bfNone, bfInfo, bfWarning, bfError };
using enum TBalloonFlags;
QX_ENUM_NAMES(TBalloonFlags, bfNone, bfInfo, bfWarning, bfError)

// The callback message the shell posts to the hidden window.
constexpr Win::UINT WM_TRAYNOTIFY = Win::WM_USER + 1;
constexpr Integer kTrayTipLength = 127, kTrayBalloonTextLength = 255, kTrayBalloonTitleLength = 63;
extern const char* const STrayIconRemoveError;

class TQxCustomTrayIcon : public Vcl::TComponent {
  QX_CLASS(TQxCustomTrayIcon, Vcl::TComponent)
public:
  explicit TQxCustomTrayIcon(Vcl::TComponent* AOwner);
  ~TQxCustomTrayIcon() override;

  // One shell call with the record; true when the shell reports success.
  bool Refresh(Win::DWORD Message);
  // Hands the current picture to the shell while the icon shows.
  void Refresh();
  virtual void ShowBalloonHint();
  // A copy of the record the shell is given.
  Win::NOTIFYICONDATAW GetData() const { return *FData; }

  bool Animate() const { return FAnimate; }
  void SetAnimate(bool Value);
  Cardinal AnimateInterval() const { return FTimer->Interval(); }
  void SetAnimateInterval(Cardinal Value) { FTimer->SetInterval(Value); }
  const String& Hint() const { return FHint; }
  void SetHint(const String& Value);
  const String& BalloonHint() const { return FBalloonHint; }
  void SetBalloonHint(const String& Value);
  const String& BalloonTitle() const { return FBalloonTitle; }
  void SetBalloonTitle(const String& Value);
  Integer BalloonTimeout() const { return Integer(FData->uTimeout); }
  void SetBalloonTimeout(Integer Value) { FData->uTimeout = Win::UINT(Value); }
  TBalloonFlags BalloonFlags() const { return FBalloonFlags; }
  void SetBalloonFlags(TBalloonFlags Value) { FBalloonFlags = Value; }
  Vcl::TIcon* Icon() const { return FIcon.get(); }
  void SetIcon(const Vcl::TIcon* Value);
  // The picture the shell shows now (a frame of Icons while animating).
  Vcl::TIcon* CurrentIcon() const { return FCurrentIcon.get(); }
  Vcl::TCustomImageList* Icons() const { return FIconList; }
  void SetIconList(Vcl::TCustomImageList* Value);
  Integer IconIndex() const { return FIconIndex; }
  virtual void SetIconIndex(Integer Value);
  Vcl::TPopupMenu* PopupMenu() const { return FPopupMenu; }
  void SetPopupMenu(Vcl::TPopupMenu* Value);
  bool Visible() const { return FVisible; }
  virtual void SetVisible(bool Value);

  Vcl::TNotifyEvent OnBalloonClick;
  Vcl::TNotifyEvent OnClick;
  Vcl::TNotifyEvent OnDblClick;
  Vcl::TMouseMoveEvent OnMouseMove;
  Vcl::TMouseEvent OnMouseUp;
  Vcl::TMouseEvent OnMouseDown;
  Vcl::TNotifyEvent OnAnimate;

protected:
  virtual void WindowProc(Vcl::TMessage& Message);
  virtual void DoOnAnimate(Vcl::TObject* Sender);
  void Notification(Vcl::TComponent* AComponent, Vcl::TOperation Operation) override;

private:
  bool Designing() const { return ComponentState().Contains(Vcl::csDesigning); }
  void LoadDefaultIcon();
  void SetDefaultIcon();
  void ShowFrame();
  // The timer runs only while animating a visible icon through a list that
  // has images.
  void UpdateTimer();
  void HandleCallback(Vcl::TMessage& Message);
  void MouseButton(Win::UINT Event);
  void ShowPopupMenu();
  // Hands the popup menu to the notification area, for desktops that show
  // the icon's menu themselves.
  void ExportMenu();
  std::vector<Win::TNotifyMenuEntry> MenuEntries() const;
  void ChooseMenuEntry(int Id);

  bool FAnimate = false;
  String FBalloonHint;
  String FBalloonTitle;
  TBalloonFlags FBalloonFlags = bfNone;
  bool FIsClicked = false;
  std::unique_ptr<Vcl::TIcon> FCurrentIcon;
  std::unique_ptr<Win::NOTIFYICONDATAW> FData;
  std::unique_ptr<Vcl::TIcon> FIcon;
  Vcl::TCustomImageList* FIconList = nullptr;
  Vcl::TPopupMenu* FPopupMenu = nullptr;
  std::unique_ptr<Vcl::TTimer> FTimer;
  String FHint;
  Integer FIconIndex = 0;
  bool FVisible = false;
  Win::HWND FWindow = nullptr;
  // Handlers may free the component; code after a handler checks that a
  // weak reference to this has not expired.
  std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
};

class TQxTrayIcon : public TQxCustomTrayIcon {
  QX_CLASS(TQxTrayIcon, TQxCustomTrayIcon)
public:
  using TQxCustomTrayIcon::TQxCustomTrayIcon;
};

} // namespace Quorex
