// The shell's "open": hands a document or URL to the desktop's default
// handler (xdg-open, started without a shell). Hosts and tests may put
// their own handler in its place.
#pragma once

#include "Win.User.hpp"

#include <functional>
#include <string>

namespace Win {

// Results at or below 32 are errors, as the Win32 call returns them.
constexpr std::intptr_t SE_ERR_FNF = 2, SE_ERR_NOASSOC = 31;

struct TShellExecuteRequest {
  std::string Operation;
  std::string File;
  std::string Parameters;
  std::string Directory;
  int ShowCmd = SW_SHOWNORMAL;
};
// Returns what ShellExecute returns: above 32 on success.
using TShellExecuteHandler = std::function<std::intptr_t(const TShellExecuteRequest& Request)>;

// "open" (or no operation) of File; any other operation fails with
// SE_ERR_NOASSOC. The handler that runs it returns above 32 on success.
HINSTANCE ShellExecute(HWND hwnd, const char* Operation, const char* File, const char* Parameters,
                       const char* Directory, int ShowCmd);
// Installs Handler (an empty one restores xdg-open) and returns the one before.
TShellExecuteHandler SetShellExecuteHandler(TShellExecuteHandler Handler);

} // namespace Win
