#include "GalleryWindow.hpp"

#include "GalleryForm.hpp"

#include <Win.Desktop.hpp>
#include <Win.Screen.hpp>
#include <Win.Shell.NotifyIcon.hpp>

#include <iostream>
#include <string>

#ifdef QX_GALLERY_SDL2
#include <SDL.h>

#include <Win.Clipboard.hpp>

#include <memory>
#include <optional>
#endif

namespace Gallery {

#ifndef QX_GALLERY_SDL2

int RunGalleryWindow()
{
  std::cerr << "QxGallery: --window is not available in this build (SDL2 was not found)\n";
  return 2;
}

#else

namespace {

// Keys the window system knows by virtual-key code; letters and digits map
// to their upper-case characters.
int VirtualKey(SDL_Keycode Key)
{
  if (Key >= SDLK_a && Key <= SDLK_z)
    return 'A' + (Key - SDLK_a);
  if (Key >= SDLK_0 && Key <= SDLK_9)
    return '0' + (Key - SDLK_0);
  switch (Key) {
  case SDLK_BACKSPACE: return Win::VK_BACK;
  case SDLK_TAB: return Win::VK_TAB;
  case SDLK_RETURN: return Win::VK_RETURN;
  case SDLK_ESCAPE: return Win::VK_ESCAPE;
  case SDLK_SPACE: return Win::VK_SPACE;
  case SDLK_LEFT: return Win::VK_LEFT;
  case SDLK_RIGHT: return Win::VK_RIGHT;
  case SDLK_UP: return Win::VK_UP;
  case SDLK_DOWN: return Win::VK_DOWN;
  case SDLK_HOME: return Win::VK_HOME;
  case SDLK_END: return Win::VK_END;
  case SDLK_DELETE: return Win::VK_DELETE;
  case SDLK_LSHIFT: case SDLK_RSHIFT: return Win::VK_SHIFT;
  case SDLK_LCTRL: case SDLK_RCTRL: return Win::VK_CONTROL;
  default: return 0;
  }
}

// A key whose character SDL sends as text input: pressing it must not also
// make the window system translate it into a character of its own (twice
// the letter, or "1" beside "!"). With Ctrl it is a command and goes as a key.
// Space goes as a key (buttons press on it) and is dropped from the text.
bool TypesText(const SDL_Keysym& Key)
{
  bool printable = (Key.sym >= SDLK_a && Key.sym <= SDLK_z) || (Key.sym >= SDLK_0 && Key.sym <= SDLK_9);
  return printable && !(Key.mod & (KMOD_CTRL | KMOD_ALT));
}

Win::TInjectButton Button(Uint8 SdlButton)
{
  if (SdlButton == SDL_BUTTON_RIGHT)
    return Win::TInjectButton::Right;
  if (SdlButton == SDL_BUTTON_MIDDLE)
    return Win::TInjectButton::Middle;
  return Win::TInjectButton::Left;
}

// Routes one SDL event into the window system; false when the user closes
// the window.
bool Route(const SDL_Event& Event)
{
  switch (Event.type) {
  case SDL_QUIT:
    return false;
  case SDL_MOUSEMOTION:
    Win::InjectMouseMove(Event.motion.x, Event.motion.y);
    break;
  case SDL_MOUSEBUTTONDOWN:
    Win::InjectMouseMove(Event.button.x, Event.button.y);
    Win::InjectMouseDown(Button(Event.button.button));
    break;
  case SDL_MOUSEBUTTONUP:
    Win::InjectMouseMove(Event.button.x, Event.button.y);
    Win::InjectMouseUp(Button(Event.button.button));
    break;
  case SDL_MOUSEWHEEL:
    Win::InjectWheel(Event.wheel.y * 120);
    break;
  case SDL_KEYDOWN:
    if (int vk = VirtualKey(Event.key.keysym.sym); vk && !TypesText(Event.key.keysym))
      Win::InjectKeyDown(vk);
    break;
  case SDL_KEYUP:
    if (int vk = VirtualKey(Event.key.keysym.sym))
      Win::InjectKeyUp(vk);
    break;
  case SDL_TEXTINPUT: {
    std::string text = Event.text.text;
    std::erase(text, ' ');
    if (!text.empty())
      Win::InjectText(text);
    break;
  }
  default:
    break;
  }
  return true;
}

// The window's side of the loop: SDL's events routed in, the desktop shown.
// A timer of the window system runs it, so that it keeps running inside
// every modal loop (an open popup menu) as well as in the gallery's own.
struct TPresenter {
  SDL_Renderer* Renderer = nullptr;
  SDL_Texture* Texture = nullptr;
  bool Closed = false;
};
TPresenter gPresenter;

void Present(Win::HWND, Win::UINT, Win::UINT_PTR, Win::DWORD)
{
  SDL_Event event;
  while (!gPresenter.Closed && SDL_PollEvent(&event))
    if (!Route(event)) {
      gPresenter.Closed = true;
      Win::PostQuitMessage(0);
    }
  const Win::TImage image = Win::ComposeDesktop();
  SDL_UpdateTexture(gPresenter.Texture, nullptr, image.Pixels.data(), image.Width * 4);
  SDL_RenderClear(gPresenter.Renderer);
  SDL_RenderCopy(gPresenter.Renderer, gPresenter.Texture, nullptr, nullptr);
  SDL_RenderPresent(gPresenter.Renderer);
}

// While the window is up, cut and paste reach other applications through
// SDL's clipboard.
struct TSdlClipboard {
  TSdlClipboard()
  {
    Win::SetClipboardBackend({[](const std::string& Text) { SDL_SetClipboardText(Text.c_str()); },
                              []() -> std::optional<std::string> {
                                if (!SDL_HasClipboardText())
                                  return std::nullopt;
                                std::unique_ptr<char, decltype(&SDL_free)> text(SDL_GetClipboardText(), SDL_free);
                                return std::string(text ? text.get() : "");
                              }});
  }
  ~TSdlClipboard() { Win::SetClipboardBackend({}); }
};

struct TSdlSession {
  TSdlSession() { Ok = SDL_Init(SDL_INIT_VIDEO) == 0; }
  ~TSdlSession() { SDL_Quit(); }
  bool Ok;
};

} // namespace

int RunGalleryWindow()
{
  TSdlSession sdl;
  if (!sdl.Ok) {
    std::cerr << "QxGallery: --window needs a display; SDL could not start: " << SDL_GetError() << "\n";
    return 2;
  }
  // SDL falls back to drivers that show nothing; a window nobody sees is no
  // window, unless asked for by name.
  const char* driver = SDL_GetCurrentVideoDriver();
  if (!SDL_getenv("SDL_VIDEODRIVER") && driver &&
      (SDL_strcmp(driver, "offscreen") == 0 || SDL_strcmp(driver, "dummy") == 0)) {
    std::cerr << "QxGallery: --window needs a display (SDL found only its " << driver << " driver)\n";
    return 2;
  }
  Win::ScreenSettings().Width = kScreenWidth;
  Win::ScreenSettings().Height = kScreenHeight;
  std::unique_ptr<SDL_Window, decltype(&SDL_DestroyWindow)> window(
    SDL_CreateWindow("QxComponents gallery", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, kScreenWidth,
                     kScreenHeight, 0),
    SDL_DestroyWindow);
  if (!window) {
    std::cerr << "QxGallery: no window: " << SDL_GetError() << "\n";
    return 2;
  }
  std::unique_ptr<SDL_Renderer, decltype(&SDL_DestroyRenderer)> renderer(
    SDL_CreateRenderer(window.get(), -1, 0), SDL_DestroyRenderer);
  std::unique_ptr<SDL_Texture, decltype(&SDL_DestroyTexture)> texture(
    renderer ? SDL_CreateTexture(renderer.get(), SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING, kScreenWidth,
                                 kScreenHeight)
             : nullptr,
    SDL_DestroyTexture);
  if (!texture) {
    std::cerr << "QxGallery: no renderer: " << SDL_GetError() << "\n";
    return 2;
  }
  // The tray icon also goes to the desktop's own notification area; without
  // a session bus it shows only in the window's strip.
  std::string trayError;
  if (!Win::UseFreedesktopNotifyArea(std::string(), &trayError))
    std::cerr << "QxGallery: no desktop notification area (" << trayError << "); the tray icon stays in the window\n";
  TGalleryForm gallery;
  gallery.ShowPage("markup");
  SDL_StartTextInput();
  TSdlClipboard clipboard;
  gPresenter = TPresenter{renderer.get(), texture.get(), false};
  Win::UINT_PTR timer = Win::SetTimer(nullptr, 0, 15, &Present);
  // One message at a time: presenting can take longer than the timer's
  // interval, so the queue is never empty for long.
  while (!gPresenter.Closed)
    Vcl::Application->HandleMessage();
  Win::KillTimer(nullptr, timer);
  return 0;
}

#endif

} // namespace Gallery
