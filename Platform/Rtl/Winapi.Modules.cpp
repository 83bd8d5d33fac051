#include "Winapi.Modules.hpp"

#include "System.SysUtils.hpp"

#include <algorithm>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

namespace Win {

// A type or name: a number, or an upper-cased string.
struct TResourceKey {
  WORD Id = 0;
  Vcl::String Name;

  explicit TResourceKey(LPCSTR Value)
  {
    if (IS_INTRESOURCE(Value))
      Id = WORD(reinterpret_cast<std::uintptr_t>(Value));
    else
      Name = Vcl::UpperCase(Value);
  }
  bool operator==(const TResourceKey&) const = default;
};

struct TResourceObject {
  TResourceKey Type;
  TResourceKey Name;
  const std::uint8_t* Data;
  std::size_t Size;
};

namespace {

struct TModule {
  // Pointers to the resources stay valid while more are registered.
  std::vector<std::unique_ptr<TResourceObject>> Resources;
};

// Upper case, without ".DLL".
Vcl::String ModuleKey(const char* name)
{
  Vcl::String key = Vcl::UpperCase(name ? name : "");
  if (key.size() > 4 && key.ends_with(".DLL"))
    key.resize(key.size() - 4);
  return key;
}

struct TModuleTable {
  std::mutex Lock;
  std::map<Vcl::String, std::unique_ptr<TModule>> Modules;
};

TModuleTable& Table()
{
  static TModuleTable table;
  return table;
}

TModule* ModuleOf(HMODULE module)
{
  TModuleTable& table = Table();
  for (auto& [name, m] : table.Modules)
    if (m.get() == module)
      return m.get();
  return nullptr;
}

} // namespace

void RegisterModuleResources(const char* ModuleName, std::span<const TResourceEntry> Resources)
{
  TModuleTable& table = Table();
  std::lock_guard guard(table.Lock);
  std::unique_ptr<TModule>& module = table.Modules[ModuleKey(ModuleName)];
  if (!module)
    module = std::make_unique<TModule>();
  for (const TResourceEntry& e : Resources) {
    auto entry = std::make_unique<TResourceObject>(
      TResourceObject{TResourceKey(e.Type), TResourceKey(e.Name), e.Data, e.Size});
    auto same = std::find_if(module->Resources.begin(), module->Resources.end(), [&](const auto& r) {
      return r->Type == entry->Type && r->Name == entry->Name;
    });
    if (same != module->Resources.end())
      *same = std::move(entry);
    else
      module->Resources.push_back(std::move(entry));
  }
}

HMODULE GetModuleHandle(const char* ModuleName)
{
  TModuleTable& table = Table();
  std::lock_guard guard(table.Lock);
  auto it = table.Modules.find(ModuleKey(ModuleName));
  return it == table.Modules.end() ? nullptr : it->second.get();
}

HRSRC FindResource(HMODULE Module, LPCSTR Name, LPCSTR Type)
{
  if (!Name || !Type)
    return nullptr;
  TModuleTable& table = Table();
  std::lock_guard guard(table.Lock);
  const TModule* module = ModuleOf(Module);
  if (!module)
    return nullptr;
  const TResourceKey type(Type), name(Name);
  for (const auto& r : module->Resources)
    if (r->Type == type && r->Name == name)
      return r.get();
  return nullptr;
}

HGLOBAL LoadResource(HMODULE, HRSRC ResInfo)
{
  return ResInfo ? ResInfo->Data : nullptr;
}

const void* LockResource(HGLOBAL ResData)
{
  return ResData;
}

DWORD SizeofResource(HMODULE, HRSRC ResInfo)
{
  return ResInfo ? DWORD(ResInfo->Size) : 0;
}

} // namespace Win
