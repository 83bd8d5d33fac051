#include <Quorex.Vcl.HtmlLabel.hpp>

#include <gtest/gtest.h>

using namespace Quorex;
using namespace Vcl;

namespace {

class HtmlRendererTest : public ::testing::Test {
protected:
  HtmlRendererTest()
  {
    Font.SetName("DejaVu Sans Mono");
    Font.SetSize(10);
    Font.SetColor(clBlack);
    Parser.RegisterTags();
    Parser.SetDefaultFont(&Font);
    Renderer.SetHtml(Parser.Root());
    TSize cell = Measure("x", 10);
    CharWidth = cell.cx;
    LineHeight = cell.cy;
  }

  // The extent of text in the default face at a size, measured apart from
  // the renderer.
  TSize Measure(const String& text, Integer size, TFontStyles style = {})
  {
    TBitmap bitmap(1, 1);
    bitmap.Canvas()->Font()->Assign(&Font);
    bitmap.Canvas()->Font()->SetSize(size);
    bitmap.Canvas()->Font()->SetStyle(style);
    return bitmap.Canvas()->TextExtent(text);
  }

  TSize Layout(const String& markup, const TRect& rect = TRect(0, 0, 400, 200))
  {
    Parser.Parse(markup);
    return Renderer.Reparse(rect);
  }

  std::vector<String> ChunkTexts()
  {
    std::vector<String> words;
    for (const THtmlRenderChunk& c : Renderer.Chunks())
      words.push_back(c.Text());
    return words;
  }

  // Where each chunk starts, as (x, y).
  std::vector<std::pair<Integer, Integer>> Origins()
  {
    std::vector<std::pair<Integer, Integer>> origins;
    for (const THtmlRenderChunk& c : Renderer.Chunks())
      origins.emplace_back(c.X(), c.Y());
    return origins;
  }

  const THtmlRenderChunk& Chunk(int index) { return Renderer.Chunks().at(index); }

  TFont Font;
  THtmlParser Parser;
  THtmlRenderer Renderer;
  Integer CharWidth = 0;
  Integer LineHeight = 0;
};

using Words = std::vector<String>;
using Points = std::vector<std::pair<Integer, Integer>>;

} // namespace

TEST_F(HtmlRendererTest, EmptyTreesAndNoTree)
{
  EXPECT_EQ(Layout(""), TSize(0, 2));
  EXPECT_TRUE(Renderer.Chunks().empty());
  THtmlRenderer none;
  EXPECT_EQ(none.Reparse(TRect(0, 0, 100, 100)), TSize(0, 0));
  EXPECT_EQ(none.ChunkAtXY(0, 0), nullptr);
  none.TrackMouse(0, 0);
  EXPECT_FALSE(none.GetNeedRepaint());
}

TEST_F(HtmlRendererTest, WordsEndAfterTheirFirstNonAlphanumericCharacter)
{
  TSize size = Layout("Hello, world");
  EXPECT_EQ(ChunkTexts(), (Words{"Hello,", " ", "world"}));
  EXPECT_EQ(Origins(), (Points{{0, 0}, {6 * CharWidth, 0}, {7 * CharWidth, 0}}));
  for (const THtmlRenderChunk& c : Renderer.Chunks()) {
    EXPECT_EQ(c.Height(), LineHeight);
    EXPECT_EQ(c.Node(), Parser.Root()->Nodes()[0]);
  }
  EXPECT_EQ(size, TSize(12 * CharWidth, LineHeight + 2));

  Layout("a b");
  EXPECT_EQ(ChunkTexts(), (Words{"a ", "b"}));
  Layout("a1b2 c");
  EXPECT_EQ(ChunkTexts(), (Words{"a1b2 ", "c"}));
  // Letters and digits of every script; UTF-8 sequences are never cut.
  Layout("naïve café—日本語 x٣y");
  EXPECT_EQ(ChunkTexts(), (Words{"naïve ", "café—", "日本語 ", "x٣y"}));
  Layout("ab\xC3(cd\xE2\x82");
  EXPECT_EQ(ChunkTexts(), (Words{"ab\xC3", "(", "cd\xE2\x82"}));
}

TEST_F(HtmlRendererTest, WordBreakWrapsAtTheRightEdgeCountingTheSeparator)
{
  Renderer.SetWordBreak(true);
  // "bb" would fit before the edge, "bb " does not.
  TSize size = Layout("aa bb cc", TRect(0, 0, 5 * CharWidth, 100));
  EXPECT_EQ(ChunkTexts(), (Words{"aa ", "bb ", "cc"}));
  EXPECT_EQ(Origins(), (Points{{0, 0}, {0, LineHeight}, {3 * CharWidth, LineHeight}}));
  EXPECT_EQ(size, TSize(5 * CharWidth, 2 * LineHeight + 2));

  // A first word wider than the rectangle stays and overflows.
  size = Layout("abcdef gh", TRect(10, 20, 10 + 2 * CharWidth, 100));
  EXPECT_EQ(Origins(), (Points{{10, 20}, {10, 20 + LineHeight}}));
  EXPECT_EQ(size, TSize(10 + 7 * CharWidth, 20 + 2 * LineHeight + 2));

  Renderer.SetWordBreak(false);
  size = Layout("aa bb cc dd", TRect(0, 0, 2 * CharWidth, 100));
  for (const THtmlRenderChunk& c : Renderer.Chunks())
    EXPECT_EQ(c.Y(), 0);
  EXPECT_EQ(size.cx, 11 * CharWidth);
}

TEST_F(HtmlRendererTest, LineBreaks)
{
  TSize size = Layout("x<br>y");
  EXPECT_EQ(ChunkTexts(), (Words{"x", "y"}));
  EXPECT_EQ(Origins(), (Points{{0, 0}, {0, LineHeight}}));
  EXPECT_EQ(size, TSize(CharWidth, 2 * LineHeight + 2));
  EXPECT_EQ(Layout("x<br>"), TSize(CharWidth, LineHeight + 2));

  // CR LF after a letter: the CR ends the word, the LF is a word of its own.
  Layout("ab\r\ncd");
  EXPECT_EQ(ChunkTexts(), (Words{"ab\r", "\n", "cd"}));
  EXPECT_EQ(Chunk(2).Y(), 0);
  // After a separator the pair is a break.
  Layout("ab \r\ncd");
  EXPECT_EQ(ChunkTexts(), (Words{"ab ", "cd"}));
  EXPECT_EQ(Origins(), (Points{{0, 0}, {0, LineHeight}}));
  // A lone CR shows nothing and keeps the word after it.
  Layout("ab \rcd \r");
  EXPECT_EQ(ChunkTexts(), (Words{"ab ", "cd "}));
  EXPECT_EQ(Chunk(1).X(), 3 * CharWidth);
}

TEST_F(HtmlRendererTest, MixedSizesShareTheirTopAndBreaksUseTheCurrentLineHeight)
{
  TSize big = Measure("Big", 20);
  TSize size = Layout("<font size=20>Big</font>small<br>next");
  EXPECT_EQ(ChunkTexts(), (Words{"Big", "small", "next"}));
  EXPECT_EQ(Chunk(0).Y(), 0);
  EXPECT_EQ(Chunk(1).Y(), 0);
  EXPECT_EQ(Chunk(0).Height(), big.cy);
  EXPECT_EQ(Chunk(1).X(), big.cx);
  EXPECT_GT(big.cy, LineHeight);
  // The break is in the 10-point root, so the next line starts one 10-point
  // line below the top, overlapping the tall word.
  EXPECT_EQ(Chunk(2).Y(), LineHeight);
  EXPECT_EQ(size.cy, big.cy + 2);
}

TEST_F(HtmlRendererTest, FontSizesAreBoundedWhenRealised)
{
  Layout("<font size=100000>x</font><font size=0>y</font><font size=-7>z</font>");
  ASSERT_EQ(ChunkTexts(), (Words{"x", "y", "z"}));
  EXPECT_EQ(Chunk(0).Font().Size, 100000);
  EXPECT_EQ(Chunk(0).Height(), Measure("x", 720).cy);
  EXPECT_EQ(Chunk(1).Height(), Measure("y", 1).cy);
  EXPECT_EQ(Chunk(2).Height(), Measure("z", 1).cy);
  EXPECT_EQ(Chunk(2).Font().Size, -7);
}

TEST_F(HtmlRendererTest, ChunkAtXYIsHalfOpen)
{
  Layout("ab cd", TRect(10, 20, 400, 200));
  const THtmlRenderChunk* first = &Chunk(0);
  EXPECT_EQ(Renderer.ChunkAtXY(10, 20), first);
  EXPECT_EQ(Renderer.ChunkAtXY(10 + 3 * CharWidth - 1, 20 + LineHeight - 1), first);
  EXPECT_EQ(Renderer.ChunkAtXY(10 + 3 * CharWidth, 20), &Chunk(1));
  EXPECT_EQ(Renderer.ChunkAtXY(10, 20 + LineHeight), nullptr);
  EXPECT_EQ(Renderer.ChunkAtXY(9, 20), nullptr);
  EXPECT_EQ(Renderer.ChunkAtXY(10 + 5 * CharWidth, 20), nullptr);
}

TEST_F(HtmlRendererTest, HoverRaisesNeedRepaintForLinksOnly)
{
  Layout("<a href=7>go</a> plain text");
  const THtmlNode* link = Parser.Root()->Nodes()[0];
  Renderer.TrackMouse(1, 1);
  EXPECT_EQ(Renderer.TextId(), "link:7");
  EXPECT_TRUE(Renderer.GetNeedRepaint());
  EXPECT_FALSE(Renderer.GetNeedRepaint());
  EXPECT_EQ(link->State(), nsHover);
  EXPECT_EQ(Parser.Root()->State(), nsHover);
  EXPECT_EQ(Renderer.LastActiveNode(), link->Nodes()[0]);

  Renderer.TrackMouse(CharWidth + 1, 1); // the same node
  EXPECT_FALSE(Renderer.GetNeedRepaint());
  EXPECT_EQ(Renderer.TextId(), "link:7");

  Renderer.TrackMouse(4 * CharWidth, 1); // plain text
  EXPECT_EQ(Renderer.TextId(), "");
  EXPECT_TRUE(Renderer.GetNeedRepaint());
  EXPECT_EQ(link->State(), nsNormal);
  Renderer.TrackMouse(8 * CharWidth, 1);
  EXPECT_FALSE(Renderer.GetNeedRepaint());
  Renderer.TrackMouse(-1, -1);
  EXPECT_FALSE(Renderer.GetNeedRepaint());
  EXPECT_EQ(Renderer.LastActiveNode(), nullptr);
  EXPECT_EQ(Parser.Root()->State(), nsNormal);

  // Leaving a link for nowhere raises it too, once.
  Renderer.TrackMouse(1, 1);
  Renderer.GetNeedRepaint();
  Renderer.TrackMouse(-1, -1);
  EXPECT_TRUE(Renderer.GetNeedRepaint());
  EXPECT_FALSE(Renderer.GetNeedRepaint());
}

TEST_F(HtmlRendererTest, OnlyTheHoveredNodeAndItsAncestorsChangeState)
{
  Layout("<a>x<b>y</b></a>");
  const THtmlNode* link = Parser.Root()->Nodes()[0];
  Renderer.TrackMouse(CharWidth + 1, 1);
  EXPECT_EQ(Renderer.TextId(), "link:");
  EXPECT_EQ(link->Nodes()[1]->State(), nsHover);
  EXPECT_EQ(link->Nodes()[1]->Nodes()[0]->State(), nsHover);
  EXPECT_EQ(link->State(), nsHover);
  EXPECT_EQ(link->Nodes()[0]->State(), nsNormal);

  // A new layout uses the hover fonts: the hovered word is underlined.
  Renderer.Reparse(TRect(0, 0, 400, 200));
  EXPECT_TRUE(Chunk(1).Font().Style.Contains(fsUnderline));
  EXPECT_FALSE(Chunk(0).Font().Style.Contains(fsUnderline));
}

TEST_F(HtmlRendererTest, AReparsedTreeIsNeverTouchedThroughTheOldLayout)
{
  Layout("<a href=1>go</a> there");
  Renderer.TrackMouse(1, 1);
  ASSERT_NE(Renderer.LastActiveNode(), nullptr);
  Renderer.GetNeedRepaint();
  // The owner forgets to reset the last active node before parsing again.
  Parser.Parse("<a href=2>new</a>");
  EXPECT_EQ(Renderer.LastActiveNode(), nullptr);
  EXPECT_TRUE(Renderer.Chunks().empty());
  EXPECT_EQ(Renderer.ChunkAtXY(1, 1), nullptr);
  Renderer.TrackMouse(20, 1);
  EXPECT_FALSE(Renderer.GetNeedRepaint());

  Parser.Parse("<a href=3>again</a>");
  Renderer.Reparse(TRect(0, 0, 400, 200));
  Renderer.TrackMouse(1, 1);
  EXPECT_EQ(Renderer.TextId(), "link:3");
}

TEST_F(HtmlRendererTest, DeepNestingLaysOutPaintsAndTracks)
{
  String markup;
  for (int i = 0; i < 100000; ++i)
    markup += "<b>";
  markup += "deep";
  Layout(markup);
  ASSERT_EQ(ChunkTexts(), (Words{"deep"}));
  EXPECT_TRUE(Chunk(0).Font().Style.Contains(fsBold));
  Renderer.TrackMouse(1, 1);
  EXPECT_FALSE(Renderer.GetNeedRepaint());
  EXPECT_EQ(Parser.Root()->State(), nsHover);
  TBitmap bitmap(100, 30);
  Renderer.PaintTo(bitmap.Canvas(), TRect(0, 0, 100, 30));
  Renderer.TrackMouse(-1, -1);
  EXPECT_EQ(Parser.Root()->State(), nsNormal);
}
