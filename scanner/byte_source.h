// Where the scanned bytes come from: a file, an open descriptor, or memory.
// The scan reads every input through this one interface, so a file on disk,
// standard input and a buffer in a test or fuzzer go through the same loop.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

namespace tamsel {

class ByteSource {
 public:
  virtual ~ByteSource() = default;

  // Reads up to out.size() bytes into out and returns how many. Returns 0
  // only at the end of the input, never for a failure: a failed read throws
  // ScanError naming the input and the cause.
  virtual std::size_t Read(std::span<std::uint8_t> out) = 0;

  // The name that errors and verdicts carry.
  virtual const std::filesystem::path& Name() const = 0;
};

// Reads an open descriptor that someone else owns (standard input).
class DescriptorSource : public ByteSource {
 public:
  DescriptorSource(int fd, std::filesystem::path name);

  std::size_t Read(std::span<std::uint8_t> out) override;
  const std::filesystem::path& Name() const override { return name_; }

 protected:
  int fd_;
  std::filesystem::path name_;
  std::uint64_t offset_ = 0;  // bytes read so far, for error messages
};

// A regular file opened read-only by its native bytes. Anything else (a
// directory, FIFO, device or socket) is refused before it is opened, so a
// FIFO cannot hang the scan and /dev/zero cannot feed it forever.
class FileSource : public DescriptorSource {
 public:
  // Throws ScanError when the file cannot be opened or is not a regular file.
  explicit FileSource(const std::filesystem::path& path);
  ~FileSource() override;
  FileSource(const FileSource&) = delete;
  FileSource& operator=(const FileSource&) = delete;

  // Releases the file; further reads give 0. Called by the destructor too.
  void Close();
};

// A copy of some bytes, handed out at most piece bytes per Read, so tests
// can force every read boundary.
class MemorySource : public ByteSource {
 public:
  explicit MemorySource(std::span<const std::uint8_t> bytes, std::size_t piece = SIZE_MAX,
                        std::filesystem::path name = "(memory)");

  std::size_t Read(std::span<std::uint8_t> out) override;
  const std::filesystem::path& Name() const override { return name_; }

 private:
  std::vector<std::uint8_t> bytes_;
  std::size_t piece_;
  std::filesystem::path name_;
  std::size_t pos_ = 0;
};

}  // namespace tamsel
