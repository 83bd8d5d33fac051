// Draws the pictures the libraries embed: the five system message-box icons
// of the "user32" module, the bitmap button's stock glyphs of the "vcl" module
// and the components library's own pictures. Every
// picture is drawn with Cairo in a unit square and rendered at each size it
// ships in, so that the small sizes are drawn, not shrunk.
//
//   QxArtwork <source root>   (scripts/make-artwork builds and runs it)
#include <cairo.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <algorithm>
#include <functional>
#include <initializer_list>
#include <utility>
#include <string>
#include <vector>

namespace {

using TDraw = std::function<void(cairo_t*)>;

struct TRgb {
  double R, G, B;
};

constexpr TRgb Hex(std::uint32_t rgb)
{
  return {((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0, (rgb & 0xFF) / 255.0};
}

void SetColour(cairo_t* cr, TRgb c, double alpha = 1.0)
{
  cairo_set_source_rgba(cr, c.R, c.G, c.B, alpha);
}

// A vertical gradient from the top colour to the bottom colour over [y0, y1].
void SetGradient(cairo_t* cr, double y0, double y1, TRgb top, TRgb bottom)
{
  cairo_pattern_t* p = cairo_pattern_create_linear(0, y0, 0, y1);
  cairo_pattern_add_color_stop_rgb(p, 0, top.R, top.G, top.B);
  cairo_pattern_add_color_stop_rgb(p, 1, bottom.R, bottom.G, bottom.B);
  cairo_set_source(cr, p);
  cairo_pattern_destroy(p);
}

// A disc with a gradient body, a darker rim and a soft highlight on its top.
void Disc(cairo_t* cr, double cx, double cy, double r, TRgb top, TRgb bottom, TRgb rim)
{
  cairo_arc(cr, cx, cy, r, 0, 2 * M_PI);
  SetGradient(cr, cy - r, cy + r, top, bottom);
  cairo_fill_preserve(cr);
  SetColour(cr, rim);
  cairo_set_line_width(cr, 0.045);
  cairo_stroke(cr);
  cairo_save(cr);
  cairo_arc(cr, cx, cy, r - 0.04, 0, 2 * M_PI);
  cairo_clip(cr);
  cairo_pattern_t* shine = cairo_pattern_create_linear(0, cy - r, 0, cy);
  cairo_pattern_add_color_stop_rgba(shine, 0, 1, 1, 1, 0.45);
  cairo_pattern_add_color_stop_rgba(shine, 1, 1, 1, 1, 0.0);
  cairo_set_source(cr, shine);
  cairo_arc(cr, cx, cy - r * 0.35, r * 0.8, M_PI, 2 * M_PI);
  cairo_fill(cr);
  cairo_pattern_destroy(shine);
  cairo_restore(cr);
}

// One bold glyph centred on (cx, cy), its ink box `height` high.
void Glyph(cairo_t* cr, const char* text, double cx, double cy, double height, TRgb colour)
{
  cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
  cairo_set_font_size(cr, 1.0);
  cairo_text_extents_t e;
  cairo_text_extents(cr, text, &e);
  const double scale = height / e.height;
  cairo_save(cr);
  cairo_translate(cr, cx - (e.x_bearing + e.width / 2) * scale, cy - (e.y_bearing + e.height / 2) * scale);
  cairo_scale(cr, scale, scale);
  cairo_move_to(cr, 0, 0);
  cairo_text_path(cr, text);
  cairo_restore(cr);
  SetColour(cr, colour);
  cairo_fill(cr);
}

const TRgb kBlueTop = Hex(0x62A0EA), kBlueBottom = Hex(0x1A5FB4), kBlueRim = Hex(0x144A8C);
const TRgb kWhite = Hex(0xFFFFFF);
const TRgb kYellow = Hex(0xF8D33A), kYellowDeep = Hex(0xE5A50A);

void Information(cairo_t* cr)
{
  Disc(cr, 0.5, 0.5, 0.44, kBlueTop, kBlueBottom, kBlueRim);
  Glyph(cr, "i", 0.5, 0.51, 0.56, kWhite);
}

void Question(cairo_t* cr)
{
  Disc(cr, 0.5, 0.5, 0.44, kBlueTop, kBlueBottom, kBlueRim);
  Glyph(cr, "?", 0.5, 0.51, 0.56, kWhite);
}

void Warning(cairo_t* cr)
{
  // A triangle with rounded corners: its corners' arcs joined by the sides.
  const double r = 0.09;
  const double pts[3][2] = {{0.5, 0.07 + r}, {0.93 - r, 0.9 - r}, {0.07 + r, 0.9 - r}};
  cairo_new_path(cr);
  for (int i = 0; i < 3; ++i) {
    const double a0 = i == 0 ? M_PI + 0.52 : i == 1 ? -0.52 : M_PI / 2;
    const double a1 = i == 0 ? 2 * M_PI - 0.52 : i == 1 ? M_PI / 2 : M_PI + 0.52;
    cairo_arc(cr, pts[i][0], pts[i][1], r, a0, a1);
  }
  cairo_close_path(cr);
  SetGradient(cr, 0.07, 0.9, kYellow, kYellowDeep);
  cairo_fill_preserve(cr);
  SetColour(cr, Hex(0x9C6A00));
  cairo_set_line_width(cr, 0.045);
  cairo_stroke(cr);
  Glyph(cr, "!", 0.5, 0.6, 0.44, Hex(0x241F31));
}

void Error(cairo_t* cr)
{
  Disc(cr, 0.5, 0.5, 0.44, Hex(0xF66151), Hex(0xC01C28), Hex(0x8F1520));
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_width(cr, 0.13);
  SetColour(cr, kWhite);
  cairo_move_to(cr, 0.34, 0.34);
  cairo_line_to(cr, 0.66, 0.66);
  cairo_move_to(cr, 0.66, 0.34);
  cairo_line_to(cr, 0.34, 0.66);
  cairo_stroke(cr);
}

void ShieldPath(cairo_t* cr)
{
  cairo_new_path(cr);
  cairo_move_to(cr, 0.5, 0.05);
  cairo_curve_to(cr, 0.62, 0.13, 0.76, 0.16, 0.88, 0.16);
  cairo_curve_to(cr, 0.88, 0.55, 0.78, 0.78, 0.5, 0.95);
  cairo_curve_to(cr, 0.22, 0.78, 0.12, 0.55, 0.12, 0.16);
  cairo_curve_to(cr, 0.24, 0.16, 0.38, 0.13, 0.5, 0.05);
  cairo_close_path(cr);
}

void Shield(cairo_t* cr)
{
  ShieldPath(cr);
  cairo_save(cr);
  cairo_clip(cr);
  // Blue quarters on a yellow ground, split on whole pixels at every size,
  // so that no seam lets the background through.
  SetColour(cr, Hex(0xF6D32D));
  cairo_paint(cr);
  SetColour(cr, Hex(0x3584E4));
  cairo_rectangle(cr, 0, 0, 0.5, 0.5);
  cairo_rectangle(cr, 0.5, 0.5, 0.5, 0.5);
  cairo_fill(cr);
  cairo_pattern_t* shine = cairo_pattern_create_linear(0, 0, 1, 1);
  cairo_pattern_add_color_stop_rgba(shine, 0, 1, 1, 1, 0.35);
  cairo_pattern_add_color_stop_rgba(shine, 0.6, 1, 1, 1, 0.0);
  cairo_pattern_add_color_stop_rgba(shine, 1, 0, 0, 0, 0.15);
  cairo_set_source(cr, shine);
  cairo_paint(cr);
  cairo_pattern_destroy(shine);
  cairo_restore(cr);
  ShieldPath(cr);
  SetColour(cr, Hex(0x2A3340));
  cairo_set_line_width(cr, 0.05);
  cairo_stroke(cr);
}

// The search edit's clear button: a grey disc with a white cross.
void ClearIcon(cairo_t* cr)
{
  cairo_arc(cr, 0.5, 0.5, 0.42, 0, 2 * M_PI);
  SetGradient(cr, 0.08, 0.92, Hex(0x9A9996), Hex(0x77767B));
  cairo_fill(cr);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_width(cr, 0.11);
  SetColour(cr, kWhite);
  cairo_move_to(cr, 0.36, 0.36);
  cairo_line_to(cr, 0.64, 0.64);
  cairo_move_to(cr, 0.64, 0.36);
  cairo_line_to(cr, 0.36, 0.64);
  cairo_stroke(cr);
}

// A magnifying glass: a ring with a pale lens and a handle down to the right.
void SearchIcon(cairo_t* cr)
{
  const TRgb ink = Hex(0x5E5C64);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_width(cr, 0.16);
  SetColour(cr, ink);
  cairo_move_to(cr, 0.62, 0.62);
  cairo_line_to(cr, 0.86, 0.86);
  cairo_stroke(cr);
  cairo_arc(cr, 0.42, 0.42, 0.27, 0, 2 * M_PI);
  SetColour(cr, Hex(0xDCEBFA));
  cairo_fill_preserve(cr);
  cairo_set_line_width(cr, 0.11);
  SetColour(cr, ink);
  cairo_stroke(cr);
}

// Opening an address: a blue globe with its meridians and equator.
void OpenUrlIcon(cairo_t* cr)
{
  Disc(cr, 0.5, 0.5, 0.42, kBlueTop, kBlueBottom, kBlueRim);
  cairo_save(cr);
  cairo_arc(cr, 0.5, 0.5, 0.4, 0, 2 * M_PI);
  cairo_clip(cr);
  cairo_set_line_width(cr, 0.055);
  SetColour(cr, kWhite, 0.9);
  cairo_move_to(cr, 0.08, 0.5);
  cairo_line_to(cr, 0.92, 0.5);
  cairo_move_to(cr, 0.5, 0.08);
  cairo_line_to(cr, 0.5, 0.92);
  cairo_stroke(cr);
  cairo_save(cr);
  cairo_translate(cr, 0.5, 0.5);
  cairo_scale(cr, 0.2, 0.42);
  cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
  cairo_restore(cr);
  cairo_stroke(cr);
  for (double y : {0.29, 0.71}) {
    const double half = std::sqrt(0.42 * 0.42 - (y - 0.5) * (y - 0.5));
    cairo_move_to(cr, 0.5 - half, y);
    cairo_line_to(cr, 0.5 + half, y);
  }
  cairo_stroke(cr);
  cairo_restore(cr);
}

// The back button: a disc with an arrow pointing left, in each state's colours.
TDraw NavBack(TRgb top, TRgb bottom, TRgb rim, TRgb arrow)
{
  return [=](cairo_t* cr) {
    Disc(cr, 0.5, 0.5, 0.44, top, bottom, rim);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_set_line_width(cr, 0.1);
    SetColour(cr, arrow);
    cairo_move_to(cr, 0.72, 0.5);
    cairo_line_to(cr, 0.3, 0.5);
    cairo_move_to(cr, 0.47, 0.33);
    cairo_line_to(cr, 0.3, 0.5);
    cairo_line_to(cr, 0.47, 0.67);
    cairo_stroke(cr);
  };
}

// The folder browse button, drawn on whole pixels (16 x 16, no anti-aliasing)
// so that its transparent pixels are a clean key colour too.
void OpenFolderImage(cairo_t* cr)
{
  cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
  cairo_scale(cr, 1.0 / 16, 1.0 / 16);
  auto box = [&](double x, double y, double w, double h, std::uint32_t rgb) {
    cairo_rectangle(cr, x, y, w, h);
    SetColour(cr, Hex(rgb));
    cairo_fill(cr);
  };
  box(1, 2, 6, 2, 0x9C6A00);    // tab outline
  box(1, 3, 14, 11, 0x9C6A00);  // back outline
  box(2, 3, 4, 1, 0xF5C211);    // tab
  box(2, 4, 12, 9, 0xF5C211);   // back
  box(1, 6, 15, 8, 0x9C6A00);   // front outline, open to the right
  box(2, 7, 13, 6, 0xF8E45C);   // front
  box(2, 7, 13, 1, 0xFFF5A8);   // front's lit edge
}

// ---- the bitmap button's stock glyphs ------------------------------------------------
// Drawn on an 18-pixel grid without anti-aliasing: the button shows them over
// a key colour and makes their disabled look from their shape.

TDraw StockGlyph(std::function<void(cairo_t*)> draw)
{
  return [draw](cairo_t* cr) {
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
    cairo_scale(cr, 1.0 / 18, 1.0 / 18);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_SQUARE);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_MITER);
    draw(cr);
  };
}

void Stroke(cairo_t* cr, std::uint32_t rgb, double width, std::initializer_list<std::pair<double, double>> points)
{
  bool first = true;
  for (auto [x, y] : points) {
    if (first)
      cairo_move_to(cr, x, y);
    else
      cairo_line_to(cr, x, y);
    first = false;
  }
  cairo_set_line_width(cr, width);
  SetColour(cr, Hex(rgb));
  cairo_stroke(cr);
}

void Tick(cairo_t* cr, double dx, double dy, std::uint32_t rgb)
{
  Stroke(cr, rgb, 2.6, {{3 + dx, 9.5 + dy}, {7 + dx, 13.5 + dy}, {15 + dx, 4.5 + dy}});
}

void Round(cairo_t* cr, double cx, double cy, double r, std::uint32_t fill, std::uint32_t rim)
{
  cairo_arc(cr, cx, cy, r, 0, 2 * M_PI);
  SetColour(cr, Hex(fill));
  cairo_fill_preserve(cr);
  cairo_set_line_width(cr, 1.0);
  SetColour(cr, Hex(rim));
  cairo_stroke(cr);
}

const TDraw StockOk = StockGlyph([](cairo_t* cr) { Tick(cr, 0, 0, 0x26A269); });
const TDraw StockCancel = StockGlyph([](cairo_t* cr) {
  Stroke(cr, 0xC01C28, 2.6, {{4, 4}, {14, 14}});
  Stroke(cr, 0xC01C28, 2.6, {{14, 4}, {4, 14}});
});
const TDraw StockHelp = StockGlyph([](cairo_t* cr) {
  Round(cr, 9, 9, 7.5, 0x3584E4, 0x1A5FB4);
  Stroke(cr, 0xFFFFFF, 2, {{6.5, 6.5}, {6.5, 5}, {11.5, 5}, {11.5, 8}, {9, 9.5}, {9, 10.5}});
  cairo_rectangle(cr, 8, 12, 2, 2);
  SetColour(cr, kWhite);
  cairo_fill(cr);
});
const TDraw StockYes = StockGlyph([](cairo_t* cr) {
  Round(cr, 9, 9, 7.5, 0x33D17A, 0x26A269);
  Stroke(cr, 0xFFFFFF, 2, {{5, 9}, {8, 12}, {13, 6}});
});
const TDraw StockNo = StockGlyph([](cairo_t* cr) {
  cairo_arc(cr, 9, 9, 6.5, 0, 2 * M_PI);
  cairo_set_line_width(cr, 2.2);
  SetColour(cr, Hex(0xC01C28));
  cairo_stroke(cr);
  Stroke(cr, 0xC01C28, 2.2, {{4.5, 13.5}, {13.5, 4.5}});
});
const TDraw StockClose = StockGlyph([](cairo_t* cr) {
  cairo_rectangle(cr, 3, 1, 12, 16);
  SetColour(cr, Hex(0x63452C));
  cairo_fill(cr);
  cairo_rectangle(cr, 5, 3, 8, 14);
  SetColour(cr, Hex(0x241F31));
  cairo_fill(cr);
  // The door stands open towards the viewer.
  cairo_move_to(cr, 5, 3);
  cairo_line_to(cr, 10, 5);
  cairo_line_to(cr, 10, 17);
  cairo_line_to(cr, 5, 17);
  cairo_close_path(cr);
  SetColour(cr, Hex(0xB5835A));
  cairo_fill(cr);
  cairo_rectangle(cr, 8, 10, 1, 2);
  SetColour(cr, Hex(0xF6D32D));
  cairo_fill(cr);
});
const TDraw StockAbort = StockGlyph([](cairo_t* cr) {
  Round(cr, 9, 9, 7.5, 0xE01B24, 0xA51D2D);
  Stroke(cr, 0xFFFFFF, 2, {{6, 6}, {12, 12}});
  Stroke(cr, 0xFFFFFF, 2, {{12, 6}, {6, 12}});
});
const TDraw StockRetry = StockGlyph([](cairo_t* cr) {
  cairo_arc(cr, 9, 9.5, 5.5, -M_PI / 2 + 1.1, 1.5 * M_PI - 0.2);
  cairo_set_line_width(cr, 2.2);
  SetColour(cr, Hex(0x26A269));
  cairo_stroke(cr);
  cairo_move_to(cr, 8, 0.5);
  cairo_line_to(cr, 13, 4);
  cairo_line_to(cr, 8, 7.5);
  cairo_close_path(cr);
  cairo_fill(cr);
});
const TDraw StockIgnore = StockGlyph([](cairo_t* cr) {
  cairo_rectangle(cr, 7, 10, 4, 7);
  SetColour(cr, Hex(0x77767B));
  cairo_fill(cr);
  // An arrow hopping over the block.
  cairo_move_to(cr, 2, 15);
  cairo_curve_to(cr, 2, 2, 14, 2, 14, 11);
  cairo_set_line_width(cr, 2);
  SetColour(cr, Hex(0x1A5FB4));
  cairo_stroke(cr);
  cairo_move_to(cr, 10.5, 10);
  cairo_line_to(cr, 17.5, 10);
  cairo_line_to(cr, 14, 15);
  cairo_close_path(cr);
  cairo_fill(cr);
});
const TDraw StockAll = StockGlyph([](cairo_t* cr) {
  Stroke(cr, 0x26A269, 2, {{1, 9}, {4, 12}, {10, 4}});
  Stroke(cr, 0x26A269, 2, {{7, 11}, {10, 14}, {17, 5}});
});

// ---- output ------------------------------------------------------------------------

struct TImage {
  int Size;
  std::vector<std::uint32_t> Pixels; // straight alpha, 0xAARRGGBB, top row first
};

TImage Render(const TDraw& draw, int size)
{
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, size, size);
  cairo_t* cr = cairo_create(surface);
  cairo_scale(cr, size, size);
  draw(cr);
  cairo_destroy(cr);
  cairo_surface_flush(surface);
  TImage image{size, {}};
  const unsigned char* data = cairo_image_surface_get_data(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      std::uint32_t p;
      std::memcpy(&p, data + y * stride + 4 * x, 4);
      const std::uint32_t a = p >> 24;
      auto straight = [a](std::uint32_t c) { return a ? std::min<std::uint32_t>(255, (c * 255 + a / 2) / a) : 0; };
      image.Pixels.push_back((a << 24) | (straight((p >> 16) & 0xFF) << 16) | (straight((p >> 8) & 0xFF) << 8) |
                             straight(p & 0xFF));
    }
  cairo_surface_destroy(surface);
  return image;
}

// The update picture of the version status dialog: a blue disc with a white
// arrow pointing down onto a tray.
void UpdateIcon(cairo_t* cr)
{
  Disc(cr, 0.5, 0.5, 0.44, Hex(0x62A0EA), Hex(0x1A5FB4), Hex(0x0F3F7A));
  SetColour(cr, Hex(0xFFFFFF));
  cairo_move_to(cr, 0.43, 0.2);
  cairo_line_to(cr, 0.57, 0.2);
  cairo_line_to(cr, 0.57, 0.47);
  cairo_line_to(cr, 0.7, 0.47);
  cairo_line_to(cr, 0.5, 0.68);
  cairo_line_to(cr, 0.3, 0.47);
  cairo_line_to(cr, 0.43, 0.47);
  cairo_close_path(cr);
  cairo_fill(cr);
  cairo_rectangle(cr, 0.28, 0.73, 0.44, 0.07);
  cairo_fill(cr);
}

void Put(std::vector<std::uint8_t>& out, std::uint32_t v, int bytes)
{
  for (int i = 0; i < bytes; ++i)
    out.push_back(std::uint8_t(v >> (8 * i)));
}

// A 40-byte bitmap header and the pixels, bottom row first.
void PutDib(std::vector<std::uint8_t>& out, const TImage& image, int headerHeight, std::uint32_t imageSize,
            std::uint32_t hiddenColour)
{
  Put(out, 40, 4);
  Put(out, std::uint32_t(image.Size), 4);
  Put(out, std::uint32_t(headerHeight), 4);
  Put(out, 1, 2);
  Put(out, 32, 2);
  Put(out, 0, 4);
  Put(out, imageSize, 4);
  Put(out, 0, 16);
  for (int y = image.Size - 1; y >= 0; --y)
    for (int x = 0; x < image.Size; ++x) {
      const std::uint32_t p = image.Pixels[std::size_t(y * image.Size + x)];
      Put(out, (p >> 24) ? p : hiddenColour, 4);
    }
}

std::vector<std::uint8_t> IconFile(const TDraw& draw, const std::vector<int>& sizes)
{
  std::vector<std::vector<std::uint8_t>> frames;
  for (int size : sizes) {
    const TImage image = Render(draw, size);
    const int maskStride = (size + 31) / 32 * 4;
    std::vector<std::uint8_t> frame;
    PutDib(frame, image, 2 * size, std::uint32_t(size * size * 4 + maskStride * size), 0);
    for (int y = size - 1; y >= 0; --y) {
      std::vector<std::uint8_t> row(std::size_t(maskStride), 0);
      for (int x = 0; x < size; ++x)
        if ((image.Pixels[std::size_t(y * size + x)] >> 24) == 0)
          row[std::size_t(x / 8)] |= std::uint8_t(0x80 >> (x % 8));
      frame.insert(frame.end(), row.begin(), row.end());
    }
    frames.push_back(frame);
  }
  std::vector<std::uint8_t> out;
  Put(out, 0, 2);
  Put(out, 1, 2);
  Put(out, std::uint32_t(sizes.size()), 2);
  std::uint32_t offset = std::uint32_t(6 + 16 * sizes.size());
  for (std::size_t i = 0; i < sizes.size(); ++i) {
    Put(out, std::uint32_t(sizes[i] & 0xFF), 1);
    Put(out, std::uint32_t(sizes[i] & 0xFF), 1);
    Put(out, 0, 2);
    Put(out, 1, 2);
    Put(out, 32, 2);
    Put(out, std::uint32_t(frames[i].size()), 4);
    Put(out, offset, 4);
    offset += std::uint32_t(frames[i].size());
  }
  for (const auto& f : frames)
    out.insert(out.end(), f.begin(), f.end());
  return out;
}

// A 32-bit BMP; its fully transparent pixels are fuchsia for masked lists.
std::vector<std::uint8_t> BitmapFile(const TDraw& draw, int size)
{
  const TImage image = Render(draw, size);
  std::vector<std::uint8_t> dib;
  PutDib(dib, image, size, std::uint32_t(size * size * 4), 0x00FF00FF);
  std::vector<std::uint8_t> out = {'B', 'M'};
  Put(out, std::uint32_t(14 + dib.size()), 4);
  Put(out, 0, 4);
  Put(out, 14 + 40, 4);
  out.insert(out.end(), dib.begin(), dib.end());
  return out;
}

// A 24-bit BMP over a fuchsia key colour, which its bottom-left pixel shows
// (drawings leave that corner empty).
std::vector<std::uint8_t> KeyedBitmapFile(const TDraw& draw, int size)
{
  const TImage image = Render(draw, size);
  const std::uint32_t stride = std::uint32_t(size * 3 + 3) / 4 * 4;
  std::vector<std::uint8_t> out = {'B', 'M'};
  Put(out, 14 + 40 + stride * std::uint32_t(size), 4);
  Put(out, 0, 4);
  Put(out, 14 + 40, 4);
  Put(out, 40, 4);
  Put(out, std::uint32_t(size), 4);
  Put(out, std::uint32_t(size), 4);
  Put(out, 1, 2);
  Put(out, 24, 2);
  Put(out, 0, 4);
  Put(out, stride * std::uint32_t(size), 4);
  Put(out, 0, 16);
  for (int y = size - 1; y >= 0; --y) {
    for (int x = 0; x < size; ++x) {
      const std::uint32_t p = image.Pixels[std::size_t(y * size + x)];
      Put(out, (p >> 24) >= 128 ? p & 0xFFFFFF : 0xFF00FF, 3);
    }
    for (std::uint32_t pad = std::uint32_t(size) * 3; pad < stride; ++pad)
      out.push_back(0);
  }
  return out;
}

bool Write(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
  FILE* f = std::fopen(path.c_str(), "wb");
  const bool ok = f && std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  if (f)
    std::fclose(f);
  if (!ok)
    std::fprintf(stderr, "QxArtwork: cannot write %s\n", path.c_str());
  return ok;
}

bool WritePng(const std::string& path, const TDraw& draw, int size)
{
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, size, size);
  cairo_t* cr = cairo_create(surface);
  cairo_scale(cr, size, size);
  draw(cr);
  cairo_destroy(cr);
  const bool ok = cairo_surface_write_to_png(surface, path.c_str()) == CAIRO_STATUS_SUCCESS;
  cairo_surface_destroy(surface);
  if (!ok)
    std::fprintf(stderr, "QxArtwork: cannot write %s\n", path.c_str());
  return ok;
}

} // namespace

int main(int argc, char** argv)
{
  if (argc != 2) {
    std::fprintf(stderr, "usage: QxArtwork <source root>\n");
    return 2;
  }
  const std::string root = argv[1];
  const std::string system = root + "/Platform/Win/Resources/", own = root + "/Components/Resources/";
  const std::vector<int> iconSizes = {16, 24, 32, 48};
  bool ok = true;
  ok &= Write(system + "Information.ico", IconFile(Information, iconSizes));
  ok &= Write(system + "Question.ico", IconFile(Question, iconSizes));
  ok &= Write(system + "Warning.ico", IconFile(Warning, iconSizes));
  ok &= Write(system + "Error.ico", IconFile(Error, iconSizes));
  ok &= Write(system + "Shield.ico", IconFile(Shield, iconSizes));
  ok &= Write(own + "ClearIcon.ico", IconFile(ClearIcon, iconSizes));
  ok &= Write(own + "SearchIcon.ico", IconFile(SearchIcon, iconSizes));
  ok &= Write(own + "OpenUrlIcon.ico", IconFile(OpenUrlIcon, iconSizes));
  ok &= Write(own + "OpenFolderImage.bmp", BitmapFile(OpenFolderImage, 16));
  ok &= WritePng(own + "NavBackNormal.png", NavBack(kBlueTop, kBlueBottom, kBlueRim, kWhite), 30);
  ok &= WritePng(own + "NavBackHot.png", NavBack(Hex(0x99C1F1), Hex(0x3584E4), kBlueRim, kWhite), 30);
  ok &= WritePng(own + "NavBackPressed.png", NavBack(Hex(0x1C71D8), Hex(0x0F3F7A), Hex(0x0B2F5C), Hex(0xDEDDDA)),
                 30);
  ok &= WritePng(own + "NavBackDisabled.png", NavBack(Hex(0xF0F0EF), Hex(0xD5D4D2), Hex(0xB0AFAC), Hex(0xA8A7A4)),
                 30);
  const std::string vcl = root + "/Platform/Vcl/Resources/";
  const std::pair<const char*, const TDraw*> stock[] = {
    {"StockOk.bmp", &StockOk},       {"StockCancel.bmp", &StockCancel}, {"StockHelp.bmp", &StockHelp},
    {"StockYes.bmp", &StockYes},     {"StockNo.bmp", &StockNo},         {"StockClose.bmp", &StockClose},
    {"StockAbort.bmp", &StockAbort}, {"StockRetry.bmp", &StockRetry},   {"StockIgnore.bmp", &StockIgnore},
    {"StockAll.bmp", &StockAll}};
  for (const auto& [file, draw] : stock)
    ok &= Write(vcl + file, KeyedBitmapFile(*draw, 18));
  ok &= WritePng(own + "UpdateIcon.png", UpdateIcon, 48);
  return ok ? 0 : 1;
}
