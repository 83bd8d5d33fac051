#include "Winapi.ShellAPI.hpp"

#include <spawn.h>
#include <sys/wait.h>

#include <mutex>
#include <thread>

extern char** environ;

namespace Win {

namespace {

// Starts xdg-open on the file without a shell, so nothing in the name is
// ever interpreted; a thread reaps the child when it ends.
std::intptr_t OpenWithDesktop(const TShellExecuteRequest& Request)
{
  if (Request.File.empty())
    return SE_ERR_FNF;
  std::string program = "xdg-open";
  std::string file = Request.File;
  char* argv[] = {program.data(), file.data(), nullptr};
  pid_t child = 0;
  if (posix_spawnp(&child, "xdg-open", nullptr, nullptr, argv, environ) != 0)
    return SE_ERR_NOASSOC;
  std::thread([child] {
    int status = 0;
    waitpid(child, &status, 0);
  }).detach();
  return 42;
}

std::mutex gLock;
TShellExecuteHandler gHandler;

} // namespace

HINSTANCE ShellExecute(HWND, const char* Operation, const char* File, const char* Parameters,
                       const char* Directory, int ShowCmd)
{
  TShellExecuteRequest request{Operation ? Operation : "", File ? File : "", Parameters ? Parameters : "",
                               Directory ? Directory : "", ShowCmd};
  if (!request.Operation.empty() && request.Operation != "open")
    return reinterpret_cast<HINSTANCE>(SE_ERR_NOASSOC);
  TShellExecuteHandler handler;
  {
    std::lock_guard lock(gLock);
    handler = gHandler;
  }
  return reinterpret_cast<HINSTANCE>(handler ? handler(request) : OpenWithDesktop(request));
}

TShellExecuteHandler SetShellExecuteHandler(TShellExecuteHandler Handler)
{
  std::lock_guard lock(gLock);
  std::swap(gHandler, Handler);
  return Handler;
}

} // namespace Win
