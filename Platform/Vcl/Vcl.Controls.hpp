// The framework's control classes: TControl (bounds, alignment, anchors,
// auto-size, fonts, colours, cursors, mouse events and the click machinery,
// message dispatch), TGraphicControl (painted on its parent), TWinControl
// (a window: handle lifecycle, child controls, alignment, tab order, focus,
// keyboard, double buffering), TCustomControl and TControlCanvas; the
// framework's CM_ and CN_ messages with their numbers; standard cursors.
#pragma once

#include <System.Classes.hpp>
#include <System.TypInfo.hpp>
#include <System.Types.hpp>
#include <Vcl.Controls.Bevel.hpp>
#include <Vcl.Graphics.hpp>
#include <Win.User.hpp>

#include <functional>
#include <memory>
#include <vector>

namespace Vcl {

// ---- messages -------------------------------------------------------------------
struct TMessage {
  Win::UINT Msg = 0;
  Win::WPARAM WParam = 0;
  Win::LPARAM LParam = 0;
  Win::LRESULT Result = 0;
};

// Mouse messages: client coordinates packed in LParam, keys in WParam.
inline Integer MessageX(const TMessage& M) { return Win::GET_X_LPARAM(M.LParam); }
inline Integer MessageY(const TMessage& M) { return Win::GET_Y_LPARAM(M.LParam); }
inline TPoint MessagePos(const TMessage& M) { return {MessageX(M), MessageY(M)}; }

constexpr Win::UINT CM_BASE = 0xB000;
constexpr Win::UINT CM_ACTIVATE = CM_BASE + 0, CM_DEACTIVATE = CM_BASE + 1, CM_GOTFOCUS = CM_BASE + 2,
                    CM_LOSTFOCUS = CM_BASE + 3, CM_CANCELMODE = CM_BASE + 4, CM_DIALOGKEY = CM_BASE + 5,
                    CM_DIALOGCHAR = CM_BASE + 6, CM_FOCUSCHANGED = CM_BASE + 7,
                    CM_PARENTFONTCHANGED = CM_BASE + 8, CM_PARENTCOLORCHANGED = CM_BASE + 9,
                    CM_HITTEST = CM_BASE + 10, CM_VISIBLECHANGED = CM_BASE + 11,
                    CM_ENABLEDCHANGED = CM_BASE + 12, CM_COLORCHANGED = CM_BASE + 13,
                    CM_FONTCHANGED = CM_BASE + 14, CM_CURSORCHANGED = CM_BASE + 15,
                    CM_CTL3DCHANGED = CM_BASE + 16, CM_PARENTCTL3DCHANGED = CM_BASE + 17,
                    CM_TEXTCHANGED = CM_BASE + 18, CM_MOUSEENTER = CM_BASE + 19, CM_MOUSELEAVE = CM_BASE + 20,
                    CM_MENUCHANGED = CM_BASE + 21, CM_APPKEYDOWN = CM_BASE + 22,
                    CM_APPSYSCOMMAND = CM_BASE + 23, CM_BUTTONPRESSED = CM_BASE + 24,
                    CM_SHOWINGCHANGED = CM_BASE + 25, CM_ENTER = CM_BASE + 26, CM_EXIT = CM_BASE + 27,
                    CM_DESIGNHITTEST = CM_BASE + 28, CM_ICONCHANGED = CM_BASE + 29,
                    CM_WANTSPECIALKEY = CM_BASE + 30, CM_INVOKEHELP = CM_BASE + 31,
                    CM_WINDOWHOOK = CM_BASE + 32, CM_RELEASE = CM_BASE + 33,
                    CM_SHOWHINTCHANGED = CM_BASE + 34, CM_PARENTSHOWHINTCHANGED = CM_BASE + 35,
                    CM_SYSCOLORCHANGE = CM_BASE + 36, CM_WININICHANGE = CM_BASE + 37,
                    CM_FONTCHANGE = CM_BASE + 38, CM_TIMECHANGE = CM_BASE + 39,
                    CM_TABSTOPCHANGED = CM_BASE + 40, CM_UIACTIVATE = CM_BASE + 41,
                    CM_UIDEACTIVATE = CM_BASE + 42, CM_DOCWINDOWACTIVATE = CM_BASE + 43,
                    CM_CONTROLLISTCHANGE = CM_BASE + 44, CM_GETDATALINK = CM_BASE + 45,
                    CM_CHILDKEY = CM_BASE + 46, CM_DRAG = CM_BASE + 47, CM_HINTSHOW = CM_BASE + 48,
                    CM_DIALOGHANDLE = CM_BASE + 49, CM_ISTOOLCONTROL = CM_BASE + 50,
                    CM_RECREATEWND = CM_BASE + 51, CM_INVALIDATE = CM_BASE + 52,
                    CM_SYSFONTCHANGED = CM_BASE + 53, CM_CONTROLCHANGE = CM_BASE + 54,
                    CM_CHANGED = CM_BASE + 55, CM_BIDIMODECHANGED = CM_BASE + 60,
                    CM_PARENTBIDIMODECHANGED = CM_BASE + 61, CM_MOUSEWHEEL = CM_BASE + 67,
                    CM_PARENTDOUBLEBUFFEREDCHANGED = CM_BASE + 80, CM_GESTURE = CM_BASE + 83;

constexpr Win::UINT CN_BASE = 0xBC00;
constexpr Win::UINT CN_COMMAND = CN_BASE + Win::WM_COMMAND, CN_NOTIFY = CN_BASE + Win::WM_NOTIFY,
                    CN_DRAWITEM = CN_BASE + Win::WM_DRAWITEM, CN_KEYDOWN = CN_BASE + Win::WM_KEYDOWN,
                    CN_KEYUP = CN_BASE + Win::WM_KEYUP, CN_CHAR = CN_BASE + Win::WM_CHAR,
                    CN_SYSKEYDOWN = CN_BASE + Win::WM_SYSKEYDOWN, CN_SYSCHAR = CN_BASE + Win::WM_SYSCHAR,
                    CN_HSCROLL = CN_BASE + Win::WM_HSCROLL, CN_VSCROLL = CN_BASE + Win::WM_VSCROLL;

// ---- cursors ----------------------------------------------------------------------
using TCursor = std::int16_t;
constexpr TCursor crDefault = 0, crNone = -1, crArrow = -2, crCross = -3, crIBeam = -4, crSizeNESW = -6,
                  crSizeNS = -7, crSizeNWSE = -8, crSizeWE = -9, crUpArrow = -10, crHourGlass = -11,
                  crDrag = -12, crNoDrop = -13, crHSplit = -14, crVSplit = -15, crMultiDrag = -16,
                  crSQLWait = -17, crNo = -18, crAppStart = -19, crHelp = -20, crHandPoint = -21,
                  crSizeAll = -22, crSize = -22;

// ---- enumerations and events ---------------------------------------------------------
// What a modal form ends with; a button may carry one to set on its form.
using TModalResult = Integer;
constexpr TModalResult mrNone = 0, mrOk = 1, mrCancel = 2, mrAbort = 3, mrRetry = 4, mrIgnore = 5, mrYes = 6,
                       mrNo = 7, mrClose = 8, mrHelp = 9, mrTryAgain = 10, mrContinue = 11, mrAll = 12,
                       mrNoToAll = 13, mrYesToAll = 14;

enum class TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };
using enum TAlign;
enum class TAnchorKind { akLeft, akTop, akRight, akBottom };
using enum TAnchorKind;
using TAnchors = TSet<TAnchorKind>;
enum class TMouseButton { mbLeft, mbRight, mbMiddle };
using enum TMouseButton;
enum class TShiftStateItem { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
using enum TShiftStateItem;
using TShiftState = TSet<TShiftStateItem>;
using TLeftRight = TAlignment; // taLeftJustify or taRightJustify
QX_ENUM_NAMES(TAlign, alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom)
QX_ENUM_NAMES(TAnchorKind, akLeft, akTop, akRight, akBottom)
enum class TBiDiMode { bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly };
using enum TBiDiMode;
QX_ENUM_NAMES(TBiDiMode, bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly)
enum class TDragMode { dmManual, dmAutomatic };
using enum TDragMode;
QX_ENUM_NAMES(TDragMode, dmManual, dmAutomatic)
enum class TDragKind { dkDrag, dkDock };
using enum TDragKind;
QX_ENUM_NAMES(TDragKind, dkDrag, dkDock)
enum class TDragState { dsDragEnter, dsDragLeave, dsDragMove };
using enum TDragState;
enum class TMouseActivate { maDefault, maActivate, maActivateAndEat, maNoActivate, maNoActivateAndEat };
using enum TMouseActivate;

enum class TControlStyleItem {
  csAcceptsControls, csCaptureMouse, csDesignInteractive, csClickEvents, csFramed, csSetCaption, csOpaque,
  csDoubleClicks, csFixedWidth, csFixedHeight, csNoDesignVisible, csReplicatable, csNoStdEvents,
  csDisplayDragImage, csReflector, csActionClient, csMenuEvents, csNeedsBorderPaint, csParentBackground,
  csPannable, csAlignWithMargins, csGestures, csPaintBlackOpaqueOnGlass, csOverrideStylePaint
};
using enum TControlStyleItem;
using TControlStyle = TSet<TControlStyleItem>;
enum class TControlStateItem {
  csLButtonDown, csClicked, csPalette, csReadingState, csAlignmentNeeded, csFocusing, csCreating, csPaintCopy,
  csCustomPaint, csDestroyingHandle, csDocking, csDesignerHide, csPanning, csRecreating, csAligning,
  csGlassPaint, csPrintClient
};
using enum TControlStateItem;
using TControlState = TSet<TControlStateItem>;

using TMouseEvent = std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, Integer X, Integer Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, Integer X, Integer Y)>;
using TMouseWheelEvent =
  std::function<void(TObject* Sender, TShiftState Shift, Integer WheelDelta, TPoint MousePos, bool& Handled)>;
using TKeyEvent = std::function<void(TObject* Sender, Word& Key, TShiftState Shift)>;
using TKeyPressEvent = std::function<void(TObject* Sender, char32_t& Key)>;
using TCanResizeEvent = std::function<void(TObject* Sender, Integer& NewWidth, Integer& NewHeight, bool& Resize)>;
// MousePos: client coordinates, or (-1, -1) when the keyboard asked.
using TContextPopupEvent = std::function<void(TObject* Sender, TPoint MousePos, bool& Handled)>;
// Dragging and docking: the events a control carries for them (Source and
// Target are the controls or drag objects at either end).
class TDragObject;
class TDragDockObject;
using TDragDropEvent = std::function<void(TObject* Sender, TObject* Source, Integer X, Integer Y)>;
using TDragOverEvent =
  std::function<void(TObject* Sender, TObject* Source, Integer X, Integer Y, TDragState State, bool& Accept)>;
using TEndDragEvent = std::function<void(TObject* Sender, TObject* Target, Integer X, Integer Y)>;
using TStartDragEvent = std::function<void(TObject* Sender, TDragObject*& DragObject)>;
using TStartDockEvent = std::function<void(TObject* Sender, TDragDockObject*& DragObject)>;
// A gesture as CM_GESTURE carries it (LParam: a pointer to this).
enum class TInteractiveGestureFlag { gfBegin, gfInertia, gfEnd };
using enum TInteractiveGestureFlag;
using TInteractiveGestureFlags = TSet<TInteractiveGestureFlag>;
struct TGestureEventInfo {
  Integer GestureID = 0;
  TPoint Location;
  TInteractiveGestureFlags Flags;
  double Angle = 0;
  TPoint InertiaVector;
  Integer Distance = 0;
  TPoint TapLocation;
};
using TGestureEvent = std::function<void(TObject* Sender, const TGestureEventInfo& EventInfo, bool& Handled)>;
using TMouseActivateEvent = std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, Integer X,
                                               Integer Y, Integer HitTest, TMouseActivate& MouseActivate)>;

TShiftState KeysToShiftState(Win::WPARAM Keys);
TShiftState KeyDataToShiftState(Win::LPARAM KeyData); // from the current key state
// The cursors the controls show: the window-system cursor of a cursor value,
// which hosts may replace, and the one cursor that overrides every control's
// while it is not crDefault. Hosts use them through the screen object
// (Vcl.Forms), which also puts a change on the screen at once.
Win::HCURSOR CursorHandle(TCursor Cursor);
void SetCursorHandle(TCursor Cursor, Win::HCURSOR Handle);
TCursor ScreenCursor();
void SetScreenCursor(TCursor Value);

class TWinControl;
class TControl;
class TCustomForm;
class TPopupMenu;
class TBasicAction;
class TControlActionLink;
class TMargins;
class TPadding;
class TTouchManager;

// A class of control action link as a control names the one it wants: it
// makes a new link for the client (Vcl.ActnList: ActionLinkClassOf<L>).
using TControlActionLinkClass = std::unique_ptr<TControlActionLink> (*)(TControl* Client);

// A size check may narrow the limits it applies to this one resize (0: no
// limit); the control's Constraints stay as they are.
using TConstrainedResizeEvent =
  std::function<void(TObject* Sender, Integer& MinWidth, Integer& MinHeight, Integer& MaxWidth, Integer& MaxHeight)>;
// Custom alignment (alCustom): where a control stands among the others of
// its pass, and the place the host gives it.
struct TAlignInfo {
  const std::vector<TControl*>* AlignList = nullptr;
  Integer ControlIndex = 0;
  TAlign Align = alNone;
  Integer Scratch = 0;
};
using TAlignInsertBeforeEvent = std::function<bool(TWinControl* Sender, TControl* C1, TControl* C2)>;
using TAlignPositionEvent =
  std::function<void(TWinControl* Sender, TControl* Control, Integer& NewLeft, Integer& NewTop, Integer& NewWidth,
                     Integer& NewHeight, TRect& AlignRect, const TAlignInfo& AlignInfo)>;
// A dock site asked whether a client dragged over it may dock, and where.
using TGetSiteInfoEvent =
  std::function<void(TObject* Sender, TControl* DockClient, TRect& InfluenceRect, TPoint MousePos, bool& CanDock)>;

// Minimum and maximum sizes (0 = no limit).
class TSizeConstraints : public TPersistent {
  QX_CLASS(TSizeConstraints, TPersistent)
public:
  explicit TSizeConstraints(TControl* Control) : FControl(Control) {}
  void Assign(const TPersistent* Source) override;
  Integer MinWidth() const { return FMinWidth; }
  Integer MaxWidth() const { return FMaxWidth; }
  Integer MinHeight() const { return FMinHeight; }
  Integer MaxHeight() const { return FMaxHeight; }
  void SetMinWidth(Integer Value) { Set(FMinWidth, Value); }
  void SetMaxWidth(Integer Value) { Set(FMaxWidth, Value); }
  void SetMinHeight(Integer Value) { Set(FMinHeight, Value); }
  void SetMaxHeight(Integer Value) { Set(FMaxHeight, Value); }
  void Apply(Integer& Width, Integer& Height) const;

private:
  void Set(Integer& Field, Integer Value);
  TControl* FControl;
  Integer FMinWidth = 0, FMaxWidth = 0, FMinHeight = 0, FMaxHeight = 0;
};

// A canvas on a control: on a graphic control it draws at the control's
// place in its parent and is clipped to it.
class TControlCanvas : public TCanvas {
  QX_CLASS(TControlCanvas, TCanvas)
public:
  TControlCanvas() = default;
  ~TControlCanvas() override;
  TControl* Control() const { return FControl; }
  void SetControl(TControl* Value);
  // Releases a context the canvas made itself.
  void FreeHandle();
  void UpdateTextFlags() {}

protected:
  void CreateHandle() override;

private:
  TControl* FControl = nullptr;
  Win::HDC FDeviceContext = nullptr;
  Win::HWND FWindowHandle = nullptr;
};

// ---- TControl --------------------------------------------------------------------------------
class TControl : public TComponent {
  QX_CLASS(TControl, TComponent)
public:
  explicit TControl(TComponent* AOwner);
  ~TControl() override;

  // Messages: Perform runs WindowProc (WndProc unless replaced) and returns
  // the result.
  Win::LRESULT Perform(Win::UINT Msg, Win::WPARAM WParam = 0, Win::LPARAM LParam = 0);
  std::function<void(TMessage&)> WindowProc;
  virtual void WndProc(TMessage& Message);
  // Sends a message to the handler of its number (overrides of Dispatch
  // handle their messages and pass the rest on); unhandled messages reach
  // DefaultHandler.
  virtual void Dispatch(TMessage& Message);
  virtual void DefaultHandler(TMessage& Message);

  TWinControl* Parent() const { return FParent; }
  virtual void SetParent(TWinControl* AParent);
  // Form streaming: a control is written nested in its parent and takes the
  // windowed control it is read in as its parent.
  bool HasParent() const override { return true; }
  TComponent* GetParentComponent() const override;
  void SetParentComponent(TComponent* Value) override;
  void DefineProperties(TFiler* Filer) override;
  // The form (top-level or not) holding the control.
  TCustomForm* ParentForm(bool TopForm = true) const;

  Integer Left() const { return FLeft; }
  Integer Top() const { return FTop; }
  Integer Width() const { return FWidth; }
  Integer Height() const { return FHeight; }
  void SetLeft(Integer Value) { SetBounds(Value, FTop, FWidth, FHeight); }
  void SetTop(Integer Value) { SetBounds(FLeft, Value, FWidth, FHeight); }
  void SetWidth(Integer Value) { SetBounds(FLeft, FTop, Value, FHeight); }
  void SetHeight(Integer Value) { SetBounds(FLeft, FTop, FWidth, Value); }
  TRect BoundsRect() const { return Bounds(FLeft, FTop, FWidth, FHeight); }
  void SetBoundsRect(const TRect& R) { SetBounds(R.Left, R.Top, R.Width(), R.Height()); }
  // Applies CanResize, CanAutoSize (with AutoSize) and the constraints,
  // moves the control, re-aligns its parent and raises OnResize.
  virtual void SetBounds(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight);
  virtual TRect ClientRect() const { return TRect(0, 0, FWidth, FHeight); }
  Integer ClientWidth() const { return ClientRect().Width(); }
  Integer ClientHeight() const { return ClientRect().Height(); }
  void SetClientWidth(Integer Value) { SetWidth(Value + FWidth - ClientWidth()); }
  void SetClientHeight(Integer Value) { SetHeight(Value + FHeight - ClientHeight()); }
  TPoint ClientOrigin() const; // the client's top left on the screen
  TPoint ClientToScreen(TPoint Point) const;
  TPoint ScreenToClient(TPoint Point) const;
  TPoint ClientToParent(TPoint Point, TWinControl* AParent = nullptr) const;

  TAlign Align() const { return FAlign; }
  virtual void SetAlign(TAlign Value);
  TAnchors Anchors() const { return FAnchors; }
  void SetAnchors(TAnchors Value);
  bool AutoSize() const { return FAutoSize; }
  virtual void SetAutoSize(bool Value);
  TSizeConstraints* Constraints() const { return FConstraints.get(); }
  void SetConstraints(const TSizeConstraints* Value) { FConstraints->Assign(Value); }
  // Sizes the control again through SetBounds (and so CanAutoSize).
  virtual void AdjustSize();
  // With AlignWithMargins, the parent's align pass keeps Margins (Vcl.Controls.Padding)
  // free around the control.
  TMargins* Margins() const { return FMargins.get(); }
  void SetMargins(const TMargins* Value);
  bool AlignWithMargins() const { return FAlignWithMargins; }
  void SetAlignWithMargins(bool Value);

  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  // Visible with all its parents (for a windowed control: and shown).
  virtual bool Showing() const;
  bool Enabled() const { return FEnabled; }
  virtual void SetEnabled(bool Value);

  TFont* Font() const { return FFont.get(); }
  void SetFont(const TFont* Value) { FFont->Assign(Value); }
  bool ParentFont() const { return FParentFont; }
  void SetParentFont(bool Value);
  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  bool ParentColor() const { return FParentColor; }
  void SetParentColor(bool Value);
  TCursor Cursor() const { return FCursor; }
  void SetCursor(TCursor Value);
  const String& Hint() const { return FHint; }
  void SetHint(const String& Value) { FHint = Value; }
  bool ShowHint() const { return FShowHint; }
  void SetShowHint(bool Value);
  bool ParentShowHint() const { return FParentShowHint; }
  void SetParentShowHint(bool Value);
  TPopupMenu* PopupMenu() const { return FPopupMenu; }
  void SetPopupMenu(TPopupMenu* Value);
  // The sunken 3-D look: taken from the parent while ParentCtl3D (the
  // default); a value of its own clears the switch.
  bool Ctl3D() const { return FCtl3D; }
  void SetCtl3D(bool Value);
  bool ParentCtl3D() const { return FParentCtl3D; }
  void SetParentCtl3D(bool Value);
  // The gesture settings (Vcl.Controls.Touch).
  TTouchManager* Touch() const { return FTouch.get(); }
  void SetTouch(const TTouchManager* Value);

  // Reading order and alignment of text: a control takes its parent's mode
  // while ParentBiDiMode (the default); a mode of its own clears the switch.
  TBiDiMode BiDiMode() const { return FBiDiMode; }
  void SetBiDiMode(TBiDiMode Value);
  bool ParentBiDiMode() const { return FParentBiDiMode; }
  void SetParentBiDiMode(bool Value);
  bool UseRightToLeftAlignment() const { return FBiDiMode == bdRightToLeft; }
  bool UseRightToLeftReading() const { return FBiDiMode != bdLeftToRight; }
  // DrawText flags for the mode: left and right alignment swapped (centred
  // text stays centred) when aligned right to left, plus the reading order.
  Win::UINT DrawTextBiDiModeFlags(Win::UINT Flags) const;
  Win::UINT DrawTextBiDiModeFlagsReadingOnly() const;

  // How the control is dragged or docked; only stored here, for the drag
  // machinery and form resources.
  TCursor DragCursor() const { return FDragCursor; }
  void SetDragCursor(TCursor Value) { FDragCursor = Value; }
  TDragKind DragKind() const { return FDragKind; }
  void SetDragKind(TDragKind Value) { FDragKind = Value; }
  TDragMode DragMode() const { return FDragMode; }
  void SetDragMode(TDragMode Value) { FDragMode = Value; }

  // Caption and Text are the same string; a change sends CM_TEXTCHANGED.
  String Caption() const { return GetText(); }
  void SetCaption(const String& Value) { SetText(Value); }
  String Text() const { return GetText(); }
  void SetText(const String& Value);

  TControlStyle ControlStyle() const { return FControlStyle; }
  void SetControlStyle(TControlStyle Value) { FControlStyle = Value; }
  TControlState ControlState() const { return FControlState; }
  void SetControlState(TControlState Value) { FControlState = Value; }

  // Repaints (in the parent, for a graphic control).
  virtual void Invalidate();
  virtual void Update();
  virtual void Repaint();
  void Refresh() { Repaint(); }
  void BringToFront();
  void SendToBack();

  // Mouse capture: while set, the mouse reaches this control wherever it is.
  bool MouseCapture() const;
  void SetMouseCapture(bool Value);

  // The action the control shows and runs (nullptr: none; free-notified).
  // Linking copies the action's caption, enabled state, hint and
  // visibility (while the action is loading, only into properties still at
  // their defaults); later changes of the action follow through the link.
  TBasicAction* Action() const;
  void SetAction(TBasicAction* Value);
  TControlActionLink* ActionLink() const { return FActionLink.get(); }
  // Form streaming: a property the linked action supplies is not written.
  bool IsCaptionStored() const;
  bool IsEnabledStored() const;
  bool IsHintStored() const;
  bool IsVisibleStored() const;

  // The click machinery: Click runs the linked action while the control has
  // no OnClick of its own, else raises OnClick; DblClick raises OnDblClick.
  virtual void Click();
  virtual void DblClick();

  // Does the point (client coordinates) belong to the control?
  bool HitTestAt(TPoint Point) { return Perform(CM_HITTEST, 0, Win::MAKELPARAM(Point.X, Point.Y)) != 0; }
  bool IsMouseInControl() const;

  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TMouseEvent OnMouseDown;
  TMouseMoveEvent OnMouseMove;
  TMouseEvent OnMouseUp;
  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseLeave;
  TMouseWheelEvent OnMouseWheel;
  TNotifyEvent OnResize;
  TCanResizeEvent OnCanResize;
  // A context menu is asked for (right click, Shift+F10, the menu key):
  // before PopupMenu shows; Handled keeps it from showing.
  TContextPopupEvent OnContextPopup;
  TDragDropEvent OnDragDrop;
  TDragOverEvent OnDragOver;
  TEndDragEvent OnEndDock;
  TEndDragEvent OnEndDrag;
  TStartDockEvent OnStartDock;
  TStartDragEvent OnStartDrag;
  TMouseActivateEvent OnMouseActivate;
  // A gesture the control's Touch settings let through; Handled ends it here.
  TGestureEvent OnGesture;
  TConstrainedResizeEvent OnConstrainedResize;

protected:
  virtual String GetText() const { return FText; }
  // Scales the control by M/D, as a form laid out at D pixels per inch and
  // shown at M: position and size (a top-level control keeps its place on
  // the screen and scales its client area), constraints and its own font.
  virtual void ChangeScale(Integer M, Integer D);
  virtual bool CanResize(Integer& NewWidth, Integer& NewHeight);
  // Raises OnConstrainedResize with the limits the size check is about to apply.
  virtual void ConstrainedResize(Integer& MinWidth, Integer& MinHeight, Integer& MaxWidth, Integer& MaxHeight);
  virtual bool CanAutoSize(Integer& NewWidth, Integer& NewHeight);
  virtual void Resize();
  virtual void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y);
  virtual void MouseMove(TShiftState Shift, Integer X, Integer Y);
  virtual void MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y);
  virtual bool DoMouseWheel(TShiftState Shift, Integer WheelDelta, TPoint MousePos);
  virtual bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos);
  virtual bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos);
  virtual void VisibleChanging() {}
  void Notification(TComponent* AComponent, TOperation Operation) override;
  // The linked action (Sender) changed or was just linked: takes its
  // properties; with CheckDefaults only those still at their defaults.
  virtual void ActionChange(TObject* Sender, bool CheckDefaults);
  // The link class SetAction makes.
  virtual TControlActionLinkClass GetActionLinkClass() const;
  // Tells the parent that the control wants aligning again.
  void RequestAlign();
  // Anchors: remembers the distances to the parent's edges.
  void UpdateAnchorRules();
  void SendCancelMode();
  // The message handlers of TControl.
  void WMMouseDown(TMessage& Message, TMouseButton Button, TShiftState Extra);
  void WMMouseUp(TMessage& Message, TMouseButton Button);
  void WMMouseMove(TMessage& Message);
  void WMMouseWheel(TMessage& Message);
  // WM_CONTEXTMENU: OnContextPopup, then PopupMenu when it pops up on its
  // own (AutoPopup); answered 1 when done with, so it goes no further.
  void WMContextMenu(TMessage& Message);
  virtual void DoContextPopup(TPoint MousePos, bool& Handled);
  virtual TPopupMenu* GetPopupMenu() const { return FPopupMenu; }
  void CMHitTest(TMessage& Message) { Message.Result = 1; }
  void CMMouseEnter(TMessage& Message);
  void CMMouseLeave(TMessage& Message);
  void CMParentFontChanged(TMessage& Message);
  void CMParentColorChanged(TMessage& Message);
  void CMParentShowHintChanged(TMessage& Message);
  void CMParentBiDiModeChanged(TMessage& Message);
  void CMParentCtl3DChanged(TMessage& Message);
  // Answers 1 when the gesture was handled.
  void CMGesture(TMessage& Message);
  virtual void DoGesture(const TGestureEventInfo& EventInfo, bool& Handled);
  void CMVisibleChanged(TMessage& Message);
  void CMEnabledChanged(TMessage& Message);
  virtual void FontChanged();

  TControlStyle FControlStyle;
  TControlState FControlState;

private:
  friend class TWinControl;
  friend class TMargins;
  void SetParentSwitch(bool& Switch, bool Value, Win::UINT ParentChanged);
  friend class TCustomForm;
  // The form holding the control, seen as the windowed control it is.
  TWinControl* FormControl(bool TopForm) const;
  void DoMouseEvent(TMessage& Message, TMouseButton Button, TShiftState Extra, bool Down);
  virtual void SizeChanged(TSize OldClientSize) { (void)OldClientSize; }
  bool CheckNewSize(Integer& NewWidth, Integer& NewHeight);
  void InvalidateInParent(const TRect& R, bool Erase);
  void ApplyAnchors(TSize NewParentClient);

  TWinControl* FParent = nullptr;
  bool FWindowed = false; // a TWinControl: asked often, so not by dynamic_cast
  Integer FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
  TAlign FAlign = alNone;
  TAnchors FAnchors{akLeft, akTop};
  TRect FAnchorRules; // left, top, right and bottom distances to the parent's client edges
  TSize FAnchorParentSize;
  bool FAutoSize = false;
  std::unique_ptr<TSizeConstraints> FConstraints;
  bool FVisible = true;
  bool FEnabled = true;
  std::unique_ptr<TFont> FFont;
  bool FParentFont = true;
  TColor FColor = clWindow;
  bool FParentColor = false;
  TCursor FCursor = crDefault;
  String FHint;
  bool FShowHint = false;
  bool FParentShowHint = true;
  TPopupMenu* FPopupMenu = nullptr;
  TBiDiMode FBiDiMode = bdLeftToRight;
  bool FParentBiDiMode = true;
  bool FCtl3D = true;
  bool FParentCtl3D = true;
  std::unique_ptr<TMargins> FMargins;
  bool FAlignWithMargins = false;
  std::unique_ptr<TTouchManager> FTouch;
  TCursor FDragCursor = crDrag;
  TDragKind FDragKind = dkDrag;
  TDragMode FDragMode = dmManual;
  String FText;
  std::unique_ptr<TControlActionLink> FActionLink;
};

// ---- TGraphicControl ------------------------------------------------------------------------
class TGraphicControl : public TControl {
  QX_CLASS(TGraphicControl, TControl)
public:
  explicit TGraphicControl(TComponent* AOwner);
  ~TGraphicControl() override;
  TCanvas* Canvas() const { return FCanvas.get(); }
  void Dispatch(TMessage& Message) override;

protected:
  virtual void Paint() {}

private:
  void WMPaint(TMessage& Message);
  std::unique_ptr<TControlCanvas> FCanvas;
};

// ---- TWinControl ----------------------------------------------------------------------------------
struct TCreateParams {
  String Caption;
  Win::DWORD Style = 0;
  Win::DWORD ExStyle = 0;
  Integer X = 0, Y = 0, Width = 0, Height = 0;
  Win::HWND WndParent = nullptr;
  Win::WNDCLASS WindowClass;
  String WinClassName;
};

class TWinControl : public TControl {
  QX_CLASS(TWinControl, TControl)
public:
  explicit TWinControl(TComponent* AOwner);
  ~TWinControl() override;

  // The window, made on first use (EInvalidOperation "Control '<name>' has
  // no parent window" when there is nowhere to put it).
  Win::HWND Handle();
  bool HandleAllocated() const { return FHandle != nullptr; }
  void HandleNeeded() { Handle(); }
  virtual void DestroyHandle();
  void RecreateWnd();
  // A parent window outside the control tree (for embedding).
  Win::HWND ParentWindow() const { return FParentWindow; }
  void SetParentWindow(Win::HWND Value);

  // Form streaming: after the root's components without a parent, the child
  // controls the root owns.
  void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;

  Integer ControlCount() const { return Integer(FControls.size()); }
  TControl* Controls(Integer Index) const { return FControls.at(size_t(Index)); }
  void InsertControl(TControl* AControl);
  void RemoveControl(TControl* AControl);
  bool ContainsControl(const TControl* Control) const;
  // The visible child under the point (client coordinates) that answers
  // its hit test; windowed children only when AllowWinControls.
  TControl* ControlAtPos(TPoint Pos, bool AllowDisabled, bool AllowWinControls = false);
  // Sends the message to every child, in order, until one answers non-zero.
  void Broadcast(TMessage& Message);
  void NotifyControls(Win::UINT Msg);

  // Alignment: aligned children take their place in the client area in the
  // order top, bottom, left, right, client, custom; anchored ones follow
  // the edges they are anchored to.
  void Realign();
  void DisableAlign();
  void EnableAlign();
  // Scales the control and everything in it by M/D (both above zero).
  void ScaleBy(Integer M, Integer D) { ChangeScale(M, D); }
  bool AlignDisabled() const { return FAlignLevel > 0; }

  // Tab order and focus.
  bool TabStop() const { return FTabStop; }
  void SetTabStop(bool Value);
  Integer TabOrder() const;
  void SetTabOrder(Integer Value);
  void GetTabOrderList(std::vector<TWinControl*>& List) const;
  TWinControl* FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop, bool CheckParent);
  void SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop);
  virtual bool CanFocus() const;
  bool Focused() const;
  // EInvalidOperation "Cannot focus a disabled or invisible window".
  virtual void SetFocus();

  // A control follows its parent's DoubleBuffered while
  // ParentDoubleBuffered (the default); a value of its own clears the switch.
  bool DoubleBuffered() const { return FDoubleBuffered; }
  void SetDoubleBuffered(bool Value);
  bool ParentDoubleBuffered() const { return FParentDoubleBuffered; }
  void SetParentDoubleBuffered(bool Value);
  bool ParentBackground() const { return FControlStyle.Contains(csParentBackground); }
  void SetParentBackground(bool Value);
  // The bevel in the window frame (Vcl.Controls.Bevel): with BevelKind
  // other than bkNone the client area shrinks by the cuts' widths along
  // BevelEdges.
  TBevelEdges BevelEdges() const { return FBevel.Edges; }
  void SetBevelEdges(TBevelEdges Value);
  TBevelCut BevelInner() const { return FBevel.Inner; }
  void SetBevelInner(TBevelCut Value);
  TBevelCut BevelOuter() const { return FBevel.Outer; }
  void SetBevelOuter(TBevelCut Value);
  TBevelKind BevelKind() const { return FBevel.Kind; }
  void SetBevelKind(TBevelKind Value);
  TBevelWidth BevelWidth() const { return FBevel.Width; }
  void SetBevelWidth(TBevelWidth Value);
  TRect ClientRect() const override;
  TBrush* Brush() const { return FBrush.get(); }
  // The room kept free inside the client area when aligning children
  // (Vcl.Controls.Padding).
  TPadding* Padding() const { return FPadding.get(); }
  void SetPadding(const TPadding* Value);

  // Paints the control and its children on DC with its top left at (X, Y).
  void PaintTo(Win::HDC DC, Integer X, Integer Y);
  void PaintTo(TCanvas* Canvas, Integer X, Integer Y) { PaintTo(Canvas->Handle(), X, Y); }

  void SetBounds(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight) override;
  bool Showing() const override { return FShowing; }
  void ChangeScale(Integer M, Integer D) override;
  void Invalidate() override;
  void Update() override;
  void Repaint() override;
  void WndProc(TMessage& Message) override;
  void Dispatch(TMessage& Message) override;
  void DefaultHandler(TMessage& Message) override;

  TNotifyEvent OnEnter;
  TNotifyEvent OnExit;
  TKeyEvent OnKeyDown;
  TKeyEvent OnKeyUp;
  TKeyPressEvent OnKeyPress;
  TAlignInsertBeforeEvent OnAlignInsertBefore;
  TAlignPositionEvent OnAlignPosition;
  // Declared and stored for hosts and resources: the platform has no dock
  // sites to ask it.
  TGetSiteInfoEvent OnGetSiteInfo;

  // The control whose window this is (nullptr for other windows).
  static TWinControl* FindControl(Win::HWND Handle);
  // Runs a message through WindowProc, handing exceptions to the application.
  void MainWndProc(TMessage& Message);
  // A look at a message before it is translated and dispatched; true
  // consumes it.
  virtual bool PreProcessMessage(Win::MSG& Msg) { (void)Msg; return false; }

protected:
  virtual void CreateParams(TCreateParams& Params);
  virtual void CreateWnd();
  virtual void CreateWindowHandle(const TCreateParams& Params);
  virtual void CreateHandle();
  virtual void DestroyWnd();
  virtual void DestroyWindowHandle();
  // Called after the window exists (children's windows made, state restored).
  virtual void CreateHandleDone() {}
  virtual void AlignControls(TControl* AControl, TRect& Rect);
  // alCustom: whether C1 goes before C2 (OnAlignInsertBefore), and the
  // place of a control (OnAlignPosition; it starts at the current bounds).
  virtual bool CustomAlignInsertBefore(TControl* C1, TControl* C2);
  virtual void CustomAlignPosition(TControl* Control, Integer& NewLeft, Integer& NewTop, Integer& NewWidth,
                                   Integer& NewHeight, TRect& AlignRect, const TAlignInfo& AlignInfo);
  virtual void AdjustClientRect(TRect& Rect) { (void)Rect; }
  // Aligning waits while a resource is read; once loaded, aligned children
  // take the places their stored alignment and margins give them.
  void Loaded() override;
  bool CanAutoSize(Integer& NewWidth, Integer& NewHeight) override;
  TControlActionLinkClass GetActionLinkClass() const override;
  virtual void PaintWindow(Win::HDC DC);
  void PaintHandler(TMessage& Message);
  void PaintControls(Win::HDC DC, TControl* First);
  virtual void KeyDown(Word& Key, TShiftState Shift);
  virtual void KeyUp(Word& Key, TShiftState Shift);
  virtual void KeyPress(char32_t& Key);
  bool DoKeyDown(TMessage& Message);
  bool DoKeyUp(TMessage& Message);
  bool DoKeyPress(TMessage& Message);
  template <class TKey, class THandler>
  bool DoKey(TMessage& Message, bool (TWinControl::*Step)(TMessage&), THandler Handler);
  virtual void DoEnter();
  virtual void DoExit();
  void UpdateShowing();
  // A control without a parent control shows only in a parent window; a
  // form shows on its own.
  virtual bool ShowsWithoutParent() const { return FParentWindow != nullptr; }
  virtual void ShowControl(TControl* AControl) { (void)AControl; }
  // Handlers.
  void WMPaint(TMessage& Message);
  void WMEraseBkgnd(TMessage& Message);
  void WMSetCursor(TMessage& Message);
  void WMSize(TMessage& Message);
  void WMSetFocus(TMessage& Message);
  void WMKillFocus(TMessage& Message);
  void WMMouseLeave(TMessage& Message);
  // The bevel's share of the frame, and painting it there.
  void WMNCCalcSize(TMessage& Message);
  void WMNCPaint(TMessage& Message);
  // A graphic child under the point has the first say.
  void WMContextMenu(TMessage& Message);
  void CNKeyDown(TMessage& Message);
  void CNChar(TMessage& Message);
  void CMDialogKey(TMessage& Message) { Broadcast(Message); }
  void CMDialogChar(TMessage& Message) { Broadcast(Message); }
  void CMColorChanged(TMessage& Message);
  void CMFontChanged(TMessage& Message);
  void CMShowingChanged(TMessage& Message);
  void CMVisibleChanged(TMessage& Message);
  void CMEnabledChanged(TMessage& Message);
  void CMTextChanged(TMessage& Message);
  void CMBiDiModeChanged(TMessage& Message);
  void CMCtl3DChanged(TMessage& Message);
  void CMParentDoubleBufferedChanged(TMessage& Message);
  void CMEnter(TMessage& Message) { (void)Message; DoEnter(); }
  void CMExit(TMessage& Message) { (void)Message; DoExit(); }
  // WM_COMMAND, WM_NOTIFY and WM_DRAWITEM go back to the child that sent them
  // as CN_ messages.
  void ReflectToChild(TMessage& Message, Win::HWND Child);

  // A form keeps track of the focus of the controls on it and may see their
  // keys first. Forms are a layer above the controls: TCustomForm overrides
  // these, and a control calls them on the form it sits on.
  virtual TCustomForm* AsForm() { return nullptr; }
  virtual bool SetFocusedControl(TWinControl* Control) { (void)Control; return true; }
  virtual void FocusControl(TWinControl* Control) { (void)Control; }
  virtual void DefocusControl(TWinControl* Control, bool Removing) { (void)Control; (void)Removing; }
  virtual bool PreviewsKeys() const { return false; }

  Win::HWND FHandle = nullptr;

private:
  friend class TControl;
  friend class TCustomForm;
  friend class TControlCanvas;
  static Win::LRESULT ControlWndProc(Win::HWND hWnd, Win::UINT Msg, Win::WPARAM WParam, Win::LPARAM LParam);
  void FreeCanvasHandles();
  void InsertTabList(TWinControl* Control);
  bool IsControlMouseMsg(TMessage& Message);
  void TrackMouseLeave();
  void DoAlign(TAlign Align, TRect& Rect, TControl* AControl);
  void DoCustomAlign(TRect& Rect);
  void BevelChanged();
  void SizeChanged(TSize OldClientSize) override;
  void RemoveFocus(bool Removing);

  std::vector<TControl*> FControls;    // z-order: first is bottom
  std::vector<TWinControl*> FTabList;
  Win::HWND FParentWindow = nullptr;
  bool FShowing = false;
  bool FTabStop = false;
  bool FDoubleBuffered = false;
  bool FParentDoubleBuffered = true;
  Integer FAlignLevel = 0;
  TSize FLastClientSize;
  std::unique_ptr<TBrush> FBrush;
  TBevel FBevel;
  std::unique_ptr<TPadding> FPadding;
};

// ---- TCustomControl -------------------------------------------------------------------------------
class TCustomControl : public TWinControl {
  QX_CLASS(TCustomControl, TWinControl)
public:
  explicit TCustomControl(TComponent* AOwner);
  ~TCustomControl() override;
  TCanvas* Canvas() const { return FCanvas.get(); }

protected:
  virtual void Paint() {}
  void PaintWindow(Win::HDC DC) override;

private:
  std::unique_ptr<TControlCanvas> FCanvas;
};

// The control that has the mouse captured (a graphic control through its
// parent's window), and the one the mouse is over (CM_MOUSEENTER and
// CM_MOUSELEAVE follow it).
TControl* GetCaptureControl();
TControl* MouseControl();
// Hands an exception that escaped a window procedure to the application.
void HandleControlException(TObject* Sender);

// A window with a message handler but no control (timers, hidden windows).
Win::HWND AllocateHWnd(std::function<void(TMessage&)> Method);
void DeallocateHWnd(Win::HWND Wnd);

// Whether the character VK is the accelerator of Str: the character after
// a single '&' (a doubled "&&" is a plain ampersand), in either case.
bool IsAccel(Word VK, const String& Str);

// The innermost (TopForm false) or the top-level form holding Control.
TCustomForm* GetParentForm(const TControl* Control, bool TopForm = true);
// Finds the control for a window handle, also through its parents.
TWinControl* FindControl(Win::HWND Handle);
// The control (graphic controls included) under a screen point.
TControl* FindDragTarget(TPoint Pos, bool AllowDisabled);

} // namespace Vcl
