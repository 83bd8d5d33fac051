// The gallery's pages: each a class that the frame host creates on first
// use, holding a frame client with the page's controls.
#pragma once

#include "ListsLinks.hpp"
#include <Quorex.Vcl.FrameControl.QxFrameHost.hpp>
#include <Quorex.Vcl.HtmlLabel.hpp>
#include <Quorex.Vcl.BackButton.hpp>
#include <Quorex.Vcl.Button.hpp>
#include <Quorex.Vcl.CheckBox.hpp>
#include <Quorex.Vcl.DetailsButton.hpp>
#include <Quorex.Vcl.RoundButton.hpp>
#include <Quorex.Vcl.ExpandPanel.hpp>
#include <Quorex.Vcl.Panel.hpp>
#include <Quorex.Vcl.SectionBar.hpp>
#include <Vcl.ExtCtrls.hpp>
#include <Quorex.Vcl.UpdateService.hpp>

#include <memory>
#include <string>
#include <vector>

namespace Quorex {
class TQxComplexList;
class TQxGrid;
class TQxTreeListView;
class TQxTreeItemInfo;
class THoldCombobox;
class TQxCheckCombobox;
class TQxMessage;
class TQxMessageBar;
class TQxSearchEdit;
class TQxSpinEdit;
class TIPEdit;
enum class TMessageType;
}
namespace Vcl {
class TTimer;
class TAction;
}

namespace Gallery {

using Vcl::Integer;
using Vcl::String;

// What the pages report: link clicks and page entries, in order.
std::vector<std::string>& EventLog();

class TGalleryPage : public Vcl::TComponent {
  QX_CLASS(TGalleryPage, Vcl::TComponent)
public:
  explicit TGalleryPage(Vcl::TComponent* AOwner);
  Quorex::TQxFrameClient* Client() const { return FClient; }

protected:
  // A label at (X, Y) on Parent (the client when nullptr); Width 0 keeps
  // the automatic width, otherwise the text wraps at Width.
  Quorex::THtmlLabel* AddLabel(const String& Caption, Integer X, Integer Y, Integer Width = 0,
                               Vcl::TWinControl* Parent = nullptr);
  void AddTitle(const String& Title);

private:
  Quorex::TQxFrameClient* FClient;
};

class TMarkupPage : public TGalleryPage {
  QX_CLASS(TMarkupPage, TGalleryPage)
public:
  explicit TMarkupPage(Vcl::TComponent* AOwner);
  // The label with the links the tour hovers and clicks.
  Quorex::THtmlLabel* Links = nullptr;
};

class TTransparencyPage : public TGalleryPage {
  QX_CLASS(TTransparencyPage, TGalleryPage)
public:
  explicit TTransparencyPage(Vcl::TComponent* AOwner);
};

class TCanvasHelperPage : public TGalleryPage {
  QX_CLASS(TCanvasHelperPage, TGalleryPage)
public:
  explicit TCanvasHelperPage(Vcl::TComponent* AOwner);
};

// Every theme and style of the button in each state, image alignments, the
// shield, and live buttons the tour hovers, presses and opens.
class TButtonsPage : public TGalleryPage {
  QX_CLASS(TButtonsPage, TGalleryPage)
public:
  explicit TButtonsPage(Vcl::TComponent* AOwner);
  ~TButtonsPage() override;
  // The live glass drop-down button and its menu.
  Quorex::TQxButton* MenuButton = nullptr;
  Vcl::TPopupMenu* Menu = nullptr;

private:
  struct TPainters;
  std::unique_ptr<TPainters> FPainters;
};

// Round buttons in each state, the details button both ways and the back
// button; the tour hovers and presses the live ones.
class TRoundButtonsPage : public TGalleryPage {
  QX_CLASS(TRoundButtonsPage, TGalleryPage)
public:
  explicit TRoundButtonsPage(Vcl::TComponent* AOwner);
  Quorex::TQxRoundButton* LiveRound = nullptr;
  Quorex::TQxBackButton* LiveBack = nullptr;
};

// PNG bit and speed buttons, enabled and disabled, under each set of
// disabled-look options, and a PNG skin drawn at three sizes.
class TPngButtonsPage : public TGalleryPage {
  QX_CLASS(TPngButtonsPage, TGalleryPage)
public:
  explicit TPngButtonsPage(Vcl::TComponent* AOwner);
};

// The check box in each state, enabled and disabled, with and without the
// shield, and a live box the tour clicks through grayed.
class TCheckBoxesPage : public TGalleryPage {
  QX_CLASS(TCheckBoxesPage, TGalleryPage)
public:
  explicit TCheckBoxesPage(Vcl::TComponent* AOwner);
  Quorex::TQxCheckBox* Live = nullptr;

private:
  Quorex::TQxCheckBox* AddCheckBox(const String& Caption, Integer X, Integer Y);
};

// A hold combo box with images and a check combo box, which the tour opens;
// coloured progress bars and rings at several positions.
class TCombosPage : public TGalleryPage {
  QX_CLASS(TCombosPage, TGalleryPage)
public:
  explicit TCombosPage(Vcl::TComponent* AOwner);
  Quorex::THoldCombobox* Hold = nullptr;
  Quorex::TQxCheckCombobox* Check = nullptr;

private:
  void BuildCombos();
  void BuildBars();
  void BuildRings();
};

// An edit with a child at its right edge, search, address and path edits,
// IP address edits and spin edits in their states; the tour types into a
// search edit, selects, clears it with Escape and steps a spin edit.
class TEditorsPage : public TGalleryPage {
  QX_CLASS(TEditorsPage, TGalleryPage)
public:
  explicit TEditorsPage(Vcl::TComponent* AOwner);
  Quorex::TQxSearchEdit* Search = nullptr;
  Quorex::TQxSearchEdit* HoveredSearch = nullptr;
  Quorex::TQxSpinEdit* Spin = nullptr;

private:
  void BuildEdits();
  void BuildIpEdits();
  void BuildSpinEdits();
};

// PNG operations, a multi-size icon with its frames, and icon lists at each
// size, smooth and plain, and scaled on loading.
class TImagingPage : public TGalleryPage {
  QX_CLASS(TImagingPage, TGalleryPage)
public:
  explicit TImagingPage(Vcl::TComponent* AOwner);
};

class TNavigationTabs;

// A section bar beside the area (NavigationTabsArea) that holds the tab
// strip over an animated panel and the splash strip.
class TNavigationPage : public TGalleryPage {
  QX_CLASS(TNavigationPage, TGalleryPage)
public:
  explicit TNavigationPage(Vcl::TComponent* AOwner);
  Quorex::TSectionBar* Bar = nullptr;
  Vcl::TPanel* TabsArea = nullptr;
  TNavigationTabs* Tabs = nullptr;
};

// A complex list of a few hundred tasks whose hot row opens, with a live
// selected row and rows that reorder by dragging.
class TComplexListPage : public TGalleryPage {
  QX_CLASS(TComplexListPage, TGalleryPage)
public:
  explicit TComplexListPage(Vcl::TComponent* AOwner);
  Quorex::TQxComplexList* List = nullptr;

private:
  std::vector<std::unique_ptr<Vcl::TObject>> FTasks;
  Vcl::TPanel* FNormal = nullptr;
  Vcl::TPanel* FHot = nullptr;
  Vcl::TPanel* FSelected = nullptr;
  Quorex::THtmlLabel* FNormalText = nullptr;
  Quorex::THtmlLabel* FHotText = nullptr;
  Quorex::THtmlLabel* FHotDetails = nullptr;
  Quorex::THtmlLabel* FSelectedText = nullptr;
};

// Three graph grids, a percent one with a marker, a numeric one that scales
// up through peaks and a bare one, fed by a timer.
class TGraphsPage : public TGalleryPage {
  QX_CLASS(TGraphsPage, TGalleryPage)
public:
  explicit TGraphsPage(Vcl::TComponent* AOwner);
  // One reading per grid, as the timer adds them.
  void AddReadings();
  int Readings() const { return FStep; }
  Quorex::TQxGrid* Load = nullptr;
  Quorex::TQxGrid* Traffic = nullptr;
  Quorex::TQxGrid* Bare = nullptr;
  Vcl::TTimer* Feeder = nullptr;

private:
  Quorex::TQxGrid* AddGrid(Integer X, Integer Y, const String& Caption);
  int FStep = 0;
};

// Header and footer bars round a dialog, its buttons in a layout panel, expand
// panels, item panels in each state, image controls and layout panels in
// each vertical placement; the tour collapses the live expand panel.
class TPanelsPage : public TGalleryPage {
  QX_CLASS(TPanelsPage, TGalleryPage)
public:
  explicit TPanelsPage(Vcl::TComponent* AOwner);
  Quorex::TQxExpandPanel* Expand = nullptr;

private:
  void BuildDialog();
  void BuildExpandPanels();
  void BuildImages();
  void BuildItemPanels();
  void BuildRows();
};

// A check-box tree list view over a build report of a few thousand nodes
// that the page keeps; the column beside it (Side) holds the link lists.
class TListsPage : public TGalleryPage {
  QX_CLASS(TListsPage, TGalleryPage)
public:
  explicit TListsPage(Vcl::TComponent* AOwner);
  ~TListsPage() override;
  int NodeCount() const;
  Quorex::TQxTreeListView* Tree = nullptr;
  Vcl::TPanel* Side = nullptr;
  TListsLinks Links;

private:
  struct TReportNode;
  TReportNode* AddNode(TReportNode* Parent, const String& Caption);
  void BuildReport();
  void Describe(Vcl::TObject* Data, Quorex::TQxTreeItemInfo* Info) const;
  static void Recount(TReportNode* Node);
  void Check(TReportNode* Node, Vcl::TCheckBoxState State);
  std::vector<std::unique_ptr<TReportNode>> FNodes;
  std::vector<TReportNode*> FTop;
  Vcl::TCustomImageList* FIcons = nullptr;
};

class TVersionServer;

// An update service checking the gallery's own local server, a button for
// the check a user asks for, and what the check found.
class TServicesPage : public TGalleryPage {
  QX_CLASS(TServicesPage, TGalleryPage)
public:
  explicit TServicesPage(Vcl::TComponent* AOwner);
  ~TServicesPage() override;
  Quorex::TQxUpdateService* Updates = nullptr;
  Quorex::TQxButton* CheckButton = nullptr;

private:
  void ShowOutcome(bool Success);
  std::unique_ptr<TVersionServer> FServer;
  Quorex::THtmlLabel* FStatus = nullptr;
};

// Message bars with a message of every kind, and a live bar whose own
// "Next" button edits its message; beside them the tray icon's panel.
struct TTrayDemo;
class TMessagesPage : public TGalleryPage {
  QX_CLASS(TMessagesPage, TGalleryPage)
public:
  explicit TMessagesPage(Vcl::TComponent* AOwner);
  ~TMessagesPage() override;
  Quorex::TQxMessage* Live = nullptr;
  Quorex::TQxMessageBar* LiveBar = nullptr;
  Vcl::TAction* Next = nullptr;
  // The tray icon's panel and its pieces.
  std::unique_ptr<TTrayDemo> Tray;

private:
  Quorex::TQxMessage* AddMessage(Quorex::TMessageType Type, const String& Title, const String& Text,
                                 std::initializer_list<String> Actions, bool Elevated);
  void ShowLiveStep(int Step);
  Vcl::TAction* FExtra = nullptr;
  int FStep = 0;
};

// Built from the text form resource that ships with the gallery; beside it
// a small form read from a designer's resource shows its main menu.
class TFormResourcePage : public TGalleryPage {
  QX_CLASS(TFormResourcePage, TGalleryPage)
public:
  explicit TFormResourcePage(Vcl::TComponent* AOwner);
  // Reads the form with the main menu (once) and shows it beside the page.
  Vcl::TForm* ShowMenuForm();

private:
  Vcl::TForm* FMenuForm = nullptr;
};

} // namespace Gallery
