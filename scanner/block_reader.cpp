#include "scanner/block_reader.h"

#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

#include "scanner/scan_detail.h"

namespace tamsel::detail {
namespace {

class SyncReader : public BlockReader {
 public:
  SyncReader(ByteSource& source, std::size_t capacity) : source_(source), capacity_(capacity) {
    // A batch of small files then costs no allocation and no page faults
    // per file.
    thread_local std::unique_ptr<std::uint8_t[]> kept;
    if (capacity == kDefaultBufferBytes) {
      if (!kept) kept = std::make_unique_for_overwrite<std::uint8_t[]>(kFrontRoom + capacity);
      buffer_ = kept.get();
    } else {
      own_ = std::make_unique_for_overwrite<std::uint8_t[]>(kFrontRoom + capacity);
      buffer_ = own_.get();
    }
  }

  Block Next() override {
    if (ended_) return {buffer_ + kFrontRoom, 0};
    const std::size_t got = Fill(source_, buffer_ + kFrontRoom, capacity_);
    ended_ = got < capacity_;
    return {buffer_ + kFrontRoom, got};
  }

 private:
  ByteSource& source_;
  std::size_t capacity_;
  std::unique_ptr<std::uint8_t[]> own_;
  std::uint8_t* buffer_;
  bool ended_ = false;  // a short block was the last
};

class ThreadedReader : public BlockReader {
 public:
  ThreadedReader(ByteSource& source, std::size_t capacity) : source_(source), capacity_(capacity) {
    for (Slot& slot : slots_) slot.buffer = std::make_unique_for_overwrite<std::uint8_t[]>(kFrontRoom + capacity);
    thread_ = std::thread([this] { Read(); });
  }

  ~ThreadedReader() override {
    {
      std::lock_guard lock(mutex_);
      stop_ = true;
    }
    freed_.notify_all();
    thread_.join();
  }

  Block Next() override {
    std::unique_lock lock(mutex_);
    if (taken_ > 0) {
      slots_[(taken_ - 1) % kSlots].state = State::kFree;
      freed_.notify_one();
    }
    if (ended_) return {slots_[0].buffer.get() + kFrontRoom, 0};
    Slot& slot = slots_[taken_ % kSlots];
    filled_.wait(lock, [&] { return slot.state != State::kFree; });
    ++taken_;
    if (slot.state == State::kFailed) {
      ended_ = true;
      std::rethrow_exception(slot.error);
    }
    ended_ = slot.size < capacity_;
    return {slot.buffer.get() + kFrontRoom, slot.size};
  }

 private:
  static constexpr std::size_t kSlots = 3;
  enum class State { kFree, kFull, kFailed };
  struct Slot {
    std::unique_ptr<std::uint8_t[]> buffer;
    std::size_t size = 0;
    State state = State::kFree;
    std::exception_ptr error;
  };

  void Read() {
    for (std::size_t i = 0;; ++i) {
      Slot& slot = slots_[i % kSlots];
      {
        std::unique_lock lock(mutex_);
        freed_.wait(lock, [&] { return slot.state == State::kFree || stop_; });
        if (stop_) return;
      }
      std::size_t got = 0;
      std::exception_ptr error;
      try {
        got = Fill(source_, slot.buffer.get() + kFrontRoom, capacity_);
      } catch (...) {
        error = std::current_exception();
      }
      {
        std::lock_guard lock(mutex_);
        slot.size = got;
        slot.error = error;
        slot.state = error ? State::kFailed : State::kFull;
      }
      filled_.notify_one();
      if (error || got < capacity_) return;
    }
  }

  ByteSource& source_;
  std::size_t capacity_;
  Slot slots_[kSlots];
  std::mutex mutex_;
  std::condition_variable filled_;  // a slot became full or failed
  std::condition_variable freed_;   // a slot became free, or stop_ was set
  bool stop_ = false;
  std::size_t taken_ = 0;  // blocks handed to the scan (scan side only)
  bool ended_ = false;     // the last block was handed out (scan side only)
  std::thread thread_;
};

}  // namespace

std::size_t Fill(ByteSource& source, std::uint8_t* out, std::size_t size) {
  std::size_t have = 0;
  while (have < size) {
    const std::size_t n = source.Read({out + have, size - have});
    if (n == 0) break;
    have += n;
  }
  return have;
}

std::unique_ptr<BlockReader> BlockReader::OnThisThread(ByteSource& source, std::size_t capacity) {
  return std::make_unique<SyncReader>(source, capacity);
}

std::unique_ptr<BlockReader> BlockReader::Ahead(ByteSource& source, std::size_t capacity) {
  return std::make_unique<ThreadedReader>(source, capacity);
}

}  // namespace tamsel::detail
