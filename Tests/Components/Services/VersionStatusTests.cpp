// The version status form and dialog as the update service shows them:
// the form resource, the texts and colours of both forms, what the buttons
// and the check box give back, and the translation through the localizer.
#include <QxDesktopFixture.hpp>
#include <QxModalDriver.hpp>
#include <QxTestSupport.hpp>
#include <Localizer.Intf.hpp>
#include <Quorex.Vcl.Dialogs.VersionStatus.hpp>
#include <Vcl.Imaging.pngimage.hpp>
#include <Win.Desktop.hpp>
#include <Winapi.Modules.Libraries.hpp>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

using namespace Quorex;
using namespace Vcl;
using QxTest::QxModalDriver;

namespace {

class VersionStatus : public QxTest::QxDesktopFixture {
protected:
  void SetUp() override
  {
    QxDesktopFixture::SetUp();
    ReleaseLocalizer();
    Win::SetDllDirectory(QX_BRIDGE_LIBRARY_DIR);
    Catalogs = QxTest::TempDir();
    gLocalizer()->SetCatalogFolder(Catalogs);
    gLocalizer()->SetLanguage("en");
  }
  void TearDown() override
  {
    ReleaseLocalizer();
    Win::SetDllDirectory(nullptr);
    QxDesktopFixture::TearDown();
  }

  // Pixels of the control's area on the screen that have exactly the colour.
  int PixelsOf(TControl* Control, TColor Color)
  {
    const auto pixels = ControlPixels(Control, TRect(0, 0, Control->Width(), Control->Height()));
    return int(std::count(pixels.begin(), pixels.end(), Win::COLORREF(Color)));
  }

  std::string Catalogs;
};

} // namespace

TEST_F(VersionStatus, TheFormComesFromItsResourceWithItsPictureAndButtons)
{
  TVersionStatusForm form(nullptr);
  EXPECT_EQ(form.Name(), "VersionStatusForm");
  EXPECT_EQ(form.ClientWidth(), 413);
  EXPECT_EQ(form.Color(), clWhite);
  EXPECT_TRUE(form.lbLatestVersion->Font()->Style().Contains(fsBold));
  ASSERT_TRUE(form.iIcon->Picture()->Graphic());
  EXPECT_TRUE(form.iIcon->Picture()->Graphic()->Is<TPngImage>());
  EXPECT_EQ(form.iIcon->Picture()->Width(), 48);
  EXPECT_EQ(form.chAutoCheck->Caption(), "Automatically check new versions at startup");
  EXPECT_TRUE(form.AutoCheck());
  EXPECT_EQ(form.buDownload->ModalResult(), mrOk);
  EXPECT_EQ(form.buClose->ModalResult(), mrClose);
  EXPECT_TRUE(form.buClose->Cancel());
}

TEST_F(VersionStatus, ANewVersionShowsInOrangeWithDownloadAndTheLatestInGreyWithout)
{
  TVersionStatusForm form(nullptr);
  form.SetYourVersion("1.0.0.0");
  form.SetLatestVersion("1.2.0.0");
  form.SetAppName("Gallery");
  form.SetNewAvailable(true);
  form.Show();
  RunUntilIdle();
  EXPECT_EQ(form.Caption(), "New Version Available");
  EXPECT_EQ(form.lbText->Caption(),
            "A new version of Gallery is now available. Click Download button to download this update.");
  EXPECT_EQ(form.lbYourVersion->Caption(), "Your Version: 1.0.0.0");
  EXPECT_EQ(form.lbLatestVersion->Caption(), "Latest Version: 1.2.0.0");
  EXPECT_TRUE(form.buDownload->Visible());
  EXPECT_GT(PixelsOf(form.lbText, 0x000060F0), 20) << "orange text";
  EXPECT_EQ(PixelsOf(form.lbText, 0x00333333), 0);
  // The text wraps to two lines and the parts stack under it.
  EXPECT_GT(form.lbText->Height(), 30);
  EXPECT_EQ(form.paVersion->Top(), form.lbText->Top() + form.lbText->Height() + 15);
  EXPECT_EQ(form.ClientHeight(), form.paControls->Top() + 78);
  // The picture: the blue disc in the middle of the icon.
  const Win::COLORREF middle = ControlPixel(form.iIcon, 8, 24);
  EXPECT_GT(Win::GetBValue(middle), Win::GetRValue(middle) + 60);
  form.Hide();

  form.SetNewAvailable(false);
  form.SetAppName("");
  form.Show();
  RunUntilIdle();
  EXPECT_EQ(form.Caption(), "Version Status");
  EXPECT_EQ(form.lbText->Caption(), "You are using the latest version of this software.");
  EXPECT_FALSE(form.buDownload->Visible());
  EXPECT_GT(PixelsOf(form.lbText, 0x00333333), 20) << "dark grey text";
  EXPECT_EQ(PixelsOf(form.lbText, 0x000060F0), 0);
}

TEST_F(VersionStatus, TheDialogGivesBackTheButtonAndTheCheckBox)
{
  TVersionStatusDialog dialog(nullptr);
  dialog.SetNewAvailable(true);
  dialog.SetAutoCheck(true);
  dialog.SetYourVersion("1.0.0.0");
  dialog.SetLatestVersion("2.0.0.0");
  QxModalDriver close([&](TCustomForm* form, int step) {
    auto* status = dynamic_cast<TVersionStatusForm*>(form);
    ASSERT_TRUE(status);
    EXPECT_EQ(dialog.Form(), status);
    QxModalDriver::ClickOn(step == 0 ? static_cast<TControl*>(status->chAutoCheck) : status->buClose);
  });
  EXPECT_EQ(dialog.Show(), mrClose);
  EXPECT_FALSE(dialog.AutoCheck());
  EXPECT_EQ(dialog.Form(), nullptr);
  QxModalDriver download([](TCustomForm* form, int) {
    QxModalDriver::ClickOn(static_cast<TVersionStatusForm*>(form)->buDownload);
  });
  EXPECT_EQ(dialog.Show(), mrOk);
  EXPECT_FALSE(dialog.AutoCheck());
  QxModalDriver escape([](TCustomForm*, int) { Win::InjectKey(Win::VK_ESCAPE); });
  EXPECT_EQ(dialog.Show(), mrClose);
}

TEST_F(VersionStatus, TheLocalizerTranslatesTheDialogAndWithoutItTheDialogFails)
{
  std::ofstream(std::filesystem::path(Catalogs) / "QxComponents.de.lng")
    << "[VersionStatusForm]\n"
       "strVersionStatus = Versionsstatus\n"
       "strLatestVersionInstalled = Sie verwenden die neueste Version von %s.\n"
       "strYourVersion = Ihre Version: %s\n"
       "buClose.Caption = Schließen\n";
  gLocalizer()->SetLanguage("de");
  TVersionStatusDialog dialog(nullptr);
  dialog.SetAppName("Galerie");
  dialog.SetYourVersion("1.0.0.0");
  std::vector<std::string> seen;
  QxModalDriver driver([&](TCustomForm* form, int) {
    auto* status = static_cast<TVersionStatusForm*>(form);
    seen = {status->Caption(), status->lbText->Caption(), status->lbYourVersion->Caption(),
            status->buClose->Caption()};
    Win::InjectKey(Win::VK_ESCAPE);
  });
  dialog.Show();
  EXPECT_EQ(seen, (std::vector<std::string>{"Versionsstatus", "Sie verwenden die neueste Version von Galerie.",
                                            "Ihre Version: 1.0.0.0", "Schließen"}));

  ReleaseLocalizer();
  Win::SetDllDirectory(QxTest::TempDir().c_str());
  EXPECT_THAT([&] { dialog.Show(); }, testing::ThrowsMessage<Exception>("LocalizerLib.dll not found"));
  EXPECT_EQ(driver.Shown(), 1);
}
