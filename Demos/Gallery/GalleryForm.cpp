#include "GalleryForm.hpp"

#include <Vcl.ExtCtrls.hpp>
#include <Vcl.Forms.hpp>
#include <Vcl.Menus.hpp>
#include <Win.Themes.hpp>

namespace Gallery {

using namespace Quorex;
using namespace Vcl;

namespace {

constexpr int kNavWidth = 190;

} // namespace

void RunUntilIdle()
{
  Win::MSG msg;
  for (;;) {
    bool any = CheckSynchronize();
    while (Application->ProcessMessage(msg))
      any = true;
    if (!any)
      return;
  }
}

namespace {

// The context menu of the pages: the look (themed or classic) to draw in.
TPopupMenu* MakeLookMenu(TForm* Form)
{
  auto* menu = new TPopupMenu(Form);
  const std::pair<const char*, bool> looks[] = {{"&Themed look", true}, {"&Classic look", false}};
  for (const auto& [caption, themed] : looks) {
    auto* item = new TMenuItem(Form);
    item->SetCaption(caption);
    item->SetRadioItem(true);
    item->SetChecked(themed == (Win::IsThemeActive() != Win::FALSE));
    item->OnClick = [Form, item, themed = themed](TObject*) {
      item->SetChecked(true);
      Win::EnableTheming(themed);
      Win::RedrawWindow(Form->Handle(), nullptr, nullptr,
                        Win::RDW_INVALIDATE | Win::RDW_ERASE | Win::RDW_ALLCHILDREN | Win::RDW_FRAME);
    };
    menu->Items()->Add(item);
  }
  return menu;
}

} // namespace

TGalleryForm::TGalleryForm()
{
  FForm = new TForm(Application);
  FForm->SetCaption("QxComponents gallery");
  FForm->SetBounds(0, 0, kScreenWidth, kScreenHeight);
  FForm->SetColor(clWindow);
  FForm->Font()->SetName("DejaVu Sans");
  FForm->Font()->SetSize(9);

  auto* nav = new TPanel(FForm);
  nav->SetAlign(alLeft);
  nav->SetWidth(kNavWidth);
  nav->SetBevelOuter(bvNone);
  nav->SetShowCaption(false);
  nav->SetColor(TColor(0x00F3EEEA));
  nav->SetParent(FForm);
  auto* title = new THtmlLabel(FForm);
  title->SetBounds(16, 16, 10, 16);
  title->SetAutoHeight(true);
  title->SetParent(nav);
  title->SetCaption("<font size=13><b>QxComponents</b></font>");
  FNav = new THtmlLabel(FForm);
  FNav->SetBounds(16, 44, 10, 16);
  FNav->SetAutoHeight(true);
  FNav->SetParent(nav);
  FNav->SetCaption("<font color=clGray>gallery</font><br><br><br><a href=markup>Markup labels</a><br><br><a href=transparency>Transparency</a><br><br>"
                   "<a href=canvas>Canvas helper</a><br><br><a href=form>Form resource</a><br><br>"
                   "<a href=buttons>Buttons</a><br><br><a href=round>Round buttons</a><br><br>"
                   "<a href=pngbuttons>PNG buttons</a><br><br>"
                   "<a href=checkboxes>Check boxes</a><br><br>"
                   "<a href=combos>Combos</a><br><br>"
                   "<a href=editors>Editors</a><br><br>"
                   "<a href=navigation>Navigation</a><br><br>"
                   "<a href=graphs>Graphs</a><br><br>"
                   "<a href=complexlist>Complex list</a><br><br>"
                   "<a href=lists>Lists</a><br><br>"
                   "<a href=panels>Panels</a><br><br>"
                   "<a href=services>Services</a><br><br>"
                   "<a href=messages>Messages</a><br><br>"
                   "<a href=imaging>Imaging</a>");
  FNav->OnLinkClick = [this](const String& id) { ShowPage(id); };

  FHost = new TQxFrameHost(FForm);
  FHost->SetColor(clWindow);
  FHost->SetParentColor(false);
  FHost->SetParent(FForm);
  FHost->SetPopupMenu(MakeLookMenu(FForm));
  FForm->Show();
}

TGalleryForm::~TGalleryForm()
{
  delete FForm;
}

void TGalleryForm::ShowPage(const String& Id)
{
  EventLog().push_back("page: " + Id);
  if (Id == "markup")
    FHost->SetFrame<TMarkupPage>();
  else if (Id == "transparency")
    FHost->SetFrame<TTransparencyPage>();
  else if (Id == "canvas")
    FHost->SetFrame<TCanvasHelperPage>();
  else if (Id == "form")
    FHost->SetFrame<TFormResourcePage>();
  else if (Id == "buttons")
    FHost->SetFrame<TButtonsPage>();
  else if (Id == "round")
    FHost->SetFrame<TRoundButtonsPage>();
  else if (Id == "pngbuttons")
    FHost->SetFrame<TPngButtonsPage>();
  else if (Id == "checkboxes")
    FHost->SetFrame<TCheckBoxesPage>();
  else if (Id == "combos")
    FHost->SetFrame<TCombosPage>();
  else if (Id == "editors")
    FHost->SetFrame<TEditorsPage>();
  else if (Id == "navigation")
    FHost->SetFrame<TNavigationPage>();
  else if (Id == "graphs")
    FHost->SetFrame<TGraphsPage>();
  else if (Id == "complexlist")
    FHost->SetFrame<TComplexListPage>();
  else if (Id == "lists")
    FHost->SetFrame<TListsPage>();
  else if (Id == "panels")
    FHost->SetFrame<TPanelsPage>();
  else if (Id == "services")
    FHost->SetFrame<TServicesPage>();
  else if (Id == "messages")
    FHost->SetFrame<TMessagesPage>();
  else if (Id == "imaging")
    FHost->SetFrame<TImagingPage>();
}

} // namespace Gallery
