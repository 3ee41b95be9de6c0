#include "scanner/version_scanner.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "scanner/kernels/kernels.h"
#include "scanner/path_text.h"
#include "scanner/scan_detail.h"

namespace tamsel {
namespace {

// Block rules, in characters.
constexpr std::uint64_t kHeadChars = 1000;
constexpr std::uint64_t kBlockChars = 2000;
constexpr std::uint64_t kTailChars = 40;
constexpr std::size_t kMarkerStart = 511;  // counted from 1
constexpr std::size_t kMarkerLength = 3;

// The head block is at most twice as many bytes as characters.
constexpr std::size_t kHeadBytes = 2 * kHeadChars;

// Room after the data for a group's reach, zeroed at the end of the input.
constexpr std::size_t kPadding = 128;
static_assert(kPadding >= detail::kGroupReach);
static_assert(detail::kMinBufferBytes >= kHeadBytes + detail::kGroupReach);

// Tests by their order; a higher one that succeeds in the same Window wins.
enum Test : int { kNoTest = 0, kTest1 = 1, kTest2 = 2, kTest3 = 3 };

constexpr std::string_view kExcel = "Microsoft Excel";  // 15 one-byte characters
constexpr std::string_view kTest1Rest = " 5.0";
constexpr std::string_view kTest2Rest = " \xDC\xB0\xB8\xBC\xB0\xC4";  // " ﾜｰｸｼｰﾄ" in half-width katakana

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
  void Add(Test test, std::uint64_t first, std::uint64_t end) {
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
      before_top_ = window == top_ + 1 ? top_best_ : kNoTest;
      top_best_ = test;
      top_ = window;
    } else {
      top_best_ = std::max(top_best_, test);
    }
  }

  // The best test of the last Window that holds a success, given how many
  // characters the input had.
  Test Result(std::uint64_t total_chars) const {
    const std::uint64_t blocks =
        total_chars <= kHeadChars ? 0 : (total_chars - kHeadChars + kBlockChars - 1) / kBlockChars;
    // Windows are numbered 0 (the head block alone) to blocks.
    if (top_ == blocks + 1) return std::max(top_best_, before_top_);
    return top_best_;
  }

 private:
  std::uint64_t top_ = 0;
  Test top_best_ = kNoTest;
  Test before_top_ = kNoTest;
};

struct Matcher {
  WindowTracker tracker;
  bool test3_counts = false;  // the Marker is one of the BOF signatures

  static void OnCandidate(void* context, const std::uint8_t* at, std::uint64_t first) {
    auto& self = *static_cast<Matcher*>(context);
    if (std::memcmp(at, kExcel.data(), kExcel.size()) != 0) return;
    // The byte after "Excel" begins a character, as 'l' is no lead byte.
    // No pattern character is a lead byte either, so from here on bytes
    // compare as characters do.
    const std::uint8_t* rest = at + kExcel.size();
    const std::size_t wildcard_bytes = IsLeadByte(rest[0]) ? 2 : 1;
    if (rest[wildcard_bytes] == '@') {
      if (self.test3_counts) self.tracker.Add(kTest3, first, first + kExcel.size() + 2);
    } else if (std::memcmp(rest, kTest1Rest.data(), kTest1Rest.size()) == 0) {
      self.tracker.Add(kTest1, first, first + kExcel.size() + kTest1Rest.size());
    } else if (std::memcmp(rest, kTest2Rest.data(), kTest2Rest.size()) == 0) {
      self.tracker.Add(kTest2, first, first + kExcel.size() + kTest2Rest.size());
    }
  }
};

// Reads until out is full or the source ends; returns the bytes read.
std::size_t Fill(ByteSource& source, std::uint8_t* out, std::size_t size) {
  std::size_t have = 0;
  while (have < size) {
    const std::size_t n = source.Read({out + have, size - have});
    if (n == 0) break;
    have += n;
  }
  return have;
}

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
  const std::size_t capacity = std::max(buffer_bytes, kMinBufferBytes);
  // One buffer per thread, kept between scans: a batch of small files then
  // costs no allocation and no page faults per file.
  thread_local std::unique_ptr<std::uint8_t[]> kept;
  std::unique_ptr<std::uint8_t[]> own;
  std::uint8_t* buffer;
  if (capacity == kDefaultBufferBytes) {
    if (!kept) kept = std::make_unique_for_overwrite<std::uint8_t[]>(capacity + kPadding);
    buffer = kept.get();
  } else {
    own = std::make_unique_for_overwrite<std::uint8_t[]>(capacity + kPadding);
    buffer = own.get();
  }
  ScanResult result;

  // Fill() stops short of a full buffer only at the end of the input, so the
  // head block is whole in the first fill.
  std::size_t have = Fill(source, buffer, capacity);
  result.bytes = have;
  bool at_end = have < capacity;

  const Cp932Text head = Cp932Text::Decode({buffer, std::min(have, kHeadBytes)}, kHeadChars);
  const Cp932Text marker = Mid(head, kMarkerStart, kMarkerLength);
  Matcher matcher;
  matcher.test3_counts = marker == Bof5Signature() || marker == Bof8Signature();

  GroupCursor cursor;
  for (;;) {
    if (at_end) {
      std::memset(buffer + have, 0, kPadding);
      run(buffer, have, cursor, &Matcher::OnCandidate, &matcher);
      break;
    }
    // Examine the groups whose reach lies in the buffer, roll the rest (less
    // than one group's reach) to the front, and read on behind it.
    const std::size_t groups = have >= kGroupReach ? (have - kGroupReach) / kGroupBytes + 1 : 0;
    const std::size_t done = groups * kGroupBytes;
    run(buffer, done, cursor, &Matcher::OnCandidate, &matcher);
    std::memmove(buffer, buffer + done, have - done);
    have -= done;
    const std::size_t got = Fill(source, buffer + have, capacity - have);
    result.bytes += got;
    have += got;
    at_end = have < capacity;
  }

  result.characters = cursor.chars;
  switch (matcher.tracker.Result(cursor.chars)) {
    case kTest1: result.verdict = Verdict::kExcel5; break;
    case kTest2: result.verdict = Verdict::kExcel5Likely; break;
    case kTest3:
      result.verdict = marker == Bof5Signature() ? Verdict::kExcel95Likely : Verdict::kExcel97Likely;
      break;
    case kNoTest: result.verdict = Verdict::kNotExcel; break;
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
