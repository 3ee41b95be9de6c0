#include "samples/workbook_writer.h"

#include <algorithm>
#include <bit>
#include <cctype>
#include <cstring>
#include <functional>
#include <stdexcept>

namespace tamsel::samples {
namespace {

constexpr std::size_t kSector = 512;
constexpr std::size_t kMiniSector = 64;
constexpr std::size_t kMiniCutoff = 4096;
constexpr std::uint32_t kFreeSect = 0xFFFFFFFF;
constexpr std::uint32_t kEndOfChain = 0xFFFFFFFE;
constexpr std::uint32_t kFatSect = 0xFFFFFFFD;
constexpr std::uint32_t kNoStream = 0xFFFFFFFF;

// Little-endian appenders.
void Put8(Bytes& b, unsigned v) { b.push_back(static_cast<std::uint8_t>(v)); }
void Put16(Bytes& b, unsigned v) {
  Put8(b, v & 0xFF);
  Put8(b, (v >> 8) & 0xFF);
}
void Put32(Bytes& b, std::uint32_t v) {
  Put16(b, v & 0xFFFF);
  Put16(b, v >> 16);
}
void PutBytes(Bytes& b, const std::string& s) { b.insert(b.end(), s.begin(), s.end()); }
void PutBytes(Bytes& b, const Bytes& s) { b.insert(b.end(), s.begin(), s.end()); }
void PadTo(Bytes& b, std::size_t multiple) {
  while (b.size() % multiple != 0) b.push_back(0);
}
void Set32(Bytes& b, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
}

// The CLSIDs Excel gives the root storage of its workbooks.
const Bytes kClsidExcel5 = {0x10, 0x08, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                            0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};
const Bytes kClsidExcel8 = {0x20, 0x08, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                            0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};

struct DirEntry {
  std::string name;
  std::uint8_t type = 2;  // 1 storage, 2 stream, 5 root
  std::uint32_t left = kNoStream, right = kNoStream, child = kNoStream;
  Bytes clsid;
  std::uint32_t start = kEndOfChain;
  std::uint32_t size = 0;
};

void PutDirEntry(Bytes& out, const DirEntry& e) {
  if (e.name.size() > 31) throw std::length_error("compound file entry name too long");
  const std::size_t at = out.size();
  for (char c : e.name) Put16(out, static_cast<unsigned char>(c));
  Put16(out, 0);
  out.resize(at + 64, 0);
  Put16(out, static_cast<unsigned>((e.name.size() + 1) * 2));
  Put8(out, e.type);
  Put8(out, 1);  // black
  Put32(out, e.left);
  Put32(out, e.right);
  Put32(out, e.child);
  Bytes clsid = e.clsid;
  clsid.resize(16, 0);
  PutBytes(out, clsid);
  Put32(out, 0);             // state bits
  out.resize(out.size() + 16, 0);  // creation and modification times
  Put32(out, e.start);
  Put32(out, e.size);
  Put32(out, 0);  // high half of the size, zero in version 3
}

// Directory siblings form a binary search tree ordered by name length, then
// by the upper-cased name.
bool NameLess(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return a.size() < b.size();
  for (std::size_t i = 0; i < a.size(); ++i) {
    const int ca = std::toupper(static_cast<unsigned char>(a[i]));
    const int cb = std::toupper(static_cast<unsigned char>(b[i]));
    if (ca != cb) return ca < cb;
  }
  return false;
}

Bytes Record(unsigned type, const Bytes& data) {
  Bytes r;
  Put16(r, type);
  Put16(r, static_cast<unsigned>(data.size()));
  PutBytes(r, data);
  return r;
}

Bytes Double(double value) {
  Bytes b(8);
  const auto bits = std::bit_cast<std::uint64_t>(value);
  for (int i = 0; i < 8; ++i) b[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(bits >> (8 * i));
  return b;
}

Bytes Bof(Biff biff, unsigned substream) {
  Bytes d;
  if (biff == Biff::k8) {
    Put16(d, 0x0600);
    Put16(d, substream);
    Put16(d, 3515);  // build, as Excel 97 writes it
    Put16(d, 1996);
    Put32(d, 0x00000041);
    Put32(d, 0x00000006);
  } else {
    Put16(d, 0x0500);
    Put16(d, substream);
    Put16(d, 2412);  // build, as Excel 5.0 writes it
    Put16(d, 1993);
  }
  return Record(0x0809, d);
}

Bytes Font(Biff biff) {
  Bytes d;
  Put16(d, 200);     // 10 points
  Put16(d, 0);       // attributes
  Put16(d, 0x7FFF);  // automatic colour
  Put16(d, 400);     // normal weight
  Put16(d, 0);
  Put8(d, 0);
  Put8(d, 0);
  Put8(d, 0);
  Put8(d, 0);
  const std::string name = "Arial";
  Put8(d, static_cast<unsigned>(name.size()));
  if (biff == Biff::k8) Put8(d, 0);  // 8-bit characters
  PutBytes(d, name);
  return Record(0x0031, d);
}

Bytes Xf(Biff biff, bool style) {
  Bytes d;
  Put16(d, 0);                        // font
  Put16(d, 0);                        // number format
  Put16(d, style ? 0xFFF5 : 0x0001);  // style XF, or cell XF locked with parent 0
  if (biff == Biff::k8) {
    Put8(d, 0x20);  // bottom aligned
    Put8(d, 0);
    Put8(d, 0);
    Put8(d, style ? 0 : 0xF8);
    d.resize(20, 0);
    d[18] = 0xC0;  // pattern colours
    d[19] = 0x20;
  } else {
    Put16(d, 0x0020);
    d.resize(16, 0);
  }
  return Record(0x00E0, d);
}

}  // namespace

Bytes BuildCompoundFile(const std::vector<Stream>& streams, const Bytes& header_clsid,
                        const Bytes& root_clsid) {
  std::vector<Bytes> sectors;
  std::vector<std::uint32_t> fat;
  // Appends data as a chain of whole sectors; returns its first sector.
  const auto add_chain = [&](const Bytes& data) -> std::uint32_t {
    if (data.empty()) return kEndOfChain;
    const auto first = static_cast<std::uint32_t>(sectors.size());
    for (std::size_t off = 0; off < data.size(); off += kSector) {
      Bytes s(data.begin() + static_cast<std::ptrdiff_t>(off),
              data.begin() + static_cast<std::ptrdiff_t>(std::min(off + kSector, data.size())));
      s.resize(kSector, 0);
      sectors.push_back(std::move(s));
      fat.push_back(static_cast<std::uint32_t>(sectors.size()));
    }
    fat.back() = kEndOfChain;
    return first;
  };

  std::vector<DirEntry> entries(1);
  entries[0].name = "Root Entry";
  entries[0].type = 5;
  entries[0].clsid = root_clsid;

  Bytes mini_stream;
  std::vector<std::uint32_t> mini_fat;
  for (const Stream& s : streams) {
    DirEntry e;
    e.name = s.name;
    e.size = static_cast<std::uint32_t>(s.data.size());
    if (s.data.size() >= kMiniCutoff) {
      e.start = add_chain(s.data);
    } else if (!s.data.empty()) {
      e.start = static_cast<std::uint32_t>(mini_stream.size() / kMiniSector);
      PutBytes(mini_stream, s.data);
      PadTo(mini_stream, kMiniSector);
      const auto end = static_cast<std::uint32_t>(mini_stream.size() / kMiniSector);
      for (std::uint32_t m = e.start; m < end; ++m) mini_fat.push_back(m + 1);
      mini_fat.back() = kEndOfChain;
    }
    entries.push_back(std::move(e));
  }
  entries[0].start = add_chain(mini_stream);
  entries[0].size = static_cast<std::uint32_t>(mini_stream.size());

  Bytes mini_fat_bytes;
  for (std::uint32_t v : mini_fat) Put32(mini_fat_bytes, v);
  while (!mini_fat_bytes.empty() && mini_fat_bytes.size() % kSector != 0) Put32(mini_fat_bytes, kFreeSect);
  const std::uint32_t mini_fat_start = add_chain(mini_fat_bytes);
  const auto mini_fat_sectors = static_cast<std::uint32_t>(mini_fat_bytes.size() / kSector);

  // The root's children as a balanced search tree.
  std::vector<std::uint32_t> order;
  for (std::uint32_t i = 1; i < entries.size(); ++i) order.push_back(i);
  std::sort(order.begin(), order.end(),
            [&](std::uint32_t a, std::uint32_t b) { return NameLess(entries[a].name, entries[b].name); });
  const std::function<std::uint32_t(std::size_t, std::size_t)> tree =
      [&](std::size_t lo, std::size_t hi) -> std::uint32_t {
    if (lo >= hi) return kNoStream;
    const std::size_t mid = lo + (hi - lo) / 2;
    DirEntry& e = entries[order[mid]];
    e.left = tree(lo, mid);
    e.right = tree(mid + 1, hi);
    return order[mid];
  };
  entries[0].child = tree(0, order.size());

  Bytes directory;
  for (const DirEntry& e : entries) PutDirEntry(directory, e);
  while (directory.size() % kSector != 0) {
    // An unused entry: no name, no type, no siblings, no child.
    Bytes unused(128, 0);
    for (std::size_t at : {68u, 72u, 76u}) Set32(unused, at, kNoStream);
    PutBytes(directory, unused);
  }
  const std::uint32_t directory_start = add_chain(directory);

  // The FAT describes every sector, its own included.
  std::size_t fat_sectors = 1;
  while ((sectors.size() + fat_sectors) > fat_sectors * (kSector / 4)) ++fat_sectors;
  if (fat_sectors > 109) throw std::length_error("compound file too large for the header's DIFAT");
  const auto fat_start = static_cast<std::uint32_t>(sectors.size());
  for (std::size_t i = 0; i < fat_sectors; ++i) fat.push_back(kFatSect);
  Bytes fat_bytes;
  for (std::uint32_t v : fat) Put32(fat_bytes, v);
  while (fat_bytes.size() < fat_sectors * kSector) Put32(fat_bytes, kFreeSect);
  for (std::size_t i = 0; i < fat_sectors; ++i) {
    sectors.emplace_back(fat_bytes.begin() + static_cast<std::ptrdiff_t>(i * kSector),
                         fat_bytes.begin() + static_cast<std::ptrdiff_t>((i + 1) * kSector));
  }

  Bytes header = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
  Bytes clsid = header_clsid;
  clsid.resize(16, 0);
  PutBytes(header, clsid);
  Put16(header, 0x003E);  // minor version
  Put16(header, 0x0003);  // major version 3
  Put16(header, 0xFFFE);  // little-endian
  Put16(header, 9);       // 512-byte sectors
  Put16(header, 6);       // 64-byte mini sectors
  header.resize(header.size() + 6, 0);
  Put32(header, 0);  // directory sectors (always 0 in version 3)
  Put32(header, static_cast<std::uint32_t>(fat_sectors));
  Put32(header, directory_start);
  Put32(header, 0);
  Put32(header, kMiniCutoff);
  Put32(header, mini_fat_sectors == 0 ? kEndOfChain : mini_fat_start);
  Put32(header, mini_fat_sectors);
  Put32(header, kEndOfChain);  // no DIFAT sectors
  Put32(header, 0);
  for (std::size_t i = 0; i < 109; ++i) {
    Put32(header, i < fat_sectors ? fat_start + static_cast<std::uint32_t>(i) : kFreeSect);
  }

  Bytes file = header;
  for (const Bytes& s : sectors) PutBytes(file, s);
  return file;
}

Bytes BuildWorkbookStream(const Workbook& wb) {
  const Biff biff = wb.biff;
  Bytes globals = Bof(biff, 0x0005);
  if (biff == Biff::k8) {
    Bytes cv;
    Put16(cv, 0x04B0);
    PutBytes(globals, Record(0x00E1, cv));  // INTERFACEHDR
    PutBytes(globals, Record(0x00E2, {}));  // INTERFACEEND
  }
  Bytes codepage;
  Put16(codepage, biff == Biff::k8 ? 1200 : wb.code_page);
  PutBytes(globals, Record(0x0042, codepage));
  Bytes window1;
  for (unsigned v : {0u, 0u, 0x3A5Cu, 0x2328u, 0x0038u, 0u, 0u, 1u, 0x0258u}) Put16(window1, v);
  PutBytes(globals, Record(0x003D, window1));
  for (int i = 0; i < 4; ++i) PutBytes(globals, Font(biff));
  for (int i = 0; i < 15; ++i) PutBytes(globals, Xf(biff, true));
  PutBytes(globals, Xf(biff, false));  // index 15, the cells' XF
  Bytes style;
  Put16(style, 0x8000);
  Put8(style, 0);
  Put8(style, 0xFF);
  PutBytes(globals, Record(0x0293, style));

  Bytes boundsheet;
  Put32(boundsheet, 0);  // offset of the sheet's BOF, set below
  Put8(boundsheet, 0);
  Put8(boundsheet, 0);
  Put8(boundsheet, static_cast<unsigned>(wb.sheet_name.size()));
  if (biff == Biff::k8) Put8(boundsheet, 0);
  PutBytes(boundsheet, wb.sheet_name);
  const std::size_t boundsheet_at = globals.size() + 4;
  PutBytes(globals, Record(0x0085, boundsheet));

  const std::string title = "Tamsel sample";
  if (biff == Biff::k8) {
    Bytes sst;
    Put32(sst, 1);
    Put32(sst, 1);
    Put16(sst, static_cast<unsigned>(title.size()));
    Put8(sst, 0);
    PutBytes(sst, title);
    PutBytes(globals, Record(0x00FC, sst));
  }
  PutBytes(globals, Record(0x000A, {}));
  Set32(globals, boundsheet_at, static_cast<std::uint32_t>(globals.size()));

  Bytes sheet = Bof(biff, 0x0010);
  Bytes dims;
  if (biff == Biff::k8) {
    Put32(dims, 0);
    Put32(dims, static_cast<std::uint32_t>(wb.rows + 1));
  } else {
    Put16(dims, 0);
    Put16(dims, static_cast<unsigned>(wb.rows + 1));
  }
  Put16(dims, 0);
  Put16(dims, 2);
  Put16(dims, 0);
  PutBytes(sheet, Record(0x0200, dims));
  Bytes label;
  Put16(label, 0);
  Put16(label, 0);
  Put16(label, 15);
  if (biff == Biff::k8) {
    Put32(label, 0);  // string 0 of the SST
    PutBytes(sheet, Record(0x00FD, label));
  } else {
    Put16(label, static_cast<unsigned>(title.size()));
    PutBytes(label, title);
    PutBytes(sheet, Record(0x0204, label));
  }
  for (int row = 1; row <= wb.rows; ++row) {
    for (unsigned col = 0; col < 2; ++col) {
      Bytes number;
      Put16(number, static_cast<unsigned>(row));
      Put16(number, col);
      Put16(number, 15);
      PutBytes(number, Double(col == 0 ? row : row * 1.5));
      PutBytes(sheet, Record(0x0203, number));
    }
  }
  Bytes window2;
  for (unsigned v : {0x06B6u, 0u, 0u, 0x40u, 0u, 0u, 0u, 0u, 0u}) Put16(window2, v);
  PutBytes(sheet, Record(0x023E, biff == Biff::k8 ? window2 : Bytes(window2.begin(), window2.begin() + 10)));
  PutBytes(sheet, Record(0x000A, {}));

  PutBytes(globals, sheet);
  return globals;
}

Bytes BuildSummaryInformation(const Workbook& wb) {
  struct Property {
    std::uint32_t id;
    Bytes value;  // type and value, padded to 4 bytes
  };
  const auto lpstr = [](const std::string& s) {
    Bytes v;
    Put32(v, 0x001E);
    Put32(v, static_cast<std::uint32_t>(s.size() + 1));
    PutBytes(v, s);
    Put8(v, 0);
    PadTo(v, 4);
    return v;
  };
  std::vector<Property> props;
  Bytes codepage;
  Put32(codepage, 0x0002);  // VT_I2
  Put16(codepage, wb.code_page);
  Put16(codepage, 0);
  props.push_back({0x01, codepage});
  props.push_back({0x04, lpstr(wb.author)});
  props.push_back({0x12, lpstr(wb.app_name)});
  Bytes security;
  Put32(security, 0x0003);  // VT_I4
  Put32(security, 0);
  Bytes created;
  Put32(created, 0x0040);  // VT_FILETIME: 1997-01-01 09:00 UTC
  Put32(created, 0x4EAB4000);
  Put32(created, 0x01BBF7BA);
  if (wb.app_name_then_filetime) {
    props.push_back({0x0C, created});
    props.push_back({0x13, security});
  } else {
    props.push_back({0x13, security});
    props.push_back({0x0C, created});
  }

  Bytes set;
  Put32(set, 0);  // size, set below
  Put32(set, static_cast<std::uint32_t>(props.size()));
  std::size_t offset = 8 + 8 * props.size();
  for (const Property& p : props) {
    Put32(set, p.id);
    Put32(set, static_cast<std::uint32_t>(offset));
    offset += p.value.size();
  }
  for (const Property& p : props) PutBytes(set, p.value);
  Set32(set, 0, static_cast<std::uint32_t>(set.size()));

  Bytes out;
  Put16(out, 0xFFFE);
  Put16(out, 0);
  Put32(out, 0x00020105);  // written on Windows 5.1
  out.resize(out.size() + 16, 0);
  Put32(out, 1);
  PutBytes(out, Bytes{0xE0, 0x85, 0x9F, 0xF2, 0xF9, 0x4F, 0x68, 0x10, 0xAB, 0x91, 0x08, 0x00, 0x2B,
                      0x27, 0xB3, 0xD9});  // FMTID_SummaryInformation
  Put32(out, static_cast<std::uint32_t>(out.size() + 4));
  PutBytes(out, set);
  return out;
}

Bytes BuildCompObj(const Workbook& wb) {
  const auto counted = [](Bytes& b, const std::string& s) {
    Put32(b, static_cast<std::uint32_t>(s.size() + 1));
    PutBytes(b, s);
    Put8(b, 0);
  };
  Bytes out = {0x01, 0x00, 0xFE, 0xFF, 0x03, 0x0A, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF};
  PutBytes(out, wb.biff == Biff::k8 ? kClsidExcel8 : kClsidExcel5);
  counted(out, wb.compobj_user_type);
  counted(out, wb.biff == Biff::k8 ? "Biff8" : "Biff5");
  counted(out, wb.compobj_prog_id);
  Put32(out, 0x71B239F4);  // the Unicode part follows, empty
  Put32(out, 0);
  Put32(out, 0);
  Put32(out, 0);
  return out;
}

Bytes BuildWorkbookFile(const Workbook& wb) {
  std::vector<Stream> streams;
  streams.push_back({wb.biff == Biff::k8 ? "Workbook" : "Book", BuildWorkbookStream(wb)});
  streams.push_back({"\x05SummaryInformation", BuildSummaryInformation(wb)});
  if (!wb.compobj_user_type.empty()) streams.push_back({"\x01" "CompObj", BuildCompObj(wb)});
  return BuildCompoundFile(streams, {}, wb.biff == Biff::k8 ? kClsidExcel8 : kClsidExcel5);
}

}  // namespace tamsel::samples
