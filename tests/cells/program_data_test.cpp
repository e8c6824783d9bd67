#include "services/program_data.h"

#include <gtest/gtest.h>

#include <set>

#include "cells/animation_io.h"
#include "platform/bmp.h"
#include "platform/jpeg.h"
#include "services/zip_box.h"

namespace torvel {
namespace {

// The archive a carrier picture holds, read the way the program reads it: from the picture's
// BMP image as the program writes it out again.
std::vector<std::string> EntryNames(const char* carrier, TZipBox& box) {
  const TProgramData data = ProgramData(carrier);
  Bitmap picture;
  std::string error;
  EXPECT_TRUE(DecodeBmp(data.Bytes, data.Size, picture, error)) << carrier << ": " << error;
  EXPECT_EQ(picture.Width(), 334) << carrier;
  TMemoryStream image;
  EXPECT_TRUE(EncodeBmp(picture, image));
  image.Seek(0);
  EXPECT_TRUE(box.LoadFromStream(image, false)) << carrier << ": " << box.LastErrorText;
  std::vector<std::string> names;
  for (int i = 0; i < box.EntryCount(); ++i) {
    names.push_back(box.EntryAt(i)->pName);
  }
  return names;
}

std::vector<uint8_t> Extracted(TZipBox& box, const std::string& name) {
  TMemoryStream bytes;
  EXPECT_TRUE(box.ExtractToStream(box.EntryAt(box.FindEntry(name, "*")), bytes)) << name;
  return bytes.Bytes();
}

TEST(ProgramDataTest, CarriersHoldTheirArchivesAtTheirSizes) {
  TZipBox box;
  EXPECT_EQ(EntryNames("cri.bmp", box), std::vector<std::string>{"a.jpg"});
  const std::vector<uint8_t> jpeg = Extracted(box, "A.JPG");
  Bitmap splash;
  std::string error;
  ASSERT_TRUE(DecodeJpeg(jpeg.data(), jpeg.size(), splash, error)) << error;
  EXPECT_GT(splash.Width(), 300);

  const std::vector<std::string> pages = EntryNames("sup_help.bmp", box);
  ASSERT_FALSE(pages.empty());
  EXPECT_EQ(pages.back(), "index.html");  // the marker comes last
  EXPECT_GE(pages.size(), 10u);
  const std::vector<uint8_t> index = Extracted(box, "index.html");
  const std::string text(index.begin(), index.end());
  for (const std::string& page : pages) {
    if (page != "index.html" && page != "style.css") {
      EXPECT_NE(text.find("href=\"" + page + "\""), std::string::npos) << page;
    }
  }

  const std::vector<std::string> files = EntryNames("sup_files.bmp", box);
  const std::set<std::string> names(files.begin(), files.end());
  EXPECT_EQ(names, (std::set<std::string>{"Bouncing Ball.san", "Walking Figure.san",
                                          "Spinning Logo.san", "Ball Strip.bmp", "README"}));
  for (const char* sample : {"Bouncing Ball.san", "Walking Figure.san", "Spinning Logo.san"}) {
    const std::vector<uint8_t> bytes = Extracted(box, sample);
    TMemoryView view(bytes.data(), bytes.size());
    TAnimationContents contents;
    ASSERT_TRUE(ReadAnimation(view, contents, error)) << sample << ": " << error;
    EXPECT_GE(contents.CellCount(), 8) << sample;
  }
}

TEST(ProgramDataTest, IconsAreThere) {
  for (const char* name :
       {"torvel-16.png", "torvel-48.png", "torvel-256.png", "frame0.png", "frame5.png"}) {
    const TProgramData icon = ProgramData(name);
    ASSERT_GT(icon.Size, 8u) << name;
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(icon.Bytes) + 1, 3), "PNG") << name;
  }
  EXPECT_TRUE(ProgramData("frame6.png").IsEmpty());
}

}  // namespace
}  // namespace torvel
