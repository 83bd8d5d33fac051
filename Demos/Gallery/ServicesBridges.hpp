// The gallery's pieces for the bridges to the external libraries: a switch
// for the gallery's own start at log-on, and a panel that the localizer
// translates live when the language changes. The page that shows the
// services places them.
#pragma once

#include <Quorex.Vcl.AutoLoad.hpp>
#include <Quorex.Vcl.CheckBox.hpp>
#include <Quorex.Vcl.HtmlLabel.hpp>
#include <Quorex.Vcl.Localizer.hpp>
#include <Vcl.ExtCtrls.hpp>

namespace Gallery {

using Vcl::Integer;
using Vcl::String;

// A check box at (X, Y) on Parent that switches the gallery's start at
// log-on (an autostart entry), showing the state read when it is placed;
// beneath it a line that tells the library's errors. Owner owns the pieces.
// Clicking it writes to the user's autostart folder: a scripted tour leaves
// it alone unless XDG_CONFIG_HOME points at a scratch folder.
struct TAutoLoadSwitch {
  Quorex::TQxCheckBox* Box = nullptr;
  Quorex::TQxAutoLoad* AutoLoad = nullptr;
  Quorex::THtmlLabel* Status = nullptr;
};
TAutoLoadSwitch PlaceAutoLoadSwitch(Vcl::TComponent* Owner, Vcl::TWinControl* Parent, Integer X, Integer Y);

// A Width x Height panel at (X, Y) on Parent whose texts come from the
// gallery's catalogs (locale/QxGallery.<language>.lng beside the libraries)
// through a TLocalizerNotifier on it, with one button per language that
// switches the localizer's language. Without the localizer library the panel
// says so instead.
struct TTranslatedPanel {
  Vcl::TPanel* Panel = nullptr;
  Quorex::TLocalizerNotifier* Notifier = nullptr; // nullptr without the library
};
TTranslatedPanel PlaceTranslatedPanel(Vcl::TComponent* Owner, Vcl::TWinControl* Parent, Integer X, Integer Y,
                                      Integer Width, Integer Height);

// Switches the localizer to a language ("en", "de", "fr"): every translated
// panel follows. What the tour calls.
void SwitchGalleryLanguage(const String& Code);

} // namespace Gallery
