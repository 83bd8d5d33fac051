// One 20 ms step of the section bar's slide with 8 sections of 3 items each,
// as its timer runs it: the sections move in one deferred batch and the bar
// repaints the band that changed. Beside it, Cairo repaints the same areas:
// the bar's gradient, the open section's gradient band, the 8 titles and the
// open section's items, and the pointer. The repainted share of the bar per
// step is reported as a counter.
#include <Quorex.Vcl.SectionBar.hpp>
#include <Vcl.Forms.hpp>
#include <Winapi.Windows.hpp>

#include "QxBenchRatio.hpp"

#include <benchmark/benchmark.h>
#include <cairo.h>

#include <string>

namespace {

using namespace Quorex;

constexpr int kSections = 8, kItems = 3, kWidth = 190, kHeight = 520;
// Slow enough that a slide lasts many steps, so a step is what is measured.
constexpr int kSpeed = 100;

class TBarDesk {
public:
  TBarDesk()
  {
    Win::ResetWindowSystem();
    Win::UseVirtualClock(true);
    Form = new Vcl::TForm(nullptr);
    Form->SetBounds(0, 0, kWidth + 20, kHeight);
    Form->Font()->SetName("DejaVu Sans");
    Bar = new TSectionBar(Form);
    Bar->SetParent(Form);
    for (int s = 0; s < kSections; ++s) {
      auto* section = new TPageSection(Form);
      section->SetCaption("Section " + std::to_string(s + 1));
      section->SetParent(Bar);
      for (int i = 0; i < kItems; ++i) {
        auto* item = new TPageItem(Form);
        item->SetCaption("Item " + std::to_string(i + 1));
        item->SetParent(section);
      }
    }
    Bar->SetResizeSpeed(0);
    Bar->GetSection(0)->SetActive(true);
    Form->Show();
    Pump();
    Bar->SetResizeSpeed(kSpeed);
    // Counts what each paint of the bar covers.
    auto paint = Bar->WindowProc;
    Bar->WindowProc = [this, paint](Vcl::TMessage& Message) {
      if (Message.Msg == Win::WM_PAINT) {
        Win::RECT r;
        Win::GetUpdateRect(Bar->Handle(), &r, Win::FALSE);
        Painted += double(r.Width()) * double(r.Height());
      }
      paint(Message);
    };
  }
  ~TBarDesk()
  {
    delete Form;
    Win::ResetWindowSystem();
  }
  static void Pump()
  {
    Win::MSG msg;
    while (Vcl::Application->ProcessMessage(msg)) {
    }
  }
  // One timer step; a finished slide turns round to the other end.
  void Step()
  {
    if (!Bar->Sizer()->Running()) {
      Open = Open == 0 ? kSections - 1 : 0;
      Bar->GetSection(Open)->SetActive(true);
      Pump();
    }
    Win::AdvanceClock(20);
    Bar->Sizer()->Reposition();
  }
  Vcl::TForm* Form = nullptr;
  TSectionBar* Bar = nullptr;
  int Open = 0;
  double Painted = 0; // pixels
};

void SlideStepQx(benchmark::State& State)
{
  TBarDesk desk;
  desk.Painted = 0;
  for (auto _ : State) {
    desk.Step();
    desk.Pump();
  }
  // 1 would be the whole bar on every step; a step repaints only the band
  // from the first section that moved down to the last one's old or new end.
  State.counters["repainted_share"] = desk.Painted / (double(State.iterations()) * kWidth * kHeight);
}
BENCHMARK(SlideStepQx)->Unit(benchmark::kMicrosecond);

void Gradient(cairo_t* Cr, double Top, double Height, double R1, double G1, double B1, double R2, double G2, double B2)
{
  cairo_pattern_t* gradient = cairo_pattern_create_linear(0, Top, 0, Top + Height);
  cairo_pattern_add_color_stop_rgb(gradient, 0, R1, G1, B1);
  cairo_pattern_add_color_stop_rgb(gradient, 1, R2, G2, B2);
  cairo_rectangle(Cr, 0, Top, kWidth - 1, Height);
  cairo_set_source(Cr, gradient);
  cairo_fill(Cr);
  cairo_pattern_destroy(gradient);
}

void Caption(cairo_t* Cr, const std::string& Text, double X, double Y, double Size)
{
  cairo_set_font_size(Cr, Size);
  cairo_move_to(Cr, X, Y);
  cairo_show_text(Cr, Text.c_str());
}

// The same areas and text as one step of the bar, drawn into an image
// surface and copied to the window's place, as the bar's bitmap is.
void SlideStepCairo(benchmark::State& State)
{
  cairo_surface_t* screen = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kWidth, kHeight);
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kWidth, kHeight);
  cairo_t* cr = cairo_create(surface);
  cairo_t* blit = cairo_create(screen);
  cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
  int open = 0;
  for (auto _ : State) {
    open = (open + 1) % 72; // the open section's height, as it slides
    const double openHeight = 40 + open;
    Gradient(cr, 0, kHeight, 0.90, 0.90, 0.90, 0.94, 0.94, 0.94);
    cairo_set_source_rgb(cr, 0.5, 0.5, 0.5);
    cairo_move_to(cr, kWidth - 0.5, 0);
    cairo_line_to(cr, kWidth - 0.5, kHeight);
    cairo_stroke(cr);
    Gradient(cr, 5, openHeight, 1.0, 0.45, 0.0, 0.88, 0.29, 0.01);
    double y = 5;
    for (int s = 0; s < kSections; ++s) {
      cairo_set_source_rgb(cr, s == 0 ? 1 : 0, s == 0 ? 1 : 0, s == 0 ? 1 : 0);
      Caption(cr, "Section " + std::to_string(s + 1), 10, y + 25, 16);
      if (s == 0)
        for (int i = 0; i < kItems && 35 + (i + 1) * 24 <= openHeight; ++i)
          Caption(cr, "Item " + std::to_string(i + 1), 10, y + 35 + i * 24 + 17, 13);
      y += s == 0 ? openHeight : 40;
    }
    cairo_move_to(cr, kWidth - 11, 25);
    cairo_line_to(cr, kWidth + 1, 13);
    cairo_line_to(cr, kWidth + 1, 37);
    cairo_close_path(cr);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_fill_preserve(cr);
    cairo_set_source_rgb(cr, 0.5, 0.5, 0.5);
    cairo_stroke(cr);
    cairo_set_source_surface(blit, surface, 0, 0);
    cairo_paint(blit);
    cairo_surface_flush(screen);
    benchmark::DoNotOptimize(cairo_image_surface_get_data(screen)[0]);
  }
  cairo_destroy(blit);
  cairo_destroy(cr);
  cairo_surface_destroy(surface);
  cairo_surface_destroy(screen);
}
BENCHMARK(SlideStepCairo)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
  return QxBench::RunWithRatios(argc, argv, {{"SlideStepQx", "SlideStepCairo"}});
}
