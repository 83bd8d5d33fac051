#include "Win.Hooks.hpp"
#include "Win.User.Internal.hpp"

#include <algorithm>

namespace Win {

struct THookObject {
  int Kind = 0;
  HOOKPROC Proc = nullptr;
  bool Removed = false;
};

namespace {

// Latest installed last. A hook removed while hooks run (a popup that
// closes itself from its hook) stays allocated until the chain returns, so
// its CallNextHookEx still finds its place.
struct THooks {
  std::vector<std::unique_ptr<THookObject>> List;
  int Running = 0;
};

THooks& Hooks()
{
  static THooks hooks;
  return hooks;
}

void Purge()
{
  THooks& h = Hooks();
  if (h.Running == 0)
    h.List.erase(std::remove_if(h.List.begin(), h.List.end(), [](const auto& k) { return k->Removed; }), h.List.end());
}

// From position `below` (exclusive) downwards: the next live hook of the kind.
LRESULT CallFrom(size_t below, int kind, int code, WPARAM wParam, LPARAM lParam)
{
  THooks& h = Hooks();
  for (size_t i = below; i-- > 0;) {
    THookObject* hook = h.List[i].get();
    if (hook->Removed || hook->Kind != kind)
      continue;
    ++h.Running;
    LRESULT r = 0;
    try {
      r = hook->Proc(code, wParam, lParam);
    } catch (...) {
      --h.Running;
      Purge();
      throw;
    }
    --h.Running;
    Purge();
    return r;
  }
  return 0;
}

} // namespace

HHOOK SetWindowsHookEx(int idHook, HOOKPROC proc, HINSTANCE, DWORD)
{
  if (!proc || (idHook != WH_MOUSE && idHook != WH_KEYBOARD))
    return nullptr;
  Hooks().List.push_back(std::make_unique<THookObject>(THookObject{idHook, proc, false}));
  return Hooks().List.back().get();
}

BOOL UnhookWindowsHookEx(HHOOK hook)
{
  for (auto& h : Hooks().List)
    if (h.get() == hook && !h->Removed) {
      h->Removed = true;
      Purge();
      return TRUE;
    }
  return FALSE;
}

LRESULT CallNextHookEx(HHOOK hook, int code, WPARAM wParam, LPARAM lParam)
{
  auto& list = Hooks().List;
  auto it = std::find_if(list.begin(), list.end(), [hook](const auto& h) { return h.get() == hook; });
  if (it == list.end())
    return 0;
  return CallFrom(size_t(it - list.begin()), (*it)->Kind, code, wParam, lParam);
}

bool CallMouseHooks(UINT message, POINT screen, HWND hWnd, UINT hitTest)
{
  MOUSEHOOKSTRUCT info{screen, hWnd, hitTest, 0};
  return CallFrom(Hooks().List.size(), WH_MOUSE, HC_ACTION, WPARAM(message), LPARAM(&info)) != 0;
}

bool CallKeyboardHooks(int vk, LPARAM lParam)
{
  return CallFrom(Hooks().List.size(), WH_KEYBOARD, HC_ACTION, WPARAM(vk), lParam) != 0;
}

int InstalledHookCount(int idHook)
{
  const auto& list = Hooks().List;
  return int(std::count_if(list.begin(), list.end(), [idHook](const auto& h) { return !h->Removed && h->Kind == idHook; }));
}

void ResetHooks()
{
  Hooks().List.clear();
  Hooks().Running = 0;
}

} // namespace Win
