// gdk-pixbuf as the peer codec of the image benchmarks: the same file bytes
// decoded, and the decoded image encoded, once an iteration.
#pragma once

#include <System.Classes.hpp>

#include <benchmark/benchmark.h>
#include <gdk-pixbuf/gdk-pixbuf.h>

namespace QxBench {

inline GdkPixbufLoader* PixbufLoaded(const char* Type, const Vcl::TBytes& Bytes)
{
  GdkPixbufLoader* loader = gdk_pixbuf_loader_new_with_type(Type, nullptr);
  gdk_pixbuf_loader_write(loader, Bytes.data(), Bytes.size(), nullptr);
  gdk_pixbuf_loader_close(loader, nullptr);
  return loader;
}

inline void PixbufDecode(benchmark::State& state, const char* Type, const Vcl::TBytes& Bytes)
{
  for (auto _ : state) {
    GdkPixbufLoader* loader = PixbufLoaded(Type, Bytes);
    benchmark::DoNotOptimize(gdk_pixbuf_get_pixels(gdk_pixbuf_loader_get_pixbuf(loader)));
    g_object_unref(loader);
  }
}

// Options: the saver's key and value strings, in pairs.
template <class... Options>
void PixbufEncode(benchmark::State& state, const char* Type, const Vcl::TBytes& Bytes, Options... options)
{
  GdkPixbufLoader* loader = PixbufLoaded(Type, Bytes);
  GdkPixbuf* pixbuf = gdk_pixbuf_loader_get_pixbuf(loader);
  for (auto _ : state) {
    gchar* buffer = nullptr;
    gsize size = 0;
    gdk_pixbuf_save_to_buffer(pixbuf, &buffer, &size, Type, nullptr, options..., nullptr);
    benchmark::DoNotOptimize(size);
    g_free(buffer);
  }
  g_object_unref(loader);
}

// The bytes a stream holds (its buffer may be larger).
inline Vcl::TBytes StreamBytes(Vcl::TBytesStream& Stream)
{
  return Vcl::TBytes(Stream.Bytes().begin(), Stream.Bytes().begin() + Stream.Size());
}

} // namespace QxBench
