#include "cells/animation_io.h"

#include <algorithm>
#include <new>

#include "platform/background_writer.h"
#include "platform/error_texts.h"
#include "platform/files.h"
#include "services/translate.h"
#include "services/zlib_stream.h"

namespace torvel {

namespace {

TSAN RecordOf(const TCellTable& table) {
  TSAN record;
  record.pW = table.CellWidth;
  record.pD = table.Interval;
  record.pT = table.Transparent;
  record.pFV = table.Flip;
  record.pFH = table.Mirror;
  record.pF = table.pF;
  record.pSH = table.pSH;
  record.pSV = table.pSV;
  return record;
}

// The strip's BMP image compressed at the fastest level, as one zlib stream, into the target.
bool CompressStrip(const TCellTable& table, TStream& target, const TWorkProgress& progress = {}) {
  TCompressionStream deflater(1, target);
  if (!WriteCellStrip(table, deflater, progress)) {
    return false;
  }
  deflater.Finish();
  return true;
}

// Passes the progress on and remembers whether it asked to stop.
class TStoppable {
 public:
  explicit TStoppable(const TWorkProgress& progress) : progress_(progress) {}
  TWorkProgress Progress() {
    if (!progress_) {
      return {};
    }
    return [this](int done, int total) { return !(stopped_ = !progress_(done, total)); };
  }
  bool Stopped() const { return stopped_; }

 private:
  const TWorkProgress& progress_;
  bool stopped_ = false;
};

}  // namespace

bool EncodeAnimation(const TCellTable& table, TSAN& record, std::string& error) {
  error = kUnexpectedError;
  if (table.Count < 1) {
    return false;
  }
  error = kOutOfMemory;
  try {
    TSAN filled = RecordOf(table);
    TMemoryStream packed;
    if (!CompressStrip(table, packed)) {
      return false;
    }
    filled.pI = packed.TakeBytes();
    record = std::move(filled);
    return true;
  } catch (const std::exception&) {  // memory ran out, or the compressor failed
    error = kOutOfMemory;
    return false;
  }
}

bool WriteAnimation(const TCellTable& table, TStream& stream, std::string& error,
                    const TWorkProgress& progress) {
  if (table.Count >= 1 && CellStripBytes(table) > kMostBmpCompressedInMemory) {
    error = kOutOfDiskSpace;  // the compressor throws when the stream refuses its bytes
    TStoppable stoppable(progress);
    try {
      const bool written = WriteSanRecord(stream, RecordOf(table), [&](TStream& target) {
        return CompressStrip(table, target, stoppable.Progress());
      });
      if (stoppable.Stopped()) {
        error = kTaskCancelled;
      }
      return written;
    } catch (const std::bad_alloc&) {
      error = kOutOfMemory;
      return false;
    } catch (const std::exception&) {
      return false;
    }
  }
  TSAN record;
  if (!EncodeAnimation(table, record, error)) {
    return false;
  }
  error = kOutOfDiskSpace;
  return WriteSanRecord(stream, record);
}

bool WriteFileReporting(const std::string& path, const std::vector<uint8_t>& bytes,
                        std::string& error) {
  TWriteReport report;
  if (WriteFileSafely(path, bytes.data(), bytes.size(), &report)) {
    return true;
  }
  error = WriteFailureText(report, path);
  return false;
}

bool SaveAnimation(const TCellTable& table, const std::string& path, std::string& error,
                   const TWorkProgress& progress) {
  error = kUnexpectedError;
  if (table.Count < 1) {
    return false;  // nothing to save: no file is made
  }
  TWriteReport report;
  std::string writeError;
  if (WriteFileSafely(
          path,
          [&](TStream& file) {
            // The disk takes the bytes on a thread of its own while the compressor goes on.
            TBackgroundWriter background(file);
            const bool written = WriteAnimation(table, background, writeError, progress);
            return background.Finish() && written;
          },
          &report)) {
    return true;
  }
  // The writer's own reason stands where it gave one (it ran out of memory, or was cancelled).
  const bool ownReason = report.Failure == TWriteFailure::Writing && !writeError.empty() &&
                         writeError != kOutOfDiskSpace;
  error = ownReason ? writeError : WriteFailureText(report, path);
  return false;
}

std::unique_ptr<TFileStream> OpenAnimationFile(const std::string& path, std::string& error) {
  error = kFileNotFound;
  if (!FileExists(path)) {
    return nullptr;
  }
  error = kFileInUse;
  return TFileStream::Open(path, TFileStream::TMode::Read);
}

bool LoadAnimation(const std::string& path, TAnimationContents& contents, std::string& error,
                   const TCellRoom& room, const TWorkProgress& progress) {
  std::unique_ptr<TFileStream> file = OpenAnimationFile(path, error);
  return file != nullptr && ReadAnimation(*file, contents, error, room, progress);
}

std::string AcceptedCellsText(int accepted, int offered, const std::string& reason) {
  return std::to_string(accepted) + " " + Translate("of") + " " + std::to_string(offered) + " " +
         Translate("cells accepted.") + "\r\n" + reason;
}

int EmptyStoreRoom(int cellWidth, int cellHeight) {
  return TAnimationStrip::HoldsCellsOf(cellWidth, cellHeight)
             ? TCellTable::CapacityFor(cellWidth, cellHeight)
             : 0;
}

namespace {

// Reads the picture's cells out of its compressed bytes, which must form one whole zlib stream.
bool ReadPictureCells(TStream& compressed, int cellWidth, const TCellRoom& room, TStripCells& strip,
                      std::string& error, const TWorkProgress& progress) {
  const int64_t mostBytes =
      std::min<int64_t>(compressed.Size() * kMostInflateRatio + 4096, int64_t{UINT32_MAX});
  TDecompressionStream inflater(compressed);
  TStoppable stoppable(progress);
  if (!ReadCellStrip(inflater, mostBytes, cellWidth, room, strip, error, stoppable.Progress())) {
    if (stoppable.Stopped()) {
      error = kTaskCancelled;
    }
    return false;
  }
  // Whatever follows the image is read to the stream's end, whose checksum must hold.
  uint8_t rest[4096];
  int64_t left = mostBytes;
  for (size_t read; left > 0 && (read = inflater.Read(rest, sizeof rest)) > 0;) {
    left -= static_cast<int64_t>(read);
  }
  error = kUnsupportedFormat;  // the image is followed by damaged data, or its checksum fails
  return inflater.Ended();
}

}  // namespace

bool ReadAnimation(TStream& stream, TAnimationContents& contents, std::string& error,
                   const TCellRoom& room, const TWorkProgress& progress) {
  error = kUnsupportedFormat;
  TSAN record;
  if (!ReadSanRecord(stream, record)) {
    return false;
  }
  error = kOutOfMemory;
  TStripCells strip;
  try {
    if (record.pIInStream.Present) {
      TStreamWindow picture(stream, record.pIInStream.Offset, record.pIInStream.Length);
      if (!ReadPictureCells(picture, record.pW, room, strip, error, progress)) {
        return false;
      }
    } else if (!record.pI.empty()) {
      TMemoryView picture(record.pI);
      if (!ReadPictureCells(picture, record.pW, room, strip, error, progress)) {
        return false;
      }
      record.pI = {};
    }
  } catch (const std::bad_alloc&) {
    error = kOutOfMemory;
    return false;
  } catch (const std::exception&) {  // damaged compressed data
    error = kUnsupportedFormat;
    return false;
  }
  contents.Record = std::move(record);
  contents.Cells = std::move(strip.Cells);
  contents.CellsInFile = strip.CellsInStrip;
  return true;
}

int CellsAcceptedWhenEmpty(int w, int h, int n) {
  return w >= 1 ? std::min(n, EmptyStoreRoom(w, h)) : 0;
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
