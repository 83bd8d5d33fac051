// The localizer library: translates the published texts of components from
// a catalog file per module and language, and tells its subscribers when the
// language changes (README.md beside this file).
#include <Localizer.Intf.hpp>

#include <System.TypInfo.hpp>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <vector>

namespace fs = std::filesystem;

namespace {

using namespace Quorex;
using Vcl::Integer;
using Vcl::TComponent;

constexpr const char* CatalogExtension = ".lng";

String Trim(const String& s)
{
  const size_t first = s.find_first_not_of(" \t\r");
  return first == String::npos ? String() : s.substr(first, s.find_last_not_of(" \t\r") - first + 1);
}

String Unescape(const String& value)
{
  String out;
  for (size_t i = 0; i < value.size(); ++i) {
    if (value[i] != '\\' || i + 1 == value.size()) {
      out += value[i];
      continue;
    }
    const char c = value[++i];
    out += c == 'n' ? '\n' : c == 't' ? '\t' : c == 's' ? ' ' : c;
  }
  return out;
}

String Escape(const String& value)
{
  String out;
  for (size_t i = 0; i < value.size(); ++i) {
    const char c = value[i];
    const bool edge = i == 0 || i + 1 == value.size();
    out += c == '\\' ? "\\\\" : c == '\n' ? "\\n" : c == '\t' ? "\\t" : c == ' ' && edge ? "\\s" : String(1, c);
  }
  return out;
}

// One catalog file: its display name and, per entry, key to text.
struct TCatalog {
  String DisplayName;
  std::map<String, std::map<String, String>> Entries;
};

TCatalog ReadCatalog(const fs::path& file)
{
  TCatalog catalog;
  std::ifstream in(file);
  if (!in)
    return catalog;
  String line, section;
  while (std::getline(in, line)) {
    line = Trim(line);
    if (line.empty() || line.starts_with("#"))
      continue;
    if (line.starts_with("[") && line.ends_with("]")) {
      section = Trim(line.substr(1, line.size() - 2));
      continue;
    }
    const size_t eq = line.find('=');
    if (eq == String::npos)
      continue;
    const String key = Trim(line.substr(0, eq)), value = Unescape(Trim(line.substr(eq + 1)));
    if (section.empty() && key == "@language")
      catalog.DisplayName = value;
    else if (!section.empty() && !key.empty())
      catalog.Entries[section][key] = value;
  }
  return catalog;
}

// "Form1", "Form1.Button1", ...: the published string properties of a
// component and of the named components it owns, at any depth, with their
// keys relative to the root.
struct TTextProperty {
  TComponent* Component;
  const Vcl::TPropInfo* Info;
  String Key;
};

void CollectTexts(TComponent* component, const String& prefix, std::vector<TTextProperty>& out)
{
  for (const Vcl::TPropInfo* info : Vcl::GetPropList(component->ClassType()))
    if (info->Kind == Vcl::pkString && info->Set && info->Name != "Name")
      out.push_back({component, info, prefix + info->Name});
  for (TComponent* owned : component->ComponentList())
    if (!owned->Name().empty())
      CollectTexts(owned, prefix + owned->Name() + ".", out);
}

String EntryName(TComponent* component, const String& name)
{
  if (!name.empty())
    return name;
  return component->Name().empty() ? String(component->ClassName()) : component->Name();
}

// The texts components had before their first translation, so that a
// language without an entry for them brings them back. Forgotten when the
// component goes away.
class TOriginalTexts : public TComponent {
  QX_CLASS(TOriginalTexts, TComponent)
public:
  TOriginalTexts() : TComponent(nullptr) {}

  void Translate(const TTextProperty& p, const String* text)
  {
    auto& texts = FTexts[p.Component];
    auto original = texts.find(p.Info->Name);
    if (text) {
      if (original == texts.end()) {
        texts.emplace(p.Info->Name, std::get<String>(p.Info->Get(p.Component)));
        p.Component->FreeNotification(this);
      }
      p.Info->Set(p.Component, *text);
    } else if (original != texts.end()) {
      p.Info->Set(p.Component, original->second);
      texts.erase(original);
    }
  }

protected:
  void Notification(TComponent* AComponent, Vcl::TOperation Operation) override
  {
    TComponent::Notification(AComponent, Operation);
    if (Operation == Vcl::opRemove)
      FTexts.erase(AComponent);
  }

private:
  std::map<TComponent*, std::map<String, String>> FTexts;
};

class TLocale : public ILocale {
public:
  TLocale(String code, String name) : FCode(std::move(code)), FName(std::move(name)) {}
  String Code() const override { return FCode; }
  String DisplayName() const override { return FName; }

private:
  String FCode, FName;
};

class TLocaleList : public ILocaleList {
public:
  explicit TLocaleList(std::vector<std::shared_ptr<ILocale>> items) : FItems(std::move(items)) {}
  Integer Count() const override { return Integer(FItems.size()); }
  std::shared_ptr<ILocale> Items(Integer Index) const override
  {
    if (Index < 0 || Index >= Count())
      throw ELocalizer("Locale index out of bounds (" + std::to_string(Index) + ")");
    return FItems[size_t(Index)];
  }
  std::shared_ptr<ILocale> Find(const String& Code) const override
  {
    auto it = std::find_if(FItems.begin(), FItems.end(), [&](const auto& l) { return l->Code() == Code; });
    return it == FItems.end() ? nullptr : *it;
  }

private:
  std::vector<std::shared_ptr<ILocale>> FItems;
};

class TLocalizer;

class TProject : public ILocalizationProject {
public:
  TProject(TLocalizer& owner, String name) : FOwner(owner), FName(std::move(name)) {}
  String Name() const override { return FName; }
  void Localize(TComponent* AComponent, const String& AName) override;
  std::shared_ptr<ILocaleList> Locales() const override;

private:
  TLocalizer& FOwner;
  String FName;
};

class TProjectList : public ILocalizationProjectList {
public:
  explicit TProjectList(TLocalizer& owner) : FOwner(owner) {}
  Integer Count() const override { return Integer(FProjects.size()); }
  std::shared_ptr<ILocalizationProject> Items(Integer Index) const override
  {
    if (Index < 0 || Index >= Count())
      throw ELocalizer("Project index out of bounds (" + std::to_string(Index) + ")");
    return FProjects[size_t(Index)];
  }
  std::shared_ptr<ILocalizationProject> FindByModule(const String& AModuleName) override
  {
    // "QxComponents.bpl", "/usr/bin/app": the file name without extension.
    const String name = fs::path(AModuleName).stem().string();
    if (name.empty())
      throw ELocalizer("No module name");
    for (const auto& p : FProjects)
      if (p->Name() == name)
        return p;
    return FProjects.emplace_back(std::make_shared<TProject>(FOwner, name));
  }

private:
  TLocalizer& FOwner;
  std::vector<std::shared_ptr<ILocalizationProject>> FProjects;
};

class TPublisher : public IPublisher {
public:
  void Subscribe(ISubscriber* ASubscriber) override
  {
    if (ASubscriber && std::find(FSubscribers.begin(), FSubscribers.end(), ASubscriber) == FSubscribers.end())
      FSubscribers.push_back(ASubscriber);
  }
  void Unsubscribe(ISubscriber* ASubscriber) override { std::erase(FSubscribers, ASubscriber); }

  // Every subscriber is told, also when one before it fails (the first
  // failure is passed on afterwards) or unsubscribes another.
  void Notify()
  {
    std::exception_ptr error;
    const std::vector<ISubscriber*> snapshot = FSubscribers;
    for (ISubscriber* s : snapshot) {
      if (std::find(FSubscribers.begin(), FSubscribers.end(), s) == FSubscribers.end())
        continue;
      try {
        s->LocaleUpdated();
      } catch (...) {
        if (!error)
          error = std::current_exception();
      }
    }
    if (error)
      std::rethrow_exception(error);
  }

private:
  std::vector<ISubscriber*> FSubscribers;
};

class TWriter : public ILocaleWriter {
public:
  void WriteTemplate(TComponent* AComponent, const String& AName, const String& AFileName) override
  {
    std::vector<TTextProperty> texts;
    CollectTexts(AComponent, "", texts);
    std::ofstream out(AFileName, std::ios::trunc);
    out << "@language = \n\n[" << EntryName(AComponent, AName) << "]\n";
    for (const TTextProperty& p : texts) {
      const String value = std::get<String>(p.Info->Get(p.Component));
      if (!value.empty())
        out << p.Key << " = " << Escape(value) << "\n";
    }
    out.flush();
    if (!out)
      throw ESerializer("Cannot write \"" + AFileName + "\"");
  }
};

String EnvironmentLanguage()
{
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(name);
    if (!value || !*value)
      continue;
    String code = value;
    code = code.substr(0, code.find_first_of(".@"));
    return code == "C" || code == "POSIX" || code.empty() ? "en" : code;
  }
  return "en";
}

fs::path ExecutablePath()
{
  std::error_code error;
  return fs::read_symlink("/proc/self/exe", error);
}

class TLocalizer : public ILocalizer {
public:
  TLocalizer()
    : FPublisher(std::make_shared<TPublisher>()), FProjects(std::make_shared<TProjectList>(*this)),
      FLanguage(EnvironmentLanguage()), FFolder((ExecutablePath().parent_path() / "locale").string())
  {
  }

  std::shared_ptr<IPublisher> Publisher() override { return FPublisher; }
  std::shared_ptr<ILocaleList> Locales() override { return ApplicationProject()->Locales(); }
  String Language() const override { return FLanguage; }
  std::shared_ptr<ILocalizationProjectList> Projects() override { return FProjects; }

  void SetLanguage(const String& ACode) override
  {
    if (ACode.empty())
      throw ELocalizer("No language code");
    if (ACode == FLanguage)
      return;
    FLanguage = ACode;
    FPublisher->Notify();
  }

  String CatalogFolder() const override { return FFolder; }
  void SetCatalogFolder(const String& AFolder) override
  {
    std::error_code error;
    FFolder = fs::absolute(AFolder, error).lexically_normal().string();
  }
  std::shared_ptr<ILocaleWriter> Writer() override { return std::make_shared<TWriter>(); }
  std::shared_ptr<ILocalizationProject> ApplicationProject() override
  {
    return FProjects->FindByModule(FApplicationModule.empty() ? ExecutablePath().string() : FApplicationModule);
  }
  void SetApplicationModule(const String& AModuleName) override { FApplicationModule = AModuleName; }

  // The catalog of a project for the current language: "de_AT" falls back
  // to "de"; none gives an empty catalog.
  TCatalog Catalog(const String& project) const
  {
    const String language = FLanguage.substr(0, FLanguage.find('_'));
    for (const String& code : {FLanguage, language}) {
      const fs::path file = fs::path(FFolder) / (project + "." + code + CatalogExtension);
      std::error_code error;
      if (fs::is_regular_file(file, error))
        return ReadCatalog(file);
    }
    return {};
  }

  std::vector<std::shared_ptr<ILocale>> CatalogLocales(const String& project) const
  {
    std::vector<std::shared_ptr<ILocale>> locales;
    std::error_code error;
    const String prefix = project + ".";
    for (const auto& item : fs::directory_iterator(FFolder, error)) {
      const String file = item.path().filename().string();
      if (!file.starts_with(prefix) || item.path().extension() != CatalogExtension)
        continue;
      const String code = file.substr(prefix.size(), file.size() - prefix.size() - 4);
      if (!code.empty() && code.find('.') == String::npos)
        locales.push_back(std::make_shared<TLocale>(code, ReadCatalog(item.path()).DisplayName));
    }
    std::sort(locales.begin(), locales.end(), [](const auto& a, const auto& b) { return a->Code() < b->Code(); });
    return locales;
  }

  TOriginalTexts& Originals() { return FOriginals; }

private:
  std::shared_ptr<TPublisher> FPublisher;
  std::shared_ptr<TProjectList> FProjects;
  String FLanguage;
  String FFolder;
  String FApplicationModule;
  TOriginalTexts FOriginals;
};

void TProject::Localize(TComponent* AComponent, const String& AName)
{
  if (!AComponent)
    throw ELocalizer("No component to localize");
  const TCatalog catalog = FOwner.Catalog(FName);
  auto entry = catalog.Entries.find(EntryName(AComponent, AName));
  std::vector<TTextProperty> texts;
  CollectTexts(AComponent, "", texts);
  for (const TTextProperty& p : texts) {
    const String* text = nullptr;
    if (entry != catalog.Entries.end()) {
      auto it = entry->second.find(p.Key);
      text = it == entry->second.end() ? nullptr : &it->second;
    }
    FOwner.Originals().Translate(p, text);
  }
}

std::shared_ptr<ILocaleList> TProject::Locales() const
{
  return std::make_shared<TLocaleList>(FOwner.CatalogLocales(FName));
}

} // namespace

#if defined(__clang__)
#pragma clang diagnostic ignored "-Wreturn-type-c-linkage"
#endif

// One localizer for the process, alive while someone holds it.
extern "C" std::shared_ptr<ILocalizer> GetInstance()
{
  static std::weak_ptr<TLocalizer> current;
  std::shared_ptr<TLocalizer> instance = current.lock();
  if (!instance) {
    instance = std::make_shared<TLocalizer>();
    current = instance;
  }
  return instance;
}
