// How fast a file is scanned, beside how fast it can be read at all.
//
// Makes two files (TAMSEL_BENCH_MIB mebibytes each, 1024 by default, in
// TAMSEL_BENCH_DIR or the temporary folder): random bytes, about a quarter
// of them lead bytes, and Shift_JIS text dense with near misses ("Microsoft
// Excel" followed by anything but a match). Reads each once to warm the page
// cache, then times side by side a plain read() loop, ScanPath and
// `LC_ALL=C grep -c -F "Microsoft Excel"`, and prints the ratios. The
// kernels are also timed on bytes in memory.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "scanner/byte_source.h"
#include "scanner/scan_detail.h"
#include "scanner/version_scanner.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using tamsel::detail::Kernel;

std::uint64_t BenchBytes() {
  const char* mib = std::getenv("TAMSEL_BENCH_MIB");
  return (mib != nullptr ? std::strtoull(mib, nullptr, 10) : 1024) << 20;
}

fs::path BenchDir() {
  const char* dir = std::getenv("TAMSEL_BENCH_DIR");
  return dir != nullptr ? fs::path(dir) : fs::temp_directory_path() / "tamsel-bench";
}

std::vector<std::uint8_t> RandomBytes(std::size_t n, std::uint64_t seed) {
  std::vector<std::uint8_t> bytes(n);
  std::mt19937_64 rng(seed);
  for (std::size_t i = 0; i < n; i += 8) {
    const std::uint64_t r = rng();
    for (std::size_t k = 0; k < 8 && i + k < n; ++k) bytes[i + k] = static_cast<std::uint8_t>(r >> (8 * k));
  }
  return bytes;
}

// Lines of Shift_JIS text that name Excel everywhere and match nowhere.
std::string NearMissText() {
  const std::string lines[] = {
      "Microsoft Excel 2000 \x82\xC5\x8D\xEC\x90\xAC\x82\xB5\x82\xDC\x82\xB5\x82\xBD\x81\x42\r\n",  // で作成しました。
      "Microsoft Excel 97-2003 \x8C\x60\x8E\xAE Microsoft Excel 5.1\r\n",                           // 形式
      "Microsoft Excel \xDC\xB0\xB8 Microsoft Excel\x81\x40 (Microsoft Excel..@)\r\n",
      "\x83Microsoft Excel 5.0 is eaten by the lead byte before it\r\n",
  };
  std::string text;
  for (int i = 0; i < 64; ++i) text += lines[i % 4];
  return text;
}

void WriteFile(const fs::path& path, std::uint64_t size, bool near_misses) {
  if (fs::exists(path) && fs::file_size(path) == size) return;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  constexpr std::size_t kPiece = 1 << 20;
  std::vector<std::uint8_t> piece;
  if (near_misses) {
    const std::string text = NearMissText();
    while (piece.size() < kPiece) piece.insert(piece.end(), text.begin(), text.end());
    piece.resize(kPiece);
  }
  for (std::uint64_t done = 0, n = 0; done < size; done += kPiece, ++n) {
    if (!near_misses) piece = RandomBytes(kPiece, n);
    out.write(reinterpret_cast<const char*>(piece.data()),
              static_cast<std::streamsize>(std::min<std::uint64_t>(kPiece, size - done)));
  }
  if (!out.flush()) {
    std::fprintf(stderr, "cannot write %s\n", path.c_str());
    std::exit(1);
  }
}

// The floor: read() into a buffer of the size the scan reads with.
void BM_ReadLoop(benchmark::State& state, fs::path path) {
  std::vector<std::uint8_t> buffer(tamsel::detail::kDefaultBufferBytes);
  std::uint64_t total = 0;
  for (auto _ : state) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    ssize_t n;
    while ((n = ::read(fd, buffer.data(), buffer.size())) > 0) total += static_cast<std::uint64_t>(n);
    ::close(fd);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(total));
}

void BM_ScanPath(benchmark::State& state, fs::path path) {
  std::uint64_t total = 0;
  for (auto _ : state) {
    const tamsel::ScanResult result = tamsel::ScanPath(path);
    benchmark::DoNotOptimize(result.verdict);
    total += result.bytes;
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(total));
}

void BM_Grep(benchmark::State& state, fs::path path) {
  std::uint64_t total = 0;
  const std::uint64_t size = fs::file_size(path);
  for (auto _ : state) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    std::string p = path.string();
    char grep[] = "grep", c[] = "-c", f[] = "-F", text[] = "Microsoft Excel";
    char* argv[] = {grep, c, f, text, p.data(), nullptr};
    std::vector<std::string> env_storage = {"LC_ALL=C", "PATH=/usr/bin:/bin"};
    std::vector<char*> env = {env_storage[0].data(), env_storage[1].data(), nullptr};
    const auto start = std::chrono::steady_clock::now();
    pid_t pid;
    if (::posix_spawnp(&pid, "grep", &actions, nullptr, argv, env.data()) != 0) {
      state.SkipWithError("grep not found");
      break;
    }
    int status;
    ::waitpid(pid, &status, 0);
    state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    posix_spawn_file_actions_destroy(&actions);
    total += size;
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(total));
}

// Bytes in memory, handed out by copying, as read() does.
class SpanSource : public tamsel::ByteSource {
 public:
  explicit SpanSource(const std::vector<std::uint8_t>& bytes) : bytes_(bytes) {}
  std::size_t Read(std::span<std::uint8_t> out) override {
    const std::size_t n = std::min(out.size(), bytes_.size() - pos_);
    std::memcpy(out.data(), bytes_.data() + pos_, n);
    pos_ += n;
    return n;
  }
  const fs::path& Name() const override { return name_; }

 private:
  const std::vector<std::uint8_t>& bytes_;
  std::size_t pos_ = 0;
  fs::path name_ = "memory";
};

// The kernels alone, on bytes in memory.
const std::vector<std::uint8_t>& KernelInput() {
  // Small enough to stay in the processor's last-level cache, so that the
  // copy out of it is no bottleneck.
  static const std::vector<std::uint8_t> bytes = RandomBytes(8 << 20, 7);
  return bytes;
}

void BM_Kernel(benchmark::State& state, Kernel kernel) {
  const std::vector<std::uint8_t>& bytes = KernelInput();
  std::uint64_t total = 0;
  for (auto _ : state) {
    SpanSource source(bytes);
    const auto result = tamsel::detail::ScanSourceWith(source, kernel);
    benchmark::DoNotOptimize(result.verdict);
    total += result.bytes;
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(total));
}

// Prints the usual table, then the ratios between runs of the same file.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    // With repetitions, the median stands for the benchmark; without, the
    // one run does.
    for (const Run& run : runs) {
      if (run.error_occurred) continue;
      const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
      if (!median && run.run_type != Run::RT_Iteration) continue;
      const std::string name = run.run_name.function_name;
      if (median || medians_.count(name) == 0) {
        seconds_[name] = run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
      }
      if (median) medians_.insert(name);
    }
  }

  void Finalize() override {
    ConsoleReporter::Finalize();
    std::printf("\n");
    for (const char* file : {"random", "near-misses"}) {
      const double read = Seconds("ReadLoop/", file);
      const double scan = Seconds("ScanPath/", file);
      const double grep = Seconds("Grep/", file);
      if (read <= 0 || scan <= 0) continue;
      std::printf("%-12s read loop %.3f s, ScanPath %.3f s: ScanPath at %.0f%% of the read loop's speed\n",
                  file, read, scan, 100 * read / scan);
      if (grep > 0) std::printf("%-12s grep -c -F %.3f s: ScanPath %.2fx as fast\n", "", grep, grep / scan);
    }
  }

 private:
  double Seconds(const std::string& bench, const std::string& file) const {
    const auto it = seconds_.find(bench + file);
    return it != seconds_.end() ? it->second : 0;
  }

  std::map<std::string, double> seconds_;  // by benchmark, e.g. "ReadLoop/random"
  std::set<std::string> medians_;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  const fs::path dir = BenchDir();
  fs::create_directories(dir);
  const std::uint64_t size = BenchBytes();
  const std::pair<const char*, fs::path> files[] = {{"random", dir / "random.bin"},
                                                    {"near-misses", dir / "near-misses.txt"}};
  for (const auto& [name, path] : files) {
    WriteFile(path, size, std::string(name) == "near-misses");
    // Warm the page cache, so that every run below reads the same way.
    tamsel::ScanPath(path);
  }
  for (const auto& [name, path] : files) {
    const std::string n = name;
    benchmark::RegisterBenchmark(("ReadLoop/" + n).c_str(), BM_ReadLoop, path)->UseRealTime()->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("ScanPath/" + n).c_str(), BM_ScanPath, path)->UseRealTime()->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("Grep/" + n).c_str(), BM_Grep, path)->UseManualTime()->Unit(benchmark::kMillisecond);
  }
  KernelInput();
  for (Kernel kernel : tamsel::detail::SupportedKernels()) {
    benchmark::RegisterBenchmark(("Kernel/" + std::string(tamsel::detail::KernelName(kernel))).c_str(), BM_Kernel,
                                 kernel)
        ->UseRealTime()
        ->Unit(benchmark::kMillisecond);
  }
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
