#include "Quorex.Vcl.PngButtonFunctions.hpp"

#include "Quorex.Vcl.PngFunctions.hpp"

#include <Vcl.ActnList.hpp>
#include <Vcl.ImgList.hpp>
#include <Win.Gdi.hpp>

namespace Quorex {

using namespace Vcl;

namespace {

TSize MeasureCaption(TCanvas* Canvas, const String& Caption, int ClientWidth, int TextFlags)
{
  if (Caption.empty())
    return TSize();
  TRect r(0, 0, ClientWidth, 0);
  Win::DrawText(Canvas->Handle(), Caption.c_str(), int(Caption.size()), &r, Win::UINT(TextFlags) | Win::DT_CALCRECT);
  return TSize(r.Width(), r.Height());
}

// Margin and spacing along the layout axis, the automatic values resolved.
void ResolveGaps(int ClientSize, int GlyphSize, int TextSize, int& Margin, int& Spacing)
{
  if (Margin == -1) {
    if (Spacing == -1) {
      Margin = (ClientSize - (GlyphSize + TextSize)) / 3;
      Spacing = Margin;
      return;
    }
    Margin = (ClientSize - (GlyphSize + Spacing + TextSize)) / 2;
    return;
  }
  if (Spacing == -1)
    Spacing = (ClientSize - (Margin + GlyphSize) - TextSize) / 2;
}

} // namespace

void CalcButtonLayout(TCanvas* Canvas, TPngImage* Png, const TRect& Client, bool Pressed, bool Down,
                      const String& Caption, TButtonLayout Layout, int Margin, int Spacing, TPoint& GlyphPos,
                      TPoint& TextPos, int TextFlags)
{
  if (TextFlags & int(Win::DT_RIGHT)) {
    if (Layout == blGlyphLeft)
      Layout = blGlyphRight;
    else if (Layout == blGlyphRight)
      Layout = blGlyphLeft;
  }
  const TSize client = Client.Size();
  const TSize glyph = Png ? TSize(Png->Width(), Png->Height()) : TSize();
  const TSize text = MeasureCaption(Canvas, Caption, client.cx, TextFlags);
  const bool horizontal = Layout == blGlyphLeft || Layout == blGlyphRight;

  if (horizontal)
    GlyphPos.Y = (client.cy - glyph.cy + 1) / 2;
  else
    GlyphPos.X = (client.cx - glyph.cx + 1) / 2;
  if (text.cx == 0 || glyph.cx == 0)
    Spacing = 0;
  if (horizontal)
    ResolveGaps(client.cx, glyph.cx, text.cx, Margin, Spacing);
  else
    ResolveGaps(client.cy, glyph.cy, text.cy, Margin, Spacing);

  switch (Layout) {
  case blGlyphLeft:
    GlyphPos.X = Margin;
    break;
  case blGlyphRight:
    GlyphPos.X = client.cx - Margin - glyph.cx;
    break;
  case blGlyphTop:
    GlyphPos.Y = Margin;
    break;
  case blGlyphBottom:
    GlyphPos.Y = client.cy - Margin - glyph.cy;
    break;
  }
  if (horizontal)
    TextPos.Y = (client.cy - text.cy) / 2;
  else
    TextPos.X = (client.cx - text.cx) / 2;
  switch (Layout) {
  case blGlyphLeft:
    TextPos.X = GlyphPos.X + glyph.cx + Spacing;
    break;
  case blGlyphRight:
    TextPos.X = GlyphPos.X - Spacing - text.cx;
    break;
  case blGlyphTop:
    TextPos.Y = GlyphPos.Y + glyph.cy + Spacing;
    break;
  case blGlyphBottom:
    TextPos.Y = GlyphPos.Y - Spacing - text.cy;
    break;
  }
  const int shift = (Pressed || Down) ? 1 : 0;
  GlyphPos = GlyphPos + TPoint(Client.Left + shift, Client.Top + shift);
  TextPos = TextPos + TPoint(Client.Left + shift, Client.Top + shift);
}

void AssignButtonPng(TPngImage& Png, const TPngImage* Value)
{
  if (!Value) {
    Png.Assign(nullptr);
    return;
  }
  Png.Assign(Value);
  if (Png.Empty())
    return;
  const Byte type = Png.Header().ColorType;
  if ((type == COLOR_RGB || type == COLOR_PALETTE || type == COLOR_RGBALPHA) && Png.HasChunk("gAMA"))
    Png.RemoveChunk("gAMA");
}

bool TakeActionPng(TPngImage& Png, TObject* Sender, bool FromAction, int Index)
{
  auto* action = dynamic_cast<TCustomAction*>(Sender);
  if (!action || !action->Images())
    return false;
  const int index = Index == kActionIndex ? action->ImageIndex() : Index;
  if (index < 0 || index >= action->Images()->Count())
    return false;
  if (!Png.Empty() && !FromAction)
    return false;
  CopyImageFromImageList(&Png, action->Images(), index);
  return true;
}

} // namespace Quorex
