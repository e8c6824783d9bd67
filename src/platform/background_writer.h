#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/stream.h"

namespace torvel {

// A write-only stream that hands what is written to another stream on a thread of its own, so
// that the writer (a compressor, say) goes on while the disk takes the bytes. At most a few
// blocks wait at a time. Seeking waits until everything before is written. Reading fails.
class TBackgroundWriter : public TStream {
 public:
  static constexpr size_t kBlockBytes = size_t{1} << 20;
  static constexpr size_t kMostWaitingBlocks = 8;

  explicit TBackgroundWriter(TStream& target);
  ~TBackgroundWriter() override;
  TBackgroundWriter(const TBackgroundWriter&) = delete;
  TBackgroundWriter& operator=(const TBackgroundWriter&) = delete;

  size_t Read(void*, size_t) override { return 0; }
  // Returns 0 once the target has refused bytes.
  size_t Write(const void* buffer, size_t count) override;
  bool Seek(int64_t position) override;
  int64_t Position() const override { return position_; }
  int64_t Size() const override { return size_; }
  // Writes what is left and waits for it; false when the target refused any of it.
  bool Finish();

 private:
  void Hand(std::vector<uint8_t>&& block);
  bool WaitUntilWritten();
  void Run();

  TStream& target_;
  std::vector<uint8_t> block_;
  int64_t position_ = 0;
  int64_t size_ = 0;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<std::vector<uint8_t>> waiting_;
  bool busy_ = false;    // the thread is writing a block
  bool failed_ = false;  // the target refused bytes
  bool stopping_ = false;
  std::thread thread_;
};

}  // namespace torvel
