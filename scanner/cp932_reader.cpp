#include "scanner/cp932_reader.h"

namespace tamsel {
namespace {
constexpr std::size_t kBufferSize = 64 * 1024;
}  // namespace

void Cp932Reader::Open(const std::filesystem::path& path) {
  Open(std::make_unique<FileSource>(path));
}

void Cp932Reader::Open(std::unique_ptr<ByteSource> source) {
  source_ = std::move(source);
  buffer_.assign(kBufferSize, 0);
  pos_ = end_ = 0;
  source_done_ = false;
}

bool Cp932Reader::HaveByte() {
  while (pos_ == end_) {
    if (source_done_ || !source_) return false;
    pos_ = 0;
    end_ = source_->Read(buffer_);
    if (end_ == 0) source_done_ = true;
  }
  return true;
}

Cp932Text Cp932Reader::ReadChars(std::size_t n) {
  Cp932Text text;
  for (std::size_t i = 0; i < n && HaveByte(); ++i) {
    const std::uint8_t b = buffer_[pos_++];
    if (IsLeadByte(b) && HaveByte()) {
      text.Append(Cp932Char::Pair(b, buffer_[pos_++]));
    } else {
      text.Append(Cp932Char::Single(b));
    }
  }
  return text;
}

bool Cp932Reader::AtEnd() { return !HaveByte(); }

void Cp932Reader::Close() {
  source_.reset();
  buffer_.clear();
  buffer_.shrink_to_fit();
  pos_ = end_ = 0;
  source_done_ = true;
}

}  // namespace tamsel
