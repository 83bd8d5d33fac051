// Message bars showing a message of every kind, with markup texts and action
// buttons, and a live bar whose message changes as its own button is
// clicked; beside them, the tray icon's panel.
#include "GalleryPages.hpp"
#include "MessagesTray.hpp"

#include <Quorex.Vcl.MessageBar.hpp>
#include <Quorex.Vcl.SystemIcons.hpp>
#include <Vcl.ActnList.hpp>

#include <array>

namespace Gallery {

using namespace Quorex;
using namespace Vcl;

namespace {

constexpr int kMargin = 16, kTop = 84, kColumnWidth = 590, kColumnHeight = 290, kGap = 10,
              kTrayLeft = kMargin + kColumnWidth + 24;

struct TLiveStep {
  TMessageType Type;
  const char* Title;
  const char* Text;
  const char* Extra; // a second action's caption, or none
};

// What the live bar shows, one step per click of its "Next" button.
constexpr std::array<TLiveStep, 4> kLiveSteps{{
  {mtInformation, "Downloading", "File <b>3</b> of <b>10</b>: <i>pictures.zip</i>", nullptr},
  {mtWarning, "Download paused", "The connection is <font color=clRed>metered</font>; continue anyway?", "Resume"},
  {mtError, "Download failed", "The server answered <b>503</b>. <u>Try again later</u>.", "Retry"},
  {mtQuestion, "Download complete", "Open the folder with the <b>10</b> downloaded files?", "Open"},
}};

} // namespace

TMessagesPage::TMessagesPage(TComponent* AOwner) : TGalleryPage(AOwner)
{
  AddTitle("Messages");
  AddLabel("<font color=clGray>Message bars following their messages: every kind, markup texts, action "
           "buttons.</font>",
           kMargin + 124, 20);
  AddLabel("<b>Every kind</b>", kMargin, kTop - 24);
  // The bars stack at the top of the column, a gap apart, so that a bar
  // that grows with its text pushes the ones below it down.
  auto* column = new TQxPanel(this);
  column->SetBounds(kMargin, kTop, kColumnWidth, kColumnHeight);
  column->SetParent(Client());
  auto* custom = new TQxSystemIconList(this);
  custom->FillList();
  // Each one placed below all before it: the column keeps them in Top order.
  int top = 0;
  auto bar = [&](TMessageType Type, const String& Title, const String& Text, std::initializer_list<String> Actions,
                 bool Elevated = false) {
    TQxMessage* msg = AddMessage(Type, Title, Text, Actions, Elevated);
    if (top > 0) {
      auto* gap = new TQxPanel(this);
      gap->SetBounds(0, top += 1000, kColumnWidth, kGap);
      gap->SetAlign(alTop);
      gap->SetParent(column);
    }
    auto* b = new TQxMessageBar(this);
    b->SetTop(top += 1000);
    b->SetParent(column);
    b->SetImages(custom);
    b->SetMessage(msg);
    return msg;
  };
  bar(mtInformation, "Update available", "Version <b>2.4</b> is ready to install. <a href=notes>What's new</a>",
      {"Install", "Later"}, true);
  bar(mtWarning, "Disk almost full", "Only <font color=clRed><b>1.2 GB</b></font> left on <i>/home</i>.",
      {"Clean up"});
  bar(mtError, "Sync failed", "The server did not answer. <u>Check the connection</u> and try again.",
      {"Retry", "Details"});
  bar(mtQuestion, "Save changes?", "The document <i>Report.odt</i> has changes that are not saved.",
      {"Save", "Discard"});
  bar(mtCustom, "Administrator rights", "A <b>custom</b> message with the host's own picture.", {"Continue"}, true)
    ->SetImageIndex(custom->GetIndex(itShield));

  AddLabel("<b>Live</b> <font color=clGray>(each click on <i>Next</i> edits the message)</font>", kMargin,
           kTop + kColumnHeight + 14);
  Live = AddMessage(mtInformation, "", "", {}, false);
  LiveBar = new TQxMessageBar(this);
  LiveBar->SetAlign(alNone);
  LiveBar->SetBounds(kMargin, kTop + kColumnHeight + 40, kColumnWidth, 40);
  LiveBar->SetParent(Client());
  LiveBar->SetMessage(Live);
  Next = new TAction(this);
  Next->SetCaption("Next");
  Next->SetOnExecute([this](TObject*) { ShowLiveStep(FStep + 1); });
  ShowLiveStep(0);

  // The panel brings its own heading, level with the column's.
  Tray = std::make_unique<TTrayDemo>(PlaceTrayDemo(this, Client(), kTrayLeft, kTop - 24, 320));
  Tray->Panel->SetParentColor(true);
}

TMessagesPage::~TMessagesPage() = default;

TQxMessage* TMessagesPage::AddMessage(TMessageType Type, const String& Title, const String& Text,
                                      std::initializer_list<String> Actions, bool Elevated)
{
  auto* msg = new TQxMessage(this);
  msg->SetMessageType(Type);
  msg->SetTitle(Title);
  msg->SetText(Text);
  for (const String& caption : Actions) {
    auto* action = new TAction(this);
    action->SetCaption(caption);
    action->SetOnExecute([caption](TObject*) { EventLog().push_back("message action: " + caption); });
    TQxMessageActionItem* item = msg->Actions()->Add();
    item->SetAction(action);
    // The first action is the one that needs the rights.
    item->SetElevationRequired(Elevated && msg->Actions()->Count() == 1);
  }
  return msg;
}

// Runs inside the click of the live bar's own button: the bar rebuilds its
// buttons while that click is still running.
void TMessagesPage::ShowLiveStep(int Step)
{
  FStep = Step % int(kLiveSteps.size());
  const TLiveStep& step = kLiveSteps[size_t(FStep)];
  EventLog().push_back("live message: " + String(step.Title));
  Live->SetMessageType(step.Type);
  Live->SetTitle(step.Title);
  Live->SetText(step.Text);
  Live->Actions()->Clear();
  Live->Actions()->Add()->SetAction(Next);
  if (!step.Extra)
    return;
  if (!FExtra) {
    FExtra = new TAction(this);
    FExtra->SetOnExecute([this](TObject*) { EventLog().push_back("message action: " + FExtra->Caption()); });
  }
  FExtra->SetCaption(step.Extra);
  Live->Actions()->Add()->SetAction(FExtra);
}

} // namespace Gallery
