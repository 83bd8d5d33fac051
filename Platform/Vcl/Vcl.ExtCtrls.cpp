#include "Vcl.ExtCtrls.hpp"

namespace Vcl {

// ---- TTimer --------------------------------------------------------------------------

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner)
{
  FWindowHandle = AllocateHWnd([this](TMessage& Message) { WndProc(Message); });
}

TTimer::~TTimer()
{
  FEnabled = false;
  UpdateTimer();
  DeallocateHWnd(FWindowHandle);
}

void TTimer::UpdateTimer()
{
  Win::KillTimer(FWindowHandle, 1);
  if (FInterval != 0 && FEnabled && FOnTimer && Win::IsWindow(FWindowHandle))
    if (!Win::SetTimer(FWindowHandle, 1, FInterval, nullptr))
      throw EOutOfResources("Not enough timers available");
}

void TTimer::SetEnabled(bool Value)
{
  if (FEnabled == Value)
    return;
  FEnabled = Value;
  UpdateTimer();
}

void TTimer::SetInterval(Cardinal Value)
{
  if (FInterval == Value)
    return;
  FInterval = Value;
  UpdateTimer();
}

void TTimer::SetOnTimer(TNotifyEvent Value)
{
  FOnTimer = std::move(Value);
  UpdateTimer();
}

void TTimer::Timer()
{
  if (FOnTimer)
    FOnTimer(this);
}

void TTimer::WndProc(TMessage& Message)
{
  if (Message.Msg == Win::WM_TIMER) {
    Timer();
    return;
  }
  Message.Result = Win::DefWindowProc(FWindowHandle, Message.Msg, Message.WParam, Message.LParam);
}

// ---- TCustomPanel ------------------------------------------------------------------------

TCustomPanel::TCustomPanel(TComponent* AOwner) : TCustomControl(AOwner)
{
  FControlStyle = {csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csOpaque, csDoubleClicks,
                   csReplicatable, csParentBackground};
  SetBounds(0, 0, 185, 41);
  SetColor(clBtnFace);
}

template <class T>
void TCustomPanel::Change(T& Field, T Value)
{
  if (Field == Value)
    return;
  Field = Value;
  Realign();
  Invalidate();
}

void TCustomPanel::SetAlignment(TAlignment Value) { Change(FAlignment, Value); }
void TCustomPanel::SetVerticalAlignment(TVerticalAlignment Value) { Change(FVerticalAlignment, Value); }
void TCustomPanel::SetBevelOuter(TBevelCut Value) { Change(FBevelOuter, Value); }
void TCustomPanel::SetBevelInner(TBevelCut Value) { Change(FBevelInner, Value); }
void TCustomPanel::SetBevelWidth(Integer Value) { Change(FBevelWidth, std::max(Value, 1)); }
void TCustomPanel::SetBorderWidth(Integer Value) { Change(FBorderWidth, std::max(Value, 0)); }
void TCustomPanel::SetShowCaption(bool Value) { Change(FShowCaption, Value); }

void TCustomPanel::CreateParams(TCreateParams& Params)
{
  TCustomControl::CreateParams(Params);
  if (FFullRepaint)
    Params.WindowClass.style |= Win::CS_HREDRAW | Win::CS_VREDRAW;
}

void TCustomPanel::AdjustClientRect(TRect& Rect)
{
  Integer inset = FBorderWidth;
  if (FBevelOuter != bvNone)
    inset += FBevelWidth;
  if (FBevelInner != bvNone)
    inset += FBevelWidth;
  Rect.Inflate(-inset, -inset);
}

namespace {

// One bevel ring of the given width, light on the top left for a raised cut.
void DrawBevel(TCanvas* Canvas, TRect& Rect, TBevelCut Cut, Integer Width)
{
  if (Cut == bvNone)
    return;
  TColor topLeft = Cut == bvLowered ? clBtnShadow : clBtnHighlight;
  TColor bottomRight = Cut == bvLowered ? clBtnHighlight : clBtnShadow;
  if (Cut == bvSpace)
    topLeft = bottomRight = clBtnFace;
  for (Integer i = 0; i < Width; ++i) {
    Canvas->Brush()->SetColor(topLeft);
    Canvas->FillRect(TRect(Rect.Left, Rect.Top, Rect.Right, Rect.Top + 1));
    Canvas->FillRect(TRect(Rect.Left, Rect.Top, Rect.Left + 1, Rect.Bottom));
    Canvas->Brush()->SetColor(bottomRight);
    Canvas->FillRect(TRect(Rect.Left, Rect.Bottom - 1, Rect.Right, Rect.Bottom));
    Canvas->FillRect(TRect(Rect.Right - 1, Rect.Top, Rect.Right, Rect.Bottom));
    Rect.Inflate(-1, -1);
  }
}

} // namespace

void TCustomPanel::Paint()
{
  TCanvas* canvas = Canvas();
  TRect r = ClientRect();
  DrawBevel(canvas, r, FBevelOuter, FBevelWidth);
  r.Inflate(-FBorderWidth, -FBorderWidth);
  DrawBevel(canvas, r, FBevelInner, FBevelWidth);
  canvas->Brush()->SetColor(Color());
  canvas->FillRect(r);
  if (!FShowCaption || Caption().empty())
    return;
  canvas->Font()->Assign(Font());
  canvas->Brush()->SetStyle(bsClear);
  TTextFormat format{tfSingleLine};
  format.Include(FAlignment == taLeftJustify ? tfLeft : FAlignment == taRightJustify ? tfRight : tfCenter);
  format.Include(FVerticalAlignment == taAlignTop      ? tfTop
                 : FVerticalAlignment == taAlignBottom ? tfBottom
                                                       : tfVerticalCenter);
  String text = Caption();
  canvas->TextRect(r, text, format);
}

} // namespace Vcl
