// Choosing a folder: a modal dialog over the file system, and the seam hosts
// and tests replace it through.
//
// The dialog is a form with named parts: "Path" (a label with the folder
// being shown), "Folders" (the list of its sub-folders: a click selects one,
// a double-click or Enter opens it), "Up" (to the parent folder), "OK" and
// "Cancel". OK answers the selected sub-folder, or the folder shown when none
// is selected.
#pragma once

#include "Vcl.Forms.hpp"

#include <functional>
#include <optional>

namespace Vcl {

struct TBrowseFolderRequest {
  String Title;
  // The folder to start in; an existing file or a missing path starts in its
  // nearest existing ancestor, an empty one in the home folder.
  String InitialPath;
};

// The chosen folder, or nothing when the user cancelled.
using TBrowseFolderHandler = std::function<std::optional<String>(const TBrowseFolderRequest& Request)>;

// Shows the folder dialog modally (or asks the handler installed instead).
std::optional<String> BrowseForFolder(const TBrowseFolderRequest& Request);
// Installs a handler that answers in the dialog's place; an empty one brings
// the dialog back. Returns the previous handler.
TBrowseFolderHandler SetBrowseFolderHandler(TBrowseFolderHandler Handler);

// The dialog, not yet shown; the caller owns it. After ShowModal answered
// mrOk, SelectedFolder is the choice.
TForm* CreateFolderDialog(const TBrowseFolderRequest& Request);
String SelectedFolder(TForm* Dialog);

} // namespace Vcl
