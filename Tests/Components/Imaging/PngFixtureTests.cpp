// Images written by an independent encoder, in every colour type and depth,
// go through every operation or are refused with the operation's message.
#include <Quorex.Imaging.PngHelper.hpp>
#include <Quorex.Vcl.PngFunctions.hpp>

#include <QxTestSupport.hpp>
#include <gtest/gtest.h>

#include <filesystem>

using namespace Vcl;
using namespace Quorex;
namespace H = Quorex::TPngImageHelper;

namespace {

std::vector<std::string> FixtureFiles()
{
  std::vector<std::string> files;
  for (const auto& entry : std::filesystem::directory_iterator(QxTest::SourceDir() + "/Tests/Fixtures/png")) {
    const std::string name = entry.path().filename().string();
    if (entry.path().extension() == ".png" && name.rfind("bad-", 0) != 0 && name.rfind("bomb-", 0) != 0 &&
        name.rfind("pal-short", 0) != 0)
      files.push_back(entry.path().string());
  }
  std::sort(files.begin(), files.end());
  return files;
}

std::unique_ptr<TPngImage> Load(const std::string& file)
{
  auto png = std::make_unique<TPngImage>();
  png->LoadFromFile(file);
  return png;
}

// Runs Op on a fresh copy; a refusal must carry one of the allowed messages.
template <class Op>
void Survives(const std::string& file, const char* what, Op op, std::initializer_list<const char*> refusals)
{
  auto png = Load(file);
  try {
    op(*png);
  } catch (const Exception& e) {
    bool allowed = false;
    for (const char* r : refusals)
      allowed = allowed || e.Message() == r;
    EXPECT_TRUE(allowed) << file << " " << what << ": " << e.Message();
  }
}

} // namespace

TEST(PngFixtures, EveryColourTypeGoesThroughTheOperations)
{
  const auto files = FixtureFiles();
  ASSERT_GE(files.size(), 10u);
  const char* rgba = "ColorType <> COLOR_RGBALPHA";
  const char* depth = "BitDepth <> 8";
  for (const auto& file : files) {
    Survives(file, "AlphaBlend", [](TPngImage& p) { H::AlphaBlend(p, 127); }, {});
    Survives(file, "ConvertToGrayScale", [](TPngImage& p) { H::ConvertToGrayScale(p); }, {});
    Survives(file, "MakeImageGrayscale", [](TPngImage& p) { MakeImageGrayscale(&p, 127); }, {});
    Survives(file, "MakeImageBlended", [](TPngImage& p) { MakeImageBlended(&p, 127); }, {});
    Survives(file, "SetTransparent", [](TPngImage& p) { H::SetTransparent(p, 100); }, {rgba, depth});
    Survives(file, "SmoothResize", [](TPngImage& p) { H::SmoothResize(p, 7, 5); },
             {"Only COLOR_RGBALPHA and COLOR_RGB formats are supported"});
    Survives(file, "CopyFrom", [](TPngImage& p) {
      TPngImage target;
      H::CopyFrom(target, &p, TRect(0, 0, 1, 1));
    }, {rgba, depth});
    Survives(file, "DrawPng", [&](TPngImage& p) {
      auto other = Load(file);
      H::DrawPng(p, other.get(), TPoint(1, 1), 200);
      EXPECT_EQ(p.Header().ColorType, COLOR_RGBALPHA);
    }, {});
    Survives(file, "SlicePNG", [](TPngImage& p) {
      TObjectList<TPngImage>* slices = nullptr;
      SlicePNG(&p, 2, 2, slices);
      for (TPngImage* s : *slices)
        delete s;
      delete slices;
    }, {});
    Survives(file, "ForceAlphaChannel", [](TPngImage& p) { H::ForceAlphaChannel(p, true, clBlack, 9); }, {});
  }
}
