// libpng reports errors by longjmp. Every function here that calls libpng and
// sets the jump point holds no object with a destructor and touches no local
// after the jump: it only fills structures its caller owns. All C++ work
// (allocation, exceptions) happens in the callers, between those calls, so a
// failed decode unwinds normally and leaves nothing behind.
#include "Vcl.Imaging.pngimage.Codec.hpp"

#include <png.h>

#include <algorithm>
#include <bit>
#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstring>
#if defined(__x86_64__)
#include <tmmintrin.h>
#endif

namespace Vcl::PngCodec {

namespace {

// ---- libpng structures and callbacks -------------------------------------------------------

constexpr size_t MessageSize = 200;

// What the callbacks see: the stream or output buffer, the first error and
// the last warning (libpng often says why in a warning before the error).
struct TIoState {
  TStream* Stream = nullptr;
  TBytes* Output = nullptr;
  char Message[MessageSize] = {};
  char Warning[MessageSize] = {};

  void Note(const char* message)
  {
    if (!Message[0])
      std::snprintf(Message, MessageSize, "%s", message);
  }
};

[[noreturn]] void OnError(png_structp png, png_const_charp message)
{
  static_cast<TIoState*>(png_get_error_ptr(png))->Note(message);
  png_longjmp(png, 1);
}

void OnWarning(png_structp png, png_const_charp message)
{
  auto* io = static_cast<TIoState*>(png_get_error_ptr(png));
  std::snprintf(io->Warning, MessageSize, "%s", message);
}

// Reads exactly length bytes. Exceptions of the stream stop here: they must
// not travel through libpng, which is C.
void OnRead(png_structp png, png_bytep data, size_t length)
{
  auto* io = static_cast<TIoState*>(png_get_io_ptr(png));
  size_t done = 0;
  try {
    while (done < length) {
      Int64 n = io->Stream->Read(data + done, Int64(length - done));
      if (n <= 0)
        break;
      done += size_t(n);
    }
  } catch (const std::exception& e) {
    io->Note(e.what());
  }
  if (done < length)
    png_error(png, "the data ends before the image does");
}

void OnWrite(png_structp png, png_bytep data, size_t length)
{
  auto* io = static_cast<TIoState*>(png_get_io_ptr(png));
  bool ok = true;
  try {
    io->Output->insert(io->Output->end(), data, data + length);
  } catch (const std::exception&) {
    ok = false;
  }
  if (!ok)
    png_error(png, "out of memory while writing");
}

void OnFlush(png_structp) {}

struct TReadStructs {
  TIoState Io;
  png_structp Png = nullptr;
  png_infop Info = nullptr;

  explicit TReadStructs(TStream* stream)
  {
    Io.Stream = stream;
    Png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &Io, OnError, OnWarning);
    if (Png)
      Info = png_create_info_struct(Png);
    if (!Info) {
      png_destroy_read_struct(&Png, nullptr, nullptr);
      throw EOutOfMemory("Out of memory for the PNG decoder");
    }
    png_set_read_fn(Png, &Io, OnRead);
  }
  ~TReadStructs() { png_destroy_read_struct(&Png, &Info, nullptr); }
  TReadStructs(const TReadStructs&) = delete;
  TReadStructs& operator=(const TReadStructs&) = delete;
};

struct TWriteStructs {
  TIoState Io;
  png_structp Png = nullptr;
  png_infop Info = nullptr;

  explicit TWriteStructs(TBytes* output)
  {
    Io.Output = output;
    Png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &Io, OnError, OnWarning);
    if (Png)
      Info = png_create_info_struct(Png);
    if (!Info) {
      png_destroy_write_struct(&Png, nullptr);
      throw EOutOfMemory("Out of memory for the PNG encoder");
    }
    png_set_write_fn(Png, &Io, OnWrite, OnFlush);
  }
  ~TWriteStructs() { png_destroy_write_struct(&Png, &Info); }
  TWriteStructs(const TWriteStructs&) = delete;
  TWriteStructs& operator=(const TWriteStructs&) = delete;
};

String Reason(const TIoState& io)
{
  String reason = io.Message[0] ? io.Message : "unknown error";
  if (io.Warning[0])
    reason += String(" (") + io.Warning + ")";
  return reason;
}

[[noreturn]] void Fail(const TIoState& io) { throw EPngError("Invalid PNG image: " + Reason(io)); }

// ---- decoding ------------------------------------------------------------------------------

// The file's description up to the first IDAT, as the file gives it.
struct TFileInfo {
  png_uint_32 Width = 0;
  png_uint_32 Height = 0;
  int BitDepth = 0;
  int ColorType = 0;
  int Interlace = 0;
  int PaletteCount = 0;
  png_color Palette[PNG_MAX_PALETTE_LENGTH] = {};
  int AlphaCount = 0;
  png_byte PaletteAlpha[PNG_MAX_PALETTE_LENGTH] = {};
  bool HasTransparentColor = false;
  png_color_16 TransparentColor = {};
  png_fixed_point Gamma = 0;
  size_t RowBytes = 0; // after the transformations, the decoder's row size
};

// Whatever is left in the stream bounds how far its IDAT data can inflate:
// deflate cannot beat 1032:1.
constexpr Int64 MaxInflateRatio = 1032;

void LimitDecoder(png_structp png)
{
  png_set_user_limits(png, png_uint_32(TPngImage::MaxDimension), png_uint_32(TPngImage::MaxDimension));
  png_set_chunk_cache_max(png, 64);
  png_set_chunk_malloc_max(png, 1 << 20);
  // Each IDAT chunk's CRC already covers the compressed bytes (a bad one is
  // an error), so zlib's second checksum over the inflated rows only costs.
  png_set_option(png, PNG_IGNORE_ADLER32, PNG_OPTION_ON);
  // Only PLTE, tRNS and gAMA matter; every other ancillary chunk is skipped
  // unread, so compressed text or profiles never get inflated.
  png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, nullptr, -1);
  static const png_byte gamma[] = "gAMA";
  png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_AS_DEFAULT, gamma, 1);
}

void CopyAncillary(png_structp png, png_infop info, TFileInfo& out)
{
  png_colorp palette = nullptr;
  if (png_get_PLTE(png, info, &palette, &out.PaletteCount) & PNG_INFO_PLTE)
    std::memcpy(out.Palette, palette, sizeof(png_color) * size_t(out.PaletteCount));
  png_bytep alpha = nullptr;
  png_color_16p colour = nullptr;
  if (png_get_tRNS(png, info, &alpha, &out.AlphaCount, &colour) & PNG_INFO_tRNS) {
    if (out.ColorType == PNG_COLOR_TYPE_PALETTE && alpha)
      std::memcpy(out.PaletteAlpha, alpha, size_t(out.AlphaCount));
    if (out.ColorType != PNG_COLOR_TYPE_PALETTE && colour) {
      out.HasTransparentColor = true;
      out.TransparentColor = *colour;
    }
  }
  png_get_gAMA_fixed(png, info, &out.Gamma);
}

// 16-bit samples come out as 8 bits, colour as blue, green, red; low bit
// depths stay packed.
void SetTransformations(png_structp png, const TFileInfo& info)
{
  if (info.BitDepth == 16)
    png_set_scale_16(png);
  if (info.ColorType & PNG_COLOR_MASK_COLOR)
    png_set_bgr(png);
  png_set_interlace_handling(png);
}

bool ReadFileInfo(TReadStructs& s, TFileInfo& out)
{
  if (setjmp(png_jmpbuf(s.Png)))
    return false;
  LimitDecoder(s.Png);
  png_read_info(s.Png, s.Info);
  png_get_IHDR(s.Png, s.Info, &out.Width, &out.Height, &out.BitDepth, &out.ColorType, &out.Interlace,
               nullptr, nullptr);
  CopyAncillary(s.Png, s.Info, out);
  SetTransformations(s.Png, out);
  png_read_update_info(s.Png, s.Info);
  out.RowBytes = png_get_rowbytes(s.Png, s.Info);
  return true;
}

bool ReadRows(TReadStructs& s, png_bytepp rows)
{
  if (setjmp(png_jmpbuf(s.Png)))
    return false;
  png_read_image(s.Png, rows);
  png_read_end(s.Png, nullptr);
  return true;
}

int Channels(int colorType)
{
  switch (colorType) {
  case PNG_COLOR_TYPE_RGB: return 3;
  case PNG_COLOR_TYPE_GRAY_ALPHA: return 2;
  case PNG_COLOR_TYPE_RGB_ALPHA: return 4;
  default: return 1;
  }
}

// Stops images that cannot fit the limits or cannot be in the data that is
// left, before any pixel memory is taken.
void CheckSize(const TFileInfo& info, TStream* stream)
{
  Int64 pixels = Int64(info.Width) * Int64(info.Height);
  if (pixels > TPngImage::MaxPixels)
    throw EPngError(Format("PNG image too large: %u x %u pixels", {unsigned(info.Width), unsigned(info.Height)}));
  Int64 rawRow = (Int64(info.Width) * Channels(info.ColorType) * info.BitDepth + 7) / 8;
  Int64 left = 0;
  try {
    left = stream->Size() - stream->Position();
  } catch (const Exception&) {
    return; // a stream that cannot tell its size is not checked
  }
  if (rawRow * Int64(info.Height) > MaxInflateRatio * (left + 8) + 1024)
    throw EPngError(Format("Invalid PNG image: too little data for %u x %u pixels",
                           {unsigned(info.Width), unsigned(info.Height)}));
}

Word Scale16(Word v) { return Word((unsigned(v) * 255 + 32895) >> 16); }

void TakeAncillary(const TFileInfo& info, TPngImageData& data)
{
  if (info.ColorType == PNG_COLOR_TYPE_PALETTE) {
    data.Palette.resize(size_t(info.PaletteCount));
    for (int i = 0; i < info.PaletteCount; ++i) {
      const png_color& c = info.Palette[i];
      data.Palette[size_t(i)] = {c.red, c.green, c.blue, i < info.AlphaCount ? info.PaletteAlpha[i] : Byte(255)};
    }
  }
  if (info.HasTransparentColor) {
    const png_color_16& c = info.TransparentColor;
    std::array<Word, 3> sample = info.ColorType == PNG_COLOR_TYPE_GRAY ? std::array<Word, 3>{c.gray, 0, 0}
                                                                       : std::array<Word, 3>{c.red, c.green, c.blue};
    unsigned max = (1u << info.BitDepth) - 1;
    bool inRange = sample[0] <= max && sample[1] <= max && sample[2] <= max;
    if (info.BitDepth == 16)
      for (Word& v : sample)
        v = Scale16(v);
    // A tRNS colour no pixel can have is dropped rather than kept as a lie.
    data.HasTransparentSample = inRange;
    data.TransparentSample = inRange ? sample : std::array<Word, 3>{};
  }
  data.HasGamma = info.Gamma > 0;
  data.Gamma = data.HasGamma ? Cardinal(info.Gamma) : 0;
}

// Separates a row of interleaved colour+alpha pixels into the two planes.
template <int ColourBytes>
void SplitRow(const Byte* src, Integer width, Byte* colour, Byte* alpha)
{
  for (Integer x = 0; x < width; ++x) {
    std::memcpy(colour, src, ColourBytes);
    colour += ColourBytes;
    src += ColourBytes;
    *alpha++ = *src++;
  }
}

#if defined(__x86_64__)
// Four pixels per byte shuffle, colour bytes first and alpha last. Each
// colour store is a whole vector whose last four bytes the next pixels
// overwrite, so the shuffles stop two pixels short of the row's end.
[[gnu::target("ssse3")]] Integer SplitRgbaShuffled(const Byte* src, Integer width, Byte* colour, Byte* alpha)
{
  const __m128i order = _mm_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, 3, 7, 11, 15);
  Integer x = 0;
  for (; x + 6 <= width; x += 4) {
    const __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + 4 * x));
    const __m128i c = _mm_shuffle_epi8(p, order);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(colour + 3 * x), c);
    const std::uint32_t a = std::uint32_t(_mm_cvtsi128_si32(_mm_srli_si128(c, 12)));
    std::memcpy(alpha + x, &a, sizeof a);
  }
  return x;
}

// How many leading pixels of a row the CPU's byte shuffle separates.
Integer SplitRgbaFast(const Byte* src, Integer width, Byte* colour, Byte* alpha)
{
  static const bool shuffle = __builtin_cpu_supports("ssse3");
  return shuffle ? SplitRgbaShuffled(src, width, colour, alpha) : 0;
}
#else
Integer SplitRgbaFast(const Byte*, Integer, Byte*, Byte*)
{
  return 0;
}
#endif

// Blue, green, red, alpha pixels: with byte shuffles where the CPU has them,
// then (the plain code) four at a time, 16 bytes in, 12 colour bytes and 4
// alpha bytes out; the rest one at a time.
void SplitRgbaRow(const Byte* src, Integer width, Byte* colour, Byte* alpha)
{
  static_assert(std::endian::native == std::endian::little);
  Integer x = SplitRgbaFast(src, width, colour, alpha);
  src += 4 * x, colour += 3 * x, alpha += x;
  for (; x + 4 <= width; x += 4, src += 16, colour += 12, alpha += 4) {
    std::uint32_t p[4];
    std::memcpy(p, src, sizeof p);
    // Whole words are stored: composing them in a small array would make the
    // copy out of it wait for its parts.
    const std::uint64_t c01 = std::uint64_t((p[0] & 0xFFFFFFu) | (p[1] << 24)) |
                              std::uint64_t(((p[1] >> 8) & 0xFFFFu) | (p[2] << 16)) << 32;
    const std::uint32_t c2 = ((p[2] >> 16) & 0xFFu) | (p[3] << 8);
    const std::uint32_t a = (p[0] >> 24) | ((p[1] >> 24) << 8) | ((p[2] >> 24) << 16) | (p[3] & 0xFF000000u);
    std::memcpy(colour, &c01, sizeof c01);
    std::memcpy(colour + 8, &c2, sizeof c2);
    std::memcpy(alpha, &a, sizeof a);
  }
  SplitRow<3>(src, width - x, colour, alpha);
}

void SplitRow(const Byte* src, Integer width, int colourBytes, Byte* colour, Byte* alpha)
{
  if (colourBytes == 3)
    SplitRgbaRow(src, width, colour, alpha);
  else
    SplitRow<1>(src, width, colour, alpha);
}

// Images with alpha have whole-byte samples, and the rows fill every byte.
void SizePlanes(TPngImageData& data, int colourBytes)
{
  size_t pixels = size_t(data.Header.Width) * size_t(data.Header.Height);
  SizeForOverwrite(data.Colour, pixels * size_t(colourBytes));
  SizeForOverwrite(data.Alpha, pixels);
}

// Interlaced images: every pass revisits the rows, so they are decoded whole
// first and separated afterwards.
void SplitAlpha(const TPixelPlane& decoded, size_t rowBytes, int colourBytes, TPngImageData& data)
{
  const TChunkIHDR& h = data.Header;
  SizePlanes(data, colourBytes);
  for (Integer y = 0; y < h.Height; ++y)
    SplitRow(decoded.data() + size_t(y) * rowBytes, h.Width, colourBytes,
             data.Colour.data() + size_t(y) * size_t(h.Width) * size_t(colourBytes),
             data.Alpha.data() + size_t(y) * size_t(h.Width));
}

// Progressive images: each row is separated into the planes as it comes, so
// the interleaved image never exists whole.
bool ReadSplitRows(TReadStructs& s, Byte* row, int colourBytes, TPngImageData& data)
{
  if (setjmp(png_jmpbuf(s.Png)))
    return false;
  const TChunkIHDR& h = data.Header;
  for (Integer y = 0; y < h.Height; ++y) {
    png_read_row(s.Png, row, nullptr);
    SplitRow(row, h.Width, colourBytes, data.Colour.data() + size_t(y) * size_t(h.Width) * size_t(colourBytes),
             data.Alpha.data() + size_t(y) * size_t(h.Width));
  }
  png_read_end(s.Png, nullptr);
  return true;
}

// Indexes beyond the palette read as black: the entries that make that true
// for libpng too are added.
void PadPalette(TPngImageData& data) { data.Palette.resize(UsedPaletteSize(data), TPngPaletteEntry{}); }

// Files may carry anything in the unused low bits of a packed row's last
// byte; the image keeps them zero so that equal pixels are equal rows.
void ClearRowPadding(TPngImageData& data)
{
  Integer usedBits = (data.Header.Width * data.Header.BitDepth) % 8;
  if (data.Header.BitDepth == 8 || usedBits == 0)
    return;
  Byte mask = Byte(0xFF << (8 - usedBits));
  for (Integer y = 0; y < data.Header.Height; ++y)
    data.Colour[size_t(y) * size_t(data.RowBytes) + size_t(data.RowBytes) - 1] &= mask;
}

// ---- encoding ------------------------------------------------------------------------------

// Everything libpng needs, prepared beforehand.
struct TEncodeInput {
  const TPngImageData* Data = nullptr;
  png_bytepp Rows = nullptr;
  int ColorType = 0;
  int PaletteCount = 0;
  png_color Palette[PNG_MAX_PALETTE_LENGTH] = {};
  int AlphaCount = 0;
  png_byte PaletteAlpha[PNG_MAX_PALETTE_LENGTH] = {};
  bool HasTransparentColor = false;
  png_color_16 TransparentColor = {};
  int Level = 7;
  int FilterMask = PNG_FILTER_NONE;
};

bool WriteImage(TWriteStructs& s, const TEncodeInput& in)
{
  if (setjmp(png_jmpbuf(s.Png)))
    return false;
  const TChunkIHDR& h = in.Data->Header;
  png_set_IHDR(s.Png, s.Info, png_uint_32(h.Width), png_uint_32(h.Height), h.BitDepth, in.ColorType,
               h.InterlaceMethod ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  if (in.PaletteCount > 0)
    png_set_PLTE(s.Png, s.Info, in.Palette, in.PaletteCount);
  if (in.AlphaCount > 0 || in.HasTransparentColor)
    png_set_tRNS(s.Png, s.Info, in.PaletteAlpha, in.AlphaCount,
                 in.HasTransparentColor ? &in.TransparentColor : nullptr);
  if (in.Data->HasGamma)
    png_set_gAMA_fixed(s.Png, s.Info, png_fixed_point(in.Data->Gamma));
  png_set_compression_level(s.Png, in.Level);
  png_set_filter(s.Png, PNG_FILTER_TYPE_BASE, in.FilterMask);
  png_write_info(s.Png, s.Info);
  if (in.ColorType & PNG_COLOR_MASK_COLOR)
    png_set_bgr(s.Png);
  png_set_interlace_handling(s.Png);
  png_write_image(s.Png, in.Rows);
  png_write_end(s.Png, nullptr);
  return true;
}

int FilterMask(TFilters filters)
{
  static constexpr std::pair<TFilter, int> masks[] = {
    {pfNone, PNG_FILTER_NONE}, {pfSub, PNG_FILTER_SUB}, {pfUp, PNG_FILTER_UP},
    {pfAverage, PNG_FILTER_AVG}, {pfPaeth, PNG_FILTER_PAETH}};
  int mask = 0;
  for (auto [filter, bit] : masks)
    if (filters.Contains(filter))
      mask |= bit;
  return mask ? mask : PNG_FILTER_NONE;
}

void PrepareChunks(const TPngImageData& data, TEncodeInput& in)
{
  in.PaletteCount = data.Header.ColorType == COLOR_PALETTE ? int(UsedPaletteSize(data)) : 0;
  for (int i = 0; i < in.PaletteCount; ++i) {
    TPngPaletteEntry e = size_t(i) < data.Palette.size() ? data.Palette[size_t(i)] : TPngPaletteEntry{};
    in.Palette[i] = {e.Red, e.Green, e.Blue};
    in.PaletteAlpha[i] = e.Alpha;
    if (e.Alpha != 255)
      in.AlphaCount = i + 1; // tRNS stops at the last entry that is not opaque
  }
  in.HasTransparentColor = data.HasTransparentSample;
  const auto& t = data.TransparentSample;
  if (data.Header.ColorType == COLOR_GRAYSCALE)
    in.TransparentColor.gray = t[0];
  else {
    in.TransparentColor.red = t[0];
    in.TransparentColor.green = t[1];
    in.TransparentColor.blue = t[2];
  }
}

// Rows in the file's layout: the colour plane itself, or colour and alpha
// interleaved into a scratch buffer.
void PrepareRows(const TPngImageData& data, std::vector<Byte>& scratch, std::vector<png_bytep>& rows)
{
  const TChunkIHDR& h = data.Header;
  rows.resize(size_t(h.Height));
  if (data.Alpha.empty()) {
    for (Integer y = 0; y < h.Height; ++y)
      rows[size_t(y)] = const_cast<Byte*>(data.Colour.data()) + size_t(y) * size_t(data.RowBytes);
    return;
  }
  size_t colourBytes = h.ColorType == COLOR_RGBALPHA ? 3 : 1;
  size_t rowBytes = size_t(h.Width) * (colourBytes + 1);
  scratch.resize(rowBytes * size_t(h.Height));
  const Byte* colour = data.Colour.data();
  const Byte* alpha = data.Alpha.data();
  for (Integer y = 0; y < h.Height; ++y) {
    Byte* dst = scratch.data() + size_t(y) * rowBytes;
    rows[size_t(y)] = dst;
    for (Integer x = 0; x < h.Width; ++x) {
      std::memcpy(dst, colour, colourBytes);
      dst += colourBytes;
      colour += colourBytes;
      *dst++ = *alpha++;
    }
  }
}

} // namespace

unsigned GetSample(const Byte* Row, Integer X, Byte BitDepth)
{
  if (BitDepth == 8)
    return Row[X];
  Integer perByte = 8 / BitDepth;
  unsigned shift = unsigned(8 - BitDepth * (X % perByte + 1));
  return (Row[X / perByte] >> shift) & ((1u << BitDepth) - 1);
}

void SetSample(Byte* Row, Integer X, Byte BitDepth, unsigned Value)
{
  if (BitDepth == 8) {
    Row[X] = Byte(Value);
    return;
  }
  Integer perByte = 8 / BitDepth;
  unsigned shift = unsigned(8 - BitDepth * (X % perByte + 1));
  unsigned mask = (1u << BitDepth) - 1;
  Byte& b = Row[X / perByte];
  b = Byte((b & ~(mask << shift)) | ((Value & mask) << shift));
}

size_t UsedPaletteSize(const TPngImageData& Data)
{
  const TChunkIHDR& h = Data.Header;
  size_t used = Data.Palette.size();
  if (used >= size_t(1) << h.BitDepth)
    return used;
  for (Integer y = 0; y < h.Height; ++y) {
    const Byte* row = Data.Colour.data() + size_t(y) * size_t(Data.RowBytes);
    for (Integer x = 0; x < h.Width; ++x)
      used = std::max(used, size_t(GetSample(row, x, h.BitDepth)) + 1);
  }
  return used;
}

namespace {

// The colour rows, and the alpha plane of an image with alpha, of data.
void ReadPixels(TReadStructs& s, const TFileInfo& info, TPngImageData& data)
{
  const bool alpha = (info.ColorType & PNG_COLOR_MASK_ALPHA) != 0;
  const int colourBytes = info.ColorType == PNG_COLOR_TYPE_RGB_ALPHA ? 3 : 1;
  if (alpha && info.Interlace == PNG_INTERLACE_NONE) {
    SizePlanes(data, colourBytes);
    std::vector<Byte> row(info.RowBytes);
    if (!ReadSplitRows(s, row.data(), colourBytes, data))
      Fail(s.Io);
  } else {
    // libpng writes every byte of a row of whole-byte samples, but keeps
    // the unused low bits of a packed row's last byte as it finds them.
    TPixelPlane decoded;
    if (info.BitDepth >= 8)
      SizeForOverwrite(decoded, info.RowBytes * info.Height);
    else
      decoded.assign(info.RowBytes * info.Height, 0);
    std::vector<png_bytep> rows(info.Height);
    for (png_uint_32 y = 0; y < info.Height; ++y)
      rows[y] = decoded.data() + size_t(y) * info.RowBytes;
    if (!ReadRows(s, rows.data()))
      Fail(s.Io);
    if (alpha)
      SplitAlpha(decoded, info.RowBytes, colourBytes, data);
    else
      data.Colour = std::move(decoded);
  }
  if (alpha) {
    data.RowBytes = data.Header.Width * colourBytes;
    return;
  }
  data.RowBytes = Integer(info.RowBytes);
  ClearRowPadding(data);
}

} // namespace

TPngImageData Decode(TStream* Stream)
{
  TReadStructs s(Stream);
  TFileInfo info;
  if (!ReadFileInfo(s, info))
    Fail(s.Io);
  CheckSize(info, Stream);

  TPngImageData data;
  data.Header.Width = Integer(info.Width);
  data.Header.Height = Integer(info.Height);
  data.Header.BitDepth = Byte(info.BitDepth == 16 ? 8 : info.BitDepth);
  data.Header.ColorType = Byte(info.ColorType);
  data.Header.InterlaceMethod = Byte(info.Interlace);
  TakeAncillary(info, data);
  ReadPixels(s, info, data);
  if (data.Header.ColorType == COLOR_PALETTE)
    PadPalette(data);
  return data;
}

TBytes Encode(const TPngImageData& Data, const TEncodeSettings& Settings)
{
  if (Data.Header.Width <= 0 || Data.Header.Height <= 0)
    throw EPngError("Cannot save an empty PNG image");
  TEncodeInput in;
  in.Data = &Data;
  in.ColorType = Data.Header.ColorType;
  in.Level = Settings.CompressionLevel;
  in.FilterMask = FilterMask(Settings.Filters);
  PrepareChunks(Data, in);
  std::vector<Byte> scratch;
  std::vector<png_bytep> rows;
  PrepareRows(Data, scratch, rows);
  in.Rows = rows.data();

  TBytes output;
  TWriteStructs s(&output);
  if (!WriteImage(s, in))
    throw EPngError("Cannot write the PNG image: " + Reason(s.Io));
  return output;
}

} // namespace Vcl::PngCodec
