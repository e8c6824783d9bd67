#include "cells/animation_io.h"

#include <algorithm>
#include <new>

#include "platform/error_texts.h"
#include "platform/files.h"
#include "services/translate.h"
#include "services/zlib_codec.h"
#include "services/zlib_stream.h"

namespace torvel {

// Every picture an animation can hold still fits a file when it does not compress at all.
static_assert(kMostSanPictureBytes > kMostAnimationBmpBytes + kMostAnimationBmpBytes / 1000 + 64);

bool EncodeAnimation(const TCellTable& table, TSAN& record, std::string& error) {
  error = kOutOfMemory;
  try {
    TSAN filled;
    {
      Bitmap picture;
      if (!table.ExportRange(0, table.Count - 1, error, &picture)) {
        return false;
      }
      error = kOutOfMemory;
      // The BMP image goes straight into the compressor, row by row.
      TMemoryStream packed;
      TCompressionStream deflater(1, packed);
      if (!EncodeBmp(picture, deflater)) {
        return false;
      }
      deflater.Finish();
      filled.pI = packed.TakeBytes();
    }
    filled.pW = table.CellWidth;
    filled.pD = table.Interval;
    filled.pT = table.Transparent;
    filled.pFV = table.Flip;
    filled.pFH = table.Mirror;
    filled.pF = table.pF;
    filled.pSH = table.pSH;
    filled.pSV = table.pSV;
    record = std::move(filled);
    return true;
  } catch (const std::exception&) {  // memory ran out, or the compressor failed
    error = kOutOfMemory;
    return false;
  }
}

bool WriteAnimation(const TCellTable& table, TStream& stream, std::string& error) {
  TSAN record;
  if (!EncodeAnimation(table, record, error)) {
    return false;
  }
  error = kOutOfDiskSpace;
  return WriteSanRecord(stream, record);
}

bool WriteFileReporting(const std::string& path, const std::vector<uint8_t>& bytes,
                        std::string& error) {
  TWriteFailure failure = TWriteFailure::None;
  if (WriteFileSafely(path, bytes.data(), bytes.size(), &failure)) {
    return true;
  }
  error = failure == TWriteFailure::Writing ? kOutOfDiskSpace : kFileInUse;
  return false;
}

bool SaveAnimation(const TCellTable& table, const std::string& path, std::string& error) {
  TMemoryStream bytes;
  return WriteAnimation(table, bytes, error) && WriteFileReporting(path, bytes.Bytes(), error);
}

std::unique_ptr<TFileStream> OpenAnimationFile(const std::string& path, std::string& error) {
  error = kFileNotFound;
  if (!FileExists(path)) {
    return nullptr;
  }
  error = kFileInUse;
  return TFileStream::Open(path, TFileStream::TMode::Read);
}

bool LoadAnimation(const std::string& path, TAnimationContents& contents, std::string& error) {
  std::unique_ptr<TFileStream> file = OpenAnimationFile(path, error);
  return file != nullptr && ReadAnimation(*file, contents, error);
}

std::string AcceptedCellsText(int accepted, int offered, const std::string& reason) {
  return std::to_string(accepted) + " " + Translate("of") + " " + std::to_string(offered) + " " +
         Translate("cells accepted.") + "\r\n" + reason;
}

int TAnimationContents::CellCount() const {
  return Record.pW > 0 ? Picture.Width() / Record.pW : 0;
}

bool ReadAnimation(TStream& stream, TAnimationContents& contents, std::string& error) {
  error = kUnsupportedFormat;
  TSAN record;
  if (!ReadSanRecord(stream, record)) {
    return false;
  }
  error = kOutOfMemory;
  Bitmap picture;
  if (!record.pI.empty()) {
    std::vector<uint8_t> bmp;
    std::string bmpError;
    if (!ZlibInflate(record.pI, kMostAnimationBmpBytes, bmp) ||
        !DecodeBmp(bmp.data(), bmp.size(), picture, bmpError, kMostAnimationPixels)) {
      return false;
    }
    record.pI = {};
  }
  contents.Record = std::move(record);
  contents.Picture = std::move(picture);
  return true;
}

int CellsAcceptedWhenEmpty(const Bitmap& picture, int n) {
  const int w = n > 0 ? picture.Width() / n : 0;
  const int h = picture.Height();
  if (w < 1 || w > TCellTable::kMostCellSide || h > TCellTable::kMostCellSide) {
    return 0;
  }
  return std::min(n, TCellTable::CapacityFor(w, h));
}

void ApplyAnimationSettings(TAnimationStrip& strip, const TSAN& record) {
  strip.SetInterval(record.pD);
  strip.SetTransparent(record.pT);
  TCellTable& table = strip.Table;
  table.Flip = record.pFV;
  table.Mirror = record.pFH;
  table.pF = record.pF;
  table.pSH = record.pSH;
  table.pSV = record.pSV;
}

}  // namespace torvel
