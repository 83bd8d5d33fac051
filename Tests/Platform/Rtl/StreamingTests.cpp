#include <QxFormClasses.hpp>
#include <QxFormCompare.hpp>
#include <QxTestSupport.hpp>

#include <gtest/gtest.h>

#include <memory>

using namespace Vcl;
using namespace QxFormTest;
using QxTest::ExpectSameTree;
using QxTest::FindIn;

namespace {

std::vector<String> HostCalls;

TMethodTable HostMethods()
{
  TMethodTable m;
  m.Add<void(TObject*)>("ButtonClick", [](TObject* s) {
    HostCalls.push_back("ButtonClick:" + static_cast<TComponent*>(s)->Name());
  });
  m.Add<void(TObject*)>("TimerTick", [](TObject*) { HostCalls.push_back("TimerTick"); });
  m.Add<void(TObject*, Integer)>("PanelSelect", [](TObject*, Integer i) {
    HostCalls.push_back("PanelSelect:" + IntToStr(i));
  });
  return m;
}

class StreamingTest : public ::testing::Test {
protected:
  void SetUp() override
  {
    EnsureIdentMaps();
    HostCalls.clear();
    TTestControl::LoadedLog().clear();
    FBaseline = TTestControl::LiveCount();
  }
  void TearDown() override { EXPECT_EQ(TTestControl::LiveCount(), FBaseline) << "components leaked or lost"; }

  std::unique_ptr<TComponent> Read(const String& text)
  {
    return std::unique_ptr<TComponent>(ReadComponentRes(text, nullptr, &FMethods));
  }

  TMethodTable FMethods = HostMethods();
  int FBaseline = 0;
};

// The test picture keeps its graphic outside its published properties.
bool SamePicture(TPersistent* a, TPersistent* b, const String& path)
{
  auto* pa = dynamic_cast<TTestPicture*>(a);
  if (!pa)
    return false;
  EXPECT_EQ(pa->GraphicClass, static_cast<TTestPicture*>(b)->GraphicClass) << path;
  EXPECT_EQ(pa->Bytes, static_cast<TTestPicture*>(b)->Bytes) << path;
  return true;
}

// A form with every kind of property set away from its default.
std::unique_ptr<TTestForm> BuildForm(const TMethodTable& methods)
{
  auto form = std::make_unique<TTestForm>(nullptr);
  form->SetName("MainForm");
  form->SetCaption("Main form");
  form->SetHint("It's a \"hint\"\twith\r\ncontrol characters, Grüße and 😀, long enough to be split over lines");
  form->SetWidth(640);
  form->SetHeight(480);
  form->SetColor(0x00F2BC00);
  form->SetCursor(crTestHandPoint);
  form->SetParentFont(false);
  form->Font()->SetName("Segoe UI");
  form->Font()->SetStyle({TTestFontStyle::fsBold, TTestFontStyle::fsUnderline});
  form->Font()->SetColor(0xFF);

  auto* panel = new TTestPanel(form.get());
  panel->SetName("Panel1");
  panel->SetParent(form.get());
  panel->SetLeft(-8);
  panel->SetTop(16);
  panel->SetWidth(300);
  panel->SetHeight(200);
  panel->SetAlign(TTestAlign::alClient);
  panel->SetAnchors({TTestAnchorKind::akLeft, TTestAnchorKind::akRight, TTestAnchorKind::akBottom});
  panel->SetVisible(false);
  panel->SetRatio(0.1);
  panel->SetBig(Int64(1) << 40);
  panel->SetSmall(65535);
  TBytes data;
  for (int i = 0; i < 300; ++i)
    data.push_back(std::uint8_t(i * 7));
  panel->SetData(data);
  panel->Lines()->Add("first 'quoted'");
  panel->Lines()->Add("");
  panel->Lines()->Add("ünïcödé");
  panel->Picture()->GraphicClass = "TTestPng";
  panel->Picture()->Bytes = {0x89, 'P', 'N', 'G'};
  panel->OnSelect = MethodBind<void(TObject*, Integer)>(
    "PanelSelect", *std::any_cast<std::function<void(TObject*, Integer)>>(methods.Find("PanelSelect")));

  auto* label = new TTestLabel(form.get());
  label->SetName("Label1");
  label->SetParent(panel);
  label->SetCaption("Hello");
  label->SetTop(4);
  label->OnClick = MethodBind<void(TObject*)>(
    "ButtonClick", *std::any_cast<std::function<void(TObject*)>>(methods.Find("ButtonClick")));

  auto* item = static_cast<TTestItem*>(panel->Items()->Add());
  item->SetCaption("one");
  item->SetValue(2.25);
  item->SetTarget(label);
  item = static_cast<TTestItem*>(panel->Items()->Add());
  item->SetAlign(TTestAlign::alRight);
  panel->SetBuddy(label);

  auto* timer = new TTestTimer(form.get());
  timer->SetName("Timer1");
  timer->SetInterval(250);
  timer->SetTag(-7);
  timer->OnTimer = MethodBind<void(TObject*)>("TimerTick", [](TObject*) {});
  return form;
}

void ExpectFrameworkLayout(const String& text)
{
  EXPECT_EQ(text.rfind("object MainForm: TTestForm\n", 0), 0u) << text;
  QxTest::ExpectHas(text,
                    {"\n  Color = 15907840\n",
                     "\n  Cursor = crHandPoint\n",
                     "\n  Font.Color = clRed\n",
                     "\n  Font.Style = [fsBold, fsUnderline]\n",
                     "\n  Hint =\n    'It''s a \"hint\"'#9'with'#13#10'control characters, Gr'#252#223'e' +\n",
                     "#55357#56832",
                     " +\n    ",
                     "\n  object Panel1: TTestPanel\n    Left = -8\n",
                     "\n    Anchors = [akLeft, akRight, akBottom]\n",
                     "\n    Visible = False\n",
                     "\n    Items = <\n      item\n        Caption = 'one'\n        Value = 2.25\n"
                     "        Target = Label1\n      end\n      item\n        Align = alRight\n      end>\n",
                     "\n    Data = {\n      00070E151C",
                     "\n    Lines.Strings = (\n      'first ''quoted'''\n      ''\n      #252'n'#239'c'#246'd'#233)\n",
                     "\n    Picture.Data = {\n      085454657374506E6704000000",
                     "\n    Ratio = 0.1\n",
                     "\n    OnSelect = PanelSelect\n",
                     // Children under their parent, non-visual components under the root.
                     "\n    object Label1: TTestLabel\n",
                     "\n  object Timer1: TTestTimer\n    Tag = -7\n    Interval = 250\n"
                     "    OnTimer = TimerTick\n  end\n  object Panel1: TTestPanel\n"});
}

TEST_F(StreamingTest, RoundTripWritesTheFrameworkLayoutAndKeepsEveryPropertyAndTheTree)
{
  auto form = BuildForm(FMethods);
  String text = WriteComponentRes(form.get());
  ExpectFrameworkLayout(text);
  auto back = Read(text);
  ASSERT_NE(dynamic_cast<TTestForm*>(back.get()), nullptr);
  ExpectSameTree(form.get(), back.get(), SamePicture);
  EXPECT_EQ(WriteComponentRes(back.get()), text);

  // Events are bound to the host's methods by name.
  auto* label = FindIn<TTestLabel>(back.get(), "Label1");
  label->OnClick(label);
  FindIn<TTestPanel>(back.get(), "Panel1")->OnSelect(nullptr, 3);
  FindIn<TTestTimer>(back.get(), "Timer1")->OnTimer(nullptr);
  EXPECT_EQ(HostCalls, (std::vector<String>{"ButtonClick:Label1", "PanelSelect:3", "TimerTick"}));
  // The reference inside the collection points at the new label.
  auto* panel = FindIn<TTestPanel>(back.get(), "Panel1");
  EXPECT_EQ(static_cast<TTestItem*>(panel->Items()->Items(0))->Target(), label);
  EXPECT_EQ(panel->Buddy(), label);
  EXPECT_EQ(label->Parent(), panel);
}

TEST_F(StreamingTest, PropertiesAtTheirDefaultAreLeftOut)
{
  TTestForm form(nullptr);
  form.SetName("F");
  auto* panel = new TTestPanel(&form);
  panel->SetName("P");
  panel->SetParent(&form);
  panel->Font()->SetStyle({TTestFontStyle::fsItalic}); // not stored: ParentFont
  panel->OnClick = [](TObject*) {};                    // anonymous: cannot be stored
  EXPECT_EQ(WriteComponentRes(&form),
            "object F: TTestForm\n  Left = 0\n  Top = 0\n  Width = 0\n  Height = 0\n"
            "  object P: TTestPanel\n    Left = 0\n    Top = 0\n    Width = 0\n    Height = 0\n  end\nend\n");

  panel->SetParentFont(false);
  panel->SetVisible(false);
  panel->SetAnchors({});
  String text = WriteComponentRes(&form);
  EXPECT_NE(text.find("Font.Style = [fsItalic]"), String::npos) << text;
  EXPECT_EQ(text.find("Font.Name"), String::npos) << text;
  EXPECT_NE(text.find("Visible = False"), String::npos) << text;
  EXPECT_NE(text.find("Anchors = []"), String::npos) << text;
  EXPECT_NE(text.find("ParentFont = False"), String::npos) << text;
}

TEST_F(StreamingTest, PropertiesAreSetWhileLoadingAndLoadedRunsOnceAfterThemAll)
{
  auto form = Read("object F: TTestForm\n"
                   "  object L: TTestLabel\n"
                   "    Caption = 'Twelve chars'\n"
                   "    ParentFont = False\n"
                   "    Font.Height = -20\n"
                   "  end\n"
                   "  object L2: TTestLabel\n"
                   "  end\n"
                   "  object C: TTestControl\n"
                   "    Left = 5\n"
                   "  end\n"
                   "end\n");
  auto* label = FindIn<TTestLabel>(form.get(), "L");
  EXPECT_EQ(label->AdjustCount, 1);
  EXPECT_EQ(label->Width(), 12 * 6 + 20);
  EXPECT_EQ(TTestControl::LoadedLog(), (std::vector<String>{"F", "L", "L2", "C"}));
  EXPECT_FALSE(label->ComponentState().Contains(csLoading));
  EXPECT_FALSE(label->ComponentState().Contains(csReading));

  auto* control = FindIn<TTestControl>(form.get(), "C");
  EXPECT_TRUE(control->StateWhenLeftSet.Contains(csLoading));
  EXPECT_TRUE(control->StateWhenLeftSet.Contains(csReading));
  EXPECT_EQ(control->Owner(), form.get());
  EXPECT_EQ(control->Parent(), form.get());
  EXPECT_TRUE(control->ComponentState().Empty());
}

TEST_F(StreamingTest, HandWrittenResourceLoads)
{
  // The way a user copies a form from documentation: colour names, $hex,
  // continued strings, character codes, lists, collections, binary data and
  // a picture stored under its legacy class name.
  const String text = "object Form1: TTestForm\r\n"
                      "  Left = 192\r\n"
                      "  Top = 107\r\n"
                      "  Caption = 'Line one'#13#10 +\r\n"
                      "    'Line two'#$263A\r\n"
                      "  Color = clWindow\r\n"
                      "  Font.Color = $000080\r\n"
                      "  Font.Height = -13\r\n"
                      "  Font.Name = 'MS Sans Serif'\r\n"
                      "  Font.Style = []\r\n"
                      "  ParentFont = false\r\n"
                      "  OnClick = ButtonClick\r\n"
                      "  object Panel1: TTestPanel\r\n"
                      "    Align = alTop\r\n"
                      "    Anchors = [akLeft,akTop,akRight]\r\n"
                      "    Color = $FF00000F\r\n"
                      "    Ratio = 1.5E2\r\n"
                      "    Buddy = Label1\r\n"
                      "    Lines.Strings = (\r\n"
                      "      'alpha'\r\n"
                      "      'beta')\r\n"
                      "    Items = <\r\n"
                      "      item\r\n"
                      "        Caption = 'first'\r\n"
                      "        Target = Label1\r\n"
                      "      end>\r\n"
                      "    Data = {\r\n"
                      "      DEAD BEEF\r\n"
                      "      00}\r\n"
                      "    Picture.Data = {\r\n"
                      "      0A54504E474F626A656374 03000000 010203}\r\n"
                      "    object Label1: TTestLabel\r\n"
                      "      Caption = 'Label1'\r\n"
                      "      AutoSize = False\r\n"
                      "      Cursor = crHandPoint\r\n"
                      "    end\r\n"
                      "  end\r\n"
                      "end\r\n";
  auto form = Read(text);
  auto* f = static_cast<TTestForm*>(form.get());
  EXPECT_EQ(f->Name(), "Form1");
  EXPECT_EQ(f->Left(), 192);
  EXPECT_EQ(f->Caption(), "Line one\r\nLine two\u263A");
  EXPECT_EQ(f->Color(), Integer(0xFF000005));
  EXPECT_EQ(f->Font()->Color(), 0x80);
  EXPECT_EQ(f->Font()->Name(), "MS Sans Serif");
  EXPECT_FALSE(f->ParentFont());
  ASSERT_TRUE(f->OnClick);
  auto* panel = FindIn<TTestPanel>(f, "Panel1");
  EXPECT_EQ(panel->Align(), TTestAlign::alTop);
  EXPECT_EQ(panel->Anchors(), (TTestAnchors{TTestAnchorKind::akLeft, TTestAnchorKind::akTop, TTestAnchorKind::akRight}));
  EXPECT_EQ(panel->Color(), clTestBtnFace);
  EXPECT_EQ(panel->Ratio(), 150.0);
  EXPECT_EQ(panel->Lines()->Text(), "alpha\nbeta\n");
  EXPECT_EQ(panel->Data(), (TBytes{0xDE, 0xAD, 0xBE, 0xEF, 0x00}));
  EXPECT_EQ(panel->Picture()->GraphicClass, "TTestPng");
  EXPECT_EQ(panel->Picture()->Bytes, (TBytes{1, 2, 3}));
  auto* label = FindIn<TTestLabel>(f, "Label1");
  EXPECT_EQ(panel->Buddy(), label);
  EXPECT_EQ(static_cast<TTestItem*>(panel->Items()->Items(0))->Target(), label);
  EXPECT_EQ(label->Parent(), panel);
  EXPECT_EQ(label->Cursor(), crTestHandPoint);
  EXPECT_EQ(label->Owner(), f);
}

TEST_F(StreamingTest, ReadsIntoAnExistingInstanceAndKeepsItsOwnComponents)
{
  TTestForm form(nullptr);
  form.SetName("Host");
  auto* existing = new TTestTimer(&form);
  existing->SetName("Existing");
  ReadComponentRes("object Saved: TTestForm\n"
                   "  Caption = 'Saved'\n"
                   "  inherited Existing: TTestTimer\n"
                   "    Interval = 42\n"
                   "  end\n"
                   "  object Button: TTestControl\n"
                   "  end\n"
                   "end\n",
                   &form);
  EXPECT_EQ(form.Caption(), "Saved");
  EXPECT_EQ(form.Name(), "Saved");
  EXPECT_EQ(existing->Interval(), 42u);
  ASSERT_NE(form.FindComponent("Button"), nullptr);
  EXPECT_EQ(static_cast<TTestControl*>(form.FindComponent("Button"))->Parent(), &form);
}

TEST_F(StreamingTest, InlineFramesOwnWhatIsNestedInThem)
{
  const String text = "object F: TTestForm\n"
                      "  Left = 0\n  Top = 0\n  Width = 0\n  Height = 0\n"
                      "  object T: TTestTimer\n  end\n"
                      "  inline Frame1: TTestPanel\n"
                      "    Left = 0\n    Top = 0\n    Width = 0\n    Height = 0\n"
                      "    Buddy = F.P\n"
                      "    object Inner: TTestLabel\n"
                      "      Left = 0\n      Top = 0\n      Width = 0\n      Height = 0\n"
                      "      AutoSize = False\n"
                      "    end\n"
                      "  end\n"
                      "  object P: TTestPanel\n"
                      "    Left = 0\n    Top = 0\n    Width = 0\n    Height = 0\n"
                      "    Buddy = Frame1.Inner\n"
                      "  end\n"
                      "end\n";
  auto form = Read(text);
  auto* frame = FindIn<TTestPanel>(form.get(), "Frame1");
  auto* inner = FindIn<TTestLabel>(frame, "Inner");
  EXPECT_EQ(inner->Owner(), frame);
  EXPECT_EQ(inner->Parent(), frame);
  EXPECT_EQ(FindIn<TTestPanel>(form.get(), "P")->Buddy(), inner);
  EXPECT_EQ(frame->Buddy(), form->FindComponent("P"));
  EXPECT_EQ(WriteComponentRes(form.get()), text);
}

TEST_F(StreamingTest, ADescendantFormStoresOnlyWhatDiffersFromItsAncestor)
{
  auto ancestor = BuildForm(FMethods);
  const String ancestorText = WriteComponentRes(ancestor.get());
  // The descendant is built from the ancestor's resource, then changed.
  auto descendant = Read(ancestorText);
  descendant->SetName("MainForm");
  static_cast<TTestForm*>(descendant.get())->SetCaption("Descendant");
  auto* panel = FindIn<TTestPanel>(descendant.get(), "Panel1");
  panel->SetLeft(40);
  panel->Lines()->Clear();
  panel->SetBuddy(nullptr);
  auto* label = FindIn<TTestLabel>(descendant.get(), "Label1");
  label->OnClick = MethodBind<void(TObject*)>("TimerTick", [](TObject*) {});
  auto* extra = new TTestLabel(descendant.get());
  extra->SetName("Extra");
  extra->SetParent(panel);
  extra->SetCaption("new");

  const String text = WriteDescendentRes(descendant.get(), ancestor.get());
  EXPECT_EQ(text.rfind("inherited MainForm: TTestForm\n  Caption = 'Descendant'\n  inherited Timer1: TTestTimer\n  end\n"
                       "  inherited Panel1: TTestPanel\n    Left = 40\n    Buddy = nil\n    Lines.Strings = ()\n",
                       0),
            0u)
    << text;
  EXPECT_NE(text.find("\n    inherited Label1: TTestLabel\n      OnClick = TimerTick\n    end\n"
                      "    object Extra: TTestLabel\n"),
            String::npos)
    << text;
  QxTest::ExpectLacks(text, {"Hint", "Font", "Items", "Data", "Picture", "Interval"});

  // The ancestor's resource and then the descendant's build the descendant.
  TTestForm rebuilt(nullptr);
  rebuilt.SetName("MainForm");
  ReadComponentRes(ancestorText, &rebuilt, &FMethods);
  ReadComponentRes(text, &rebuilt, &FMethods);
  ExpectSameTree(descendant.get(), &rebuilt, SamePicture);
  EXPECT_EQ(WriteDescendentRes(&rebuilt, ancestor.get()), text);
}

TEST_F(StreamingTest, StringsSurviveEveryCharacter)
{
  String all;
  for (int c = 1; c < 128; ++c)
    all += char(c);
  all += "é€😀";
  all += String(1, '\0') + "after nul";
  TTestForm form(nullptr);
  form.SetCaption(all);
  auto back = Read(WriteComponentRes(&form));
  EXPECT_EQ(static_cast<TTestForm*>(back.get())->Caption(), all);
}

TEST_F(StreamingTest, FileAndStreamRoundTrip)
{
  auto form = BuildForm(FMethods);
  String file = QxTest::TempDir() + "/form.dfm";
  WriteComponentResFile(file, form.get());
  auto back = std::unique_ptr<TComponent>(ReadComponentResFile(file, nullptr, &FMethods));
  ExpectSameTree(form.get(), back.get(), SamePicture);
  EXPECT_THROW(ReadComponentResFile(file + ".missing"), EFOpenError);

  // A tool reads from where the stream stands: after a header of its own.
  TBytesStream stream;
  stream.WriteBuffer("HDR", 3);
  WriteComponent(&stream, form.get());
  stream.SetPosition(3);
  back.reset(ReadComponent(&stream, nullptr, &FMethods));
  ExpectSameTree(form.get(), back.get(), SamePicture);
  stream.SetPosition(3);
  TDfmObject tree = ParseDfmStream(&stream);
  EXPECT_EQ(tree.Name, "MainForm");
  ASSERT_EQ(tree.Children.size(), 2u);
  EXPECT_EQ(tree.Children[1].Name, "Panel1");
  EXPECT_GT(tree.Children[1].Line, tree.Children[0].Line);
  EXPECT_EQ(tree.Children[1].Props[0].Line, tree.Children[1].Line + 1);
}

// Numbers as designers write them keep their form through a format cycle:
// type suffixes, hexadecimal (read back as the same value) and a child's
// place among its ancestor's.
TEST_F(StreamingTest, DesignerNumbersAndPlacesSurviveAFormatCycle)
{
  const String text = "inherited F: TTestForm\n"
                      "  Date = 40070d\n"
                      "  Single = 1.5s\n"
                      "  Money = 12.3456c\n"
                      "  Mask = $FFFFFFFF\n"
                      "  Back = -$1A\n"
                      "  inherited P: TTestPanel [2]\n"
                      "  end\n"
                      "end\n";
  TDfmObject tree = ParseDfm(text);
  EXPECT_EQ(tree.Props[0].Value.Kind, vkFloat);
  EXPECT_EQ(tree.Props[0].Value.Float, 40070.0);
  EXPECT_EQ(tree.Props[0].Value.Suffix, 'd');
  EXPECT_EQ(tree.Props[2].Value.Float, 12.3456);
  EXPECT_EQ(tree.Props[3].Value.Int, 0xFFFFFFFFLL);
  EXPECT_EQ(tree.Props[4].Value.Int, -0x1A);
  EXPECT_EQ(tree.Children[0].Position, 2);
  EXPECT_EQ(FormatDfm(tree), text);

  auto form = Read("object F: TTestForm\n  Color = $FFFFFFFF\nend\n");
  EXPECT_EQ(static_cast<TTestForm*>(form.get())->Color(), -1);
  EXPECT_EQ(ReadComponentRes(FormatDfm(ParseDfm("object F: TTestForm\n  Color = $FFFFFFFF\nend\n")), form.get()),
            form.get());
  for (const char* bad : {"12x", "12dd", "1.5q"})
    EXPECT_THROW(ParseDfm(Format("object F: T\n  A = %s\nend\n", {String(bad)})), EParserError) << bad;
}

// Designers before Unicode stored the bytes of the form's code page.
TEST_F(StreamingTest, LegacyStringsDecodeWithTheCodePageTheFontNames)
{
  auto caption = [](const TDfmObject& tree) { return tree.Props.front().Value.Text; };
  EXPECT_EQ(caption(ParseDfm("object F: T\n  Caption = 'caf\xE9 '#8364\nend\n")), "café €");
  // The charset comes after the caption, as designers order them.
  const String russian = "object F: T\n  Caption = '\xCF\xF0\xE8'\n  Font.Charset = RUSSIAN_CHARSET\nend\n";
  EXPECT_EQ(caption(ParseDfm(russian)), "При");
  EXPECT_EQ(caption(ParseDfm("object F: T\n  Caption = '\xCF\xF0\xE8'\n  Font.Charset = 204\nend\n")), "При");
  // The host's code page wins; UTF-8 text is UTF-8 whatever it says.
  EXPECT_EQ(caption(ParseDfm(russian, 1250)), "Ďđč");
  EXPECT_EQ(caption(ParseDfm("object F: T\n  Caption = 'Grüße'\n  Font.Charset = RUSSIAN_CHARSET\nend\n")), "Grüße");
  TFormReadOptions options;
  options.CodePage = 1253;
  auto form = std::unique_ptr<TComponent>(
    ReadComponentRes("object F: TTestForm\n  Caption = '\xE1\xE2'\nend\n", nullptr, &FMethods, options));
  EXPECT_EQ(static_cast<TTestForm*>(form.get())->Caption(), "αβ");
}

// A string holding bytes that are not UTF-8 no longer keeps the form from
// being saved, and reads back byte for byte.
TEST_F(StreamingTest, BytesThatAreNotUtf8AreWrittenBackLosslessly)
{
  auto form = BuildForm(FMethods);
  const String odd = String("bad \xFF\x80 byte \xC3") + "ok é";
  form->SetCaption(odd);
  const String text = WriteComponentRes(form.get());
  QxTest::ExpectHas(text, {"Caption = 'bad '#56575#56448' byte '#56515'ok '#233\n"});
  auto back = Read(text);
  EXPECT_EQ(static_cast<TTestForm*>(back.get())->Caption(), odd);
  ExpectSameTree(form.get(), back.get(), SamePicture);
}

// Bringing forms from elsewhere: what is unknown is left out and listed;
// without the option the same resource fails.
TEST_F(StreamingTest, ThePortingOptionSkipsAndListsWhatIsUnknown)
{
  const String text = "object F: TTestForm\n"
                      "  Caption = 'kept'\n"
                      "  Glass = True\n"
                      "  object Grid: TThirdPartyGrid\n"
                      "    object Inner: TTestPanel\n"
                      "    end\n"
                      "  end\n"
                      "  object P: TTestPanel\n"
                      "    Font.Weight = 3\n"
                      "    Buddy = Grid\n"
                      "    OnClick = NotInTheHost\n"
                      "    Left = 7\n"
                      "  end\n"
                      "end\n";
  EXPECT_THROW(Read(text), EReadError);
  TFormReadOptions options;
  options.SkipUnknown = true;
  auto form = std::unique_ptr<TComponent>(ReadComponentRes(text, nullptr, &FMethods, options));
  EXPECT_EQ(static_cast<TTestForm*>(form.get())->Caption(), "kept");
  EXPECT_EQ(form->FindComponent("Inner"), nullptr);
  EXPECT_EQ(FindIn<TTestPanel>(form.get(), "P")->Left(), 7);
  EXPECT_EQ(options.Skipped, (std::vector<TSkippedItem>{{false, "F.Glass", 3},
                                                        {true, "TThirdPartyGrid", 4},
                                                        {false, "P.Font.Weight", 9},
                                                        {false, "P.OnClick", 11},
                                                        {false, "P.Buddy", 10}}));
  // What is bad rather than unknown still fails, and leaves no list behind.
  options.Skipped.clear();
  EXPECT_THROW(ReadComponentRes("object F: TTestForm\n  Glass = 1\n  Left = 'x'\nend\n", nullptr, &FMethods, options),
               EReadError);
  EXPECT_TRUE(options.Skipped.empty());
}

TEST_F(StreamingTest, ReReadCollectionDropsPendingReferences)
{
  auto form = Read("object F: TTestForm\n"
                   "  object P: TTestPanel\n"
                   "    Items = <\n"
                   "      item\n"
                   "        Target = P\n"
                   "      end>\n"
                   "    Items = <\n"
                   "      item\n"
                   "        Caption = 'second'\n"
                   "      end>\n"
                   "  end\n"
                   "end\n");
  auto* panel = FindIn<TTestPanel>(form.get(), "P");
  ASSERT_EQ(panel->Items()->Count(), 1);
  EXPECT_EQ(static_cast<TTestItem*>(panel->Items()->Items(0))->Target(), nullptr);
}

TEST_F(StreamingTest, EnumerationNames)
{
  const TEnumTypeInfo& info = EnumTypeInfo<TTestAlign>();
  EXPECT_EQ(info.Name, "TTestAlign");
  EXPECT_EQ(info.Names, (std::vector<String>{"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient"}));
  EXPECT_EQ(info.IndexOf("ALCLIENT"), 5);
  EXPECT_EQ(info.IndexOf("alMiddle"), -1);
  const TPropInfo* anchors = GetPropInfo(TTestPanel::StaticClass(), "anchors");
  ASSERT_NE(anchors, nullptr);
  EXPECT_EQ(anchors->Kind, pkSet);
  EXPECT_EQ(GetPropInfo(TTestPanel::StaticClass(), "Tag")->Kind, pkInteger);
  EXPECT_EQ(GetPropInfo(TTestForm::StaticClass(), "Items"), nullptr);
}

TEST_F(StreamingTest, DescendantsPublishWhatTheirAncestorDeclared)
{
  // Hint is declared by the control and published by the form only; the
  // label publishes Color again with its own default.
  EXPECT_EQ(GetPropInfo(TTestPanel::StaticClass(), "Hint"), nullptr);
  EXPECT_NE(GetPropInfo(TTestForm::StaticClass(), "Hint"), nullptr);
  auto names = [](const TClassInfo& c) {
    String s;
    for (const TPropInfo* p : GetPropList(c))
      s += p->Name + " ";
    return s;
  };
  EXPECT_EQ(names(TTestLabel::StaticClass()),
            "Tag Left Top Width Height Align Anchors Caption Color Cursor Font ParentFont Visible OnClick AutoSize ");
  TTestForm form(nullptr);
  auto* label = new TTestLabel(&form);
  label->SetParent(&form);
  label->SetName("L");
  String text = WriteComponentRes(&form);
  EXPECT_EQ(text.find("Color"), String::npos) << text;
  label->SetColor(clTestBtnFace);
  text = WriteComponentRes(&form);
  EXPECT_NE(text.find("    Color = clBtnFace\n"), String::npos) << text;
  EXPECT_THROW(ReadComponentRes("object P: TTestPanel\n  Hint = 'x'\nend\n"), EReadError);
}

// ---- bad input ------------------------------------------------------------------------------

struct TBadResource {
  const char* What;
  String Text;
  bool Parser; // EParserError, else EReadError
  int Line;
  const char* MessagePart;
};

String Deep(int levels)
{
  String s;
  for (int i = 0; i < levels; ++i)
    s += "object P" + IntToStr(i) + ": TTestPanel\n";
  for (int i = 0; i < levels; ++i)
    s += "end\n";
  return s;
}

std::vector<TBadResource> BadResources()
{
  const String head = "object F: TTestForm\n  object P: TTestPanel\n";
  const String tail = "  end\nend\n";
  return {
    {"unterminated string", head + "    Caption = 'abc\n" + tail, true, 3, "Unterminated string"},
    {"odd hex digits", head + "    Data = {0A1}\n" + tail, true, 3, "Invalid binary value"},
    {"non-hex digit", head + "    Data = {0G}\n" + tail, true, 3, "Invalid binary value"},
    {"unterminated hex", head + "    Data = {0A0B\n", true, 3, "Unterminated binary value"},
    {"unknown property", head + "    Colour = clRed\n" + tail, false, 3, "Property Colour does not exist"},
    {"unknown sub-property", head + "    Font.Weight = 3\n" + tail, false, 3, "Property Weight does not exist"},
    {"string for integer", head + "    Left = 'ten'\n" + tail, false, 3, "integer expected"},
    {"integer for Boolean", head + "    Visible = 1\n" + tail, false, 3, "True or False expected"},
    {"unknown enumeration value", head + "    Align = alMiddle\n" + tail, false, 3, "alMiddle is not a value of TTestAlign"},
    {"unknown set element", head + "    Anchors = [akLeft, akUp]\n" + tail, false, 3, "akUp"},
    {"unknown colour", head + "    Color = clPlaid\n" + tail, false, 3, "clPlaid"},
    {"object for property", head + "    Font = 3\n" + tail, false, 3, "Font"},
    {"missing end", head + "    Left = 1\n  end\n", true, 5, "'end' expected"},
    {"unknown class", head + "    object X: TNoSuchThing\n    end\n" + tail, false, 3, "Class TNoSuchThing not found"},
    {"non-component class", head + "    object X: TTestFont\n    end\n" + tail, false, 3, "not a component class"},
    {"missing reference", head + "    Left = 1\n    Buddy = Ghost\n" + tail, false, 4, "Component Ghost"},
    {"reference of the wrong class",
     "object F: TTestForm\n  object P: TTestPanel\n    Buddy = T\n  end\n  object T: TTestTimer\n  end\nend\n", false,
     3, "T is a TTestTimer"},
    {"missing method", head + "    OnClick = Nowhere\n" + tail, false, 3, "Method Nowhere not found"},
    {"method of the wrong type", head + "    OnSelect = ButtonClick\n" + tail, false, 3, "does not match event OnSelect"},
    {"duplicate name", head + "  end\n  object P: TTestPanel\n" + tail, false, 4, "P already exists"},
    {"nesting 100000 deep", Deep(100000), true, MaxFormNesting + 1, "Nesting deeper"},
    {"2 GiB length field", head + "    Picture.Data = {085454657374506E67FFFFFF7F00}\n" + tail, false, 3,
     "Length field of 2147483647 bytes"},
    {"truncated class name", head + "    Picture.Data = {0854}\n" + tail, false, 3, "inside the graphic class name"},
    {"huge integer literal", head + "    Left = 123456789012345678901234567890\n" + tail, true, 3, "Number out of range"},
    {"integer out of range", head + "    Left = 3000000000\n" + tail, false, 3, "out of range"},
    {"word out of range", head + "    Small = 65536\n" + tail, false, 3, "out of range"},
    {"huge float literal", head + "    Ratio = 1e999\n" + tail, true, 3, "Number out of range"},
    {"text after end", head + tail + "object G: TTestForm\nend\n", true, 5, "after the final 'end'"},
    {"empty resource", "", true, 1, "'object' expected"},
    {"unclosed list", head + "    Lines.Strings = (\n      'a'\n", true, 5, "Property value expected"},
    {"bytes of no code page", head + "    Caption = '\x81('\n" + tail, true, 3, "neither UTF-8 nor text of code page 1252"},
    {"unpaired surrogate", head + "    Caption = #55357'x'\n" + tail, true, 3, "Unpaired surrogate"},
    {"lines not a list", head + "    Lines.Strings = 'a'\n" + tail, false, 3, "list expected"},
  };
}

TEST_F(StreamingTest, BadResourcesFailWithTheLineAndLeaveTheHostsFormAlone)
{
  auto hostForm = BuildForm(FMethods);
  const String before = WriteComponentRes(hostForm.get());
  const int live = TTestControl::LiveCount();
  for (const TBadResource& bad : BadResources()) {
    SCOPED_TRACE(bad.What);
    try {
      std::unique_ptr<TComponent> form(ReadComponentRes(bad.Text, nullptr, &FMethods));
      ADD_FAILURE() << "no error";
    } catch (const EParserError& e) {
      EXPECT_TRUE(bad.Parser) << e.Message();
      EXPECT_NE(e.Message().find(bad.MessagePart), String::npos) << e.Message();
      EXPECT_NE(e.Message().find(Format("on line %d", {bad.Line})), String::npos) << e.Message();
    } catch (const EReadError& e) {
      EXPECT_FALSE(bad.Parser) << e.Message();
      EXPECT_NE(e.Message().find(bad.MessagePart), String::npos) << e.Message();
      EXPECT_NE(e.Message().find(Format("on line %d", {bad.Line})), String::npos) << e.Message();
    }
    EXPECT_EQ(TTestControl::LiveCount(), live);
    EXPECT_EQ(WriteComponentRes(hostForm.get()), before);
  }
}

TEST_F(StreamingTest, FailedReadIntoAnInstanceFreesWhatItCreated)
{
  TTestForm form(nullptr);
  form.SetName("Host");
  auto* existing = new TTestTimer(&form);
  existing->SetName("Existing");
  EXPECT_THROW(ReadComponentRes("object Saved: TTestForm\n"
                                "  object A: TTestPanel\n"
                                "    object B: TTestPanel\n"
                                "      Buddy = Nobody\n"
                                "    end\n"
                                "  end\n"
                                "end\n",
                                &form),
               EReadError);
  ASSERT_EQ(form.ComponentCount(), 1);
  EXPECT_EQ(form.Name(), "Host");
  EXPECT_EQ(form.Components(0), existing);
  EXPECT_TRUE(form.Controls().empty());
  EXPECT_FALSE(form.ComponentState().Contains(csLoading));
  EXPECT_FALSE(form.ComponentState().Contains(csReading));
}

TEST_F(StreamingTest, AFailedReadIntoAFormPutsBackWhatItChanged)
{
  auto form = BuildForm(FMethods);
  int ownClicks = 0;
  form->OnClick = [&](TObject*) { ++ownClicks; };
  auto* panel = FindIn<TTestPanel>(form.get(), "Panel1");
  auto* label = FindIn<TTestLabel>(form.get(), "Label1");
  const String before = WriteComponentRes(form.get());
  const String changes = "object Other: TTestForm\n"
                         "  Caption = 'Changed'\n"
                         "  Color = clBtnFace\n"
                         "  Font.Style = [fsItalic]\n"
                         "  OnClick = TimerTick\n"
                         "  inherited Panel1: TTestPanel\n"
                         "    Visible = True\n"
                         "    Anchors = [akLeft, akTop]\n"
                         "    Lines.Strings = (\n      'replaced')\n"
                         "    Items = <\n      item\n        Caption = 'new'\n      end>\n"
                         "    Data = {00}\n"
                         "    Picture.Data = {0854546573745069630100000007}\n"
                         "    Buddy = Panel1\n"
                         "    OnSelect = nil\n"
                         "  end\n"
                         "  inherited Label1: TTestLabel\n"
                         "    Caption = 'moved to the form'\n"
                         "    OnClick = nil\n"
                         "  end\n"
                         "  object Fresh: TTestPanel\n"
                         "  end\n"
                         "  inherited Timer1: TTestTimer\n"
                         "    Interval = 1\n"
                         "    Tag = 0\n"
                         "    OnTimer = nil\n";
  // One fails while reading, the other only when its references are resolved.
  for (const String& failure : {String("    Ghost = 1\n  end\nend\n"),
                                String("  end\n  object Late: TTestPanel\n    Buddy = Nobody\n  end\nend\n")}) {
    SCOPED_TRACE(failure);
    EXPECT_THROW(ReadComponentRes(changes + failure, form.get(), &FMethods), EReadError);
    EXPECT_EQ(WriteComponentRes(form.get()), before);
    EXPECT_EQ(label->Parent(), panel);
    EXPECT_EQ(form->FindComponent("Fresh"), nullptr);
    HostCalls.clear();
    form->OnClick(form.get());
    label->OnClick(label);
    panel->OnSelect(panel, 1);
    EXPECT_EQ(HostCalls, (std::vector<String>{"ButtonClick:Label1", "PanelSelect:1"}));
  }
  EXPECT_EQ(ownClicks, 2);
}

TEST_F(StreamingTest, WriterRefusesWhatItCannotStoreFaithfully)
{
  TTestForm form2(nullptr);
  auto* panel = new TTestPanel(&form2);
  panel->SetParent(&form2);
  panel->SetRatio(std::numeric_limits<double>::quiet_NaN());
  EXPECT_THROW(WriteComponentRes(&form2), EWriteError);
}

} // namespace
