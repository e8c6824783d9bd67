#include "services/stored_texts.h"

#include <gtest/gtest.h>

#include "services/scramble.h"

namespace torvel {
namespace {

TEST(StoredTexts, EachDecodesToItsWording) {
  namespace s = stored_texts;
  const std::pair<const char*, const char*> texts[] = {
      {s::kHomepageAddress, "https://torvel.example/"},
      {s::kFreeSoftwareAddress, "https://www.gnu.org/philosophy/free-sw.html"},
      {s::kMakerAddress, "https://orvik.example/"},
      {s::kNoteText, "Free software"},
      {s::kNoteCaption, "Licence"},
      {s::kVersionCaption, "Version"},
      {s::kLinkCaption, "Web"},
      {s::kAboutCaption, "About "},
      {s::kInitialVersion, "1.00"},
      {s::kLinkAddress, "https://torvel.example/"},
      {s::kInfoFirst, "Copyright"},
      {s::kInfoSecond, " \u00a9 "},
      {s::kInfoThird, " "},
      {s::kInfoFourth, "Orvik Enterprises"},
      {s::kHelpDefaultName, "Help"},
      {s::kHelpMarkerFile, "index.html"},
      {s::kHelpCleanupMask, "*.*"},
  };
  for (const auto& [stored, plain] : texts) {
    EXPECT_NE(std::string(stored).find(plain), 0u);  // not kept in plain form
    EXPECT_EQ(StoredText(stored, 0), plain);
  }
}

}  // namespace
}  // namespace torvel
