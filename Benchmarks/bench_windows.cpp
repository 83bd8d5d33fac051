// The window system under load: a window with 1000 children invalidated and
// repainted as one frame, and 10000 mouse moves routed through hit tests to
// the child under the pointer; then the same through the framework, a form
// with 1000 panels. The peers do the same pixel work (each child's erase, and
// on the form each panel's bevel) and the same point-in-rectangles search
// with Cairo (image surface fills, cairo_region).
#include <Vcl.ExtCtrls.hpp>
#include <Vcl.Forms.hpp>
#include <Winapi.Windows.hpp>

#include "QxBenchRatio.hpp"

#include <benchmark/benchmark.h>
#include <cairo.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

using namespace Win;

namespace {

constexpr int Columns = 40, Rows = 25, Cell = 20; // 1000 children of 18 x 18
constexpr int Moves = 10000;

LRESULT ChildProc(HWND h, UINT msg, WPARAM w, LPARAM l)
{
  if (msg != WM_PAINT)
    return DefWindowProc(h, msg, w, l);
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(h, &ps);
  RECT r;
  GetClientRect(h, &r);
  FillRect(dc, &r, GetSysColorBrush(int(GetWindowLongPtr(h, GWLP_ID) % 2) ? COLOR_HIGHLIGHT : COLOR_BTNFACE));
  EndPaint(h, &ps);
  return 0;
}

class TDesk {
public:
  TDesk()
  {
    ResetWindowSystem();
    UseVirtualClock(true);
    WNDCLASS wc;
    wc.lpfnWndProc = &ChildProc;
    wc.lpszClassName = "BenchChild";
    wc.hbrBackground = reinterpret_cast<HBRUSH>(std::uintptr_t(COLOR_WINDOW + 1));
    RegisterClass(wc);
    Top = CreateWindowEx(0, "BenchChild", "", WS_POPUP | WS_CLIPCHILDREN, 0, 0, Columns * Cell, Rows * Cell, nullptr,
                         nullptr, nullptr, nullptr);
    for (int i = 0; i < Columns * Rows; ++i)
      CreateWindowEx(0, "BenchChild", "", WS_CHILD | WS_VISIBLE, (i % Columns) * Cell + 1, (i / Columns) * Cell + 1,
                     Cell - 2, Cell - 2, Top, reinterpret_cast<HMENU>(std::uintptr_t(i)), nullptr, nullptr);
    ShowWindow(Top, SW_SHOW);
    Pump();
  }
  ~TDesk() { ResetWindowSystem(); }
  static int Pump()
  {
    int n = 0;
    MSG msg;
    while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
      DispatchMessage(&msg);
      ++n;
    }
    return n;
  }
  HWND Top = nullptr;
};

void RepaintFrame_qx(benchmark::State& state)
{
  TDesk desk;
  for (auto _ : state) {
    RedrawWindow(desk.Top, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    benchmark::DoNotOptimize(TDesk::Pump());
  }
  state.counters["children"] = Columns * Rows;
}

void RepaintFrame_cairo(benchmark::State& state)
{
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, Columns * Cell, Rows * Cell);
  cairo_t* cr = cairo_create(surface);
  cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
  for (auto _ : state) {
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    for (int i = 0; i < Columns * Rows; ++i) {
      // Each child is erased with its class brush before it paints.
      cairo_set_source_rgb(cr, 1, 1, 1);
      cairo_rectangle(cr, (i % Columns) * Cell + 1, (i / Columns) * Cell + 1, Cell - 2, Cell - 2);
      cairo_fill(cr);
      if (i % 2)
        cairo_set_source_rgb(cr, 0.04, 0.14, 0.42);
      else
        cairo_set_source_rgb(cr, 0.83, 0.82, 0.78);
      cairo_rectangle(cr, (i % Columns) * Cell + 1, (i / Columns) * Cell + 1, Cell - 2, Cell - 2);
      cairo_fill(cr);
    }
    cairo_surface_flush(surface);
  }
  cairo_destroy(cr);
  cairo_surface_destroy(surface);
}

POINT MovePoint(int i)
{
  return POINT((i * 7) % (Columns * Cell), (i * 13) % (Rows * Cell));
}

void MouseMoves_qx(benchmark::State& state)
{
  TDesk desk;
  for (auto _ : state) {
    for (int i = 0; i < Moves; ++i) {
      POINT p = MovePoint(i);
      InjectMouseMove(p.X, p.Y);
      TDesk::Pump();
    }
  }
  state.counters["per_event"] =
    benchmark::Counter(double(Moves), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void MouseMoves_cairo(benchmark::State& state)
{
  std::vector<cairo_rectangle_int_t> cells;
  for (int i = 0; i < Columns * Rows; ++i)
    cells.push_back({(i % Columns) * Cell + 1, (i / Columns) * Cell + 1, Cell - 2, Cell - 2});
  std::vector<cairo_region_t*> regions;
  for (const auto& c : cells)
    regions.push_back(cairo_region_create_rectangle(&c));
  for (auto _ : state) {
    int hits = 0;
    for (int i = 0; i < Moves; ++i) {
      POINT p = MovePoint(i);
      for (auto* r : regions)
        if (cairo_region_contains_point(r, p.X, p.Y)) {
          ++hits;
          break;
        }
    }
    benchmark::DoNotOptimize(hits);
  }
  for (auto* r : regions)
    cairo_region_destroy(r);
  state.counters["per_event"] =
    benchmark::Counter(double(Moves), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// A form holding 1000 panels (windowed controls painting a bevel on a fill).
class TFormDesk {
public:
  TFormDesk()
  {
    ResetWindowSystem();
    UseVirtualClock(true);
    Form = new Vcl::TForm(nullptr);
    Form->SetBounds(0, 0, Columns * Cell, Rows * Cell);
    for (int i = 0; i < Columns * Rows; ++i) {
      auto* panel = new Vcl::TPanel(Form);
      panel->SetBounds((i % Columns) * Cell + 1, (i / Columns) * Cell + 1, Cell - 2, Cell - 2);
      panel->SetColor(i % 2 ? Vcl::clHighlight : Vcl::clBtnFace);
      panel->SetParent(Form);
    }
    Form->Show();
    Pump();
  }
  ~TFormDesk()
  {
    delete Form;
    ResetWindowSystem();
  }
  static void Pump()
  {
    MSG msg;
    while (Vcl::Application->ProcessMessage(msg)) {
    }
  }
  Vcl::TForm* Form = nullptr;
};

void RepaintForm_qx(benchmark::State& state)
{
  TFormDesk desk;
  for (auto _ : state) {
    RedrawWindow(desk.Form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    TFormDesk::Pump();
  }
}

// The same pixel work as the form's panels: each panel is erased with its
// colour, framed by a raised one-pixel bevel and filled inside it.
void RepaintForm_cairo(benchmark::State& state)
{
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, Columns * Cell, Rows * Cell);
  cairo_t* cr = cairo_create(surface);
  cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
  const auto fill = [cr](double red, double green, double blue, int x, int y, int width, int height) {
    cairo_set_source_rgb(cr, red, green, blue);
    cairo_rectangle(cr, x, y, width, height);
    cairo_fill(cr);
  };
  for (auto _ : state) {
    cairo_set_source_rgb(cr, 0.83, 0.82, 0.78);
    cairo_paint(cr);
    for (int i = 0; i < Columns * Rows; ++i) {
      const int x = (i % Columns) * Cell + 1, y = (i / Columns) * Cell + 1, side = Cell - 2;
      const double red = i % 2 ? 0.04 : 0.83, green = i % 2 ? 0.14 : 0.82, blue = i % 2 ? 0.42 : 0.78;
      fill(red, green, blue, x, y, side, side);
      fill(1, 1, 1, x, y, side, 1);
      fill(1, 1, 1, x, y, 1, side);
      fill(0.5, 0.5, 0.5, x, y + side - 1, side, 1);
      fill(0.5, 0.5, 0.5, x + side - 1, y, 1, side);
      fill(red, green, blue, x + 1, y + 1, side - 2, side - 2);
    }
    cairo_surface_flush(surface);
  }
  cairo_destroy(cr);
  cairo_surface_destroy(surface);
}

void MouseMovesForm_qx(benchmark::State& state)
{
  TFormDesk desk;
  for (auto _ : state) {
    for (int i = 0; i < Moves; ++i) {
      POINT p = MovePoint(i);
      InjectMouseMove(p.X, p.Y);
      TFormDesk::Pump();
    }
  }
  state.counters["per_event"] =
    benchmark::Counter(double(Moves), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

BENCHMARK(RepaintFrame_qx)->Unit(benchmark::kMillisecond);
BENCHMARK(RepaintForm_qx)->Unit(benchmark::kMillisecond);
BENCHMARK(RepaintForm_cairo)->Unit(benchmark::kMillisecond);
BENCHMARK(MouseMovesForm_qx)->Unit(benchmark::kMillisecond);
BENCHMARK(MouseMoves_cairo)->Name("MouseMovesForm_cairo")->Unit(benchmark::kMillisecond);
BENCHMARK(RepaintFrame_cairo)->Unit(benchmark::kMillisecond);
BENCHMARK(MouseMoves_qx)->Unit(benchmark::kMillisecond);
BENCHMARK(MouseMoves_cairo)->Unit(benchmark::kMillisecond);



} // namespace

int main(int argc, char** argv)
{
  return QxBench::RunWithRatios(argc, argv, {}, [](const QxBench::TTimes& times) {
    QxBench::PrintRatios(times, QxBench::SuffixPairs(times, "_qx", "_cairo"));
    for (const char* name : {"RepaintFrame_qx", "RepaintForm_qx"})
      if (auto frame = times.find(name); frame != times.end())
        std::printf("%-18s CPU time per frame (1000 children): %.3f ms\n", name, frame->second * 1e3);
    for (const char* name : {"MouseMoves_qx", "MouseMovesForm_qx"})
      if (auto moves = times.find(name); moves != times.end())
        std::printf("%-18s CPU time per mouse move: %.3f us\n", name, moves->second * 1e6 / Moves);
  });
}
