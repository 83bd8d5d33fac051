// The lists page: a check-box tree list view over a build report the page
// keeps itself (areas, modules and their messages, some three thousand
// nodes). The tree list asks the page for every node it shows; the page
// remembers what is open and checked, and a checked area or module checks
// everything under it, its parent turning grayed while its children differ.
// The right-hand column is left for the link lists.
#include "GalleryPages.hpp"

#include <Quorex.Vcl.SystemIcons.hpp>
#include <Quorex.Vcl.TreeListView.hpp>

#include <array>

namespace Gallery {

using namespace Quorex;
using namespace Vcl;

namespace {

constexpr int kMargin = 16, kTop = 56, kTreeWidth = 590, kTreeHeight = 540;

constexpr std::array kAreas{"Platform", "Markup", "Imaging", "Buttons", "Editors", "Views",
                            "Containers", "Services", "Gallery", "Benchmarks", "Fuzzing", "Packaging"};
constexpr std::array kModules{"Parser", "Renderer", "Painter", "Streaming", "Input", "Layout", "Themes", "Text"};
constexpr std::array kTexts{"unused parameter", "comparison of integers of different signs", "missing override",
                            "implicit conversion loses precision", "shadowed declaration", "unreachable code",
                            "deprecated call", "narrowing conversion"};
constexpr int kMessagesPerModule = 30;

} // namespace

// One node of the report: an area, a module or a message.
struct TListsPage::TReportNode : TObject {
  String Caption;
  String Kind;
  String Detail;
  TQxIconType Icon = itInformation;
  int Deep = 0;
  bool Expanded = false;
  TCheckBoxState Check = cbUnchecked;
  TReportNode* Parent = nullptr;
  std::vector<TReportNode*> Children;
};

TListsPage::TListsPage(TComponent* AOwner) : TGalleryPage(AOwner)
{
  AddTitle("Lists");
  AddLabel("<font color=clGray>A tree list view over a build report the page keeps itself: the list asks for each "
           "node as it paints it.</font>",
           kMargin + 80, 20, 820);
  BuildReport();

  auto* icons = new TQxSystemIconList(this);
  icons->SetWidth(16);
  icons->SetHeight(16);
  icons->FillList();
  FIcons = icons;

  Tree = new TQxTreeListView(this);
  Tree->SetBounds(kMargin, kTop, kTreeWidth, kTreeHeight);
  Tree->SetMultiSelect(true);
  Tree->SetCheckboxes(true);
  Tree->SetSmallImages(icons);
  for (auto [caption, width] : {std::pair{"Name", 330}, {"Kind", 110}, {"Where", 120}}) {
    TListColumn* column = Tree->Columns()->Add();
    column->SetCaption(caption);
    column->SetWidth(width);
  }
  Tree->OnTreeItemGet = [this](TObject*, TObject* Data, TQxTreeItemInfo* Info) { Describe(Data, Info); };
  Tree->OnTreeItemExpand = [](TObject*, TObject* Data, bool& Expanded) {
    static_cast<TReportNode*>(Data)->Expanded = Expanded;
  };
  Tree->OnTreeItemCheck = [this](TObject*, TObject* Data, TCheckBoxState& State) {
    Check(static_cast<TReportNode*>(Data), State);
  };
  Tree->SetParent(Client());
  Tree->UpdateVisibleCount();

  Side = new TPanel(this);
  Side->SetBounds(kMargin + kTreeWidth + 20, kTop, 318, kTreeHeight);
  Side->SetBevelOuter(bvNone);
  Side->SetShowCaption(false);
  Side->SetParentColor(true);
  Side->SetParent(Client());
  Links = PlaceListsLinks(this, Side, 0, 0, Side->Width(), Side->Height());
}

TListsPage::~TListsPage() = default;

int TListsPage::NodeCount() const
{
  return int(FNodes.size());
}

TListsPage::TReportNode* TListsPage::AddNode(TReportNode* Parent, const String& Caption)
{
  FNodes.push_back(std::make_unique<TReportNode>());
  TReportNode* node = FNodes.back().get();
  node->Caption = Caption;
  node->Parent = Parent;
  node->Deep = Parent ? Parent->Deep + 1 : 0;
  (Parent ? Parent->Children : FTop).push_back(node);
  return node;
}

// Repeatable made-up messages: every seventh an error, every third a
// warning, the rest notes.
void TListsPage::BuildReport()
{
  int serial = 0;
  for (const char* areaName : kAreas) {
    TReportNode* area = AddNode(nullptr, areaName);
    area->Kind = "Area";
    area->Icon = itShield;
    for (const char* moduleName : kModules) {
      TReportNode* module = AddNode(area, String(areaName) + "." + moduleName);
      module->Kind = "Module";
      module->Icon = itInformation;
      for (int i = 0; i < kMessagesPerModule; ++i, ++serial) {
        TReportNode* message = AddNode(module, kTexts[size_t(serial) % kTexts.size()]);
        const bool error = serial % 7 == 0, warning = !error && serial % 3 == 0;
        message->Kind = error ? "Error" : warning ? "Warning" : "Note";
        message->Icon = error ? itError : warning ? itWarning : itInformation;
        message->Detail = "line " + std::to_string(40 + (serial * 37) % 900);
        message->Check = serial % 11 == 0 ? cbChecked : cbUnchecked;
      }
      Recount(module);
    }
    Recount(area);
  }
  FTop[0]->Expanded = true;
  FTop[0]->Children[1]->Expanded = true;
}

void TListsPage::Describe(TObject* Data, TQxTreeItemInfo* Info) const
{
  const auto* node = static_cast<const TReportNode*>(Data);
  for (TReportNode* child : node ? node->Children : FTop)
    Info->AddNode(child);
  if (!node)
    return;
  Info->SetExpanded(node->Expanded);
  // A walk through the tree reads no more; the row's own fetch wants the rest.
  if (Info->NodesOnly())
    return;
  Info->SetCaption(node->Caption);
  Info->SetDeep(node->Deep);
  Info->SetCheckState(node->Check);
  Info->SetImageIndex(static_cast<const TQxSystemIconList*>(FIcons)->GetIndex(node->Icon));
  Info->Subitems()->Add(node->Kind);
  Info->Subitems()->Add(node->Detail.empty() ? std::to_string(node->Children.size()) + " items" : node->Detail);
}

// A parent is checked when all its children are, unchecked when none is,
// and grayed between.
void TListsPage::Recount(TReportNode* Node)
{
  if (Node->Children.empty())
    return;
  const auto checked = std::count_if(Node->Children.begin(), Node->Children.end(),
                                     [](const TReportNode* c) { return c->Check == cbChecked; });
  const auto unchecked = std::count_if(Node->Children.begin(), Node->Children.end(),
                                       [](const TReportNode* c) { return c->Check == cbUnchecked; });
  Node->Check = checked == std::ssize(Node->Children)     ? cbChecked
                : unchecked == std::ssize(Node->Children) ? cbUnchecked
                                                          : cbGrayed;
}

void TListsPage::Check(TReportNode* Node, TCheckBoxState State)
{
  std::vector<TReportNode*> pending{Node};
  while (!pending.empty()) {
    TReportNode* next = pending.back();
    pending.pop_back();
    next->Check = State;
    pending.insert(pending.end(), next->Children.begin(), next->Children.end());
  }
  for (TReportNode* up = Node->Parent; up; up = up->Parent)
    Recount(up);
  Tree->Invalidate();
}

} // namespace Gallery
