#include "cells/cell_strip.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#include "platform/bmp.h"
#include "platform/error_texts.h"
#include "platform/little_endian.h"
#include "platform/raster.h"

namespace torvel {
namespace {

// Rows are gathered into blocks of about this size before they are handed on, so that narrow
// cells do not cost a call each.
constexpr size_t kBlockBytes = size_t{256} << 10;

class TBlockWriter {
 public:
  explicit TBlockWriter(TStream& out) : out_(out) { block_.reserve(kBlockBytes); }
  bool Put(const uint8_t* bytes, size_t count) {
    if (block_.size() + count > kBlockBytes && !Flush()) {
      return false;
    }
    if (count > kBlockBytes) {
      return out_.WriteAll(bytes, count);
    }
    block_.insert(block_.end(), bytes, bytes + count);
    return true;
  }
  bool Flush() {
    const bool ok = out_.WriteAll(block_.data(), block_.size());
    block_.clear();
    return ok;
  }

 private:
  TStream& out_;
  std::vector<uint8_t> block_;
};

}  // namespace

int64_t CellStripBytes(const TCellTable& table) {
  const int64_t width = int64_t{table.Count} * table.CellWidth;
  return static_cast<int64_t>(kBmpHeaderSize) + BmpRowBytes(width) * table.CellHeight;
}

bool WriteCellStrip(const TCellTable& table, TStream& out, const TWorkProgress& progress) {
  const int64_t width = int64_t{table.Count} * table.CellWidth;
  if (table.Count < 1 || width > INT32_MAX || CellStripBytes(table) > int64_t{UINT32_MAX}) {
    return false;
  }
  const auto headers = BmpHeaders(static_cast<int>(width), table.CellHeight);
  TBlockWriter writer(out);
  if (!writer.Put(headers.data(), headers.size())) {
    return false;
  }
  const size_t cellRow = size_t{table.CellWidth} * 3;
  const uint8_t padding[3] = {0, 0, 0};
  const auto paddingBytes = static_cast<size_t>(BmpRowBytes(width) - width * 3);
  for (int y = table.CellHeight - 1; y >= 0; --y) {
    for (int p = 0; p < table.Count; ++p) {
      if (!writer.Put(table.CellAt(p).Row(y), cellRow)) {
        return false;
      }
    }
    if (!writer.Put(padding, paddingBytes) ||
        (progress && !progress(table.CellHeight - y, table.CellHeight))) {
      return false;
    }
  }
  return writer.Flush();
}

namespace {

constexpr size_t kFileHeaderSize = 14;
constexpr uint32_t kLargestInfoHeader = 124;

// Reads and throws away count bytes.
bool Skip(TStream& in, int64_t count) {
  uint8_t scratch[16384];
  while (count > 0) {
    const auto step = static_cast<size_t>(std::min<int64_t>(count, sizeof scratch));
    if (!in.ReadExact(scratch, step)) {
      return false;
    }
    count -= static_cast<int64_t>(step);
  }
  return true;
}

struct TStripHeader {
  std::vector<uint8_t> Bytes;  // the headers as read
  int32_t Width = 0;
  int32_t Height = 0;
  uint16_t Bits = 0;
  uint32_t Compression = 0;
  uint32_t PixelOffset = 0;

  bool IsPlain24Bit() const {
    return Bits == 24 && Compression == 0 && Width > 0 && Height != 0 && Height != INT32_MIN;
  }
};

bool ReadHeader(TStream& in, TStripHeader& header) {
  header.Bytes.resize(kFileHeaderSize + 4);
  if (!in.ReadExact(header.Bytes.data(), header.Bytes.size()) || header.Bytes[0] != 'B' ||
      header.Bytes[1] != 'M') {
    return false;
  }
  const uint32_t infoSize = ReadLittleEndian32(&header.Bytes[kFileHeaderSize]);
  if (infoSize < 12 || infoSize > kLargestInfoHeader) {
    return false;
  }
  header.Bytes.resize(kFileHeaderSize + infoSize);
  if (!in.ReadExact(&header.Bytes[kFileHeaderSize + 4], infoSize - 4)) {
    return false;
  }
  header.PixelOffset = ReadLittleEndian32(&header.Bytes[10]);
  if (infoSize >= 40) {  // the core header of OS/2 is left to the whole-picture decoder
    const uint8_t* info = &header.Bytes[kFileHeaderSize];
    header.Width = static_cast<int32_t>(ReadLittleEndian32(info + 4));
    header.Height = static_cast<int32_t>(ReadLittleEndian32(info + 8));
    header.Bits = ReadLittleEndian16(info + 14);
    header.Compression = ReadLittleEndian32(info + 16);
  }
  return true;
}

// The cells of a strip, made before their rows are read (rows come bottom row first). Throws
// std::bad_alloc when memory runs out.
void MakeCells(int count, int width, int height, std::vector<std::shared_ptr<Bitmap>>& cells) {
  for (int k = 0; k < count; ++k) {
    cells.push_back(std::make_shared<Bitmap>(Bitmap::ForOverwrite(width, height)));
  }
}

int CellsTaken(const TCellRoom& room, int cells, int width, int height) {
  return cells > 0 ? std::clamp(room(width, height), 0, cells) : 0;
}

void Publish(std::vector<std::shared_ptr<Bitmap>>& made, int inStrip, TStripCells& strip) {
  strip.Cells.assign(made.begin(), made.end());
  strip.CellsInStrip = inStrip;
}

// Rows up to this size are read whole and then cut, so that narrow cells do not cost a read
// each; longer ones are read piece by piece into their cells.
constexpr int64_t kRowBuffered = int64_t{4} << 20;

int RowOfCells(const TStripHeader& header, int row, int height) {
  return header.Height < 0 ? row : height - 1 - row;  // bottom-up unless the height is negative
}

bool ReadBufferedRows(TStream& in, const TStripHeader& header, int64_t rowBytes,
                      const std::vector<std::shared_ptr<Bitmap>>& cells,
                      const TWorkProgress& progress) {
  const int height = header.Height < 0 ? -header.Height : header.Height;
  std::vector<uint8_t> row(static_cast<size_t>(rowBytes));
  for (int r = 0; r < height; ++r) {
    if (!in.ReadExact(row.data(), row.size())) {
      return false;
    }
    const int y = RowOfCells(header, r, height);
    const uint8_t* from = row.data();
    for (const auto& cell : cells) {
      const size_t pieceRow = size_t(cell->Width()) * 3;
      std::memcpy(cell->Row(y), from, pieceRow);
      from += pieceRow;
    }
    if (progress && !progress(r + 1, height)) {
      return false;
    }
  }
  return true;
}

bool ReadRowPieces(TStream& in, const TStripHeader& header, int64_t rowBytes,
                   const std::vector<std::shared_ptr<Bitmap>>& cells,
                   const TWorkProgress& progress) {
  const int height = header.Height < 0 ? -header.Height : header.Height;
  for (int r = 0; r < height; ++r) {
    const int y = RowOfCells(header, r, height);
    int64_t left = rowBytes;
    for (const auto& cell : cells) {
      const size_t pieceRow = size_t(cell->Width()) * 3;
      if (!in.ReadExact(cell->Row(y), pieceRow)) {
        return false;
      }
      left -= static_cast<int64_t>(pieceRow);
    }
    if (!Skip(in, left) || (progress && !progress(r + 1, height))) {
      return false;
    }
  }
  return true;
}

bool ReadPlainRows(TStream& in, const TStripHeader& header, int64_t mostBytes, int cellWidth,
                   const TCellRoom& room, TStripCells& strip, const TWorkProgress& progress) {
  const int width = header.Width;
  const int height = header.Height < 0 ? -header.Height : header.Height;
  const int64_t rowBytes = BmpRowBytes(width);
  const auto consumed = static_cast<int64_t>(header.Bytes.size());
  if (header.PixelOffset < consumed || header.PixelOffset + rowBytes * height > mostBytes ||
      !Skip(in, header.PixelOffset - consumed)) {
    return false;  // more than the data can hold: refused before anything is made
  }
  const int inStrip = cellWidth > 0 ? width / cellWidth : 0;
  const int pieceWidth = inStrip > 0 ? width / inStrip : 0;
  const int taken = CellsTaken(room, inStrip, pieceWidth, height);
  std::vector<std::shared_ptr<Bitmap>> cells;
  MakeCells(taken, pieceWidth, height, cells);
  const bool ok = rowBytes <= kRowBuffered ? ReadBufferedRows(in, header, rowBytes, cells, progress)
                                           : ReadRowPieces(in, header, rowBytes, cells, progress);
  if (ok) {
    Publish(cells, inStrip, strip);
  }
  return ok;
}

// Any other BMP image, read whole and decoded, then cut.
bool ReadOtherBmp(TStream& in, const TStripHeader& header, int64_t mostBytes, int cellWidth,
                  const TCellRoom& room, TStripCells& strip) {
  const int64_t most = std::min<int64_t>(mostBytes, 4 * kMostDecodedPixels + (int64_t{1} << 20));
  std::vector<uint8_t> bytes = header.Bytes;
  uint8_t block[65536];
  for (size_t read; (read = in.Read(block, sizeof block)) > 0;) {
    if (static_cast<int64_t>(bytes.size() + read) > most) {
      return false;
    }
    bytes.insert(bytes.end(), block, block + read);
  }
  Bitmap picture;
  std::string ignored;
  if (!DecodeBmp(bytes.data(), bytes.size(), picture, ignored)) {
    return false;
  }
  bytes = {};
  const int inStrip = cellWidth > 0 ? picture.Width() / cellWidth : 0;
  const int pieceWidth = inStrip > 0 ? picture.Width() / inStrip : 0;
  const int taken = CellsTaken(room, inStrip, pieceWidth, picture.Height());
  std::vector<std::shared_ptr<Bitmap>> cells;
  MakeCells(taken, pieceWidth, picture.Height(), cells);
  for (int k = 0; k < taken; ++k) {
    CopyRect(picture, {k * pieceWidth, 0, (k + 1) * pieceWidth, picture.Height()}, *cells[k], 0, 0);
  }
  Publish(cells, inStrip, strip);
  return true;
}

}  // namespace

bool ReadCellStrip(TStream& in, int64_t mostBytes, int stripCellWidth, const TCellRoom& room,
                   TStripCells& strip, std::string& error, const TWorkProgress& progress) {
  error = kUnsupportedFormat;
  TStripHeader header;
  if (!ReadHeader(in, header)) {
    return false;
  }
  return header.IsPlain24Bit()
             ? ReadPlainRows(in, header, mostBytes, stripCellWidth, room, strip, progress)
             : ReadOtherBmp(in, header, mostBytes, stripCellWidth, room, strip);
}

}  // namespace torvel
