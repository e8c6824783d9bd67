#include "formats/animation_file.h"

#include "services/property_stream.h"

namespace torvel {

namespace {

bool WriteRecord(TStream& stream, const TSAN& record,
                 const std::function<bool(TPropertyWriter&)>& writePicture) {
  TPropertyWriter out(stream);
  out.Begin(kSanTypeName, "");
  out.Integer("pW", record.pW);
  out.Integer("pD", record.pD);
  writePicture(out);
  out.Boolean("pT", record.pT);
  out.Boolean("pFV", record.pFV);
  out.Boolean("pFH", record.pFH);
  out.Integer("pF", record.pF);
  out.Integer("pSH", record.pSH);
  out.Integer("pSV", record.pSV);
  return out.End();
}

}  // namespace

bool WriteSanRecord(TStream& stream, const TSAN& record) {
  return WriteRecord(stream, record, [&](TPropertyWriter& out) {
    return record.pI.empty() || out.Bytes("pI", record.pI);
  });
}

bool WriteSanRecord(TStream& stream, const TSAN& record,
                    const std::function<bool(TStream&)>& writePicture) {
  return WriteRecord(stream, record,
                     [&](TPropertyWriter& out) { return out.StreamedBytes("pI", writePicture); });
}

bool ReadSanRecord(TStream& stream, TSAN& record) {
  TSAN result;
  const bool taken = TPropertyFields()
                         .Integer("pW", &result.pW)
                         .Integer("pD", &result.pD)
                         .Bytes("pI", &result.pI, &result.pIInStream)
                         .Boolean("pT", &result.pT)
                         .Boolean("pFV", &result.pFV)
                         .Boolean("pFH", &result.pFH)
                         .Byte("pF", &result.pF)
                         .Integer("pSH", &result.pSH)
                         .Integer("pSV", &result.pSV)
                         .Read(stream, size_t{UINT32_MAX}, kMostSanPictureBytes);
  if (!taken) {
    return false;
  }
  record = std::move(result);
  return true;
}

}  // namespace torvel
