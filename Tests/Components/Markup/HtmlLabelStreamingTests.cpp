// The markup label, the panel and the frame classes in form resources:
// published properties with their defaults, read back through the reader.
#include <QxDesktopFixture.hpp>
#include <QxFormCompare.hpp>

#include <Quorex.Vcl.FrameControl.QxFrameHost.hpp>
#include <Quorex.Vcl.HtmlLabel.hpp>
#include <Quorex.Vcl.Panel.hpp>
#include <System.Classes.Streaming.hpp>
#include <Vcl.ExtCtrls.hpp>
#include <Vcl.Forms.hpp>

#include <memory>

using namespace Vcl;
using namespace Quorex;

namespace {

class StreamingTest : public QxTest::QxDesktopFixture {};

TEST_F(StreamingTest, ANewLabelWritesNoneOfItsDefaults)
{
  TQxFrameClient root(nullptr);
  root.SetName("Root");
  QxTest::AddNamed<THtmlLabel>(&root, "Label1");
  const String text = WriteComponentRes(&root);
  for (const char* name : {"AutoWidth", "AutoHeight", "WordBreak", "HitTest", "LinkCursor", "LinkColor",
                           "LinkUnderline", "Transparent", "Alignment", "ParentColor", "Color", "Align"})
    EXPECT_EQ(text.find(String(name) + " ="), String::npos) << name << " in\n" << text;
}

TEST_F(StreamingTest, AFrameClientsPageEventsBindByName)
{
  TMethodTable methods;
  int entered = 0;
  methods.Add<void(TObject*)>("PageEnter", [&](TObject*) { ++entered; });
  TQxFrameClient client(nullptr);
  ReadComponentRes("object Page: TQxFrameClient\n  OnEnter = PageEnter\nend\n", &client, &methods);
  ASSERT_TRUE(client.OnEnter);
  client.OnEnter(&client);
  EXPECT_EQ(entered, 1);
}

TEST_F(StreamingTest, AFormWithLabelsPanelsAndAFrameHostComesBackPropertyByProperty)
{
  TMethodTable methods;
  methods.Add<void(TObject*)>("PageEnter", [](TObject*) {});
  methods.Add<void(const String&)>("LinkClicked", [](const String&) {});

  TForm form(nullptr);
  form.SetName("MainForm");
  form.SetCaption("Round trip");
  form.SetClientWidth(500);
  form.SetClientHeight(360);
  auto* header = QxTest::AddNamed<TQxPanel>(&form, "Header");
  header->SetHeight(48);
  header->SetAlign(alTop);
  header->SetAlignment(taRightJustify);
  header->SetTransparent(true);
  header->SetColor(TColor(0x00E0F0E0));
  auto* title = QxTest::AddNamed<THtmlLabel>(&form, "Title", header);
  title->SetBounds(8, 8, 10, 10);
  title->SetCaption("<b>Title</b> with a <a href=more>link</a>");
  title->SetLinkCursor(crCross);
  title->SetLinkUnderline(true);
  title->SetLinkColor(clRed);
  title->Font()->SetStyle({fsBold});
  title->OnLinkClick = MethodBind<void(const String&)>(
    "LinkClicked", *std::any_cast<std::function<void(const String&)>>(methods.Find("LinkClicked")));
  auto* side = QxTest::AddNamed<TPanel>(&form, "Side");
  side->SetWidth(120);
  side->SetAlign(alLeft);
  side->SetBevelOuter(bvLowered);
  side->SetCursor(crHandPoint);
  auto* note = QxTest::AddNamed<THtmlLabel>(&form, "Note", side);
  note->SetWordBreak(true);
  note->SetBounds(4, 4, 110, 10);
  note->SetAutoHeight(true);
  note->SetAlignment(taRightJustify);
  note->SetHitTest(false);
  note->SetTransparent(false);
  note->SetCaption("A note long enough to wrap over several lines of the side panel");
  auto* host = QxTest::AddNamed<TQxFrameHost>(&form, "Host");
  auto* page = QxTest::AddNamed<TQxFrameClient>(&form, "Page1", host);
  page->SetColor(clWhite);
  page->OnEnter = MethodBind<void(TObject*)>(
    "PageEnter", *std::any_cast<std::function<void(TObject*)>>(methods.Find("PageEnter")));
  QxTest::AddNamed<THtmlLabel>(&form, "PageText", page)->SetCaption("On the page");

  const String text = WriteComponentRes(&form);
  QxTest::ExpectHas(text, {"\n    Align = alTop\n", "\n    Alignment = taRightJustify\n", "\n      LinkCursor = crCross\n",
                           "\n      LinkColor = clRed\n", "\n      HitTest = False\n", "\n      Transparent = False\n",
                           "\n    Cursor = crHandPoint\n", "\n    Align = alLeft\n", "\n      OnEnter = PageEnter\n",
                           "\n      OnLinkClick = LinkClicked\n", "\n    object Page1: TQxFrameClient\n"});
  // The frame host and its page fill their parents by default.
  QxTest::ExpectLacks(text, {"alClient"});

  std::unique_ptr<TComponent> back(ReadComponentRes(text, nullptr, &methods));
  ASSERT_NE(dynamic_cast<TForm*>(back.get()), nullptr);
  QxTest::ExpectSameTree(&form, back.get());
  EXPECT_EQ(WriteComponentRes(back.get()), text);
}

TEST_F(StreamingTest, ALabelIsSizedOnceAfterAllItsPropertiesAreRead)
{
  TMethodTable methods;
  int resizes = 0;
  methods.Add<void(TObject*)>("LabelResize", [&](TObject*) { ++resizes; });
  TForm form(nullptr);
  ReadComponentRes("object F: TForm\n"
                   "  object L: THtmlLabel\n"
                   "    Left = 10\n"
                   "    Top = 10\n"
                   "    Width = 1\n"
                   "    Height = 1\n"
                   "    OnResize = LabelResize\n"
                   "    Caption = '<b>Sized</b> once, at the end'\n"
                   "    ParentFont = False\n"
                   "    Font.Height = -24\n"
                   "    AutoHeight = True\n"
                   "  end\n"
                   "end\n",
                   &form, &methods);
  auto* label = static_cast<THtmlLabel*>(form.FindComponent("L"));
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(resizes, 1);

  THtmlLabel built(nullptr);
  built.SetParent(&form);
  built.SetParentFont(false);
  built.Font()->SetHeight(-24);
  built.SetCaption(label->Caption());
  built.SetAutoHeight(true);
  EXPECT_EQ(label->Width(), built.Width());
  EXPECT_EQ(label->Height(), built.Height());
  EXPECT_GT(label->Height(), 24);
}

} // namespace
