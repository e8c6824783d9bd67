#include "formats/animation_file.h"

#include "services/property_stream.h"

namespace torvel {

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
  TSAN result;
  const bool taken = TPropertyFields()
                         .Integer("pW", &result.pW)
                         .Integer("pD", &result.pD)
                         .Bytes("pI", &result.pI)
                         .Boolean("pT", &result.pT)
                         .Boolean("pFV", &result.pFV)
                         .Boolean("pFH", &result.pFH)
                         .Byte("pF", &result.pF)
                         .Integer("pSH", &result.pSH)
                         .Integer("pSV", &result.pSV)
                         .Read(stream, kMostSanPictureBytes);
  if (!taken) {
    return false;
  }
  record = std::move(result);
  return true;
}

}  // namespace torvel
