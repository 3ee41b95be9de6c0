// Hands the scan its input in blocks, read on the calling thread or ahead
// on a thread of its own.
//
// Reading a file in the page cache is a copy in the kernel, about as slow as
// the scan itself; on two cores the two can overlap. Either way the blocks
// come in order, and an error of the source comes where it happened in the
// input, after every block read before it.
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
  virtual ~BlockReader() = default;

  // The next block, full (capacity bytes) unless it is the last. The block
  // returned before is given back and must not be used any more. Throws the
  // source's error once the blocks before it have been taken.
  virtual Block Next() = 0;

  // Reads on the caller's thread, into one buffer kept for the thread.
  static std::unique_ptr<BlockReader> OnThisThread(ByteSource& source, std::size_t capacity);
  // Reads ahead on a thread of its own into a few buffers.
  static std::unique_ptr<BlockReader> Ahead(ByteSource& source, std::size_t capacity);
};

// Reads until out is full or the source ends; returns the bytes read.
std::size_t Fill(ByteSource& source, std::uint8_t* out, std::size_t size);

}  // namespace tamsel::detail
