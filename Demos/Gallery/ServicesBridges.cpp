#include "ServicesBridges.hpp"

#include <Quorex.Vcl.Button.hpp>
#include <Winapi.Modules.Libraries.hpp>

namespace Gallery {

using namespace Quorex;
using namespace Vcl;

namespace {

THtmlLabel* PlaceLabel(TComponent* Owner, TWinControl* Parent, const String& Name, const String& Caption, Integer X,
                       Integer Y, Integer Width)
{
  auto* label = new THtmlLabel(Owner);
  label->SetName(Name);
  label->SetWordBreak(true);
  label->SetAutoHeight(true);
  label->SetBounds(X, Y, Width, 16);
  label->SetParent(Parent);
  label->SetCaption(Caption);
  return label;
}

void ShowError(THtmlLabel* Status, const std::exception& E)
{
  Status->SetCaption("<font color=clMaroon>" + String(E.what()) + "</font>");
}

// The gallery's texts are catalogued under its own name, beside the
// libraries, also when a test harness runs the pages.
void UseGalleryCatalogs()
{
  const std::shared_ptr<ILocalizer>& localizer = gLocalizer();
  localizer->SetApplicationModule("QxGallery");
  localizer->SetCatalogFolder(Win::LibraryPath("locale"));
}

TQxButton* PlaceLanguageButton(TComponent* Owner, TWinControl* Parent, const String& Code, const String& Caption,
                               Integer X, Integer Y)
{
  auto* button = new TQxButton(Owner);
  button->SetBounds(X, Y, 90, 26);
  button->SetCaption(Caption);
  button->SetParent(Parent);
  button->OnClick = [Code](TObject*) { SwitchGalleryLanguage(Code); };
  return button;
}

} // namespace

TAutoLoadSwitch PlaceAutoLoadSwitch(TComponent* Owner, TWinControl* Parent, Integer X, Integer Y)
{
  TAutoLoadSwitch s;
  s.AutoLoad = new TQxAutoLoad(Owner);
  s.AutoLoad->SetTaskName("QxComponents Gallery");
  s.Box = new TQxCheckBox(Owner);
  s.Box->SetLeft(X);
  s.Box->SetTop(Y);
  s.Box->SetCaption("Start the gallery when I log on");
  s.Box->SetParent(Parent);
  s.Box->SetAutoSize(true);
  s.Status = PlaceLabel(Owner, Parent, "", "<font color=clGray>An autostart entry in your desktop's settings.</font>",
                        X + 20, Y + 24, 320);
  try {
    s.AutoLoad->Refresh();
    s.Box->SetChecked(s.AutoLoad->Active());
  } catch (const std::exception& e) {
    ShowError(s.Status, e);
    s.Box->SetEnabled(false);
    return s;
  }
  s.AutoLoad->OnError = [status = s.Status](TObject*, Cardinal Code) {
    status->SetCaption("<font color=clMaroon>Not changed (error " + std::to_string(Code) + ")</font>");
  };
  s.Box->OnClick = [s](TObject*) {
    s.AutoLoad->SetActive(s.Box->Checked());
    try {
      s.AutoLoad->Apply();
      s.Status->SetCaption(s.Box->Checked() ? "Starts when you log on." : "Does not start when you log on.");
    } catch (const std::exception& e) {
      ShowError(s.Status, e);
    }
  };
  return s;
}

TTranslatedPanel PlaceTranslatedPanel(TComponent* Owner, TWinControl* Parent, Integer X, Integer Y, Integer Width,
                                      Integer Height)
{
  TTranslatedPanel t;
  t.Panel = new TPanel(Owner);
  t.Panel->SetBounds(X, Y, Width, Height);
  t.Panel->SetBevelOuter(bvLowered);
  t.Panel->SetShowCaption(false);
  t.Panel->SetParent(Parent);
  // The texts belong to the panel so that they are translated with it.
  PlaceLabel(t.Panel, t.Panel, "Heading", "<b>Welcome</b>", 12, 10, Width - 24);
  PlaceLabel(t.Panel, t.Panel, "Body",
             "This panel follows the language you choose: its texts come from a catalog per language.", 12, 34,
             Width - 24);
  auto* action = new TQxButton(t.Panel);
  action->SetName("Action");
  action->SetBounds(12, Height - 38, 150, 26);
  action->SetCaption("Check for updates");
  action->SetParent(t.Panel);

  Integer left = X;
  PlaceLanguageButton(Owner, Parent, "en", "English", left, Y + Height + 8);
  try {
    UseGalleryCatalogs();
    auto locales = gLocalizer()->Locales();
    for (Integer i = 0; i < locales->Count(); ++i) {
      left += 96;
      PlaceLanguageButton(Owner, Parent, locales->Items(i)->Code(), locales->Items(i)->DisplayName(), left,
                          Y + Height + 8);
    }
    t.Notifier = new TLocalizerNotifier(t.Panel);
    t.Notifier->SetAdvancedName("BridgesPanel");
    t.Notifier->Localize();
  } catch (const std::exception& e) {
    ShowError(static_cast<THtmlLabel*>(t.Panel->FindComponent("Body")), e);
  }
  return t;
}

void SwitchGalleryLanguage(const String& Code)
{
  UseGalleryCatalogs();
  gLocalizer()->SetLanguage(Code);
}

} // namespace Gallery
