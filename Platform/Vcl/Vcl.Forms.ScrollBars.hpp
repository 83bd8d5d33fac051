// The kinds of scroll bar a scrolling control has.
#pragma once

namespace Vcl {

enum class TScrollBarKind { sbHorizontal, sbVertical };
using enum TScrollBarKind;

} // namespace Vcl
