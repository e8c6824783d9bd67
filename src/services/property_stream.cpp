#include "services/property_stream.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <new>

#include <strings.h>

#include "platform/little_endian.h"

namespace torvel {
namespace tags = property_tags;

bool TPropertyWriter::Put(const void* data, size_t size) {
  ok_ = ok_ && stream_.WriteAll(data, size);
  return ok_;
}

bool TPropertyWriter::PutShortString(const std::string& text) {
  const size_t length = std::min<size_t>(text.size(), 255);
  return PutByte(static_cast<uint8_t>(length)) && Put(text.data(), length);
}

bool TPropertyWriter::Begin(const std::string& typeName, const std::string& recordName) {
  return Put(kPropertySignature, 4) && PutShortString(typeName) && PutShortString(recordName);
}

bool TPropertyWriter::Integer(const std::string& name, int32_t value) {
  if (value == INT32_MIN) {
    return ok_;
  }
  uint8_t bytes[4];
  for (int i = 0; i < 4; ++i) {
    bytes[i] = static_cast<uint8_t>(static_cast<uint32_t>(value) >> (8 * i));
  }
  if (value >= INT8_MIN && value <= INT8_MAX) {
    return PutShortString(name) && PutByte(tags::kInt8) && Put(bytes, 1);
  }
  if (value >= INT16_MIN && value <= INT16_MAX) {
    return PutShortString(name) && PutByte(tags::kInt16) && Put(bytes, 2);
  }
  return PutShortString(name) && PutByte(tags::kInt32) && Put(bytes, 4);
}

bool TPropertyWriter::Boolean(const std::string& name, bool value) {
  return PutShortString(name) && PutByte(value ? tags::kTrue : tags::kFalse);
}

bool TPropertyWriter::Bytes(const std::string& name, const std::vector<uint8_t>& bytes) {
  if (!PutShortString(name)) {
    return false;
  }
  if (bytes.size() <= 255) {
    return PutByte(tags::kShortBytes) && PutByte(static_cast<uint8_t>(bytes.size())) &&
           Put(bytes.data(), bytes.size());
  }
  uint8_t length[4];
  WriteLittleEndian32(length, static_cast<uint32_t>(bytes.size()));
  return PutByte(tags::kLongBytes) && Put(length, 4) && Put(bytes.data(), bytes.size());
}

bool TPropertyWriter::StreamedBytes(const std::string& name,
                                    const std::function<bool(TStream&)>& fill) {
  uint8_t length[4] = {};
  if (!PutShortString(name) || !PutByte(tags::kLongBytes)) {
    return false;
  }
  const int64_t lengthAt = stream_.Position();
  if (!Put(length, 4)) {
    return false;
  }
  const int64_t start = stream_.Position();
  ok_ = fill(stream_);
  const int64_t end = stream_.Position();
  if (!ok_ || end - start > int64_t{UINT32_MAX}) {
    return ok_ = false;
  }
  WriteLittleEndian32(length, static_cast<uint32_t>(end - start));
  ok_ = stream_.Seek(lengthAt) && stream_.WriteAll(length, 4) && stream_.Seek(end);
  return ok_;
}

bool TPropertyWriter::Text(const std::string& name, const std::string& text) {
  return Bytes(name, std::vector<uint8_t>(text.begin(), text.end()));
}

bool TPropertyWriter::End() {
  return PutByte(tags::kEnd) && PutByte(tags::kEnd);
}

namespace {

bool ReadByte(TStream& stream, uint8_t& byte) {
  return stream.ReadExact(&byte, 1);
}

bool ReadShortString(TStream& stream, std::string& text) {
  uint8_t length = 0;
  if (!ReadByte(stream, length)) {
    return false;
  }
  text.resize(length);
  return stream.ReadExact(text.data(), length);
}

bool ReadNumber(TStream& stream, int bytes, uint32_t& value) {
  uint8_t raw[4] = {};
  if (!stream.ReadExact(raw, static_cast<size_t>(bytes))) {
    return false;
  }
  value = ReadLittleEndian(raw, bytes);
  return true;
}

struct TByteLimits {
  size_t Most;
  size_t SpanAbove;
};

bool ReadBytes(TStream& stream, uint32_t length, const TByteLimits& limits, TPropertyValue& value) {
  if (length > static_cast<uint64_t>(stream.Remaining()) || length > limits.Most) {
    return false;  // a length that lies: refused before anything is allocated
  }
  if (length > limits.SpanAbove) {
    value.Kind = TPropertyValue::TKind::Span;
    value.Span = {stream.Position(), length, true};
    return stream.Seek(stream.Position() + length);
  }
  value.Kind = TPropertyValue::TKind::Bytes;
  value.Bytes.resize(length);
  return stream.ReadExact(value.Bytes.data(), length);
}

bool ReadValue(TStream& stream, const TByteLimits& limits, TPropertyValue& value) {
  uint8_t tag = 0;
  if (!ReadByte(stream, tag)) {
    return false;
  }
  uint32_t raw = 0;
  using TKind = TPropertyValue::TKind;
  switch (tag) {
    case tags::kInt8:
      value.Kind = TKind::Integer;
      return ReadNumber(stream, 1, raw) && (value.Integer = static_cast<int8_t>(raw), true);
    case tags::kInt16:
      value.Kind = TKind::Integer;
      return ReadNumber(stream, 2, raw) && (value.Integer = static_cast<int16_t>(raw), true);
    case tags::kInt32:
      value.Kind = TKind::Integer;
      return ReadNumber(stream, 4, raw) && (value.Integer = static_cast<int32_t>(raw), true);
    case tags::kFalse:
    case tags::kTrue:
      value.Kind = TKind::Boolean;
      value.Boolean = tag == tags::kTrue;
      return true;
    case tags::kShortBytes:
      return ReadNumber(stream, 1, raw) && ReadBytes(stream, raw, limits, value);
    case tags::kLongBytes:
      return ReadNumber(stream, 4, raw) && ReadBytes(stream, raw, limits, value);
    default:
      return false;  // a tag this format does not use
  }
}

}  // namespace

bool ReadPropertyRecord(TStream& stream, TPropertyRecord& record, size_t maxBytes,
                        size_t spanAbove) {
  try {
    char signature[4] = {};
    if (!stream.ReadExact(signature, 4) || std::memcmp(signature, kPropertySignature, 4) != 0 ||
        !ReadShortString(stream, record.TypeName) || !ReadShortString(stream, record.Name)) {
      return false;
    }
    for (;;) {
      TProperty property;
      if (!ReadShortString(stream, property.Name)) {
        return false;
      }
      if (property.Name.empty()) {
        break;  // the 0x00 that ends the property list
      }
      if (!ReadValue(stream, {maxBytes, spanAbove}, property.Value)) {
        return false;
      }
      record.Properties.push_back(std::move(property));
    }
    uint8_t nested = 0xFF;
    return ReadByte(stream, nested) && nested == tags::kEnd;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

TPropertyFields& TPropertyFields::Add(const char* name, TTarget target) {
  fields_.push_back({name, target});
  return *this;
}

TPropertyFields& TPropertyFields::Integer(const char* name, int32_t* field) {
  return Add(name, field);
}

TPropertyFields& TPropertyFields::Byte(const char* name, uint8_t* field) {
  return Add(name, field);
}

TPropertyFields& TPropertyFields::Boolean(const char* name, bool* field) {
  return Add(name, field);
}

TPropertyFields& TPropertyFields::Bytes(const char* name, std::vector<uint8_t>* field) {
  return Add(name, field);
}

TPropertyFields& TPropertyFields::Bytes(const char* name, std::vector<uint8_t>* field,
                                        TStreamSpan* span) {
  return Add(name, TBytesOrSpan{field, span});
}

TPropertyFields& TPropertyFields::Text(const char* name, std::string* field) {
  return Add(name, field);
}

// Stores the value when its kind suits the field.
bool TPropertyFields::Store(TPropertyValue& value, const TTarget& target) {
  using TKind = TPropertyValue::TKind;
  if (auto* integer = std::get_if<int32_t*>(&target)) {
    return value.Kind == TKind::Integer && (**integer = value.Integer, true);
  }
  if (auto* byte = std::get_if<uint8_t*>(&target)) {
    return value.Kind == TKind::Integer && (**byte = static_cast<uint8_t>(value.Integer), true);
  }
  if (auto* boolean = std::get_if<bool*>(&target)) {
    return value.Kind == TKind::Boolean && (**boolean = value.Boolean, true);
  }
  if (auto* both = std::get_if<TBytesOrSpan>(&target)) {
    if (value.Kind == TKind::Span) {
      both->Bytes->clear();
      *both->Span = value.Span;
      return true;
    }
    *both->Span = {};
    return value.Kind == TKind::Bytes && (*both->Bytes = std::move(value.Bytes), true);
  }
  if (value.Kind != TKind::Bytes) {
    return false;
  }
  if (auto* bytes = std::get_if<std::vector<uint8_t>*>(&target)) {
    **bytes = std::move(value.Bytes);
  } else {
    std::get<std::string*>(target)->assign(value.Bytes.begin(), value.Bytes.end());
  }
  return true;
}

bool TPropertyFields::Read(TStream& stream, size_t maxBytes, size_t spanAbove) const {
  TPropertyRecord record;
  return ReadPropertyRecord(stream, record, maxBytes, spanAbove) && Take(record.Properties);
}

bool TPropertyFields::Take(std::vector<TProperty>& properties) const {
  for (TProperty& property : properties) {
    const auto field = std::find_if(fields_.begin(), fields_.end(), [&](const TField& f) {
      return strcasecmp(f.Name, property.Name.c_str()) == 0;
    });
    if (field == fields_.end() || !Store(property.Value, field->Target)) {
      return false;
    }
  }
  return true;
}

}  // namespace torvel
