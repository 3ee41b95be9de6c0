// Scans inputs on several threads and hands the outcomes back in order.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "cli/input_walker.h"
#include "scanner/version_scanner.h"

namespace tamsel::cli {

struct Outcome {
  Input input;
  std::optional<ScanResult> result;  // when it was scanned
  std::string cause;                 // when not: why
};

// What the pool has done so far, for a progress line.
struct PoolStatus {
  std::uint64_t done = 0;        // outcomes handed back
  std::uint64_t found = 0;       // inputs produced so far
  bool all_found = false;        // the producer has finished
  std::uint64_t bytes = 0;       // bytes scanned
  std::filesystem::path waiting_for;  // the input the next outcome is for, if it is being scanned
};

class ScanPool {
 public:
  explicit ScanPool(unsigned jobs) : jobs_(jobs < 1 ? 1 : jobs) {}

  // Runs produce on a thread of its own; it calls its argument once per
  // input, in order. The inputs are scanned on `jobs` threads, and each
  // outcome is handed to deliver in the order of the inputs, whatever order
  // the scans finish in; tick is called about ten times a second. deliver
  // and tick run on any of the pool's threads, never two at once. Memory
  // stays bounded: no scan starts far ahead of the outcome waited for.
  void Run(const std::function<void(const InputSink&)>& produce,
           const std::function<void(Outcome&&)>& deliver,
           const std::function<void(const PoolStatus&)>& tick);

 private:
  unsigned jobs_;
};

// Scans one input on this thread.
Outcome ScanInput(Input input);

}  // namespace tamsel::cli
