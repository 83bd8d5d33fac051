// A graphic loaded from bytes and the bytes it saves: the stream round trip
// the image tests read and compare.
#pragma once

#include <System.Streams.hpp>

namespace QxTest {

template <class TGraphicLike>
void LoadBytes(TGraphicLike& Graphic, const Vcl::TBytes& Data)
{
  Vcl::TBytesStream stream(Data);
  Graphic.LoadFromStream(&stream);
}

template <class TGraphicLike>
Vcl::TBytes SavedBytes(TGraphicLike& Graphic)
{
  Vcl::TBytesStream stream;
  Graphic.SaveToStream(&stream);
  const Vcl::TBytes& bytes = stream.Bytes();
  return Vcl::TBytes(bytes.begin(), bytes.begin() + std::ptrdiff_t(stream.Size()));
}

} // namespace QxTest
