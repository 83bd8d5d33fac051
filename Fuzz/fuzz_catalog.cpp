// A localizer catalog from outside (a translator's file): read it through
// the shipped localizer library as a host does, by translating a small tree
// of components from it, listing its language and translating back.
#include <Localizer.Intf.hpp>
#include <System.TypInfo.hpp>
#include <Winapi.Modules.Libraries.hpp>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>

namespace {

class TFuzzText : public Vcl::TComponent {
  QX_CLASS(TFuzzText, Vcl::TComponent)
public:
  using Vcl::TComponent::TComponent;
  const Vcl::String& Caption() const { return FCaption; }
  void SetCaption(const Vcl::String& Value) { FCaption = Value; }
  const Vcl::String& Hint() const { return FHint; }
  void SetHint(const Vcl::String& Value) { FHint = Value; }

private:
  Vcl::String FCaption, FHint;
};

QX_PUBLISHED(TFuzzText)
{
  Property("Caption", &T::Caption, &T::SetCaption);
  Property("Hint", &T::Hint, &T::SetHint);
}

struct TCatalogHost {
  TCatalogHost() : Folder(std::filesystem::temp_directory_path() / "qx-fuzz-catalog"), Root(nullptr)
  {
    std::filesystem::create_directories(Folder);
    Win::SetDllDirectory(QX_BRIDGE_LIBRARY_DIR);
    Quorex::gLocalizer()->SetCatalogFolder(Folder.string());
    Quorex::gLocalizer()->SetApplicationModule("fuzz");
    Root.SetName("Root");
    Root.SetCaption("root");
    auto* child = new TFuzzText(&Root);
    child->SetName("Child");
    (new TFuzzText(child))->SetName("Inner");
  }
  std::filesystem::path Folder;
  TFuzzText Root;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
  static TCatalogHost host;
  std::ofstream(host.Folder / "fuzz.xx.lng", std::ios::binary | std::ios::trunc)
    .write(reinterpret_cast<const char*>(Data), std::streamsize(Size));
  const auto& localizer = Quorex::gLocalizer();
  auto project = localizer->ApplicationProject();
  localizer->SetLanguage("xx");
  project->Localize(&host.Root, "");
  project->Localize(&host.Root, "Other");
  localizer->Locales()->Find("xx");
  localizer->SetLanguage("en");
  project->Localize(&host.Root, "");
  return 0;
}
