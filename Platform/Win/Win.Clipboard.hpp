// The clipboard's text. By default it lives in the process; a host with a
// real window system (the gallery's SDL window) hands it the system's
// clipboard instead, so that text crosses to other applications.
#pragma once

#include <functional>
#include <optional>
#include <string>

namespace Win {

// Where the text goes: Set stores it, Get answers nothing when the
// clipboard holds no text.
struct TClipboardBackend {
  std::function<void(const std::string&)> Set;
  std::function<std::optional<std::string>()> Get;
};

// An empty backend (either function unset) returns to the in-process one.
void SetClipboardBackend(TClipboardBackend backend);
void SetClipboardText(const std::string& utf8);
std::optional<std::string> GetClipboardText();
// Empties the in-process clipboard (a fresh desktop for the next test).
void EmptyClipboard();

} // namespace Win
