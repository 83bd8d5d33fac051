// The gallery's tray icon: an animated icon in the notification area while
// its panel shows, a balloon on request, and a line that tells what the user
// did with the icon. The page that shows messages places it.
#pragma once

#include <Quorex.Vcl.Button.hpp>
#include <Quorex.Vcl.CheckBox.hpp>
#include <Quorex.Vcl.HtmlLabel.hpp>
#include <Quorex.Vcl.Tray.hpp>
#include <Vcl.ExtCtrls.hpp>

namespace Gallery {

using Vcl::Integer;
using Vcl::String;

// A Width x 150 panel at (X, Y) on Parent. The icon joins the notification
// area when the panel starts showing and leaves it when the panel stops,
// so other pages' screenshots are free of it. Owner owns the pieces.
struct TTrayDemo {
  Vcl::TPanel* Panel = nullptr;
  Quorex::TQxTrayIcon* Tray = nullptr;
  Vcl::TImageList* Frames = nullptr;
  Quorex::TQxButton* BalloonButton = nullptr; // shows the balloon
  Quorex::TQxCheckBox* AnimateBox = nullptr;
  Quorex::THtmlLabel* Status = nullptr;
};
TTrayDemo PlaceTrayDemo(Vcl::TComponent* Owner, Vcl::TWinControl* Parent, Integer X, Integer Y, Integer Width);

} // namespace Gallery
