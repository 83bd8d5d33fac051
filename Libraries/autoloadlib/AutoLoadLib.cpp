// The auto-load library: registers executables to start when the user logs
// on, as freedesktop autostart entries (README.md beside this file).
#include <AutoLoad.Intf.hpp>

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace {

using Quorex::Cardinal;
using Quorex::String;
using Quorex::TAsyncResult;
using Quorex::TAutoLoadType;

constexpr Cardinal ERROR_SUCCESS = 0, ERROR_PATH_NOT_FOUND = 3, ERROR_ACCESS_DENIED = 5,
                   ERROR_INVALID_PARAMETER = 87, ERROR_WRITE_FAULT = 29, ERROR_DISK_FULL = 112;

Cardinal ErrorCode(const std::error_code& error)
{
  switch (error.value()) {
    case EACCES: case EPERM: case EROFS: return ERROR_ACCESS_DENIED;
    case ENOENT: case ENOTDIR: return ERROR_PATH_NOT_FOUND;
    case ENOSPC: case EDQUOT: return ERROR_DISK_FULL;
    default: return ERROR_WRITE_FAULT;
  }
}

String Env(const char* name)
{
  const char* value = std::getenv(name);
  return value ? value : "";
}

// $XDG_CONFIG_HOME, or ~/.config; the first of $XDG_CONFIG_DIRS, or
// /etc/xdg, for entries of every user (elevated). Relative values are
// ignored, as the base directory rules say.
fs::path AutostartFolder(bool elevated)
{
  if (elevated) {
    String dirs = Env("XDG_CONFIG_DIRS");
    String first = dirs.substr(0, dirs.find(':'));
    return fs::path(first.starts_with("/") ? first : "/etc/xdg") / "autostart";
  }
  String home = Env("XDG_CONFIG_HOME");
  if (home.starts_with("/"))
    return fs::path(home) / "autostart";
  home = Env("HOME");
  return home.starts_with("/") ? fs::path(home) / ".config" / "autostart" : fs::path();
}

// A desktop file id: letters, digits, '-', '_' and '.' only.
String EntryFileName(const String& taskName)
{
  String name;
  for (unsigned char c : taskName)
    name += std::isalnum(c) || c == '-' || c == '_' || c == '.' ? char(c) : '-';
  return name + ".desktop";
}

// The escapes of a string value of a desktop entry.
String EscapeValue(const String& value)
{
  String out;
  for (char c : value) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\t': out += "\\t"; break;
      case '\r': out += "\\r"; break;
      default: out += c;
    }
  }
  return out;
}

String UnescapeValue(const String& value)
{
  String out;
  for (size_t i = 0; i < value.size(); ++i) {
    if (value[i] != '\\' || i + 1 == value.size()) {
      out += value[i];
      continue;
    }
    char c = value[++i];
    out += c == 's' ? ' ' : c == 'n' ? '\n' : c == 't' ? '\t' : c == 'r' ? '\r' : c;
  }
  return out;
}

// The program of an Exec line, quoted as an argument (before the string
// escapes of the value itself are applied).
String QuoteProgram(const String& path)
{
  String quoted = "\"";
  for (char c : path) {
    if (c == '"' || c == '`' || c == '$' || c == '\\')
      quoted += '\\';
    quoted += c == '%' ? "%%" : String(1, c);
  }
  return quoted + "\"";
}

// The program an unescaped Exec value starts, quoted or not.
String ProgramOf(const String& exec)
{
  String program;
  if (!exec.starts_with("\"")) {
    program = exec.substr(0, exec.find(' '));
  } else {
    for (size_t i = 1; i < exec.size() && exec[i] != '"'; ++i)
      program += exec[i] == '\\' && i + 1 < exec.size() ? exec[++i] : exec[i];
  }
  String out;
  for (size_t i = 0; i < program.size(); ++i) {
    out += program[i];
    if (program[i] == '%' && i + 1 < program.size() && program[i + 1] == '%')
      ++i;
  }
  return out;
}

// The keys of an entry's [Desktop Entry] group, unescaped.
std::map<String, String> ReadEntry(const fs::path& file)
{
  std::map<String, String> keys;
  std::ifstream in(file);
  String line;
  bool inGroup = false;
  while (std::getline(in, line)) {
    if (line.starts_with("[")) {
      inGroup = line == "[Desktop Entry]";
      continue;
    }
    size_t eq = line.find('=');
    if (!inGroup || line.starts_with("#") || eq == String::npos)
      continue;
    String key = line.substr(0, eq), value = line.substr(eq + 1);
    while (!key.empty() && key.back() == ' ')
      key.pop_back();
    value.erase(0, value.find_first_not_of(' '));
    keys[key] = UnescapeValue(value);
  }
  return keys;
}

bool Enabled(const std::map<String, String>& entry)
{
  auto hidden = entry.find("Hidden");
  auto enabled = entry.find("X-GNOME-Autostart-enabled");
  return (hidden == entry.end() || hidden->second != "true") && (enabled == entry.end() || enabled->second != "false");
}

class TAutostartEntries : public Quorex::IAutoLoad {
public:
  void Register(const String& ATaskName, const String& APath, TAsyncResult AResult) override
  {
    Report(AResult, [&] { return Write(ATaskName, APath); });
  }

  void Unregister(const String& APath, TAsyncResult AResult) override
  {
    Report(AResult, [&] { return Remove(APath); });
  }

  String TaskNameOf(const String& APath) const override
  {
    String name;
    ForEachEntryOf(APath, [&](const fs::path&, const std::map<String, String>& entry) {
      auto it = entry.find("Name");
      if (name.empty() && it != entry.end() && Enabled(entry))
        name = it->second;
    });
    return name;
  }

  bool IsAvailable() const override { return !AutostartFolder(FElevated).empty(); }
  TAutoLoadType LoadType() const override { return FType; }
  void SetLoadType(TAutoLoadType AType) override { FType = AType; }
  bool Elevated() const override { return FElevated; }
  void SetElevated(bool AValue) override { FElevated = AValue; }

  bool IsRegistered(const String& APath) const override
  {
    bool found = false;
    ForEachEntryOf(APath, [&](const fs::path&, const std::map<String, String>& entry) { found = found || Enabled(entry); });
    return found;
  }

private:
  // Nothing escapes into the host: a failure is a result code.
  template <class Work>
  static void Report(const TAsyncResult& result, Work work)
  {
    Cardinal code;
    try {
      code = work();
    } catch (const std::bad_alloc&) {
      code = 8; // ERROR_NOT_ENOUGH_MEMORY
    } catch (...) {
      code = ERROR_WRITE_FAULT;
    }
    if (result)
      result(code);
  }

  Cardinal Write(const String& taskName, const String& path) const
  {
    if (taskName.empty() || !path.starts_with("/"))
      return ERROR_INVALID_PARAMETER;
    fs::path folder = AutostartFolder(FElevated);
    if (folder.empty())
      return ERROR_PATH_NOT_FOUND;
    std::error_code error;
    fs::create_directories(folder, error);
    if (error)
      return ErrorCode(error);
    // Written aside and renamed, so a reader never sees half an entry.
    fs::path target = folder / EntryFileName(taskName);
    fs::path temporary = target;
    temporary += ".new";
    {
      std::ofstream out(temporary, std::ios::trunc);
      if (!out)
        return ErrorCode(std::error_code(errno, std::generic_category()));
      out << "[Desktop Entry]\n"
          << "Type=Application\n"
          << "Name=" << EscapeValue(taskName) << "\n"
          << "Exec=" << EscapeValue(QuoteProgram(path)) << "\n"
          << "X-GNOME-Autostart-enabled=true\n";
      out.flush();
      if (!out) {
        fs::remove(temporary, error);
        return ERROR_WRITE_FAULT;
      }
    }
    fs::rename(temporary, target, error);
    if (error) {
      std::error_code ignored;
      fs::remove(temporary, ignored);
      return ErrorCode(error);
    }
    // An entry under an earlier name would start the program a second time.
    return Remove(path, target);
  }

  // Every entry that starts the program, but Keep.
  Cardinal Remove(const String& path, const fs::path& keep = {}) const
  {
    Cardinal code = ERROR_SUCCESS;
    ForEachEntryOf(path, [&](const fs::path& file, const std::map<String, String>&) {
      std::error_code error;
      if (file != keep && !fs::remove(file, error) && error)
        code = ErrorCode(error);
    });
    return code;
  }

  template <class Visit>
  void ForEachEntryOf(const String& path, Visit visit) const
  {
    fs::path folder = AutostartFolder(FElevated);
    std::error_code error;
    if (folder.empty() || !fs::is_directory(folder, error))
      return;
    std::vector<fs::path> files;
    for (const auto& item : fs::directory_iterator(folder, error))
      if (item.path().extension() == ".desktop")
        files.push_back(item.path());
    for (const fs::path& file : files) {
      std::map<String, String> entry = ReadEntry(file);
      auto exec = entry.find("Exec");
      if (exec != entry.end() && ProgramOf(exec->second) == path)
        visit(file, entry);
    }
  }

  TAutoLoadType FType = Quorex::ltAuto;
  bool FElevated = false;
};

} // namespace

#if defined(__clang__)
#pragma clang diagnostic ignored "-Wreturn-type-c-linkage"
#endif

extern "C" std::shared_ptr<Quorex::IAutoLoad> GetInstance()
{
  return std::make_shared<TAutostartEntries>();
}
