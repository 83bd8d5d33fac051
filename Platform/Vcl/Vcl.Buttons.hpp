// Button types shared by the glyph buttons.
#pragma once

namespace Vcl {

// Where a button puts its glyph relative to the caption.
enum class TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
using enum TButtonLayout;

} // namespace Vcl
