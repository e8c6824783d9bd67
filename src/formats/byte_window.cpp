#include "formats/byte_window.h"

#include <algorithm>

namespace torvel {

bool TByteStream::Attach(TStream* stream) {
  if (!Flush()) {
    return false;
  }
  stream_ = stream;
  size_ = stream != nullptr ? stream->Size() : 0;
  start_ = -1;
  valid_ = 0;
  pending_ = false;
  return true;
}

bool TByteStream::PlaceWindow(int64_t position) {
  const int64_t back = mode_ == 1 ? kWindowSize - 1 : mode_ == 2 ? kWindowSize / 2 - 1 : 0;
  start_ = std::max<int64_t>(0, position - back);
  valid_ = 0;
  pending_ = false;
  if (stream_ == nullptr || !stream_->Seek(start_)) {
    return false;
  }
  valid_ = static_cast<int>(stream_->Read(window_.data(), kWindowSize));
  return true;
}

bool TByteStream::ReadByte(int64_t position, uint8_t& byte) {
  if (start_ < 0 || position < start_ || position >= start_ + valid_) {
    if (position < 0 || !PlaceWindow(position)) {
      return false;
    }
  }
  if (position < start_ || position >= start_ + valid_) {
    return false;  // at or past the end of the stream
  }
  byte = window_[static_cast<size_t>(position - start_)];
  return true;
}

bool TByteStream::WriteByte(int64_t position, uint8_t byte) {
  if (stream_ == nullptr || position < 0) {
    return false;
  }
  if (start_ < 0 || position < start_ || position - start_ >= kWindowSize) {
    if (!Flush()) {
      start_ = -1;  // the window is dropped
      valid_ = 0;
      pending_ = false;
      return false;
    }
    PlaceWindow(position);
  }
  const auto offset = static_cast<int>(position - start_);
  window_[static_cast<size_t>(offset)] = byte;
  valid_ = std::max(valid_, offset + 1);
  size_ = std::max(size_, position + 1);
  pending_ = true;
  return true;
}

bool TByteStream::Flush() {
  if (stream_ == nullptr || !pending_) {
    return true;
  }
  pending_ = false;
  return stream_->Seek(start_) && stream_->WriteAll(window_.data(), static_cast<size_t>(valid_));
}

void TByteImage::Attach(Bitmap* picture) {
  picture_ = picture;
  width_ = picture != nullptr ? picture->Width() : 0;
  height_ = picture != nullptr ? picture->Height() : 0;
  lastColumn_ = std::max(width_ - 1, 0);
  lastRow_ = std::max(height_ - 1, 0);
  column_ = 0;
  row_ = 0;
  cachedRow_ = -1;
}

void TByteImage::SetCursor(int column, int row) {
  column_ = std::clamp(column, -1, lastColumn_);
  row_ = std::clamp(row, 0, lastRow_);
}

uint8_t* TByteImage::RowAddress(int row) {
  if (row != cachedRow_) {
    cachedRow_ = row;
    cachedAddress_ = picture_->Row(row);
  }
  return cachedAddress_;
}

std::array<uint8_t, 3> TByteImage::GetPixel(int column, int row) {
  if (picture_ == nullptr || column < 0 || row < 0 || column >= width_ || row >= height_) {
    return {0, 0, 0};
  }
  const uint8_t* p = RowAddress(row) + column * 3;
  return {p[0], p[1], p[2]};
}

void TByteImage::SetPixel(int column, int row, const std::array<uint8_t, 3>& triple) {
  if (picture_ == nullptr || column < 0 || row < 0 || column >= width_ || row >= height_) {
    return;
  }
  std::copy(triple.begin(), triple.end(), RowAddress(row) + column * 3);
}

bool TByteImage::PutNext(const std::array<uint8_t, 3>& triple) {
  if (picture_ == nullptr || row_ >= height_ || width_ == 0) {
    return false;
  }
  SetPixel(std::max(column_, 0), row_, triple);
  if (++column_ >= width_) {
    column_ = 0;
    ++row_;  // may now lie below the last row: the next call fails
  }
  return true;
}

}  // namespace torvel
