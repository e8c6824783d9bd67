#include "services/lite_language.h"

#include <cstring>
#include <memory>

#include "platform/error_texts.h"
#include "platform/files.h"
#include "platform/little_endian.h"
#include "platform/stream.h"
#include "services/scramble.h"

namespace torvel {
namespace {

constexpr char kFileName[] = "language.ll2";
constexpr char kSignature[] = "LLF2.0";
constexpr size_t kSignatureSearch = 20;  // the signature ends with a zero byte within these
// Far beyond any real translation; a larger file is refused before it is read.
constexpr int64_t kMostFileBytes = int64_t{16} << 20;

int32_t ReadInt32(const uint8_t* bytes) {
  return static_cast<int32_t>(ReadLittleEndian32(bytes));
}

std::string Int32Text(int32_t value) {
  uint8_t bytes[4];
  WriteLittleEndian32(bytes, static_cast<uint32_t>(value));
  return {bytes, bytes + 4};
}

// Reads the file's length-prefixed fields one after another.
class TFieldReader {
 public:
  TFieldReader(const uint8_t* data, size_t size, size_t start)
      : data_(data), size_(size), position_(start) {}

  // False for a negative length or one larger than the bytes left. Fewer than four bytes left
  // read as an empty field.
  bool Next(std::string& field) {
    field.clear();
    if (size_ - position_ < 4) {
      return true;
    }
    const int32_t length = ReadInt32(data_ + position_);
    if (length < 0 || static_cast<size_t>(length) > size_ - position_ - 4) {
      return false;
    }
    const auto* start = reinterpret_cast<const char*>(data_ + position_ + 4);
    field.assign(start, static_cast<size_t>(length));
    position_ += 4 + static_cast<size_t>(length);
    return true;
  }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t position_;
};

// Where the fields begin, or 0 when the file does not start with the signature.
size_t FieldsStart(const uint8_t* data, size_t size) {
  if (size == 0) {
    return 0;
  }
  const size_t searched = size < kSignatureSearch ? size : kSignatureSearch;
  const void* zero = std::memchr(data, 0, searched);
  if (zero == nullptr) {
    return 0;
  }
  const auto length = static_cast<size_t>(static_cast<const uint8_t*>(zero) - data);
  return std::string(reinterpret_cast<const char*>(data), length) == kSignature ? length + 1 : 0;
}

void PutField(std::vector<uint8_t>& out, const std::string& field) {
  const std::string length = Int32Text(static_cast<int32_t>(field.size()));
  out.insert(out.end(), length.begin(), length.end());
  out.insert(out.end(), field.begin(), field.end());
}

}  // namespace

TLiteLanguage::TLiteLanguage(bool load) : TTranslationTable(kCapacity, kFileName) {
  Reset();
  if (load) {
    LoadLanguage();
  }
}

void TLiteLanguage::ResetTexts() {
  for (std::string& text : ExtraTexts) {
    text.clear();
  }
}

int TLiteLanguage::AddText(const std::string& english, const std::string& translation) {
  LastError = kUnexpectedError;
  if (english.empty() || translation.empty()) {
    LastError = kEmpty;
    return -1;
  }
  const int index = FindText(english);
  if (index >= 0) {
    Entries()[static_cast<size_t>(index)].Translation = translation;
    return index;
  }
  if (!Append(english, translation)) {
    LastError = kCapacityReached;
    return -1;
  }
  return Count() - 1;
}

bool TLiteLanguage::LoadFile(const std::string& path, size_t startOffset) {
  std::vector<uint8_t> bytes;
  if (!ReadWhole(path, bytes)) {
    Reset();
    return false;
  }
  const size_t skipped = startOffset < bytes.size() ? startOffset : bytes.size();
  return ReadFromBytes(bytes.data() + skipped, bytes.size() - skipped);
}

// The whole file in memory; false, with LastError saying why, when it cannot be read.
bool TLiteLanguage::ReadWhole(const std::string& path, std::vector<uint8_t>& bytes) {
  std::unique_ptr<TFileStream> file = OpenForReading(path);
  if (!file) {
    return false;
  }
  LastError = kOutOfMemory;
  const int64_t size = file->Size();
  if (size < 0 || size > kMostFileBytes) {
    return false;
  }
  bytes.resize(static_cast<size_t>(size));
  return file->ReadExact(bytes.data(), bytes.size());
}

bool TLiteLanguage::ReadFromBytes(const uint8_t* data, size_t size) {
  Reset();
  LastError = kUnknownFormat;
  if (!Parse(data, size)) {
    Reset();
    return false;
  }
  return true;
}

bool TLiteLanguage::Parse(const uint8_t* data, size_t size) {
  const size_t start = FieldsStart(data, size);
  if (start == 0) {
    return false;
  }
  TFieldReader fields(data, size, start);
  std::string field;
  if (!fields.Next(field)) {
    return false;
  }
  KeyA = ScrambleText(field, FixedKey1(), 0);
  if (!fields.Next(field)) {
    return false;
  }
  KeyB = ScrambleText(field, FixedKey2(), 0);
  if (KeyA.empty() || KeyB.empty()) {
    return false;  // an empty key could not unscramble anything
  }
  if (!fields.Next(field)) {
    return false;
  }
  const std::string countBytes = ScrambleText(field, KeyA, 0);
  const int32_t count =
      countBytes.size() < 4 ? 0 : ReadInt32(reinterpret_cast<const uint8_t*>(countBytes.data()));
  if (count < 1 || count > kCapacity || !fields.Next(field)) {
    return false;
  }
  LanguageName = ScrambleText(field, KeyA, 0);
  for (std::string& text : ExtraTexts) {
    if (!fields.Next(field)) {
      return false;
    }
    text = ScrambleText(field, KeyA, 0);
  }
  for (int32_t i = 0; i < count; ++i) {
    std::string english;
    LastError = kUnknownFormat;
    if (!fields.Next(english) || !fields.Next(field) ||
        AddText(ScrambleText(english, KeyA, 1), ScrambleText(field, KeyB, 1)) < 0) {
      return false;
    }
  }
  return true;
}

std::vector<uint8_t> TLiteLanguage::Encode() {
  LastError = kEmpty;
  if (Count() == 0) {
    return {};
  }
  LastError = kUnexpectedError;
  if (KeyA.empty() || KeyB.empty()) {
    return {};
  }
  std::vector<uint8_t> out(kSignature, kSignature + sizeof kSignature);  // with its zero byte
  PutField(out, ScrambleText(KeyA, FixedKey1(), 1));
  PutField(out, ScrambleText(KeyB, FixedKey2(), 1));
  PutField(out, ScrambleText(Int32Text(Count()), KeyA, 1));
  PutField(out, ScrambleText(LanguageName, KeyA, 1));
  for (const std::string& text : ExtraTexts) {
    PutField(out, ScrambleText(text, KeyA, 1));
  }
  for (int i = 0; i < Count(); ++i) {
    PutField(out, ScrambleText(Entry(i).English, KeyA, 0));
    PutField(out, ScrambleText(Entry(i).Translation, KeyB, 0));
  }
  return out;
}

bool TLiteLanguage::SaveToFile(const std::string& path) {
  const std::vector<uint8_t> bytes = Encode();
  if (bytes.empty()) {
    return false;
  }
  LastError = kOutOfDiskSpace;
  return WriteFileSafely(path, bytes.data(), bytes.size());
}

}  // namespace torvel
