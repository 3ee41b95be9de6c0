// Reads a file as successive blocks of code page 932 characters.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <vector>

#include "scanner/byte_source.h"
#include "scanner/cp932.h"

namespace tamsel {

class Cp932Reader {
 public:
  Cp932Reader() = default;

  // Opens the named regular file read-only. Throws ScanError on failure.
  void Open(const std::filesystem::path& path);
  // Reads from any source instead (standard input, memory).
  void Open(std::unique_ptr<ByteSource> source);

  // The next n characters. A lead byte takes its second byte with it even
  // when it begins the n-th character, so a block never ends inside a pair.
  // At the end of the input gives what remains: fewer characters, possibly
  // none, and no error. A lead byte that is the last byte of the input
  // becomes a one-byte character. Throws ScanError when a read fails.
  Cp932Text ReadChars(std::size_t n);

  // True once the last character has been read (at once for an empty input),
  // so that no further block is asked for. May read ahead to find out.
  bool AtEnd();

  // Releases the input.
  void Close();

 private:
  // Makes sure an unread byte is buffered if the input has one left.
  bool HaveByte();

  std::unique_ptr<ByteSource> source_;
  std::vector<std::uint8_t> buffer_;
  // buffer_[pos_, end_) is read from the source but not yet delivered. The
  // input offset of buffer_[pos_] is the read position, and it always lies
  // on a character boundary between calls.
  std::size_t pos_ = 0;
  std::size_t end_ = 0;
  bool source_done_ = false;  // the source has answered 0
};

}  // namespace tamsel
