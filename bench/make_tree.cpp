// Writes the benchmark tree: make-tree DIR
//
// 20,000 files in 100 folders of two levels: sizes spread evenly on a log
// scale from 1 KiB to 200 KiB, ten of several MiB, a mix of random bytes
// and Shift_JIS-like text, one in twenty with a marker the scan looks for.
// The same every time (fixed seed); an existing complete tree is kept.
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make-tree DIR\n");
    return 2;
  }
  namespace fs = std::filesystem;
  const fs::path root(argv[1]);
  const fs::path done = root / ".complete";
  if (fs::exists(done)) return 0;
  fs::remove_all(root);

  constexpr int kFiles = 20000;
  const char* markers[] = {"Microsoft Excel 5.0 Worksheet", "Microsoft Excel \xDC\xB0\xB8\xBC\xB0\xC4",
                           "Microsoft Excel\0@"};
  std::mt19937_64 rng(20000);
  std::vector<char> bytes;
  std::uint64_t total = 0;
  for (int i = 0; i < kFiles; ++i) {
    const fs::path dir = root / ("d" + std::to_string(i % 10)) / ("e" + std::to_string((i / 10) % 10));
    fs::create_directories(dir);
    std::size_t size;
    if (i % 2000 == 7) {
      size = (2 + i % 7) << 20;  // ten files of 2-8 MiB
    } else {
      const double u = std::uniform_real_distribution<double>(0, 1)(rng);
      size = static_cast<std::size_t>(1024 * std::exp(u * std::log(200.0)));
    }
    bytes.resize(size);
    const bool text = i % 3 == 0;
    for (std::size_t k = 0; k < size; k += 8) {
      std::uint64_t r = rng();
      for (std::size_t b = 0; b < 8 && k + b < size; ++b, r >>= 8) {
        bytes[k + b] = text ? "ab \x82\xA0\x88\x9F\r\n"[r % 8] : static_cast<char>(r);
      }
    }
    if (i % 20 == 0) {
      const std::string marker(markers[i % 3], i % 3 == 2 ? 17 : std::char_traits<char>::length(markers[i % 3]));
      const std::size_t at = rng() % (size - marker.size());
      std::copy(marker.begin(), marker.end(), bytes.begin() + static_cast<std::ptrdiff_t>(at));
    }
    std::ofstream out(dir / ("book" + std::to_string(i) + (i % 4 == 0 ? ".XLS" : ".xls")), std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(size));
    if (!out) {
      std::fprintf(stderr, "make-tree: cannot write in %s\n", dir.c_str());
      return 1;
    }
    total += size;
  }
  std::ofstream(done) << kFiles << " files, " << total << " bytes\n";
  std::printf("make-tree: %d files, %.1f MiB in %s\n", kFiles, static_cast<double>(total) / (1 << 20), root.c_str());
  return 0;
}
