#include <Quorex.Vcl.HtmlLabel.hpp>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace Quorex;
using namespace Vcl;

namespace {

std::string Escape(const String& s)
{
  std::string out;
  for (char c : s) {
    if (c == '\r')
      out += "\\r";
    else if (c == '\n')
      out += "\\n";
    else
      out += c;
  }
  return out;
}

// Text nodes as 'text', element nodes as (children).
std::string Tree(const THtmlNode* node)
{
  std::string out;
  for (const THtmlNode* child : node->Nodes()) {
    if (!out.empty())
      out += " ";
    out += child->Nodes().Count() == 0 ? "'" + Escape(child->Text()) + "'" : "(" + Tree(child) + ")";
  }
  return out;
}

class HtmlParserTest : public ::testing::Test {
protected:
  HtmlParserTest()
  {
    Font.SetName("DejaVu Sans");
    Font.SetSize(10);
    Font.SetColor(clBlack);
    Parser.RegisterTags();
    Parser.SetDefaultFont(&Font);
  }

  std::string Parse(const String& text)
  {
    Parser.Parse(text);
    return Tree(Parser.Root());
  }

  // The node at a path of child indexes below the root.
  const THtmlNode* At(std::initializer_list<int> path) const
  {
    const THtmlNode* node = Parser.Root();
    for (int i : path)
      node = node->Nodes()[i];
    return node;
  }

  TFont Font;
  THtmlParser Parser;
};

} // namespace

TEST_F(HtmlParserTest, TextAndNestingUnderTheSameRootEachParse)
{
  THtmlNode* root = Parser.Root();
  EXPECT_EQ(Parse(""), "");
  EXPECT_EQ(Parser.Root()->Nodes().Count(), 0);
  EXPECT_EQ(Parse("plain"), "'plain'");
  EXPECT_EQ(Parse("a<b>b</b>c"), "'a' ('b') 'c'");
  EXPECT_TRUE(At({1})->Fonts().Style().Contains(fsBold));
  EXPECT_TRUE(At({1, 0})->Fonts().Style().Contains(fsBold));
  EXPECT_FALSE(At({2})->Fonts().Style().Contains(fsBold));
  EXPECT_EQ(At({1})->Text(), "");

  EXPECT_EQ(Parse("<b>unclosed"), "('unclosed')");
  EXPECT_EQ(Parse("<i><b>x</b>y</i>z"), "(('x') 'y') 'z'");
  EXPECT_EQ(At({0, 0, 0})->Fonts().Style(), (TFontStyles{fsBold, fsItalic}));
  EXPECT_EQ(At({0, 1})->Fonts().Style(), (TFontStyles{fsItalic}));
  EXPECT_EQ(At({1})->Fonts().Style(), TFontStyles{});
  const Vcl::UInt64 generation = root->Generation();
  EXPECT_EQ(Parse("<u>x</u>"), "('x')");
  EXPECT_TRUE(At({0, 0})->Fonts().Style().Contains(fsUnderline));
  // Each parse replaces the tree under the same root.
  EXPECT_EQ(Parser.Root(), root);
  EXPECT_GT(root->Generation(), generation);
}

TEST_F(HtmlParserTest, NamesIgnoreCaseAndOnlyTheInnermostTagCloses)
{
  EXPECT_EQ(Parse("<B>x</b>"), "('x')");
  EXPECT_TRUE(At({0})->Fonts().Style().Contains(fsBold));
  EXPECT_EQ(Parse("<b >x</B>y"), "('x') 'y'");
  EXPECT_EQ(Parse("<b><i>x</b></i>"), "(('x</b>'))");
  EXPECT_EQ(Parse("x</b>"), "'x</b>'");
  EXPECT_EQ(Parse("<b>a</b c>d"), "('a') 'd'");
  EXPECT_EQ(Parse("<b>a</ b>"), "('a</ b>')");
}

TEST_F(HtmlParserTest, WhatIsNotATagStaysLiteral)
{
  EXPECT_EQ(Parse("< b>x"), "'< b>x'");
  EXPECT_EQ(Parse("<p>hi</p>"), "'<p>hi</p>'");
  EXPECT_EQ(Parse("1 < 2"), "'1 < 2'");
  EXPECT_EQ(Parse("a<"), "'a<'");
  EXPECT_EQ(Parse("<>"), "'<>'");
  EXPECT_EQ(Parse("</>"), "'</>'");
  EXPECT_EQ(Parse("&amp; &lt; >"), "'&amp; &lt; >'");
  EXPECT_EQ(Parse("<b\tx>y"), "'<b\tx>y'");
  // Several "<" before a tag: each one is tried, the last one opens.
  EXPECT_EQ(Parse("<<<b>x</b>"), "'<<' ('x')");
  EXPECT_EQ(Parse("<b<b>>x"), "'<b' ('>x')");
  EXPECT_EQ(Parse("< <b>x"), "'< ' ('x')");
  EXPECT_EQ(Parse(" a\r\n\tb "), "' a\\r\\n\tb '");

  THtmlParser bare;
  bare.Parse("<b>x</b>");
  EXPECT_EQ(Tree(bare.Root()), "'<b>x</b>'");
}

TEST_F(HtmlParserTest, LineBreaksAndSeparators)
{
  EXPECT_EQ(Parse("<br/>"), "'<br/>'");
  EXPECT_EQ(Parse("x<br>y"), "'x' '\\r\\n' 'y'");
  EXPECT_EQ(Parse("<br />"), "'\\r\\n'");
  EXPECT_EQ(Parse("<BR>"), "'\\r\\n'");
  EXPECT_EQ(Parse("<b>x<br>y</b>z"), "('x' '\\r\\n' 'y') 'z'");
  EXPECT_EQ(Parse("</br>"), "'</br>'");

  EXPECT_EQ(Parse("a<div>b"), "'a' ' | ' 'b'");
  for (const TFontData& f : At({1})->Fonts().Items())
    EXPECT_EQ(f.Color, 0x00C0C0C0);
  EXPECT_EQ(At({2})->Fonts().Color(), clBlack);
  EXPECT_EQ(Parse("</div>"), "'</div>'");
}

TEST_F(HtmlParserTest, LinksCarryIdentifierColourAndHoverUnderline)
{
  EXPECT_EQ(Parse("<a href=42>x</a>"), "('x')");
  EXPECT_EQ(At({0})->Id(), "link:42");
  EXPECT_TRUE(At({0})->NeedRepaint());
  EXPECT_FALSE(At({0, 0})->NeedRepaint());
  const TNodeFonts& fonts = At({0, 0})->Fonts();
  for (const TFontData& f : fonts.Items())
    EXPECT_EQ(f.Color, 0x00FF0000);
  EXPECT_FALSE(fonts.Items(nsNormal).Style.Contains(fsUnderline));
  EXPECT_TRUE(fonts.Items(nsHover).Style.Contains(fsUnderline));
  EXPECT_FALSE(fonts.Items(nsClick).Style.Contains(fsUnderline));

  Parse("<a href=\"42\">x</a>");
  EXPECT_EQ(At({0})->Id(), "link:42");
  Parse("<A HREF=7 href=8>x</A>");
  EXPECT_EQ(At({0})->Id(), "link:8");
  Parse("<a>x</a>");
  EXPECT_EQ(At({0})->Id(), "link:");
  // The ">" inside the quotes ends the tag: the value is unterminated.
  EXPECT_EQ(Parse("<a href=\"4>2\">x</a>"), "('2\">x')");
  EXPECT_EQ(At({0})->Id(), "link:\"4");

  // A font inside a link keeps the link's hover underline.
  Parse("<a href=1><font color=$0000FF>x</font></a>");
  EXPECT_TRUE(At({0, 0, 0})->Fonts().Items(nsHover).Style.Contains(fsUnderline));
  EXPECT_EQ(At({0, 0, 0})->Fonts().Color(), 0x0000FF);
}

TEST_F(HtmlParserTest, LinkSettingsReachOnlyRegisteredTags)
{
  Parser.SetLinkColor(clRed);
  Parser.SetLinkUnderline(true);
  Parse("<a href=1>x</a>");
  EXPECT_EQ(At({0, 0})->Fonts().Color(), clRed);
  EXPECT_TRUE(At({0, 0})->Fonts().Items(nsNormal).Style.Contains(fsUnderline));

  THtmlParser late;
  late.SetLinkColor(clRed);
  late.RegisterTags();
  late.SetDefaultFont(&Font);
  late.Parse("<a>x</a>");
  EXPECT_EQ(late.Root()->Nodes()[0]->Fonts().Color(), 0x00FF0000);
  EXPECT_EQ(late.LinkColor(), clRed);
}

TEST_F(HtmlParserTest, FontColours)
{
  auto colorOf = [&](const String& markup) {
    Parse(markup);
    return At({0, 0})->Fonts().Color();
  };
  EXPECT_EQ(colorOf("<font color=$0000FF>r</font>"), 0x0000FF);
  EXPECT_EQ(colorOf("<font color=\"$0000FF\">r</font>"), 0x0000FF);
  EXPECT_EQ(colorOf("<font color=255>r</font>"), 0x0000FF);
  EXPECT_EQ(colorOf("<font color=clRed>r</font>"), clRed);
  EXPECT_EQ(colorOf("<font COLOR=CLRED>r</font>"), clRed);
  EXPECT_EQ(colorOf("<font color=clBtnFace>r</font>"), clBtnFace);
  EXPECT_EQ(colorOf("<font color=$FF000008>r</font>"), clWindowText);
  EXPECT_EQ(colorOf("<font color=red>r</font>"), clBlack);
  EXPECT_EQ(colorOf("<font color='$0000FF'>r</font>"), clBlack);
  EXPECT_EQ(colorOf("<font color=$0000FF color=$00FF00>r</font>"), 0x00FF00);

  Parse("<font bgcolor=$00FFFF>r</font>");
  for (const TFontData& f : At({0, 0})->Fonts().Items()) {
    EXPECT_EQ(f.BgColor, 0x00FFFF);
    EXPECT_EQ(f.Color, clBlack);
  }
}

TEST_F(HtmlParserTest, FontFaceSizeAndAttributeSyntax)
{
  auto fontOf = [&](const String& markup) {
    Parse(markup);
    return At({0, 0})->Fonts().Items(nsNormal);
  };
  TFontData f = fontOf("<font face=\"DejaVu Serif\" size=12>x</font>");
  EXPECT_EQ(f.Name, "DejaVu Serif");
  EXPECT_EQ(f.Size, 12);
  f = fontOf("<font size = 12>x</font>");
  EXPECT_EQ(f.Size, 10);
  f = fontOf("<font size=big>x</font>");
  EXPECT_EQ(f.Size, 10);
  // Sizes stay as written; only realising a font bounds them.
  EXPECT_EQ(fontOf("<font size=0>x</font>").Size, 0);
  EXPECT_EQ(fontOf("<font size=-4>x</font>").Size, -4);
  EXPECT_EQ(fontOf("<font size=100000>x</font>").Size, 100000);

  EXPECT_EQ(fontOf("<font face='Serif'>x</font>").Name, "'Serif'");
  EXPECT_EQ(fontOf("<font face=\"a\"\"b\">x</font>").Name, "a\"b");
  EXPECT_EQ(fontOf("<font face=\"x\"y>x</font>").Name, "x");
  EXPECT_EQ(fontOf("<font face=\"\">x</font>").Name, "");
  EXPECT_EQ(fontOf("<font face=\"open>x</font>").Name, "\"open");
  EXPECT_EQ(fontOf("<font face=\"a b\"\tsize=14>x</font>").Size, 14);
  f = fontOf("<font color=$0000FF\r\n  size=9 junk =x>x</font>");
  EXPECT_EQ(f.Color, 0x0000FF);
  EXPECT_EQ(f.Size, 9);
  EXPECT_EQ(fontOf("<font face='a b' size=11>x</font>").Name, "'a b'");
  EXPECT_EQ(fontOf("<font face='a b' size=11>x</font>").Size, 11);
}

TEST_F(HtmlParserTest, DefaultFontAndFontData)
{
  Parser.Root()->Fonts().SetBgColor(0x123456);
  TFont other;
  other.SetName("DejaVu Serif");
  other.SetSize(14);
  other.SetColor(clGreen);
  other.SetStyle({fsItalic});
  Parser.SetDefaultFont(&other);
  EXPECT_EQ(Parser.DefaultFont()->Name(), "DejaVu Serif");
  for (const TFontData& f : Parser.Root()->Fonts().Items()) {
    EXPECT_EQ(f.Name, "DejaVu Serif");
    EXPECT_EQ(f.Size, 14);
    EXPECT_EQ(f.Color, clGreen);
    EXPECT_EQ(f.Style, TFontStyles{fsItalic});
    EXPECT_EQ(f.BgColor, 0x123456);
  }
  Parse("x");
  EXPECT_EQ(At({0})->Fonts().Items(nsHover).Name, "DejaVu Serif");

  TFontData data;
  EXPECT_EQ(data.Size, 0);
  EXPECT_EQ(data.Color, 0);
  data.Assign(other);
  TFont out;
  data.AssignTo(&out);
  EXPECT_EQ(out.Name(), "DejaVu Serif");
  EXPECT_EQ(out.Size(), 14);
  EXPECT_EQ(out.Style(), TFontStyles{fsItalic});
  EXPECT_EQ(data.Clone()->Name, "DejaVu Serif");
}

TEST_F(HtmlParserTest, ProgrammingErrorsAreAssertions)
{
  EXPECT_THAT([&] { Parser.RegisterTag(nullptr); },
              testing::ThrowsMessage<EAssertionFailed>(
                testing::AllOf(testing::HasSubstr("Assertion failure"), testing::HasSubstr("Quorex.Vcl.HtmlLabel"))));
  EXPECT_THROW(TBoldTag().ApplyAttributes("", nullptr), EAssertionFailed);
  EXPECT_THROW(TLinkTag().ApplyAttributes("", nullptr), EAssertionFailed);
  EXPECT_THROW(TDivTag().ApplyAttributes("", nullptr), EAssertionFailed);
  EXPECT_THROW(TFontData().AssignTo(nullptr), EAssertionFailed);
}

TEST_F(HtmlParserTest, DeepNestingIsBuiltAndFreedWithoutRecursion)
{
  const int depth = 100000;
  String markup;
  for (int i = 0; i < depth; ++i)
    markup += "<b>";
  markup += "x";
  Parser.Parse(markup);
  const THtmlNode* node = Parser.Root();
  int levels = 0;
  while (node->Nodes().Count() > 0) {
    node = node->Nodes()[0];
    ++levels;
  }
  EXPECT_EQ(levels, depth + 1);
  EXPECT_EQ(node->Text(), "x");
  Parser.Parse("");
  EXPECT_EQ(Parser.Root()->Nodes().Count(), 0);

  // Freeing a single deep subtree detaches it from its parent first.
  Parser.Parse(markup);
  delete Parser.Root()->Nodes()[0];
  EXPECT_EQ(Parser.Root()->Nodes().Count(), 0);
}
