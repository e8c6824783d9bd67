#include "services/zip_box.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>

#include "platform/bmp.h"
#include "platform/error_texts.h"
#include "platform/files.h"
#include "services/zlib_codec.h"
#include "support/file_helpers.h"
#include "support/file_size_limit.h"
#include "support/test_folders.h"

namespace torvel {
namespace {

TBoxItem Entry(const std::string& name, const std::string& path, const std::string& text,
               uint8_t encoding = 0) {
  TBoxItem item;
  item.pName = name;
  item.pPath = path;
  item.pM = encoding;
  item.pD.assign(text.begin(), text.end());
  if (encoding == 1) {
    EXPECT_TRUE(ZlibCompress(item.pD, 3, item.pD));
  }
  item.pSize = static_cast<int32_t>(text.size());
  item.pSizeB = static_cast<int32_t>(item.pD.size());
  return item;
}

std::vector<uint8_t> Archive(const std::vector<TBoxItem>& items) {
  TMemoryStream stream;
  for (const TBoxItem& item : items) {
    EXPECT_TRUE(item.Write(stream));
  }
  return stream.TakeBytes();
}

// The archive hidden in a 24-bit carrier bitmap's file image, 100 bytes into its pixel rows.
std::vector<uint8_t> Carrier(const std::vector<uint8_t>& archive, int rows = 36) {
  Bitmap picture(334, rows);
  std::vector<uint8_t> image = EncodeBmp(picture);
  EXPECT_LE(archive.size() + 154, image.size());
  std::fill(image.begin() + 54, image.begin() + 154, 0xFF);
  std::copy(archive.begin(), archive.end(), image.begin() + 154);
  return image;
}

std::string Extracted(TZipBox& box, int index) {
  TMemoryStream out;
  EXPECT_TRUE(box.ExtractToStream(box.EntryAt(index), out)) << box.LastErrorText;
  return {out.Bytes().begin(), out.Bytes().end()};
}

TEST(ZipBox, LoadsAnArchiveDirectlyOrFromItsCarrierBitmap) {
  const std::vector<uint8_t> archive =
      Archive({Entry("index.html", "help", "<html>", 1), Entry("a.jpg", "", "JPEG")});
  TMemoryStream direct(archive);
  TZipBox box;
  ASSERT_TRUE(box.LoadFromStream(direct, false));
  EXPECT_EQ(box.EntryCount(), 2);
  EXPECT_EQ(Extracted(box, 0), "<html>");
  EXPECT_EQ(Extracted(box, 1), "JPEG");

  TMemoryStream carried(Carrier(archive));
  int reports = 0;
  box.OnProgress = [&](TZipBox& b) {
    ++reports;
    EXPECT_EQ(b.Stage, 4);
    EXPECT_EQ(b.Index, b.EntryCount() - 1);
  };
  ASSERT_TRUE(box.LoadFromStream(carried, false));
  EXPECT_EQ(box.EntryCount(), 2);  // replaced, not added
  EXPECT_EQ(reports, 2);
  EXPECT_EQ(box.EntryAt(0)->pPath, "help");
  EXPECT_EQ(box.EntryAt(0)->pSize, 6);
}

TEST(ZipBox, AStreamWithoutRecordsIsAnUnknownFormat) {
  TMemoryStream noise(std::vector<uint8_t>(400, 0x41));
  TZipBox box;
  EXPECT_FALSE(box.LoadFromStream(noise, false));
  EXPECT_EQ(box.LastErrorText, kUnknownFormat);
  TMemoryStream empty;
  EXPECT_FALSE(box.LoadFromStream(empty, false));
  EXPECT_EQ(box.EntryCount(), 0);
}

TEST(ZipBox, TheArchiveEndsAtTheFirstUnreadableRecord) {
  std::vector<uint8_t> bytes = Archive({Entry("one", "", "1"), Entry("two", "", "2")});
  // A third record with a property TBoxItem does not have.
  {
    TBoxItem item = Entry("three", "", "3");
    TMemoryStream s;
    item.Write(s);
    std::vector<uint8_t> rec = s.TakeBytes();
    const std::string name = "pSizeB";
    const auto at = std::search(rec.begin(), rec.end(), name.begin(), name.end());
    ASSERT_NE(at, rec.end());
    *(at + 5) = 'X';  // "pSizeX"
    bytes.insert(bytes.end(), rec.begin(), rec.end());
  }
  bytes.push_back('T');  // and a broken tail
  TMemoryStream stream(bytes);
  TZipBox box;
  ASSERT_TRUE(box.LoadFromStream(stream, false));
  EXPECT_EQ(box.EntryCount(), 2);
}

TEST(ZipBox, EqualNamesAndPathsReplaceUnlessDuplicatesAreAllowed) {
  const std::vector<uint8_t> bytes =
      Archive({Entry("a.txt", "x", "first"), Entry("A.TXT", "X", "second"),
               Entry("a.txt", "y", "other folder")});
  TMemoryStream stream(bytes);
  TZipBox box;
  ASSERT_TRUE(box.LoadFromStream(stream, false));
  ASSERT_EQ(box.EntryCount(), 2);
  EXPECT_EQ(Extracted(box, 0), "second");  // the first was deleted when the second came
  EXPECT_EQ(Extracted(box, 1), "other folder");

  TZipBox all;
  all.AllowDuplicates = true;
  TMemoryStream again(bytes);
  ASSERT_TRUE(all.LoadFromStream(again, false));
  EXPECT_EQ(all.EntryCount(), 3);
  // Appending keeps what is there.
  TMemoryStream more(Archive({Entry("b.txt", "", "b")}));
  ASSERT_TRUE(all.LoadFromStream(more, true));
  EXPECT_EQ(all.EntryCount(), 4);
}

TEST(ZipBox, FindEntryIgnoresCaseAndTakesAnyPathForAStar) {
  TMemoryStream stream(Archive({Entry("readme", "a", ""), Entry("index.html", "docs/en", "")}));
  TZipBox box;
  ASSERT_TRUE(box.LoadFromStream(stream, false));
  EXPECT_EQ(box.FindEntry("INDEX.HTML", "*"), 1);
  EXPECT_EQ(box.FindEntry("index.html", "DOCS/EN"), 1);
  EXPECT_EQ(box.FindEntry("index.html", "docs"), -1);
  EXPECT_EQ(box.FindEntry("index.htm", "*"), -1);
  EXPECT_EQ(box.FindEntry("", "*"), -1);
}

TEST(ZipBox, EntryAtClampsItsIndex) {
  TZipBox box;
  EXPECT_EQ(box.EntryAt(0), nullptr);
  TMemoryStream stream(Archive({Entry("a", "", ""), Entry("b", "", ""), Entry("c", "", "")}));
  ASSERT_TRUE(box.LoadFromStream(stream, false));
  EXPECT_EQ(box.EntryAt(-5)->pName, "a");
  EXPECT_EQ(box.EntryAt(3)->pName, "c");
  EXPECT_EQ(box.EntryAt(1000)->pName, "c");
  EXPECT_EQ(box.IndexOfEntry(box.EntryAt(1)), 1);
  EXPECT_EQ(box.IndexOfEntry(nullptr), -1);

  TBoxItem* b = box.EntryAt(1);
  std::unique_ptr<TBoxItem> removed = box.RemoveEntry(b);
  ASSERT_EQ(removed.get(), b);  // handed back, not freed
  EXPECT_EQ(box.EntryCount(), 2);
  EXPECT_EQ(box.IndexOfEntry(b), -1);
  EXPECT_EQ(box.RemoveEntry(b), nullptr);
  EXPECT_TRUE(box.DeleteEntry(box.EntryAt(0)));
  EXPECT_EQ(box.EntryAt(0)->pName, "c");
  box.ClearEntries();
  EXPECT_EQ(box.EntryCount(), 0);
}

TEST(ZipBox, ExtractionFailsForUnknownEncodingsAndCorruptPayloads) {
  TBoxItem unknown = Entry("a", "", "abc");
  unknown.pM = 2;
  TBoxItem corrupt = Entry("b", "", "not zlib");
  corrupt.pM = 1;
  TMemoryStream stream(Archive({unknown, corrupt}));
  TZipBox box;
  ASSERT_TRUE(box.LoadFromStream(stream, false));
  TMemoryStream out;
  EXPECT_FALSE(box.ExtractToStream(box.EntryAt(0), out));
  EXPECT_EQ(box.LastErrorText, kUnsupportedEncoding);
  EXPECT_FALSE(box.ExtractToStream(box.EntryAt(1), out));
  EXPECT_EQ(box.LastErrorText, kOutOfMemory);
  EXPECT_FALSE(box.ExtractToStream(nullptr, out));
  EXPECT_EQ(box.LastErrorText, kUnexpectedError);
  EXPECT_EQ(out.Size(), 0);
}

TEST(ZipBox, ExtractToFileKeepsOrReplacesExistingFiles) {
  const std::string folder = test::FreshFolder("extract");
  TMemoryStream stream(Archive({Entry("page.html", "", "new text", 1)}));
  TZipBox box;
  ASSERT_TRUE(box.LoadFromStream(stream, false));
  const TBoxItem* page = box.EntryAt(0);

  test::WriteText(folder + "page.html", "user's own");
  EXPECT_TRUE(box.ExtractToFile(page, folder + "page.html", false));
  EXPECT_EQ(test::ReadText(folder + "page.html"), "user's own");
  EXPECT_TRUE(box.ExtractToFile(page, folder + "page.html", true));
  EXPECT_EQ(test::ReadText(folder + "page.html"), "new text");
  EXPECT_FALSE(box.ExtractToFile(page, folder + "missing/page.html", true));
  EXPECT_EQ(box.LastErrorText, kOutOfDiskSpace);
}

TEST(ZipBox, UnsafeNamesAreNotExtractedAndLinksAreNotFollowed) {
  for (const std::string& name :
       {std::string(), std::string("../evil"), std::string("/x"), std::string("a/b"),
        std::string("a\\b"), std::string(".."), std::string("."), std::string("bad\nname"),
        std::string(10000, 'n')}) {
    EXPECT_FALSE(TZipBox::IsSafeEntryName(name)) << name;
  }
  EXPECT_TRUE(TZipBox::IsSafeEntryName("index.html"));
  EXPECT_TRUE(TZipBox::IsSafeEntryName(".hidden"));

  const std::string folder = test::FreshFolder("unsafe");
  TMemoryStream stream(Archive({Entry("../escape.txt", "", "x"), Entry("link.txt", "", "data")}));
  TZipBox box;
  box.AllowDuplicates = true;
  ASSERT_TRUE(box.LoadFromStream(stream, false));
  EXPECT_FALSE(box.ExtractToFile(box.EntryAt(0), folder + "escape.txt", true));
  EXPECT_EQ(box.LastErrorText, kUnexpectedError);

  // A link standing where the file goes is replaced, and what it points to stays untouched.
  const std::string outside = test::FreshFolder("outside") + "target.txt";
  test::WriteText(outside, "keep me");
  ASSERT_EQ(::symlink(outside.c_str(), (folder + "link.txt").c_str()), 0);
  EXPECT_TRUE(box.ExtractToFile(box.EntryAt(1), folder + "link.txt", true));
  EXPECT_EQ(test::ReadText(outside), "keep me");
  EXPECT_EQ(test::ReadText(folder + "link.txt"), "data");
}

TEST(ZipBox, OversizedPayloadsAndFullDisksFailCleanly) {
  TBoxItem bomb;
  bomb.pName = "bomb";
  bomb.pM = 1;
  ASSERT_TRUE(
      ZlibCompress(std::vector<uint8_t>(TZipHandler::kMostInflatedBytes + 1, 0), 9, bomb.pD));
  TBoxItem big = Entry("big.txt", "", std::string(100000, 'b'), 1);
  TMemoryStream stream(Archive({bomb, big}));
  TZipBox box;
  ASSERT_TRUE(box.LoadFromStream(stream, false));
  TMemoryStream out;
  EXPECT_FALSE(box.ExtractToStream(box.EntryAt(0), out));
  EXPECT_EQ(box.LastErrorText, kOutOfMemory);

  const std::string folder = test::FreshFolder("full");
  {
    test::TFileSizeLimit diskFull(4096);
    EXPECT_FALSE(box.ExtractToFile(box.EntryAt(1), folder + "big.txt", true));
  }
  EXPECT_EQ(box.LastErrorText, kOutOfDiskSpace);
  EXPECT_TRUE(ListFolder(folder).empty());  // nothing half written is left
}

TEST(ZipBox, HoldsAtMost10002EntriesAndCanBeCancelled) {
  std::vector<TBoxItem> items;
  for (int i = 0; i < TZipBox::kMostEntries; ++i) {
    items.push_back(Entry("f" + std::to_string(i), "", ""));
  }
  const std::vector<uint8_t> full = Archive(items);
  TMemoryStream exact(full);
  TZipBox box;
  ASSERT_TRUE(box.LoadFromStream(exact, false));
  EXPECT_EQ(box.EntryCount(), TZipBox::kMostEntries);

  items.push_back(Entry("one too many", "", ""));
  TMemoryStream over(Archive(items));
  EXPECT_FALSE(box.LoadFromStream(over, false));
  EXPECT_EQ(box.LastErrorText, kCapacityReached);
  EXPECT_EQ(box.EntryCount(), TZipBox::kMostEntries);  // what was read stays

  TMemoryStream again(full);
  box.OnProgress = [](TZipBox& b) { b.Cancelled = b.EntryCount() == 3; };
  EXPECT_FALSE(box.LoadFromStream(again, false));
  EXPECT_EQ(box.LastErrorText, kTaskCancelled);
  EXPECT_EQ(box.EntryCount(), 3);
}

TEST(ZipBox, ProgressIsClamped) {
  TZipBox box;
  box.ReportProgress(150, 7, 2);
  EXPECT_EQ(box.Percent, 100);
  EXPECT_EQ(box.Index, -1);  // no entry to point at
  TMemoryStream stream(Archive({Entry("a", "", ""), Entry("b", "", "")}));
  ASSERT_TRUE(box.LoadFromStream(stream, false));
  box.ReportProgress(50, 7, 2);
  EXPECT_EQ(box.Index, 1);
  box.ReportProgress(-3, -1, 4);
  EXPECT_EQ(box.Percent, 0);
  EXPECT_EQ(box.Stage, 4);
}

}  // namespace
}  // namespace torvel
