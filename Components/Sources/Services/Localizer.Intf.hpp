// The interfaces of the external localizer library ("LocalizerLib.dll") and
// the one process-wide instance of it. The library rewrites the published
// texts of components for the current user-interface language and tells its
// subscribers when the language changes.
//
// A library implements them and exports "GetInstance" (TGetLocalizerInstance)
// without C++ name decoration. Each interface lists its operations in a fixed
// order that callers rely on; new operations go at the end.
#pragma once

#include <System.Classes.hpp>
#include <Winapi.ActiveX.hpp>

#include <memory>

namespace Quorex {

using Vcl::String;

using Vcl::Exception;
QX_EXCEPTION(ELocalizer, Exception);
QX_EXCEPTION(ESerializer, Exception);

class ISubscriber {
public:
  static constexpr Win::GUID IID{0xB68B1A98, 0x3A61, 0x48FD, {0xAB, 0xD7, 0x37, 0x94, 0xB4, 0x2C, 0x73, 0x00}};
  virtual ~ISubscriber() = default;
  // Called on the user-interface thread after the language changed.
  virtual void LocaleUpdated() = 0;
};

// Subscribers are not owned: one unsubscribes before it goes away.
class IPublisher {
public:
  static constexpr Win::GUID IID{0x3440BD83, 0xF6C2, 0x4830, {0xB7, 0xA2, 0xD9, 0xB3, 0x8E, 0x4D, 0x34, 0x65}};
  virtual ~IPublisher() = default;
  virtual void Subscribe(ISubscriber* ASubscriber) = 0;
  virtual void Unsubscribe(ISubscriber* ASubscriber) = 0;
};

// A language the library has texts for: its code ("de", "pt_BR") and its
// name in that language ("Deutsch").
class ILocale {
public:
  static constexpr Win::GUID IID{0x95029C9B, 0x037C, 0x4A80, {0x95, 0xC4, 0x25, 0xCB, 0xAE, 0xA7, 0x5F, 0xBF}};
  virtual ~ILocale() = default;
  virtual String Code() const = 0;
  virtual String DisplayName() const = 0;
};

class ILocaleList {
public:
  static constexpr Win::GUID IID{0x2566FB6F, 0x8314, 0x442F, {0x8B, 0x3A, 0xF4, 0x9A, 0xCD, 0xC3, 0x7C, 0x98}};
  virtual ~ILocaleList() = default;
  virtual Vcl::Integer Count() const = 0;
  virtual std::shared_ptr<ILocale> Items(Vcl::Integer Index) const = 0;
  // nullptr when there is no such language.
  virtual std::shared_ptr<ILocale> Find(const String& Code) const = 0;
};

// The texts of one module (the host executable, a package of components).
class ILocalizationProject {
public:
  static constexpr Win::GUID IID{0x393181E1, 0x00B6, 0x4F91, {0x8F, 0xDC, 0x6C, 0x1D, 0x39, 0x72, 0x59, 0x18}};
  virtual ~ILocalizationProject() = default;
  virtual String Name() const = 0;
  // Translates the published texts of AComponent and of the components it
  // owns into the current language, from the entry AName selects (the
  // component's name when AName is empty).
  virtual void Localize(Vcl::TComponent* AComponent, const String& AName) = 0;
  // The languages this module has texts for.
  virtual std::shared_ptr<ILocaleList> Locales() const = 0;
};

class ILocalizationProjectList {
public:
  static constexpr Win::GUID IID{0xF65A671E, 0x81D0, 0x439A, {0x8B, 0xAF, 0x10, 0xBC, 0x18, 0x50, 0x6C, 0x6C}};
  virtual ~ILocalizationProjectList() = default;
  virtual Vcl::Integer Count() const = 0;
  virtual std::shared_ptr<ILocalizationProject> Items(Vcl::Integer Index) const = 0;
  // The project registered for a module file name (with or without its
  // folder), made on first use.
  virtual std::shared_ptr<ILocalizationProject> FindByModule(const String& AModuleName) = 0;
};

// Writes the texts a component would be translated from, as the template of
// a new language's catalog.
class ILocaleWriter {
public:
  static constexpr Win::GUID IID{0x5DE32CEF, 0x8A27, 0x4988, {0x9C, 0x57, 0x3E, 0x17, 0xB0, 0x80, 0xE6, 0x27}};
  virtual ~ILocaleWriter() = default;
  // ESerializer when the file cannot be written.
  virtual void WriteTemplate(Vcl::TComponent* AComponent, const String& AName, const String& AFileName) = 0;
};

class ILocalizer {
public:
  static constexpr Win::GUID IID{0x872EF34C, 0x5F8D, 0x4E93, {0xB3, 0xA9, 0xDA, 0xAC, 0xF7, 0xA6, 0xB7, 0xBE}};
  virtual ~ILocalizer() = default;
  virtual std::shared_ptr<IPublisher> Publisher() = 0;
  // The languages the host application has texts for.
  virtual std::shared_ptr<ILocaleList> Locales() = 0;
  virtual String Language() const = 0;
  virtual std::shared_ptr<ILocalizationProjectList> Projects() = 0;
  // Switches the language and tells every subscriber, in the order they
  // subscribed; nothing happens when it is the current one.
  virtual void SetLanguage(const String& ACode) = 0;
  // The folder the catalogs are read from.
  virtual String CatalogFolder() const = 0;
  virtual void SetCatalogFolder(const String& AFolder) = 0;
  virtual std::shared_ptr<ILocaleWriter> Writer() = 0;
  // The project of the host executable.
  virtual std::shared_ptr<ILocalizationProject> ApplicationProject() = 0;
  // The module the host's texts are catalogued under, when it is not the
  // executable's file (a renamed program, a test harness); "" goes back.
  virtual void SetApplicationModule(const String& AModuleName) = 0;
};

using TGetLocalizerInstance = std::shared_ptr<ILocalizer> (*)();

// The library's file name, a bare name resolved as Win::LibraryPath says.
inline constexpr const char* LocalizerLibName = "LocalizerLib.dll";

// True when the library's file is where a load would take it from.
bool IsLocalizerAvailable();
bool IsLocalizerAssigned();
// Loads the library and asks it for its instance; Exception "LocalizerLib.dll
// not found" when it cannot be loaded or has no "GetInstance". The library
// stays loaded.
std::shared_ptr<ILocalizer> MakeLocalizer();
// The instance, made with MakeLocalizer on first use (main thread only).
const std::shared_ptr<ILocalizer>& gLocalizer();
// Lets go of the instance, as the end of the program does (hosts that switch
// libraries, tests).
void ReleaseLocalizer();

} // namespace Quorex
