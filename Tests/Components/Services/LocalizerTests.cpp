// The localizer bridge with the localizer library shipped with the project:
// forms translated from catalogs when they load and on every language
// switch, and the bridge's failures with stand-in libraries.
#include <QxDesktopFixture.hpp>
#include <QxTestSupport.hpp>

#include <Quorex.Vcl.Localizer.hpp>
#include <System.Classes.Streaming.hpp>
#include <System.SysUtils.Errors.hpp>
#include <Vcl.ExtCtrls.hpp>
#include <Vcl.Forms.hpp>
#include <Vcl.StdCtrls.hpp>
#include <Winapi.Modules.Libraries.hpp>

#include <gmock/gmock.h>

#include <filesystem>
#include <fstream>
#include <memory>

namespace fs = std::filesystem;
using namespace Quorex;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

const String GreetingForm = "object Greeting: TForm\n"
                            "  Caption = 'Greeting'\n"
                            "  object Header: TPanel\n"
                            "    Caption = 'Hello'\n"
                            "    object Confirm: TButton\n"
                            "      Caption = 'OK'\n"
                            "    end\n"
                            "  end\n"
                            "  object Translator: TLocalizerNotifier\n"
                            "    AdvancedName = 'GreetingForm'\n"
                            "  end\n"
                            "end\n";

class LocalizerTest : public QxTest::QxDesktopFixture {
protected:
  void SetUp() override
  {
    QxDesktopFixture::SetUp();
    FCurrent = fs::current_path();
    ReleaseLocalizer();
    Win::SetDllDirectory(QX_BRIDGE_LIBRARY_DIR);
    FCatalogs = QxTest::TempDir();
    // Catalogs of this executable's project, as a host ships them.
    const String project = fs::read_symlink("/proc/self/exe").stem().string();
    std::ofstream(fs::path(FCatalogs) / (project + ".de.lng")) << "# German\n"
                                                                  "@language = Deutsch\n"
                                                                  "[GreetingForm]\n"
                                                                  "Caption = Begrüßung\n"
                                                                  "Header.Caption = Hallo\n"
                                                                  "Confirm.Caption =  Jawohl \n"
                                                                  "[Second]\n"
                                                                  "Caption = Zweites\\nFenster\n";
    std::ofstream(fs::path(FCatalogs) / (project + ".fr.lng")) << "@language = Français\n"
                                                                  "[GreetingForm]\n"
                                                                  "Caption = Salutation\n"
                                                                  "Header.Caption = Bonjour\n"
                                                                  "[Second]\n"
                                                                  "Caption = Deuxième\n";
    gLocalizer()->SetCatalogFolder(FCatalogs);
    gLocalizer()->SetLanguage("en");
  }

  void TearDown() override
  {
    ReleaseLocalizer();
    Win::SetDllDirectory(nullptr);
    fs::current_path(FCurrent);
    QxDesktopFixture::TearDown();
  }

  static std::unique_ptr<Vcl::TForm> Load(const String& text)
  {
    auto form = std::make_unique<Vcl::TForm>(nullptr);
    Vcl::ReadComponentRes(text, form.get());
    return form;
  }

  static String CaptionOf(Vcl::TComponent* root, const String& path)
  {
    Vcl::TComponent* c = path.empty() ? root : root->FindComponent(path);
    return std::get<String>(Vcl::GetPropInfo(c->ClassType(), "Caption")->Get(c));
  }

  // Points the bridge at one folder of stand-ins and starts over.
  static void UseLibraryIn(const String& folder)
  {
    ReleaseLocalizer();
    Win::SetDllDirectory(folder.c_str());
  }

  String FCatalogs;
  fs::path FCurrent;
};

TEST_F(LocalizerTest, TranslatesAFormWhenItLoadsAndFollowsEveryLanguageSwitch)
{
  gLocalizer()->SetLanguage("de_AT"); // falls back to "de"
  auto form = Load(GreetingForm);
  auto* notifier = static_cast<TLocalizerNotifier*>(form->FindComponent("Translator"));
  EXPECT_TRUE(notifier->Localized());
  EXPECT_EQ(CaptionOf(form.get(), ""), "Begrüßung");
  EXPECT_EQ(CaptionOf(form.get(), "Header"), "Hallo");
  EXPECT_EQ(CaptionOf(form.get(), "Confirm"), "Jawohl");

  // French has no text for the button: it gets its own back.
  gLocalizer()->SetLanguage("fr");
  EXPECT_EQ(CaptionOf(form.get(), ""), "Salutation");
  EXPECT_EQ(CaptionOf(form.get(), "Header"), "Bonjour");
  EXPECT_EQ(CaptionOf(form.get(), "Confirm"), "OK");

  // A language without a catalog brings every original text back.
  gLocalizer()->SetLanguage("it");
  EXPECT_EQ(CaptionOf(form.get(), ""), "Greeting");
  EXPECT_EQ(CaptionOf(form.get(), "Header"), "Hello");

  // A form that is gone is neither told nor remembered.
  form.reset();
  EXPECT_NO_THROW(gLocalizer()->SetLanguage("de"));
}

TEST_F(LocalizerTest, NotifiersAreToldInTheOrderTheySubscribedAndAutoDecidesTheFirstTranslation)
{
  gLocalizer()->SetLanguage("de");
  std::vector<String> told;
  auto first = Load(GreetingForm);
  auto second = std::make_unique<Vcl::TForm>(nullptr);
  second->SetName("Second");
  second->SetCaption("Second form");
  auto* manual = new TLocalizerNotifier(second.get());
  manual->SetAuto(false);
  manual->Loaded();
  EXPECT_FALSE(manual->Localized());
  EXPECT_EQ(second->Caption(), "Second form");

  static_cast<TLocalizerNotifier*>(first->FindComponent("Translator"))->OnUpdate = [&](Vcl::TObject*) {
    told.push_back("first");
  };
  manual->OnUpdate = [&](Vcl::TObject*) { told.push_back("second"); };
  gLocalizer()->SetLanguage("fr");
  EXPECT_THAT(told, ElementsAre("first", "second"));
  EXPECT_EQ(first->Caption(), "Salutation");
  EXPECT_EQ(second->Caption(), "Deuxième");

  // An explicit Localize, under the form's own name.
  gLocalizer()->SetLanguage("de");
  manual->Localize();
  EXPECT_EQ(second->Caption(), "Zweites\nFenster");
  EXPECT_THAT(told, ElementsAre("first", "second", "first", "second", "second"));
}

TEST_F(LocalizerTest, ListsItsLanguagesAndWritesATemplateThatTranslates)
{
  auto locales = gLocalizer()->Locales();
  ASSERT_EQ(locales->Count(), 2);
  EXPECT_EQ(locales->Items(0)->Code(), "de");
  EXPECT_EQ(locales->Find("fr")->DisplayName(), "Français");
  EXPECT_EQ(locales->Find("it"), nullptr);
  EXPECT_THROW(locales->Items(2), ELocalizer);

  // The template of a new language, filled in by a translator.
  auto form = Load(GreetingForm);
  const String project = fs::read_symlink("/proc/self/exe").stem().string();
  const fs::path spanish = fs::path(FCatalogs) / (project + ".es.lng");
  gLocalizer()->Writer()->WriteTemplate(form.get(), "GreetingForm", spanish.string());
  std::ifstream in(spanish);
  String text((std::istreambuf_iterator<char>(in)), {});
  EXPECT_THAT(text, HasSubstr("[GreetingForm]\nCaption = Greeting\n"));
  EXPECT_THAT(text, HasSubstr("Header.Caption = Hello\nConfirm.Caption = OK\n"));
  std::ofstream(spanish) << Vcl::StringReplace(text, "= Hello", "= Hola", {});
  gLocalizer()->SetLanguage("es");
  EXPECT_EQ(CaptionOf(form.get(), "Header"), "Hola");
  EXPECT_EQ(gLocalizer()->Locales()->Count(), 3);

  EXPECT_THROW(gLocalizer()->Writer()->WriteTemplate(form.get(), "", FCatalogs + "/no/such/folder.lng"),
               ESerializer);
}

TEST_F(LocalizerTest, TheOwnerMustBeAWindowedControl)
{
  Vcl::TComponent owner(nullptr);
  auto* notifier = new TLocalizerNotifier(&owner);
  EXPECT_THROW(notifier->Localize(), Vcl::EInvalidCast);
}

TEST_F(LocalizerTest, AMissingOrBrokenLibraryFailsTheFirstUse)
{
  Vcl::TForm form(nullptr);
  const String standIns = QX_STANDIN_DIR;
  auto notifierError = [&]() -> String {
    try {
      new TLocalizerNotifier(&form);
    } catch (const std::exception& e) {
      return e.what();
    }
    return "no error";
  };

  // None in the host's folder; one planted in the current folder is not used.
  const String empty = QxTest::TempDir();
  UseLibraryIn(empty);
  fs::copy_file(String(QX_BRIDGE_LIBRARY_DIR) + "/LocalizerLib.dll", fs::path(empty) / "planted.dll");
  fs::create_directories(fs::path(empty) / "cwd");
  fs::copy_file(fs::path(empty) / "planted.dll", fs::path(empty) / "cwd" / "LocalizerLib.dll");
  fs::current_path(fs::path(empty) / "cwd");
  EXPECT_FALSE(IsLocalizerAvailable());
  EXPECT_EQ(notifierError(), "LocalizerLib.dll not found");
  EXPECT_FALSE(IsLocalizerAssigned());

  UseLibraryIn(standIns + "/localizer-NoExport");
  EXPECT_TRUE(IsLocalizerAvailable());
  EXPECT_EQ(notifierError(), "LocalizerLib.dll not found");

  UseLibraryIn(standIns + "/localizer-Null");
  EXPECT_THAT(notifierError(), HasSubstr("Localizer instance not initialized (Quorex.Vcl.Localizer"));

  UseLibraryIn(standIns + "/localizer-Raises");
  EXPECT_EQ(notifierError(), "The stand-in refuses to start");
  EXPECT_EQ(form.ComponentCount(), 0);
}

TEST_F(LocalizerTest, AtDesignTimeTheLibraryIsNeverTouched)
{
  UseLibraryIn(QxTest::TempDir());
  Vcl::TForm form(nullptr);
  form.SetDesigning(true);
  auto* notifier = new TLocalizerNotifier(&form);
  notifier->Loaded();
  EXPECT_FALSE(notifier->Localized());
  delete notifier;
  EXPECT_FALSE(IsLocalizerAssigned());
}

} // namespace
