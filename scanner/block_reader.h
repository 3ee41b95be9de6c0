// Hands the scan its input in blocks, read into one buffer kept for the
// thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "scanner/byte_source.h"

namespace tamsel::detail {

struct Block {
  // size bytes of input; kFrontRoom writable bytes lie before data, for the
  // scan to put the bytes it carries over from the block before.
  std::uint8_t* data = nullptr;
  std::size_t size = 0;  // 0 at the end of the input
};

inline constexpr std::size_t kFrontRoom = 128;

class BlockReader {
 public:
  BlockReader(ByteSource& source, std::size_t capacity);

  // The next block, full (capacity bytes) unless it is the last. It takes
  // the place of the block before, which must not be used any more. Throws
  // the source's error.
  Block Next();

 private:
  ByteSource& source_;
  std::size_t capacity_;
  std::unique_ptr<std::uint8_t[]> own_;
  std::uint8_t* buffer_;
  bool ended_ = false;  // a short block was the last
};

// Reads until out is full or the source ends; returns the bytes read.
std::size_t Fill(ByteSource& source, std::uint8_t* out, std::size_t size);

}  // namespace tamsel::detail
