// The markup label, the panel and the frame classes in form resources:
// published properties with their defaults, read back through the reader.
#include <QxDesktopFixture.hpp>

#include <Quorex.Vcl.FrameControl.QxFrameHost.hpp>
#include <Quorex.Vcl.HtmlLabel.hpp>
#include <Quorex.Vcl.Panel.hpp>
#include <System.Classes.Streaming.hpp>

#include <memory>

using namespace Vcl;
using namespace Quorex;

namespace {

class StreamingTest : public QxTest::QxDesktopFixture {};

TEST_F(StreamingTest, ANewLabelWritesNoneOfItsDefaults)
{
  TQxFrameClient root(nullptr);
  root.SetName("Root");
  auto* label = new THtmlLabel(&root);
  label->SetName("Label1");
  label->SetParent(&root);
  const String text = WriteComponentRes(&root);
  for (const char* name : {"AutoWidth", "AutoHeight", "WordBreak", "HitTest", "LinkCursor", "LinkColor",
                           "LinkUnderline", "Transparent", "Alignment", "ParentColor", "Color", "Align"})
    EXPECT_EQ(text.find(String(name) + " ="), String::npos) << name << " in\n" << text;
}

TEST_F(StreamingTest, ALabelAndAPanelComeBackFromTheirResource)
{
  TQxFrameClient root(nullptr);
  root.SetName("Root");
  auto* panel = new TQxPanel(&root);
  panel->SetName("Panel1");
  panel->SetBounds(10, 10, 200, 100);
  panel->SetAlignment(taRightJustify);
  panel->SetTransparent(true);
  panel->SetParent(&root);
  auto* label = new THtmlLabel(&root);
  label->SetName("Label1");
  label->SetParent(panel);
  label->SetCaption("<b>Hello</b> <a href=x>link</a>");
  label->SetWordBreak(true);
  label->SetAutoHeight(true);
  label->SetLinkColor(clRed);
  label->SetLinkUnderline(true);
  label->SetHitTest(false);
  label->SetTransparent(false);
  label->SetLinkCursor(crCross);
  const String text = WriteComponentRes(&root);

  TQxFrameClient copy(nullptr);
  ReadComponentRes(text, &copy);
  auto* panel2 = dynamic_cast<TQxPanel*>(copy.FindComponent("Panel1"));
  auto* label2 = dynamic_cast<THtmlLabel*>(copy.FindComponent("Label1"));
  ASSERT_TRUE(panel2 && label2) << text;
  EXPECT_EQ(label2->Parent(), panel2);
  EXPECT_EQ(panel2->Alignment(), taRightJustify);
  EXPECT_TRUE(panel2->Transparent());
  EXPECT_EQ(label2->Caption(), label->Caption());
  EXPECT_TRUE(label2->WordBreak());
  EXPECT_FALSE(label2->AutoWidth());
  EXPECT_TRUE(label2->AutoHeight());
  EXPECT_EQ(label2->LinkColor(), clRed);
  EXPECT_TRUE(label2->LinkUnderline());
  EXPECT_FALSE(label2->HitTest());
  EXPECT_FALSE(label2->Transparent());
  EXPECT_EQ(label2->LinkCursor(), crCross);
  EXPECT_EQ(label2->Width(), label->Width());
  EXPECT_EQ(label2->Height(), label->Height());
  copy.SetName("Root");
  EXPECT_EQ(WriteComponentRes(&copy), text);
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

} // namespace
