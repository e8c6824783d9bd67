#include "services/language.h"

#include "platform/error_texts.h"
#include "platform/files.h"
#include "services/general.h"
#include "services/property_stream.h"
#include "services/scramble.h"

namespace torvel {
namespace {

constexpr char kFileName[] = "language.llf";
constexpr char kTypeName[] = "TLanguage";
constexpr char kItemTypeName[] = "TLI";
// No language file has texts anywhere near this long; longer ones are refused unread.
constexpr size_t kMostTextBytes = size_t{16} << 20;

std::string TextOf(const TPropertyValue& value) {
  return std::string(value.Bytes.begin(), value.Bytes.end());
}

bool SameName(const std::string& a, const char* b) {
  return UpperCase(a) == UpperCase(b);
}

// The English text and translation of one nested TLI record, still scrambled; false when the
// record is not one.
bool ReadItem(const TPropertyRecord& item, std::string& english, std::string& translation) {
  if (!SameName(item.TypeName, kItemTypeName)) {
    return false;
  }
  for (const TProperty& property : item.Properties) {
    if (property.Value.Kind != TPropertyValue::TKind::Bytes) {
      return false;
    }
    if (SameName(property.Name, "X")) {
      english = TextOf(property.Value);
    } else if (SameName(property.Name, "Y")) {
      translation = TextOf(property.Value);
    } else {
      return false;
    }
  }
  return true;
}

}  // namespace

TLanguage::TLanguage(bool load) : TTranslationTable(kCapacity, kFileName) {
  Reset();
  if (load) {
    LoadLanguage();
  }
}

void TLanguage::ResetTexts() {
  SecondText.clear();
  ThirdText.clear();
}

bool TLanguage::LoadFile(const std::string& path, size_t startOffset) {
  std::unique_ptr<TFileStream> file = OpenForReading(path);
  if (file) {
    LastError = kUnsupportedFormat;
    if (file->Seek(static_cast<int64_t>(startOffset)) && ReadFromStream(*file)) {
      return true;
    }
  }
  Reset();
  return false;
}

// The properties take effect in file order, so a key applies to the texts that follow it.
bool TLanguage::ReadFromStream(TStream& stream) {
  Reset();
  TPropertyRecord record;
  if (!ReadPropertyRecord(stream, record, kMostTextBytes) ||
      !SameName(record.TypeName, kTypeName)) {
    Reset();
    return false;
  }
  for (const TProperty& property : record.Properties) {
    if (property.Value.Kind != TPropertyValue::TKind::Bytes) {
      Reset();
      return false;
    }
    const std::string value = TextOf(property.Value);
    const std::string name = UpperCase(property.Name);
    bool ok = true;
    if (name == "PC") {
      LanguageName = value;
    } else if (name == "PP") {
      SecondText = value;
    } else if (name == "PA") {
      KeyA = ScrambleText(value, FixedKey1(), 0);
      ok = !KeyA.empty();  // an empty key could not unscramble anything
    } else if (name == "PB") {
      KeyB = ScrambleText(value, FixedKey2(), 0);
      ok = !KeyB.empty();
    } else if (name == "PD") {
      ThirdText = ScrambleText(value, KeyA, 0);
    } else if (name == "PI") {
      ok = ReadEntries(property.Value.Bytes);
    } else {
      ok = false;
    }
    if (!ok) {
      Reset();
      return false;
    }
  }
  return true;
}

// The entries are a run of TLI records; the first one that cannot be read ends them.
bool TLanguage::ReadEntries(const std::vector<uint8_t>& items) {
  Entries().clear();
  TMemoryView view(items);
  while (Count() < kCapacity) {
    TPropertyRecord item;
    std::string english;
    std::string translation;
    if (!ReadPropertyRecord(view, item, kMostTextBytes) || !ReadItem(item, english, translation)) {
      break;
    }
    Append(ScrambleText(english, KeyA, 1), ScrambleText(translation, KeyB, 1));
  }
  return true;
}

bool TLanguage::WriteToStream(TStream& stream) const {
  if (KeyA.empty() || KeyB.empty()) {
    return false;
  }
  TMemoryStream items;
  for (int i = 0; i < Count(); ++i) {
    TPropertyWriter item(items);
    if (!item.Begin(kItemTypeName, "") ||
        !item.Text("X", ScrambleText(Entry(i).English, KeyA, 0)) ||
        !item.Text("Y", ScrambleText(Entry(i).Translation, KeyB, 0)) || !item.End()) {
      return false;
    }
  }
  TPropertyWriter writer(stream);
  return writer.Begin(kTypeName, "") && writer.Text("pC", LanguageName) &&
         writer.Text("pP", SecondText) && writer.Text("pA", ScrambleText(KeyA, FixedKey1(), 1)) &&
         writer.Text("pB", ScrambleText(KeyB, FixedKey2(), 1)) &&
         writer.Text("pD", ScrambleText(ThirdText, KeyA, 1)) && writer.Bytes("pI", items.Bytes()) &&
         writer.End();
}

bool TLanguage::SaveToFile(const std::string& path) {
  LastError = kUnexpectedError;
  TMemoryStream bytes;
  if (!WriteToStream(bytes)) {
    return false;
  }
  LastError = kOutOfDiskSpace;
  return WriteFileSafely(path, bytes.Bytes().data(), bytes.Bytes().size());
}

}  // namespace torvel
