#include "services/zip_box.h"

#include <algorithm>
#include <new>

#include "platform/error_texts.h"
#include "platform/files.h"
#include "services/general.h"
#include "services/lazy_service.h"
#include "services/paths.h"
#include "services/property_stream.h"
#include "services/zlib_codec.h"
#include "services/zlib_stream.h"

namespace torvel {
namespace {

std::unique_ptr<TZipHandler> zipHandler;

}  // namespace

// --- entries ---

bool TBoxItem::Read(TStream& stream) {
  TBoxItem read;
  const bool taken = TPropertyFields()
                         .Text("pName", &read.pName)
                         .Text("pPath", &read.pPath)
                         .Integer("pSize", &read.pSize)
                         .Integer("pSizeB", &read.pSizeB)
                         .Byte("pM", &read.pM)
                         .Bytes("pD", &read.pD)
                         .Read(stream);
  if (taken) {
    *this = std::move(read);
  }
  return taken;
}

bool TBoxItem::Write(TStream& stream) const {
  TPropertyWriter out(stream);
  out.Begin(kTypeName, "");
  out.Text("pName", pName);
  out.Text("pPath", pPath);
  out.Integer("pSize", pSize);
  out.Integer("pSizeB", pSizeB);
  out.Integer("pM", pM);
  out.Bytes("pD", pD);
  return out.End();
}

// --- the shared decoder ---

TZipHandler* ZipHandler() {
  return CreateOnFirstUse(zipHandler);
}

void ReleaseZipHandler() {
  zipHandler.reset();
}

bool TZipHandler::Decompress(TMemoryStream& bytes) {
  LastErrorText = kOutOfMemory;
  try {
    TDecompressionStream inflater(bytes);
    std::vector<uint8_t> inflated;
    if (!ReadInflated(inflater, kMostInflatedBytes, inflated)) {
      return false;
    }
    bytes = TMemoryStream(std::move(inflated));
    return true;
  } catch (const std::exception&) {  // a corrupt stream, or memory ran out
    return false;
  }
}

// --- the archive ---

TZipBox::TZipBox() = default;
TZipBox::~TZipBox() = default;

int TZipBox::ReadRecords(TStream& stream, int64_t start, bool& stop) {
  int n = 0;
  for (;;) {
    auto item = std::make_unique<TBoxItem>();
    if (!item->Read(stream)) {
      return n;  // the end of the archive: wherever a record cannot be read
    }
    if (!AddEntry(std::move(item))) {
      stop = true;  // the table is full; the entries read so far stay
      return 0;
    }
    ++n;
    const int64_t size = std::max<int64_t>(stream.Size(), 1);
    ReportProgress(static_cast<int>((stream.Position() - start) * 100 / size), EntryCount() - 1, 4);
    if (Cancelled) {
      LastErrorText = kTaskCancelled;
      stop = true;
      return 0;
    }
  }
}

bool TZipBox::LoadFromStream(TStream& stream, bool append) {
  LastErrorText = kOutOfMemory;
  Cancelled = false;
  try {
    const int64_t start = stream.Position();
    if (!append) {
      ClearEntries();
    }
    bool stop = false;
    for (const int64_t offset : {int64_t{0}, kCarrierOffset}) {
      LastErrorText = kUnknownFormat;
      if (!stream.Seek(start + offset)) {
        return false;
      }
      if (ReadRecords(stream, start, stop) > 0) {
        return true;  // LastErrorText still reads "Unknown format"; nobody reads it on success
      }
      if (stop) {
        return false;
      }
    }
  } catch (const std::bad_alloc&) {
    LastErrorText = kOutOfMemory;
  }
  return false;
}

TBoxItem* TZipBox::EntryAt(int i) const {
  return entries_.empty() ? nullptr : entries_[static_cast<size_t>(ClampIndex(i))].get();
}

int TZipBox::ClampIndex(int i) const {
  return TPaths::Clamp(i, 0, EntryCount() - 1);
}

int TZipBox::IndexOfEntry(const TBoxItem* entry) const {
  if (entry == nullptr) {
    return -1;
  }
  const auto found = std::find_if(entries_.begin(), entries_.end(),
                                  [entry](const auto& owned) { return owned.get() == entry; });
  return found == entries_.end() ? -1 : static_cast<int>(found - entries_.begin());
}

int TZipBox::FindEntry(const std::string& name, const std::string& path) const {
  const std::string upperName = UpperCase(name);
  const std::string lowerName = LowerCase(name);
  const std::string upperPath = UpperCase(path);
  for (size_t i = 0; i < entries_.size(); ++i) {
    const TBoxItem& entry = *entries_[i];
    // The first character decides cheaply before the whole name is compared.
    if (entry.pName.empty() || upperName.empty() ||
        (entry.pName[0] != upperName[0] && entry.pName[0] != lowerName[0])) {
      continue;
    }
    if (UpperCase(entry.pName) != upperName) {
      continue;
    }
    if (path == "*" || UpperCase(entry.pPath) == upperPath) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

bool TZipBox::AddEntry(std::unique_ptr<TBoxItem> entry) {
  if (!entry) {
    return true;
  }
  LastErrorText = kUnexpectedError;
  if (!AllowDuplicates) {
    const int same = FindEntry(entry->pName, entry->pPath);
    if (same >= 0) {
      DeleteEntry(entries_[static_cast<size_t>(same)].get());
    }
  }
  LastErrorText = kCapacityReached;
  if (EntryCount() >= kMostEntries) {
    return false;
  }
  entries_.push_back(std::move(entry));
  return true;
}

std::unique_ptr<TBoxItem> TZipBox::RemoveEntry(TBoxItem* entry) {
  const int i = IndexOfEntry(entry);
  if (i < 0) {
    return nullptr;
  }
  LastErrorText = kUnexpectedError;
  std::unique_ptr<TBoxItem> removed = std::move(entries_[static_cast<size_t>(i)]);
  entries_.erase(entries_.begin() + i);
  return removed;
}

bool TZipBox::DeleteEntry(TBoxItem* entry) {
  RemoveEntry(entry);  // the removed entry is freed here
  return true;
}

void TZipBox::ClearEntries() {
  entries_.clear();
}

bool TZipBox::ExtractToStream(const TBoxItem* entry, TStream& target) {
  LastErrorText = kUnexpectedError;
  if (entry == nullptr) {
    return false;
  }
  LastErrorText = kOutOfMemory;
  try {
    TMemoryStream bytes(entry->pD);
    if (entry->pM == 1) {
      TZipHandler* handler = ZipHandler();
      if (handler == nullptr || !handler->Decompress(bytes)) {
        LastErrorText = handler != nullptr ? handler->LastErrorText : kOutOfMemory;
        return false;
      }
    } else if (entry->pM != 0) {
      LastErrorText = kUnsupportedEncoding;
      return false;
    }
    LastErrorText = kOutOfMemory;
    const std::vector<uint8_t>& decoded = bytes.Bytes();
    return target.WriteAll(decoded.data(), decoded.size());
  } catch (const std::bad_alloc&) {
    return false;
  }
}

bool TZipBox::IsSafeEntryName(const std::string& name) {
  constexpr size_t kLongestName = 255;  // what the file systems hold
  if (name.empty() || name.size() > kLongestName || name == "." ||
      name.find("..") != std::string::npos) {
    return false;
  }
  return std::none_of(name.begin(), name.end(), [](char c) {
    const auto u = static_cast<unsigned char>(c);
    return c == '/' || c == '\\' || u < 0x20 || u == 0x7F;
  });
}

bool TZipBox::ExtractToFile(const TBoxItem* entry, const std::string& path, bool overwrite) {
  LastErrorText = kUnexpectedError;
  if (entry == nullptr || !IsSafeEntryName(entry->pName)) {
    return false;
  }
  if (!overwrite && FileExists(path)) {
    return true;
  }
  LastErrorText = kOutOfMemory;
  TMemoryStream bytes;
  if (!ExtractToStream(entry, bytes)) {
    return false;
  }
  LastErrorText = kFileInUse;
  if (!DeleteFile(path)) {  // a link standing there is removed, never written through
    return false;
  }
  LastErrorText = kOutOfDiskSpace;
  return WriteFileSafely(path, bytes.Bytes().data(), bytes.Bytes().size());
}

void TZipBox::ReportProgress(int percent, int index, int stage) {
  Percent = TPaths::Clamp(percent, 0, 100);
  Index = ClampIndex(index);
  Stage = stage;
  if (OnProgress) {
    OnProgress(*this);
  }
}

}  // namespace torvel
