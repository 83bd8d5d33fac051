#include "MessagesTray.hpp"

#include <Win.Shell.NotifyIcon.hpp>

#include <cmath>
#include <numbers>

namespace Gallery {

using namespace Quorex;
using namespace Vcl;

namespace {

constexpr int kFrameCount = 8, kFrameSize = 16;

// Shows the tray icon exactly while the panel shows.
class TTrayPanel : public TPanel {
  QX_CLASS(TTrayPanel, TPanel)
public:
  using TPanel::TPanel;
  void SetTray(TQxTrayIcon* Value)
  {
    Tray = Value;
    Tray->FreeNotification(this);
  }

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override
  {
    inherited::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == Tray)
      Tray = nullptr;
  }
  void WndProc(TMessage& Message) override
  {
    inherited::WndProc(Message);
    if (Message.Msg == CM_SHOWINGCHANGED && Tray && !ComponentState().Contains(csDestroying))
      Tray->SetVisible(Showing());
  }

private:
  TQxTrayIcon* Tray = nullptr;
};

// A sync badge: a blue disc whose white sweep turns a step per frame.
void DrawFrame(TCanvas* Canvas, int Frame)
{
  Canvas->Brush()->SetColor(clFuchsia);
  Canvas->FillRect(TRect(0, 0, kFrameSize, kFrameSize));
  Canvas->Pen()->SetColor(TColor(0x00A05A1E));
  Canvas->Brush()->SetColor(TColor(0x00D78C3C));
  Canvas->Ellipse(0, 0, kFrameSize, kFrameSize);
  const double angle = 2 * std::numbers::pi * Frame / kFrameCount;
  const int cx = kFrameSize / 2, cy = kFrameSize / 2;
  Canvas->Pen()->SetColor(clWhite);
  Canvas->Pen()->SetWidth(2);
  Canvas->MoveTo(cx, cy);
  Canvas->LineTo(cx + int(std::lround(6 * std::sin(angle))), cy - int(std::lround(6 * std::cos(angle))));
  Canvas->Brush()->SetColor(clWhite);
  Canvas->Pen()->SetWidth(1);
  Canvas->Ellipse(cx - 2, cy - 2, cx + 2, cy + 2);
}

TImageList* MakeFrames(TComponent* Owner)
{
  auto* list = new TImageList(Owner);
  list->SetWidth(kFrameSize);
  list->SetHeight(kFrameSize);
  for (int frame = 0; frame < kFrameCount; ++frame) {
    TBitmap image;
    image.SetPixelFormat(pf24bit);
    image.SetSize(kFrameSize, kFrameSize);
    DrawFrame(image.Canvas(), frame);
    list->AddMasked(&image, clFuchsia);
  }
  return list;
}

THtmlLabel* PlaceLabel(TComponent* Owner, TWinControl* Parent, const String& Caption, Integer X, Integer Y,
                       Integer Width)
{
  auto* label = new THtmlLabel(Owner);
  label->SetWordBreak(true);
  label->SetAutoHeight(true);
  label->SetBounds(X, Y, Width, 16);
  label->SetParent(Parent);
  label->SetCaption(Caption);
  return label;
}

void WireEvents(const TTrayDemo& d)
{
  THtmlLabel* status = d.Status;
  d.Tray->OnClick = [status](TObject*) { status->SetCaption("You clicked the icon."); };
  d.Tray->OnDblClick = [status](TObject*) { status->SetCaption("You double-clicked the icon."); };
  d.Tray->OnBalloonClick = [status](TObject*) { status->SetCaption("You clicked the balloon."); };
  TQxTrayIcon* tray = d.Tray;
  d.BalloonButton->OnClick = [tray, status](TObject*) {
    tray->ShowBalloonHint();
    status->SetCaption("The balloon shows for ten seconds.");
  };
  TQxCheckBox* box = d.AnimateBox;
  box->OnClick = [tray, box](TObject*) { tray->SetAnimate(box->Checked()); };
}

} // namespace

TTrayDemo PlaceTrayDemo(TComponent* Owner, TWinControl* Parent, Integer X, Integer Y, Integer Width)
{
  TTrayDemo d;
  auto* panel = new TTrayPanel(Owner);
  panel->SetBounds(X, Y, Width, 150);
  panel->SetBevelOuter(bvNone);
  panel->SetParent(Parent);
  d.Panel = panel;
  PlaceLabel(Owner, panel,
             "<b>Tray icon</b><br>An animated icon in the notification area, at the bottom right of the screen. "
             "Click it, or ask for a balloon.",
             0, 0, Width);
  d.BalloonButton = new TQxButton(Owner);
  d.BalloonButton->SetBounds(0, 56, 130, 28);
  d.BalloonButton->SetCaption("Show balloon");
  d.BalloonButton->SetParent(panel);
  d.AnimateBox = new TQxCheckBox(Owner);
  d.AnimateBox->SetBounds(146, 62, 120, 20);
  d.AnimateBox->SetCaption("Animate");
  d.AnimateBox->SetParent(panel);
  d.AnimateBox->SetAutoSize(true);
  d.AnimateBox->SetChecked(true);
  d.Status = PlaceLabel(Owner, panel, "<font color=clGray>Nothing happened yet.</font>", 0, 100, Width);

  d.Frames = MakeFrames(Owner);
  d.Tray = new TQxTrayIcon(Owner);
  d.Tray->SetHint("QxComponents Gallery");
  d.Tray->SetBalloonTitle("Backup finished");
  d.Tray->SetBalloonHint("1 284 files were copied to the backup disk. Nothing was skipped.");
  d.Tray->SetBalloonFlags(bfInfo);
  d.Tray->SetAnimateInterval(250);
  d.Tray->SetVisible(panel->Showing());
  d.Tray->SetIconList(d.Frames);
  d.Tray->SetAnimate(true);
  panel->SetTray(d.Tray);
  WireEvents(d);
  return d;
}

} // namespace Gallery
