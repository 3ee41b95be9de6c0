#include "scanner/block_reader.h"

#include "scanner/scan_detail.h"

namespace tamsel::detail {

BlockReader::BlockReader(ByteSource& source, std::size_t capacity) : source_(source), capacity_(capacity) {
  // A batch of small files then costs no allocation and no page faults per
  // file.
  thread_local std::unique_ptr<std::uint8_t[]> kept;
  if (capacity == kDefaultBufferBytes) {
    if (!kept) kept = std::make_unique_for_overwrite<std::uint8_t[]>(kFrontRoom + capacity);
    buffer_ = kept.get();
  } else {
    own_ = std::make_unique_for_overwrite<std::uint8_t[]>(kFrontRoom + capacity);
    buffer_ = own_.get();
  }
}

Block BlockReader::Next() {
  if (ended_) return {buffer_ + kFrontRoom, 0};
  const std::size_t got = Fill(source_, buffer_ + kFrontRoom, capacity_);
  ended_ = got < capacity_;
  return {buffer_ + kFrontRoom, got};
}

std::size_t Fill(ByteSource& source, std::uint8_t* out, std::size_t size) {
  std::size_t have = 0;
  while (have < size) {
    const std::size_t n = source.Read({out + have, size - have});
    if (n == 0) break;
    have += n;
  }
  return have;
}

}  // namespace tamsel::detail
