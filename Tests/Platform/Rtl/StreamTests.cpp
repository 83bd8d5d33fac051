#include <System.Classes.hpp>

#include <QxTestSupport.hpp>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace Vcl;

TEST(Stream, MemoryReadWriteSeekAndShortReads)
{
  TMemoryStream m;
  m.WriteBuffer("hello", 5);
  EXPECT_EQ(m.Size(), 5);
  m.SetPosition(1);
  char buf[8] = {};
  EXPECT_EQ(m.Read(buf, 8), 4);
  EXPECT_STREQ(buf, "ello");
  m.SetPosition(3);
  EXPECT_THROW(m.ReadBuffer(buf, 3), EReadError);
  m.SetPosition(4);
  EXPECT_THAT([&] { m.ReadBuffer(buf, 2); }, testing::ThrowsMessage<EReadError>("Stream read error"));
  m.Seek(10, soBeginning);
  m.WriteBuffer("!", 1); // writing past the end grows with zeros
  EXPECT_EQ(m.Size(), 11);
  EXPECT_EQ(m.Memory()[7], 0);
  EXPECT_THROW(m.Seek(-1, soBeginning), EStreamError);
  m.SetSize(2);
  EXPECT_EQ(m.Position(), 2);
}

TEST(Stream, StringAndBytesStreams)
{
  TStringStream s("abc");
  EXPECT_EQ(s.ReadString(10), "abc");
  s.WriteString("def");
  EXPECT_EQ(s.DataString(), "abcdef");
  TBytesStream b(TBytes{1, 2, 3});
  TMemoryStream copy;
  copy.CopyFrom(&b, 0);
  EXPECT_EQ(copy.Size(), 3);
  b.SetPosition(2);
  EXPECT_THROW(copy.CopyFrom(&b, 5), EReadError);
}

TEST(Stream, FilesAndTheirErrors)
{
  String dir = QxTest::TempDir();
  String name = dir + "/data.bin";
  {
    TFileStream f(name, fmCreate);
    f.WriteBuffer("0123456789", 10);
  }
  TFileStream f(name, fmOpenRead);
  EXPECT_EQ(f.Size(), 10);
  f.Seek(-3, soEnd);
  char buf[4] = {};
  f.ReadBuffer(buf, 3);
  EXPECT_STREQ(buf, "789");
  EXPECT_THROW(f.ReadBuffer(buf, 1), EReadError);
  EXPECT_THAT([&] { TFileStream missing(dir + "/none.bin", fmOpenRead); },
              testing::ThrowsMessage<EFOpenError>(testing::StartsWith("Cannot open file \"" + dir + "/none.bin\".")));
  EXPECT_THROW(TFileStream(dir + "/no/such/dir/x", fmCreate), EFCreateError);
  EXPECT_THROW(TFileStream(dir, fmOpenRead), EFOpenError);

  TStringList lines;
  lines.Add("first");
  lines.Add("second");
  lines.SaveToFile(dir + "/lines.txt");
  TStringList back;
  back.LoadFromFile(dir + "/lines.txt");
  EXPECT_TRUE(back.Equals(&lines));
}
