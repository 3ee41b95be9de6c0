#include "scanner/version_scanner.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "scanner/block_reader.h"
#include "scanner/kernels/kernels.h"
#include "scanner/path_text.h"
#include "scanner/scan_detail.h"

namespace tamsel {
namespace {

using detail::kAnyThenAt;
using detail::kMatchChars;
using detail::kVersion50;
using detail::kWorksheetKana;
using detail::Match;

// Block rules, in characters.
constexpr std::uint64_t kHeadChars = 1000;
constexpr std::uint64_t kBlockChars = 2000;
constexpr std::uint64_t kTailChars = 40;
constexpr std::size_t kMarkerStart = 511;  // counted from 1
constexpr std::size_t kMarkerLength = 3;

// The head block is at most twice as many bytes as characters.
constexpr std::size_t kHeadBytes = 2 * kHeadChars;
static_assert(detail::kMinBufferBytes >= kHeadBytes);

// Zeros after the end of the input for a group's reach.
constexpr std::size_t kPadding = 128;
static_assert(kPadding >= detail::kGroupReach);

// Follows which Windows hold a success and the best test in the last one.
//
// A match lies in the Window of the block that holds its last character;
// since no match is longer than the 40 characters the next Window repeats,
// it lies in the next Window too when it sits wholly in its block's last 40
// characters, and a match in the head block lies in the second Window, which
// repeats the whole head block. Whether that next Window exists is known
// only at the end, so matches are filed under the later Window and the
// Window before is kept apart, to be joined if the later one never comes.
class WindowTracker {
 public:
  void Add(int test, std::uint64_t first, std::uint64_t end) {
    const std::uint64_t last = end - 1;
    std::uint64_t window;
    if (last < kHeadChars) {
      window = 1;
    } else {
      const std::uint64_t block = (last - kHeadChars) / kBlockChars + 1;
      const std::uint64_t block_end = kHeadChars + block * kBlockChars;
      window = first >= block_end - kTailChars ? block + 1 : block;
    }
    // Matches arrive in file order, and their Windows never decrease.
    if (window > top_) {
      before_top_ = window == top_ + 1 ? top_best_ : 0;
      top_best_ = test;
      top_ = window;
    } else {
      top_best_ = std::max(top_best_, test);
    }
  }

  // The best test of the last Window that holds a success, given how many
  // characters the input had.
  int Result(std::uint64_t total_chars) const {
    const std::uint64_t blocks =
        total_chars <= kHeadChars ? 0 : (total_chars - kHeadChars + kBlockChars - 1) / kBlockChars;
    // Windows are numbered 0 (the head block alone) to blocks.
    if (top_ == blocks + 1) return std::max(top_best_, before_top_);
    return top_best_;
  }

 private:
  std::uint64_t top_ = 0;
  int top_best_ = 0;    // the best test in Window top_, 0 for none
  int before_top_ = 0;  // the best test in Window top_ - 1
};

// Mid(HeadBlock, 511, 3), the Marker, from the bytes of the head block,
// without building the block: the characters before it are only counted.
Cp932Text MarkerOf(std::span<const std::uint8_t> head) {
  std::size_t at = 0;
  for (std::size_t skipped = 0; skipped < kMarkerStart - 1 && at < head.size(); ++skipped) {
    at += IsLeadByte(head[at]) && at + 1 < head.size() ? 2 : 1;
  }
  return Cp932Text::Decode(head.subspan(at), kMarkerLength);
}

struct Matcher {
  WindowTracker tracker;
  bool test3_counts = false;  // the Marker is one of the BOF signatures

  static void OnMatch(void* context, Match match, std::uint64_t first) {
    auto& self = *static_cast<Matcher*>(context);
    if (match == kAnyThenAt && !self.test3_counts) return;
    self.tracker.Add(match, first, first + kMatchChars[match]);
  }
};

}  // namespace

std::string_view VerdictMessage(Verdict verdict) {
  switch (verdict) {
    case Verdict::kExcel5: return "Microsoft Excel 5.0 ファイルです。";
    case Verdict::kExcel5Likely: return "Microsoft Excel 5.0 ファイルと思われます。";
    case Verdict::kExcel95Likely: return "Microsoft Excel 95 ファイルと思われます。";
    case Verdict::kExcel97Likely: return "Microsoft Excel 97 ファイルと思われます。";
    case Verdict::kNotExcel: break;
  }
  return "Excel 5.0、95、97のファイルではありません。";
}

std::string_view VerdictCode(Verdict verdict) {
  switch (verdict) {
    case Verdict::kExcel5: return "excel5";
    case Verdict::kExcel5Likely: return "excel5-likely";
    case Verdict::kExcel95Likely: return "excel95-likely";
    case Verdict::kExcel97Likely: return "excel97-likely";
    case Verdict::kNotExcel: break;
  }
  return "none";
}

std::string VerdictText(std::string_view shown_path, Verdict verdict) {
  std::string text(shown_path);
  text += " は\r\n";
  text += VerdictMessage(verdict);
  return text;
}

const Cp932Text& Bof5Signature() {
  static const Cp932Text signature{Cp932Char::Single(0x09), Cp932Char::Single(0x08),
                                   Cp932Char::Single(0x08)};
  return signature;
}

const Cp932Text& Bof8Signature() {
  static const Cp932Text signature{Cp932Char::Single(0x09), Cp932Char::Single(0x08),
                                   Cp932Char::Single(0x10)};
  return signature;
}

namespace detail {

ScanResult ScanSourceWith(ByteSource& source, Kernel kernel, std::size_t buffer_bytes) {
  const KernelFn run = KernelFunction(kernel);
  BlockReader reader(source, std::max(buffer_bytes, kMinBufferBytes));
  ScanResult result;
  Matcher matcher;
  Cp932Text marker;
  GroupCursor cursor;
  // Bytes of the block before that the kernel has not examined yet: fewer
  // than one group's reach, as only the groups whose reach lies in the
  // block are examined.
  std::uint8_t rest[kFrontRoom];
  std::size_t rest_size = 0;
  static_assert(kFrontRoom >= kGroupReach);

  for (bool first = true;; first = false) {
    const Block block = reader.Next();
    if (first) {
      // Blocks are full unless last, and hold at least the head block.
      marker = MarkerOf({block.data, std::min(block.size, kHeadBytes)});
      matcher.test3_counts = marker == Bof5Signature() || marker == Bof8Signature();
    }
    if (block.size == 0) break;
    result.bytes += block.size;
    std::uint8_t* const start = block.data - rest_size;
    std::memcpy(start, rest, rest_size);
    const std::size_t have = rest_size + block.size;
    const std::size_t groups = have >= kGroupReach ? (have - kGroupReach) / kGroupBytes + 1 : 0;
    const std::size_t done = groups * kGroupBytes;
    run(start, done, cursor, &Matcher::OnMatch, &matcher);
    rest_size = have - done;
    std::memcpy(rest, start + done, rest_size);
  }
  // The end of the input, with zeros after it for the kernel's reach.
  std::uint8_t last[kFrontRoom + kPadding] = {};
  std::memcpy(last, rest, rest_size);
  run(last, rest_size, cursor, &Matcher::OnMatch, &matcher);

  result.characters = cursor.chars;
  switch (matcher.tracker.Result(cursor.chars)) {
    case kVersion50: result.verdict = Verdict::kExcel5; break;
    case kWorksheetKana: result.verdict = Verdict::kExcel5Likely; break;
    case kAnyThenAt:
      result.verdict = marker == Bof5Signature() ? Verdict::kExcel95Likely : Verdict::kExcel97Likely;
      break;
    default: result.verdict = Verdict::kNotExcel; break;
  }
  return result;
}

}  // namespace detail

ScanResult ScanSource(ByteSource& source) {
  return detail::ScanSourceWith(source, detail::BestKernel());
}

ScanResult ScanPath(const std::filesystem::path& path) {
  FileSource file(path);
  ScanResult result = ScanSource(file);
  file.Close();
  return result;
}

std::string ScanFile(const std::filesystem::path& path) {
  return VerdictText(DisplayPath(path), ScanPath(path).verdict);
}

}  // namespace tamsel
