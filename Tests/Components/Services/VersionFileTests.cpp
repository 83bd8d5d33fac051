// The version file as the update engine reads it from a server and as a
// publisher writes it.
#include <Quorex.Vcl.UpdateService.Engine.hpp>

#include <gtest/gtest.h>

using namespace Quorex;
using namespace Vcl;

namespace {

std::string Document(const std::string& Major, const std::string& Build = "<Build>4</Build>",
                     const std::string& Root = "Info")
{
  return "<?xml version=\"1.0\"?><" + Root + "><Version><Major>" + Major + "</Major><Minor>2</Minor>" +
         "<Release>3</Release>" + Build + "</Version><Description>Notes</Description>" +
         "<FollowURL>http://example.invalid/get</FollowURL></" + Root + ">";
}

// The failure's message, or "" when the document loads.
std::string LoadError(TVersionFile& File, const std::string& Text)
{
  TStringStream stream(Text);
  try {
    File.LoadFromStream(stream);
  } catch (const Exception& e) {
    return e.Message();
  }
  return "";
}

} // namespace

TEST(VersionFile, SavesTheInfoDocumentAndReadsItBack)
{
  TVersionFile file;
  file.SetVersion({1, 2, 3, 4});
  file.SetDescription("Fixes & <speed> — naïve café 版本");
  file.SetFollowURL("https://example.invalid/get?a=1&b=2");
  TStringStream out("");
  file.SaveToStream(out);
  EXPECT_EQ(out.DataString(),
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Info>\n  <Version>\n    <Major>1</Major>\n"
            "    <Minor>2</Minor>\n    <Release>3</Release>\n    <Build>4</Build>\n  </Version>\n"
            "  <Description>Fixes &amp; &lt;speed&gt; — naïve café 版本</Description>\n"
            "  <FollowURL>https://example.invalid/get?a=1&amp;b=2</FollowURL>\n</Info>\n");

  TVersionFile other;
  out.SetPosition(0);
  other.LoadFromStream(out);
  EXPECT_EQ(other.Version(), (TVersionValue{1, 2, 3, 4}));
  EXPECT_EQ(other.Description(), file.Description());
  EXPECT_EQ(other.FollowURL(), file.FollowURL());
  // Saving again replaces the document element rather than adding one.
  TStringStream again("");
  file.SaveToStream(again);
  EXPECT_EQ(again.DataString(), out.DataString());
}

TEST(VersionFile, AnyRootNameAndTheFullRangeOfNumbersLoad)
{
  TVersionFile file;
  EXPECT_EQ(LoadError(file, Document("65535", "<Build>0</Build>", "Update")), "");
  EXPECT_EQ(file.Version(), (TVersionValue{65535, 2, 3, 0}));
  EXPECT_EQ(file.Description(), "Notes");
  EXPECT_EQ(LoadError(file, Document("00007")), "");
  EXPECT_EQ(file.Version().Major, 7);
}

TEST(VersionFile, BadDocumentsFailAndKeepTheValuesReadBefore)
{
  TVersionFile file;
  ASSERT_EQ(LoadError(file, Document("9")), "");
  for (const char* number : {"65536", "-1", "$FFFF", "0x1", "", "1.5", " 1", "123456", "+1", "99999"})
    EXPECT_EQ(LoadError(file, Document(number)), "'" + std::string(number) + "' is not a valid version number");
  EXPECT_EQ(LoadError(file, Document("1", "")), "Node \"Build\" not found");
  EXPECT_EQ(LoadError(file, "<Info><Version/></Info>"), "Node \"Major\" not found");
  EXPECT_EQ(LoadError(file, "<Info><Version>"), "Start-end tags mismatch at offset 14");
  EXPECT_EQ(LoadError(file, ""), "No document element found at offset 0");
  EXPECT_EQ(LoadError(file, Document("1") + "<Info/>"), "Only one top level element is allowed in an XML document");
  EXPECT_EQ(LoadError(file, Document("1", "<Build>4</Build>").substr(0, 60)).rfind("Start-end", 0), 0u);
  EXPECT_EQ(file.Version(), (TVersionValue{9, 2, 3, 4}));
  EXPECT_EQ(file.FollowURL(), "http://example.invalid/get");
}
