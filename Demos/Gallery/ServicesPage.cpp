// The services page: an update service that checks a version file on the
// gallery's own local server, with a button for the check a user asks for.
// The version status dialog answers it; the page shows what the check found
// and the version file the server publishes. Beside them, the switch for the
// gallery's start at log-on and a panel the localizer translates live.
#include "GalleryPages.hpp"

#include "GalleryVersionServer.hpp"
#include "ServicesBridges.hpp"

#include <Quorex.Vcl.UpdateService.hpp>
#include <Vcl.ExtCtrls.hpp>
#include <Vcl.StdCtrls.Label.hpp>

namespace Gallery {

using namespace Quorex;
using namespace Vcl;

namespace {

constexpr int kMargin = 16, kBridgesLeft = 620;
const QxRtl::TVersionValue kGalleryVersion{1, 0, 0, 0};

// The version file the gallery's server publishes, written as a publisher
// writes it.
String PublishedVersionFile()
{
  TVersionFile file;
  file.SetVersion({1, 2, 0, 0});
  file.SetDescription("Faster drawing & new services");
  file.SetFollowURL("http://127.0.0.1/qxcomponents/download");
  TStringStream text("");
  file.SaveToStream(text);
  return text.DataString();
}

} // namespace

TServicesPage::TServicesPage(TComponent* AOwner)
  : TGalleryPage(AOwner), FServer(std::make_unique<TVersionServer>(PublishedVersionFile()))
{
  QxRtl::gVersion.SetAppVersion(kGalleryVersion);
  AddTitle("Services");
  AddLabel("<font color=clGray>An update service checks the version file that the gallery's own server "
           "publishes on this machine. The gallery runs as version " +
             kGalleryVersion.AsLongString() +
             "; the button asks for a check now, and the version status dialog answers it.</font>",
           kMargin, 52, 560);

  Updates = new TQxUpdateService(this);
  Updates->SetAppName("the QxComponents gallery");
  Updates->SetUrl(FServer->Url());
  Updates->SetDownloadURL("http://127.0.0.1/qxcomponents/download");
  Updates->OnUpdated = [this](TObject*) { ShowOutcome(true); };
  Updates->OnUpdateFailed = [this](TObject*) { ShowOutcome(false); };

  CheckButton = new TQxButton(this);
  CheckButton->SetBounds(kMargin, 104, 150, 28);
  CheckButton->SetCaption("Check for updates");
  CheckButton->SetParent(Client());
  CheckButton->OnClick = [this](TObject*) { Updates->Check(); };
  FStatus = AddLabel("<font color=clGray>Not checked yet.</font>", kMargin + 170, 110, 400);

  // The version file on a tinted desk below, where the dialog opens.
  auto* desk = new TPanel(this);
  desk->SetBounds(0, 150, 2000, 2000);
  desk->SetBevelOuter(bvNone);
  desk->SetShowCaption(false);
  desk->SetColor(TColor(0x00F3EEEA));
  desk->SetParent(Client());
  AddLabel("<b>The published version file</b>", kMargin, 14, 0, desk);
  auto* file = new TLabel(this);
  file->SetBounds(kMargin, 40, 10, 10);
  file->Font()->SetName("DejaVu Sans Mono");
  file->Font()->SetSize(9);
  file->Font()->SetColor(TColor(0x00604020));
  file->SetCaption(PublishedVersionFile());
  file->SetParent(desk);

  // The bridges to the external libraries, right of where the dialog opens.
  AddLabel("<b>Start at log-on</b>", kBridgesLeft, 14, 0, desk);
  PlaceAutoLoadSwitch(this, desk, kBridgesLeft, 40);
  AddLabel("<b>Translated live</b>", kBridgesLeft, 112, 0, desk);
  PlaceTranslatedPanel(this, desk, kBridgesLeft, 138, 300, 124);
}

TServicesPage::~TServicesPage() = default;

void TServicesPage::ShowOutcome(bool Success)
{
  TUpdateService* engine = Updates->Updater();
  const String found = Success ? "<b>Checked:</b> the server publishes <b>" + engine->ServerVersion().AsLongString() +
                                   "</b> (" + engine->Description() + ")" +
                                   (engine->NewVersionAvailable() ? ", <font color=$0060F0>newer</font>." : ".")
                               : String("<font color=clRed><b>The check failed.</b></font>");
  FStatus->SetCaption(found);
  EventLog().push_back(Success ? "update: " + engine->ServerVersion().AsLongString() : String("update: failed"));
}

} // namespace Gallery
