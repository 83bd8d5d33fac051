// The complex list page: three hundred tasks, each row painted from one of
// three editors the page lends the list. The row under the mouse opens to
// show its details, the selected row is a live editor with a check box,
// and rows reorder by dragging.
#include "GalleryPages.hpp"

#include <Quorex.Vcl.ComplexList.hpp>
#include <Vcl.Controls.Drag.hpp>

namespace Gallery {

using namespace Quorex;
using namespace Vcl;

namespace {

constexpr int kMargin = 16;
constexpr int kRows = 300;
constexpr int kRowHeight = 30, kOpenRowHeight = 56;
const char* const kOwners[] = {"Ada", "Brian", "Chen", "Dana", "Emil"};
const char* const kStates[] = {"<font color=clGreen>done</font>", "<font color=clNavy>in progress</font>",
                               "<font color=clMaroon>blocked</font>", "<font color=clGray>waiting</font>"};

// What a row stands for: the host's data, which moves with its row.
class TTask : public TObject {
public:
  explicit TTask(int AId) : Id(AId) {}
  int Id;
  String Title() const { return "Task " + std::to_string(Id); }
  String Summary() const
  {
    return "<b>" + Title() + "</b>  " + kStates[Id % 4] + "<font color=clGray>  · " + kOwners[Id % 5] + "</font>";
  }
  String Details() const
  {
    return "<font color=clGray>Opened " + std::to_string(1 + Id % 28) + " March, " + std::to_string(Id % 7) +
           " comments, estimate " + std::to_string(1 + Id % 5) + " days</font>";
  }
};

THtmlLabel* AddRowLabel(TComponent* Owner, TWinControl* Parent, int Y)
{
  auto* label = new THtmlLabel(Owner);
  label->SetBounds(10, Y, 400, 18);
  label->SetParent(Parent);
  return label;
}

TPanel* AddEditor(TComponent* Owner, TColor Color)
{
  auto* editor = new TPanel(Owner);
  editor->SetBevelOuter(bvNone);
  editor->SetParentBackground(false);
  editor->SetColor(Color);
  return editor;
}

} // namespace

TComplexListPage::TComplexListPage(TComponent* AOwner) : TGalleryPage(AOwner)
{
  AddTitle("Complex list");
  AddLabel("<font color=clGray>Rows drawn by the host's own controls: the row under the mouse opens, the selected "
           "row is live, and a row dragged to another place shows where it will land.</font>",
           kMargin + 150, 20, 640);

  for (int i = 0; i < kRows; ++i)
    FTasks.push_back(std::make_unique<TTask>(i + 1));

  FNormal = AddEditor(this, clWindow);
  FNormalText = AddRowLabel(this, FNormal, 6);
  FHot = AddEditor(this, TColor(0x00FBF1E5));
  FHotText = AddRowLabel(this, FHot, 6);
  FHotDetails = AddRowLabel(this, FHot, 30);
  FSelected = AddEditor(this, TColor(0x00F5DCC2));
  auto* done = new TQxCheckBox(this);
  done->SetBounds(10, 30, 120, 20);
  done->SetCaption("Mark as done");
  done->SetParent(FSelected);
  FSelectedText = AddRowLabel(this, FSelected, 6);

  List = new TQxComplexList(this);
  List->SetBounds(kMargin, 64, 520, 420);
  List->OnGetItemHeight = [](TComplexItem*, TComplexListItemState State) {
    return State == isNormal ? kRowHeight : kOpenRowHeight;
  };
  List->OnGetEditor = [this](TComplexItem* Item, TComplexListItemState State) -> TWinControl* {
    const auto* task = static_cast<const TTask*>(Item->Data());
    switch (State) {
    case isNormal:
      FNormalText->SetCaption(task->Summary());
      return FNormal;
    case isHot:
      FHotText->SetCaption(task->Summary());
      FHotDetails->SetCaption(task->Details());
      return FHot;
    default:
      FSelectedText->SetCaption(task->Summary());
      return FSelected;
    }
  };
  // A press on a row picks it up; moving it past the threshold drags it.
  List->OnMouseDown = [this](TObject*, TMouseButton Button, TShiftState, Integer X, Integer Y) {
    if (Button != mbLeft)
      return;
    List->StartMoveItem(List->ItemByPos(TPoint(X, Y)));
    BeginDrag(List, false);
  };
  List->OnMoveItem = [](TComplexItem* Item, Integer NewIndex) {
    EventLog().push_back("row moved: " + static_cast<const TTask*>(Item->Data())->Title() + " to " +
                         std::to_string(NewIndex + 1));
  };
  List->BeginUpdate();
  for (const auto& task : FTasks)
    List->Add(task.get());
  List->Items(2)->SetSelected(true);
  List->EndUpdate();
  List->SetParent(Client());
}

} // namespace Gallery
