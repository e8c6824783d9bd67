#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <variant>
#include <vector>

#include "platform/stream.h"

namespace torvel {

// The tagged property stream that animation files, archive entries and language files share:
// "TPF0", the record type name and the record name as short strings, then property entries
// (a short-string name and a tagged value) up to a 0x00 byte, then an empty list of nested
// records (a second 0x00).
namespace property_tags {
inline constexpr uint8_t kEnd = 0x00;
inline constexpr uint8_t kInt8 = 0x02;
inline constexpr uint8_t kInt16 = 0x03;
inline constexpr uint8_t kInt32 = 0x04;
inline constexpr uint8_t kShortBytes = 0x06;
inline constexpr uint8_t kFalse = 0x08;
inline constexpr uint8_t kTrue = 0x09;
inline constexpr uint8_t kLongBytes = 0x0C;
}  // namespace property_tags

inline constexpr char kPropertySignature[] = "TPF0";

// A byte string left in the stream because it is too long to be read into memory: where its
// bytes start and how many there are.
struct TStreamSpan {
  int64_t Offset = 0;
  uint32_t Length = 0;
  bool Present = false;
};

struct TPropertyValue {
  enum class TKind { Integer, Boolean, Bytes, Span };
  TKind Kind = TKind::Integer;
  int32_t Integer = 0;
  bool Boolean = false;
  std::vector<uint8_t> Bytes;
  TStreamSpan Span;  // of a Span
};

struct TProperty {
  std::string Name;
  TPropertyValue Value;
};

// Writes one record. Each call returns false once the stream has refused a byte.
class TPropertyWriter {
 public:
  explicit TPropertyWriter(TStream& stream) : stream_(stream) {}

  bool Begin(const std::string& typeName, const std::string& recordName);
  // The smallest integer tag that holds the value. -2147483648 marks a property without a
  // default in this format, so such a value is left out.
  bool Integer(const std::string& name, int32_t value);
  bool Boolean(const std::string& name, bool value);
  // Up to 255 bytes with the short tag, longer ones with the long tag.
  bool Bytes(const std::string& name, const std::vector<uint8_t>& bytes);
  // A byte string that fill writes straight into the stream, always with the long tag; its
  // length is put in front of it afterwards, so the stream must be able to seek back. False
  // when fill fails or the string is longer than the tag's 32 bits count.
  bool StreamedBytes(const std::string& name, const std::function<bool(TStream&)>& fill);
  bool Text(const std::string& name, const std::string& text);
  // Ends the property list and the (empty) list of nested records.
  bool End();

 private:
  bool Put(const void* data, size_t size);
  bool PutByte(uint8_t byte) { return Put(&byte, 1); }
  bool PutShortString(const std::string& text);

  TStream& stream_;
  bool ok_ = true;
};

struct TPropertyRecord {
  std::string TypeName;
  std::string Name;
  std::vector<TProperty> Properties;
};

// The fields a record's properties are read into, by name (letter case does not matter).
class TPropertyFields {
 public:
  TPropertyFields& Integer(const char* name, int32_t* field);
  // An integer of which the low 8 bits are kept.
  TPropertyFields& Byte(const char* name, uint8_t* field);
  TPropertyFields& Boolean(const char* name, bool* field);
  TPropertyFields& Bytes(const char* name, std::vector<uint8_t>* field);
  // Bytes read into memory, or left in the stream as a span when they are too long for that.
  TPropertyFields& Bytes(const char* name, std::vector<uint8_t>* field, TStreamSpan* span);
  TPropertyFields& Text(const char* name, std::string* field);

  // Reads one record (see ReadPropertyRecord) and stores every property in its field, a repeated
  // one overwriting the earlier. False, with the fields possibly half filled, when the record
  // cannot be read, or a name has no field or a tag does not suit it.
  bool Read(TStream& stream, size_t maxBytes = size_t{1} << 32, size_t spanAbove = SIZE_MAX) const;

 private:
  bool Take(std::vector<TProperty>& properties) const;
  struct TBytesOrSpan {
    std::vector<uint8_t>* Bytes;
    TStreamSpan* Span;
  };
  using TTarget =
      std::variant<int32_t*, uint8_t*, bool*, std::vector<uint8_t>*, std::string*, TBytesOrSpan>;
  struct TField {
    const char* Name;
    TTarget Target;
  };
  TPropertyFields& Add(const char* name, TTarget target);
  static bool Store(TPropertyValue& value, const TTarget& target);
  std::vector<TField> fields_;
};

// Reads one record from the stream's position. False on a wrong signature, an unknown tag, a
// nested record, a length larger than the bytes left, or data that ends early; nothing is
// allocated from a length before it has been checked against the stream.
// Byte strings longer than maxBytes are refused the same way; those longer than spanAbove (and
// within maxBytes and the stream) are skipped and recorded as spans.
bool ReadPropertyRecord(TStream& stream, TPropertyRecord& record, size_t maxBytes = size_t{1} << 32,
                        size_t spanAbove = SIZE_MAX);

}  // namespace torvel
