// SmoothResize's rows in vector code, dispatched at run time to the best
// instruction set of the CPU. The results are bit for bit those of the
// helper's plain code; what does not fill a whole vector is done pixel by
// pixel in that code's arithmetic.
#pragma once

#include <System.hpp>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace Quorex::ResizeRows {

// Where each destination column samples a source row, worked out once a
// call.
struct TColumns {
  TColumns(int NewWidth, float Scale, int SourceWidth);
  std::size_t Count() const { return Index[0].size(); }

  std::vector<std::int32_t> Index[2]; // the left and the right source pixel
  std::vector<float> Weight[2];
  // The leading columns whose pixels can be read four bytes at a time, colour
  // and alpha alike, and eight colour bytes at a time from the left pixel on,
  // without reading past the end of the source row.
  std::size_t Wide = 0;
  // The length of a sampled plane: a whole number of cache lines and one
  // more, so that the planes read side by side do not fall into the same
  // cache set (a power of two apart, they would evict one another).
  std::size_t Stride = 0;
};

// Source rows as the destination columns sample them: each into eight
// planes of Columns.Stride floats, the left pixels' blue, green, red and
// alpha, then the right pixels'. Without an alpha row the alpha planes are
// left alone. Count is 1 or 2 (the two rows of a step read the columns once).
constexpr std::size_t kPlanes = 8;
struct TSourceRow {
  const Vcl::Byte* Colour;
  const Vcl::Byte* Alpha;
  float* Planes;
};
void SampleRows(const TSourceRow* Rows, std::size_t Count, const TColumns& Columns);

// A destination row and the weights of its two source rows. Alpha is
// nullptr when there is none.
struct TResizeRow {
  float RowWeight0;
  float RowWeight1;
  Vcl::Byte* Colour;
  Vcl::Byte* Alpha;
};
// One destination row from the sampled rows above and below it.
void ResizeRow(const TColumns& Columns, const float* Top, const float* Bottom, const TResizeRow& Row);

// One destination row straight from the source rows above and below it,
// without planes: for a step whose rows no other step reads, as when
// shrinking. Alpha rows are nullptr when there are none.
struct TSourcePair {
  const Vcl::Byte* Colour[2];
  const Vcl::Byte* Alpha[2];
};
// What such a row reads of each sampled column, one row after the other:
// the eight colour bytes from the left pixel on and the four alpha bytes.
struct TDirectStage {
  explicit TDirectStage(const TColumns& Columns);
  std::vector<std::uint64_t> Colour[2];
  std::vector<std::uint32_t> Alpha[2];
};
void ResizeRowDirect(const TColumns& Columns, const TSourcePair& Source, TDirectStage& Stage, const TResizeRow& Row);

} // namespace Quorex::ResizeRows
