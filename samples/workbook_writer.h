// Writes small workbooks of the kinds Excel 5.0, 95 and 97 save: a compound
// file holding a BIFF5 or BIFF8 workbook stream and the property streams
// that carry the markers the scanner looks for. Used for the committed
// samples and for test fixtures; nothing here is copied from other files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tamsel::samples {

using Bytes = std::vector<std::uint8_t>;

struct Stream {
  std::string name;  // in the root storage; bytes below 0x20 as Excel writes them
  Bytes data;
};

// A compound file, version 3 (512-byte sectors). Streams of 4096 bytes or
// more take whole sectors, in the order given, from sector 0; smaller ones
// go into the mini stream, in the order given. header_clsid fills the
// header's CLSID field, which readers ignore (a test can put lead bytes
// there to move the Marker); root_clsid is the root storage's class.
Bytes BuildCompoundFile(const std::vector<Stream>& streams, const Bytes& header_clsid = {},
                        const Bytes& root_clsid = {});

enum class Biff { k5, k8 };

struct Workbook {
  Biff biff = Biff::k8;
  std::string sheet_name = "Sheet1";
  // SummaryInformation: the code page of its strings and the AppName
  // property. When app_name_then_filetime, a creation time follows AppName
  // (so "Microsoft Excel", NUL, "@" appear, as Excel 95 and 97 write them);
  // otherwise a VT_I4 property does (as Excel 5.0 writes them).
  std::uint16_t code_page = 1252;
  std::string app_name = "Microsoft Excel";
  std::string author = "Tamsel";
  bool app_name_then_filetime = true;
  // CompObj user type ("Microsoft Excel 5.0 Worksheet", or the half-width
  // katakana of Japanese Excel); no CompObj stream when empty.
  std::string compobj_user_type;
  std::string compobj_prog_id;
  int rows = 120;  // of numbers in the sheet; enough to keep the stream >= 4096 bytes
};

// The workbook stream (named "Book" for BIFF5, "Workbook" for BIFF8).
Bytes BuildWorkbookStream(const Workbook& workbook);
Bytes BuildSummaryInformation(const Workbook& workbook);
Bytes BuildCompObj(const Workbook& workbook);

// The whole file: workbook stream first, so that its BOF record starts at
// byte 512, then SummaryInformation and CompObj.
Bytes BuildWorkbookFile(const Workbook& workbook);

}  // namespace tamsel::samples
