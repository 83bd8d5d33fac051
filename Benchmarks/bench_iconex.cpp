// Loading a multi-size icon file and taking a 48 x 48 PNG out of it with
// TIconEx, beside gdk-pixbuf's loader asked for the same size from the same
// file; the ratio is printed after the runs.
#include "QxBenchRatio.hpp"

#include <Quorex.Imaging.IconEx.hpp>

#include <gdk-pixbuf/gdk-pixbuf.h>

#include <cstdio>
#include <fstream>
#include <unistd.h>

namespace {

using namespace Vcl;

void U16(TBytes& b, unsigned v)
{
  b.push_back(Byte(v));
  b.push_back(Byte(v >> 8));
}

void U32(TBytes& b, std::uint32_t v)
{
  for (int i = 0; i < 4; ++i)
    b.push_back(Byte(v >> (8 * i)));
}

// A 32-bit frame with alpha as TIcon writes it (the one-image file minus its
// 22-byte header and entry).
TBytes Frame(Integer size)
{
  TBitmap bitmap;
  bitmap.SetPixelFormat(pf32bit);
  bitmap.SetSize(size, size);
  for (Integer y = 0; y < size; ++y) {
    auto* px = reinterpret_cast<std::uint32_t*>(bitmap.ScanLine(y));
    for (Integer x = 0; x < size; ++x)
      px[x] = (std::uint32_t((x + y) * 255 / (2 * size)) << 24) | std::uint32_t(x * 5) << 16 | std::uint32_t(y * 3);
  }
  Win::ICONINFO info;
  TBitmap mask(size, size);
  info.hbmColor = bitmap.Handle();
  info.hbmMask = mask.Handle();
  TIcon icon;
  icon.SetHandle(Win::CreateIconIndirect(&info));
  TBytesStream stream;
  icon.SaveToStream(&stream);
  return TBytes(stream.Bytes().begin() + 22, stream.Bytes().end());
}

std::string SampleFile()
{
  const std::vector<Integer> sizes = {16, 24, 32, 48, 64, 128};
  std::vector<TBytes> frames;
  for (Integer s : sizes)
    frames.push_back(Frame(s));
  TBytes file;
  U16(file, 0);
  U16(file, 1);
  U16(file, unsigned(sizes.size()));
  std::uint32_t offset = std::uint32_t(6 + 16 * sizes.size());
  for (std::size_t i = 0; i < sizes.size(); ++i) {
    file.insert(file.end(), {Byte(sizes[i]), Byte(sizes[i]), 0, 0});
    U16(file, 1);
    U16(file, 32);
    U32(file, std::uint32_t(frames[i].size()));
    U32(file, offset);
    offset += std::uint32_t(frames[i].size());
  }
  for (const TBytes& f : frames)
    file.insert(file.end(), f.begin(), f.end());
  const std::string path = "/tmp/bench_iconex_" + std::to_string(getpid()) + ".ico";
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(file.data()), std::streamsize(file.size()));
  return path;
}

const std::string& Sample()
{
  static const std::string path = SampleFile();
  return path;
}

void QxIconEx48(benchmark::State& state)
{
  for (auto _ : state) {
    Quorex::TIconEx icon;
    icon.LoadFromFile(Sample());
    TPngImage png;
    icon.ExtractIcon(TSize(48, 48), &png, true);
    benchmark::DoNotOptimize(png.Scanline(0));
  }
}
BENCHMARK(QxIconEx48);

void GdkPixbufIco48(benchmark::State& state)
{
  for (auto _ : state) {
    GdkPixbuf* pixbuf = gdk_pixbuf_new_from_file_at_size(Sample().c_str(), 48, 48, nullptr);
    if (!pixbuf) {
      state.SkipWithError("gdk-pixbuf could not read the icon");
      return;
    }
    benchmark::DoNotOptimize(gdk_pixbuf_get_pixels(pixbuf));
    g_object_unref(pixbuf);
  }
}
BENCHMARK(GdkPixbufIco48);

} // namespace

int main(int argc, char** argv)
{
  const int result = QxBench::RunWithRatios(argc, argv, {{"QxIconEx48", "GdkPixbufIco48"}});
  std::remove(Sample().c_str());
  return result;
}
