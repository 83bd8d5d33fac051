// The single-line edit control: the window class "Edit" that the framework's
// edits wrap. It keeps its text as the window text (UTF-8), places the caret
// and the selection by code point, scrolls horizontally, blinks its caret on
// the clock, and tells its parent of changes with WM_COMMAND (EN_UPDATE,
// EN_CHANGE). Positions in its messages count code points. It draws its own
// border (the window system has no non-client area): a sunken 2-pixel edge
// with WS_EX_CLIENTEDGE, a 1-pixel line with WS_BORDER.
#pragma once

#include "Win.User.hpp"

#include <string>

namespace Win {

inline constexpr const char* WC_EDIT = "Edit";

// ES_UPPERCASE and ES_LOWERCASE convert the text set and typed (the style
// the window is created with counts); ES_OEMCONVERT is kept for those who
// ask: there is no OEM character set to round-trip through.
constexpr DWORD ES_LEFT = 0x0, ES_CENTER = 0x1, ES_RIGHT = 0x2, ES_UPPERCASE = 0x8, ES_LOWERCASE = 0x10,
                ES_PASSWORD = 0x20, ES_AUTOHSCROLL = 0x80, ES_NOHIDESEL = 0x100, ES_OEMCONVERT = 0x400,
                ES_READONLY = 0x800, ES_NUMBER = 0x2000;

constexpr UINT WM_GETFONT = 0x0031, WM_CTLCOLOREDIT = 0x0133, WM_CTLCOLORSTATIC = 0x0138, WM_CUT = 0x0300,
               WM_COPY = 0x0301, WM_PASTE = 0x0302, WM_CLEAR = 0x0303, WM_UNDO = 0x0304;

constexpr UINT EM_GETSEL = 0x00B0, EM_SETSEL = 0x00B1, EM_GETRECT = 0x00B2, EM_SCROLLCARET = 0x00B7,
               EM_GETMODIFY = 0x00B8, EM_SETMODIFY = 0x00B9, EM_REPLACESEL = 0x00C2, EM_LIMITTEXT = 0x00C5,
               EM_SETLIMITTEXT = 0x00C5, EM_CANUNDO = 0x00C6, EM_UNDO = 0x00C7, EM_SETPASSWORDCHAR = 0x00CC,
               EM_EMPTYUNDOBUFFER = 0x00CD, EM_SETREADONLY = 0x00CF, EM_GETPASSWORDCHAR = 0x00D2,
               EM_SETMARGINS = 0x00D3, EM_GETMARGINS = 0x00D4, EM_GETLIMITTEXT = 0x00D5, EM_POSFROMCHAR = 0x00D6,
               EM_CHARFROMPOS = 0x00D7;

// The cue banner: grey text shown while the edit is empty. EM_SETCUEBANNER
// takes "show it while focused too" in wParam and the UTF-8 text in lParam;
// EM_GETCUEBANNER copies it into the buffer in wParam of the size in lParam
// (bytes, with the terminating zero) and answers FALSE when it does not fit.
constexpr UINT EM_SETCUEBANNER = 0x1501, EM_GETCUEBANNER = 0x1502;

// EM_SETMARGINS: which margins the message sets; EC_USEFONTINFO takes them
// from the font (a third of its average character width).
constexpr WPARAM EC_LEFTMARGIN = 0x1, EC_RIGHTMARGIN = 0x2, EC_USEFONTINFO = 0xFFFF;

// Notifications, in the high word of WM_COMMAND's wParam.
constexpr WORD EN_SETFOCUS = 0x0100, EN_KILLFOCUS = 0x0200, EN_CHANGE = 0x0300, EN_UPDATE = 0x0400,
               EN_MAXTEXT = 0x0501;

// The limit an edit starts with (code points).
constexpr std::size_t kEditDefaultLimit = 0x7FFFFFFE;
// The caret's blink period (milliseconds on the clock).
constexpr UINT kCaretBlinkTime = 530;

// Appends a code point as UTF-8.
void AppendUtf8(std::string& out, char32_t ch);

// The class's window procedure, for windows that subclass the class and
// hand it the messages they leave alone.
LRESULT EditWindowProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);

// The height an edit with this font wants: the font's cell, the border and
// a pixel of space above and below the text.
int EditAutoHeight(HFONT font, DWORD exStyle, DWORD style);

} // namespace Win
