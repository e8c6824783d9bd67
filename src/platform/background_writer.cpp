#include "platform/background_writer.h"

#include <algorithm>
#include <utility>

namespace torvel {

TBackgroundWriter::TBackgroundWriter(TStream& target)
    : target_(target), position_(target.Position()), size_(target.Size()) {
  block_.reserve(kBlockBytes);
  thread_ = std::thread([this] { Run(); });
}

TBackgroundWriter::~TBackgroundWriter() {
  Finish();
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  thread_.join();
}

size_t TBackgroundWriter::Write(const void* buffer, size_t count) {
  const auto* bytes = static_cast<const uint8_t*>(buffer);
  for (size_t left = count; left > 0;) {
    const size_t step = std::min(left, kBlockBytes - block_.size());
    block_.insert(block_.end(), bytes, bytes + step);
    bytes += step;
    left -= step;
    if (block_.size() == kBlockBytes) {
      Hand(std::exchange(block_, {}));
      block_.reserve(kBlockBytes);
    }
  }
  const std::lock_guard<std::mutex> lock(mutex_);
  if (failed_) {
    return 0;
  }
  position_ += static_cast<int64_t>(count);
  size_ = std::max(size_, position_);
  return count;
}

bool TBackgroundWriter::Seek(int64_t position) {
  if (!WaitUntilWritten() || !target_.Seek(position)) {
    return false;
  }
  position_ = position;
  return true;
}

bool TBackgroundWriter::Finish() {
  return WaitUntilWritten();
}

void TBackgroundWriter::Hand(std::vector<uint8_t>&& block) {
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait(lock, [this] { return waiting_.size() < kMostWaitingBlocks || failed_; });
  waiting_.push_back(std::move(block));
  changed_.notify_all();
}

bool TBackgroundWriter::WaitUntilWritten() {
  if (!block_.empty()) {
    Hand(std::exchange(block_, {}));
    block_.reserve(kBlockBytes);
  }
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait(lock, [this] { return (waiting_.empty() && !busy_) || failed_; });
  return !failed_;
}

void TBackgroundWriter::Run() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return !waiting_.empty() || stopping_; });
    if (waiting_.empty()) {
      return;  // stopping, with everything written
    }
    std::vector<uint8_t> block = std::move(waiting_.front());
    waiting_.pop_front();
    busy_ = true;
    lock.unlock();
    const bool written = failed_ || target_.WriteAll(block.data(), block.size());
    lock.lock();
    busy_ = false;
    failed_ = failed_ || !written;
    if (failed_) {
      waiting_.clear();
    }
    changed_.notify_all();
  }
}

}  // namespace torvel
