#include "formats/animation_file.h"

#include <strings.h>

#include "formats/property_stream.h"

namespace torvel {
namespace {

using TKind = TPropertyValue::TKind;

bool Is(const std::string& name, const char* wanted) {
  return strcasecmp(name.c_str(), wanted) == 0;
}

// Takes one property into the record; false for a name or tag the record does not have.
bool Take(TSAN& record, TProperty& property) {
  const std::string& name = property.Name;
  TPropertyValue& value = property.Value;
  if (value.Kind == TKind::Integer) {
    int32_t* field = Is(name, "pW")    ? &record.pW
                     : Is(name, "pD")  ? &record.pD
                     : Is(name, "pSH") ? &record.pSH
                     : Is(name, "pSV") ? &record.pSV
                                       : nullptr;
    if (field != nullptr) {
      *field = value.Integer;
      return true;
    }
    if (Is(name, "pF")) {
      record.pF = static_cast<uint8_t>(value.Integer);  // the low 8 bits
      return true;
    }
    return false;
  }
  if (value.Kind == TKind::Boolean) {
    bool* field = Is(name, "pT")    ? &record.pT
                  : Is(name, "pFV") ? &record.pFV
                  : Is(name, "pFH") ? &record.pFH
                                    : nullptr;
    if (field != nullptr) {
      *field = value.Boolean;
    }
    return field != nullptr;
  }
  if (Is(name, "pI")) {
    record.pI = std::move(value.Bytes);
    return true;
  }
  return false;
}

}  // namespace

bool WriteSanRecord(TStream& stream, const TSAN& record) {
  TPropertyWriter out(stream);
  out.Begin(kSanTypeName, "");
  out.Integer("pW", record.pW);
  out.Integer("pD", record.pD);
  if (!record.pI.empty()) {
    out.Bytes("pI", record.pI);
  }
  out.Boolean("pT", record.pT);
  out.Boolean("pFV", record.pFV);
  out.Boolean("pFH", record.pFH);
  out.Integer("pF", record.pF);
  out.Integer("pSH", record.pSH);
  out.Integer("pSV", record.pSV);
  return out.End();
}

bool ReadSanRecord(TStream& stream, TSAN& record) {
  TPropertyRecord read;
  if (!ReadPropertyRecord(stream, read)) {
    return false;
  }
  TSAN result;
  for (TProperty& property : read.Properties) {
    if (!Take(result, property)) {
      return false;
    }
  }
  record = std::move(result);
  return true;
}

}  // namespace torvel
