// Which Excel version wrote a file: the verdict and the scan that finds it.
//
// The file is read once as code page 932 characters: a head block of 1000
// characters, then blocks of 2000. Four tests run on every Window (the head
// block alone; the head block followed by the first block; then the last 40
// characters of each block followed by the next), and the last test that
// succeeds decides. Tests 3a and 3b ask for "Microsoft Excel", one character
// and "@", and count only when the Marker, characters 511-513 of the head
// block, begins a BIFF5 or a BIFF8 BOF record.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "scanner/byte_source.h"
#include "scanner/cp932.h"

namespace tamsel {

enum class Verdict : std::uint8_t {
  kNotExcel,       // no test succeeded
  kExcel5,         // test 1: "Microsoft Excel 5.0"
  kExcel5Likely,   // test 2: "Microsoft Excel ﾜｰｸｼｰﾄ"
  kExcel95Likely,  // test 3a: "Microsoft Excel?@" and the BIFF5 BOF as Marker
  kExcel97Likely,  // test 3b: "Microsoft Excel?@" and the BIFF8 BOF as Marker
};

inline constexpr std::array<Verdict, 5> kAllVerdicts = {
    Verdict::kNotExcel, Verdict::kExcel5, Verdict::kExcel5Likely, Verdict::kExcel95Likely,
    Verdict::kExcel97Likely};

// The Japanese sentence the user reads, in UTF-8.
std::string_view VerdictMessage(Verdict verdict);

// A stable name for machine-readable output: "none", "excel5",
// "excel5-likely", "excel95-likely", "excel97-likely".
std::string_view VerdictCode(Verdict verdict);

// The two lines the window shows: the path as the caller shows it (valid
// UTF-8; see DisplayPath), " は", CR LF, the message.
std::string VerdictText(std::string_view shown_path, Verdict verdict);

// The first bytes of the BOF record of BIFF5 (type 0x0809, length 8) and of
// BIFF8 (length 16), as the Marker is compared with them.
const Cp932Text& Bof5Signature();
const Cp932Text& Bof8Signature();

struct ScanResult {
  Verdict verdict = Verdict::kNotExcel;
  std::uint64_t bytes = 0;       // bytes read
  std::uint64_t characters = 0;  // code page 932 characters read
};

// Scans everything the source gives. Memory stays bounded whatever its
// length. A read error propagates as ScanError; it never ends the scan as if
// the input had ended.
ScanResult ScanSource(ByteSource& source);

// Opens the regular file at path read-only, scans it and closes it. Throws
// ScanError when the file cannot be opened or read, or is not a regular file.
ScanResult ScanPath(const std::filesystem::path& path);

// ScanPath, as the text the window shows.
std::string ScanFile(const std::filesystem::path& path);

}  // namespace tamsel
