// The in-process clipboard, or the host's when it gives one.
#include "Win.Clipboard.hpp"

#include <mutex>

namespace Win {

namespace {

struct TClipboard {
  std::mutex Lock;
  TClipboardBackend Backend;
  std::optional<std::string> Text;
};

TClipboard& Clipboard()
{
  static TClipboard clipboard;
  return clipboard;
}

} // namespace

void SetClipboardBackend(TClipboardBackend backend)
{
  TClipboard& c = Clipboard();
  std::lock_guard lock(c.Lock);
  c.Backend = (backend.Set && backend.Get) ? std::move(backend) : TClipboardBackend{};
}

void SetClipboardText(const std::string& utf8)
{
  TClipboard& c = Clipboard();
  std::unique_lock lock(c.Lock);
  if (!c.Backend.Set) {
    c.Text = utf8;
    return;
  }
  auto set = c.Backend.Set;
  lock.unlock();
  set(utf8);
}

std::optional<std::string> GetClipboardText()
{
  TClipboard& c = Clipboard();
  std::unique_lock lock(c.Lock);
  if (!c.Backend.Get)
    return c.Text;
  auto get = c.Backend.Get;
  lock.unlock();
  return get();
}

void EmptyClipboard()
{
  TClipboard& c = Clipboard();
  std::lock_guard lock(c.Lock);
  c.Text.reset();
}

} // namespace Win
