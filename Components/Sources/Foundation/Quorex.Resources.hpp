// The library's own module, whose resources are its pictures (our own
// artwork, embedded at build time). They are read by name, for example
//   Vcl::TResourceStream Stream(HInstance(), "CLEAR_ICON", Win::RT_RCDATA);
// and an unknown name raises EResNotFound.
//
//   RT_RCDATA, PNG images of 30 x 30 with alpha: "NAV_BACK_NORMAL",
//     "NAV_BACK_HOT", "NAV_BACK_PRESSED", "NAV_BACK_DISABLED";
//   RT_RCDATA, icon files of 16, 24, 32 and 48 pixels with alpha:
//     "CLEAR_ICON", "SEARCH_ICON", "OPENURL_ICON";
//   RT_QX_PICTURES, a BMP file of 16 x 16 with 32 bits, its transparent
//     pixels clFuchsia with alpha 0 (for masked and for alpha lists alike):
//     "OPENFOLDERIMAGE";
//   RT_RCDATA, the text form resource of the version status form:
//     "TVERSIONSTATUSFORM".
#pragma once

#include <Winapi.Modules.hpp>

namespace Quorex {

inline const Win::LPCSTR RT_QX_PICTURES = "QX_PICTURES";

Win::HINSTANCE HInstance();

} // namespace Quorex
