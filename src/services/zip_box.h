#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/stream.h"

namespace torvel {

// One entry of an embedded archive: a file's name, the folder it came from and its bytes.
struct TBoxItem {
  static constexpr const char* kTypeName = "TBoxItem";
  std::string pName;
  std::string pPath;   // only tells entries of equal name apart
  int32_t pSize = 0;   // carried, not read: the unpacked size
  int32_t pSizeB = 0;  // carried, not read: the packed size
  uint8_t pM = 0;      // payload encoding: 0 stored, 1 zlib stream
  std::vector<uint8_t> pD;

  // One property record ("TPF0", "TBoxItem", the six properties); false on any malformed byte.
  bool Read(TStream& stream);
  bool Write(TStream& stream) const;
};

// The payload decoder the archives share.
class TZipHandler {
 public:
  // Replaces the stream's whole content, from its position on, by the zlib stream's inflated
  // bytes. The inflated size is capped (see kMostInflatedBytes).
  bool Decompress(TMemoryStream& bytes);
  // The most bytes one entry may inflate to.
  static constexpr size_t kMostInflatedBytes = size_t{64} << 20;
  std::string LastErrorText;
};
TZipHandler* ZipHandler();
void ReleaseZipHandler();

// An archive: entry records one after the other, with no header of its own, possibly carried in
// the pixel rows of a BMP file image (from byte 154 on). The archive owns its entries.
class TZipBox {
 public:
  static constexpr int kMostEntries = 10002;
  // Where an archive starts inside a carrier bitmap's file image.
  static constexpr int64_t kCarrierOffset = 154;

  TZipBox();
  ~TZipBox();
  TZipBox(const TZipBox&) = delete;
  TZipBox& operator=(const TZipBox&) = delete;

  // Reads records until one cannot be read; without append the table is emptied first. When the
  // stream holds none, tries again at the carrier offset.
  bool LoadFromStream(TStream& stream, bool append);

  int EntryCount() const { return static_cast<int>(entries_.size()); }
  // The entry at the clamped index; none when the archive is empty.
  TBoxItem* EntryAt(int i) const;
  int ClampIndex(int i) const;
  int IndexOfEntry(const TBoxItem* entry) const;
  // The first entry of that name (any case) in that folder, or in any folder for "*"; -1 if none.
  int FindEntry(const std::string& name, const std::string& path) const;

  // The archive takes ownership of an added entry (also when adding fails, it is then freed).
  bool AddEntry(std::unique_ptr<TBoxItem> entry);
  // Takes the entry out of the table and hands it back to the caller.
  std::unique_ptr<TBoxItem> RemoveEntry(TBoxItem* entry);
  bool DeleteEntry(TBoxItem* entry);
  void ClearEntries();

  // Writes the entry's decoded bytes at the target's position.
  bool ExtractToStream(const TBoxItem* entry, TStream& target);
  // Writes the entry's decoded bytes as the file at path (its folder must exist). Without
  // overwrite an existing file is left as it is. Names that could lead outside the folder are
  // refused.
  bool ExtractToFile(const TBoxItem* entry, const std::string& path, bool overwrite);
  // Whether an entry name is a plain file name that may be extracted.
  static bool IsSafeEntryName(const std::string& name);

  void ReportProgress(int percent, int index, int stage);

  std::string LastErrorText;
  bool AllowDuplicates = false;
  int Percent = 0;
  int Index = 0;
  int Stage = 0;
  bool Cancelled = false;
  std::function<void(TZipBox&)> OnProgress;

 private:
  int ReadRecords(TStream& stream, int64_t start, bool& stop);

  std::vector<std::unique_ptr<TBoxItem>> entries_;
};

}  // namespace torvel
