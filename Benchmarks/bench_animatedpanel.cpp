// One tick of a panel slide: the timer message moves the incoming and the
// shown page a step and the window system repaints them (each page a panel
// with a fill and a centred caption), beside Cairo painting the same two
// page areas with their captions at the new place. The area the pages
// repaint per tick is reported against the panel's (repainted_share): a
// tick repaints no more than the panel, which is all that moved.
#include <Quorex.Vcl.AnimatedPanels.hpp>
#include <Vcl.Forms.hpp>
#include <Winapi.Windows.hpp>

#include "QxBenchRatio.hpp"

#include <benchmark/benchmark.h>
#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

using namespace Vcl;
using namespace Quorex;

constexpr int kWidth = 600, kHeight = 300, kPages = 3;
constexpr const char* kCaption = "A page sliding in";

// A page that adds up the area it repaints inside the panel (the part
// outside is clipped away).
class TCountingPage : public TPanel {
public:
  TCountingPage(TComponent* AOwner, std::int64_t& Area) : TPanel(AOwner), FArea(Area) {}
  void Dispatch(TMessage& Message) override
  {
    Win::RECT r;
    if (Message.Msg == Win::WM_PAINT && HandleAllocated() && Win::GetUpdateRect(Handle(), &r, Win::FALSE)) {
      const int left = std::max(0, int(r.Left) + Left()), right = std::min(kWidth, int(r.Right) + Left());
      FArea += std::int64_t(std::max(right - left, 0)) * (r.Bottom - r.Top);
    }
    TPanel::Dispatch(Message);
  }

private:
  std::int64_t& FArea;
};

class TSlideDesk {
public:
  TSlideDesk()
  {
    Win::ResetWindowSystem();
    Win::UseVirtualClock(true);
    Form = new TForm(nullptr);
    Form->SetBounds(0, 0, kWidth + 20, kHeight + 40);
    Panel = new TQxAnimatedPanel(Form);
    Panel->SetBevelOuter(bvNone);
    Panel->SetBounds(0, 0, kWidth, kHeight);
    Panel->SetAutoLeaf(false);
    Panel->SetParent(Form);
    for (int i = 0; i < kPages; ++i) {
      auto* page = new TCountingPage(Form, Area);
      page->SetBevelOuter(bvNone);
      page->SetColor(i % 2 ? clSkyBlue : clMoneyGreen);
      page->SetCaption(kCaption);
      Panel->Add(page);
    }
    Form->Show();
    Panel->AnimateNext();
    Settle();
  }
  ~TSlideDesk()
  {
    delete Form;
    Win::ResetWindowSystem();
  }
  static void Pump()
  {
    Win::MSG msg;
    while (Application->ProcessMessage(msg)) {
    }
  }
  void Tick()
  {
    Win::AdvanceClock(10);
    Pump();
  }
  void Settle()
  {
    while (!Panel->CanChange())
      Tick();
  }

  TForm* Form = nullptr;
  TQxAnimatedPanel* Panel = nullptr;
  std::int64_t Area = 0;
};

void SlideTick_qx(benchmark::State& State)
{
  TSlideDesk desk;
  std::int64_t ticks = 0;
  desk.Area = 0;
  for (auto _ : State) {
    if (desk.Panel->CanChange()) {
      State.PauseTiming();
      desk.Panel->AnimateNext();
      desk.Pump();
      State.ResumeTiming();
    }
    desk.Tick();
    ++ticks;
  }
  State.counters["repainted_share"] = double(desk.Area) / double(ticks) / double(kWidth * kHeight);
}
BENCHMARK(SlideTick_qx)->Unit(benchmark::kMicrosecond);

// The same tick's pixels: two page areas split at the slide's position,
// each filled and its caption centred in it.
void SlideTick_cairo(benchmark::State& State)
{
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kWidth, kHeight);
  cairo_t* cr = cairo_create(surface);
  cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
  cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cr, 11);
  double position = kWidth;
  for (auto _ : State) {
    position = position < 1 ? kWidth : position - std::max(1.0, position * 0.025);
    const int split = int(std::nearbyint(position));
    for (int page = 0; page < 2; ++page) {
      const int left = page == 0 ? split - kWidth : split;
      cairo_save(cr);
      cairo_rectangle(cr, std::max(left, 0), 0, std::min(left + kWidth, kWidth) - std::max(left, 0), kHeight);
      cairo_clip(cr);
      cairo_set_source_rgb(cr, page ? 0.94 : 0.75, page ? 0.79 : 0.86, page ? 0.65 : 0.75);
      cairo_paint(cr);
      cairo_text_extents_t extents;
      cairo_text_extents(cr, kCaption, &extents);
      cairo_set_source_rgb(cr, 0, 0, 0);
      cairo_move_to(cr, left + (kWidth - extents.width) / 2, (kHeight + extents.height) / 2);
      cairo_show_text(cr, kCaption);
      cairo_restore(cr);
    }
    cairo_surface_flush(surface);
    benchmark::DoNotOptimize(cairo_image_surface_get_data(surface)[0]);
  }
  cairo_destroy(cr);
  cairo_surface_destroy(surface);
}
BENCHMARK(SlideTick_cairo)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
  return QxBench::RunWithRatios(argc, argv, {{"SlideTick_qx", "SlideTick_cairo"}});
}
