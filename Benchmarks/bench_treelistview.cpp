// The tree list view over a host tree of 100 000 nodes, all open: mapping
// every row (beside a plain pre-order flattening of the same tree; by a host
// that fills only what the control reads, and by one that always fills the
// whole description), painting
// a screen of rows (beside Pango and Cairo drawing the same texts and boxes),
// and one arrow-key step with its repaint, at 10 000 and 100 000 nodes to
// show that a step costs the visible rows, not the tree.
#include <Quorex.Vcl.TreeListView.hpp>
#include <Vcl.Forms.hpp>
#include <Winapi.Windows.hpp>

#include "QxBenchRatio.hpp"

#include <benchmark/benchmark.h>
#include <cairo.h>
#include <pango/pangocairo.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using namespace Quorex;

constexpr int kWidth = 560, kHeight = 600, kRowHeight = 21;

struct TNode : Vcl::TObject {
  std::string Caption, Kind, Where;
  std::vector<TNode*> Children;
  int Deep = 0;
};

// Ten areas of equal modules of equal leaves: 10 x 99 x 100 leaves make
// 100 000 nodes, 10 x 9 x 110 make 10 000.
struct TTree {
  explicit TTree(int Nodes)
  {
    const int modules = Nodes == 10000 ? 9 : 99, leaves = Nodes == 10000 ? 110 : 100;
    for (int a = 0; a < 10; ++a) {
      TNode* area = Add(nullptr, "Area " + std::to_string(a));
      for (int m = 0; m < modules; ++m) {
        TNode* module = Add(area, "Module " + std::to_string(m));
        for (int l = 0; l < leaves; ++l)
          Add(module, "Message " + std::to_string(l));
      }
    }
  }
  TNode* Add(TNode* Parent, std::string Caption)
  {
    Store.push_back(std::make_unique<TNode>());
    TNode* node = Store.back().get();
    node->Caption = std::move(Caption);
    node->Kind = Parent ? "Module" : "Area";
    node->Where = "line " + std::to_string(Store.size());
    node->Deep = Parent ? Parent->Deep + 1 : 0;
    (Parent ? Parent->Children : Top).push_back(node);
    return node;
  }
  std::vector<std::unique_ptr<TNode>> Store;
  std::vector<TNode*> Top;
};

// A shown form with a check-box tree list over the whole tree, all open.
struct TTreeHost {
  explicit TTreeHost(const TTree& Tree, bool FillsAll = false)
  {
    Form = new Vcl::TForm(Vcl::Application);
    Form->SetBounds(0, 0, kWidth + 40, kHeight + 40);
    List = new TQxTreeListView(Form);
    List->SetBounds(0, 0, kWidth, kHeight);
    List->SetCheckboxes(true);
    for (int width : {300, 120, 120})
      List->Columns()->Add()->SetWidth(width);
    List->OnTreeItemGet = [&Tree, FillsAll](Vcl::TObject*, Vcl::TObject* Data, TQxTreeItemInfo* Info) {
      const auto* node = static_cast<const TNode*>(Data);
      for (TNode* child : node ? node->Children : Tree.Top)
        Info->AddNode(child);
      if (!node)
        return;
      Info->SetExpanded(true);
      if (Info->NodesOnly() && !FillsAll)
        return;
      Info->SetCaption(node->Caption);
      Info->SetDeep(node->Deep);
      Info->Subitems()->Add(node->Kind);
      Info->Subitems()->Add(node->Where);
    };
    List->SetParent(Form);
    Form->Show();
    List->UpdateVisibleCount();
    Vcl::Application->ProcessMessages();
  }
  ~TTreeHost() { delete Form; }
  Vcl::TForm* Form;
  TQxTreeListView* List;
};

const TTree& Tree(int Nodes)
{
  static TTree small(10000), large(100000);
  return Nodes == 10000 ? small : large;
}

void ExpandAll(benchmark::State& State, bool FillsAll)
{
  TTreeHost host(Tree(100000), FillsAll);
  for (auto _ : State)
    host.List->UpdateVisibleCount();
  State.counters["rows"] = host.List->Items()->Count();
}

void ExpandAllQx(benchmark::State& State)
{
  ExpandAll(State, false);
}

void ExpandAllQxFillingHost(benchmark::State& State)
{
  ExpandAll(State, true);
}

// The same walk without the control: a row per node as (parent row, index).
void ExpandAllFlatten(benchmark::State& State)
{
  const TTree& tree = Tree(100000);
  std::vector<std::pair<int, int>> rows;
  struct TFrame {
    const std::vector<TNode*>* Children;
    int Row;
    size_t Next;
  };
  for (auto _ : State) {
    rows.clear();
    std::vector<TFrame> stack{{&tree.Top, -1, 0}};
    while (!stack.empty()) {
      TFrame& frame = stack.back();
      if (frame.Next >= frame.Children->size()) {
        stack.pop_back();
        continue;
      }
      const int index = int(frame.Next++);
      const int parent = frame.Row;
      const TNode* child = (*frame.Children)[size_t(index)];
      rows.emplace_back(parent, index);
      if (!child->Children.empty())
        stack.push_back({&child->Children, int(rows.size()) - 1, 0});
    }
    benchmark::DoNotOptimize(rows.data());
  }
  State.counters["rows"] = double(rows.size());
}

void PaintScreenQx(benchmark::State& State)
{
  TTreeHost host(Tree(100000));
  host.List->ScrollTo(5000, 0);
  for (auto _ : State) {
    host.List->Invalidate();
    host.List->Update();
  }
  State.counters["rows"] = host.List->VisibleRowCount();
}

// The same rows as texts in three columns and a box per row, with Pango.
void PaintScreenPangoCairo(benchmark::State& State)
{
  const TTree& tree = Tree(100000);
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kWidth, kHeight);
  cairo_t* cr = cairo_create(surface);
  PangoLayout* layout = pango_cairo_create_layout(cr);
  PangoFontDescription* font = pango_font_description_from_string("DejaVu Sans 9");
  pango_layout_set_font_description(layout, font);
  pango_layout_set_ellipsize(layout, PANGO_ELLIPSIZE_END);
  const int rows = kHeight / kRowHeight;
  for (auto _ : State) {
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    cairo_set_source_rgb(cr, 0, 0, 0);
    for (int r = 0; r < rows; ++r) {
      const TNode* node = tree.Store[size_t(5000 + r)].get();
      const double y = r * kRowHeight;
      cairo_rectangle(cr, 20.5 + node->Deep * kRowHeight, y + 3.5, 13, 13);
      cairo_stroke(cr);
      const std::string* texts[] = {&node->Caption, &node->Kind, &node->Where};
      const int lefts[] = {58 + node->Deep * kRowHeight, 302, 422}, widths[] = {240, 116, 116};
      for (int c = 0; c < 3; ++c) {
        pango_layout_set_width(layout, widths[c] * PANGO_SCALE);
        pango_layout_set_text(layout, texts[c]->c_str(), -1);
        cairo_move_to(cr, lefts[c], y + 3);
        pango_cairo_show_layout(cr, layout);
      }
    }
    cairo_surface_flush(surface);
  }
  pango_font_description_free(font);
  g_object_unref(layout);
  cairo_destroy(cr);
  cairo_surface_destroy(surface);
}

// Down then up, each repainted: the focus stays near the middle of the tree.
void ArrowKeyQx(benchmark::State& State)
{
  TTreeHost host(Tree(int(State.range(0))));
  host.List->SetFocus();
  const int middle = host.List->Items()->Count() / 2;
  host.List->SetItemIndex(middle);
  host.List->EnsureVisible(middle);
  bool down = true;
  for (auto _ : State) {
    host.List->Perform(Win::WM_KEYDOWN, down ? Win::VK_DOWN : Win::VK_UP);
    host.List->Update();
    down = !down;
  }
}

} // namespace

BENCHMARK(ExpandAllQx)->Unit(benchmark::kMillisecond);
BENCHMARK(ExpandAllQxFillingHost)->Unit(benchmark::kMillisecond);
BENCHMARK(ExpandAllFlatten)->Unit(benchmark::kMillisecond);
BENCHMARK(PaintScreenQx)->Unit(benchmark::kMillisecond);
BENCHMARK(PaintScreenPangoCairo)->Unit(benchmark::kMillisecond);
BENCHMARK(ArrowKeyQx)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv)
{
  return QxBench::RunWithRatios(argc, argv,
                                {{"ExpandAllQx", "ExpandAllFlatten"},
                                 {"ExpandAllQxFillingHost", "ExpandAllFlatten"},
                                 {"PaintScreenQx", "PaintScreenPangoCairo"},
                                 {"ArrowKeyQx/100000", "ArrowKeyQx/10000"}});
}
