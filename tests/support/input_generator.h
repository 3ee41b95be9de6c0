// Random inputs that reach the corners of the scan: lead bytes at every
// density, markers and near misses at and around every block boundary and
// the 40-character tails, the BOF at and beside the Marker.
#pragma once

#include <cstdint>
#include <random>

#include "tests/support/fixtures.h"

namespace tamsel::test {

class InputGenerator {
 public:
  explicit InputGenerator(std::uint64_t seed) : rng_(seed) {}

  // large allows inputs of some hundred kilobytes, past the scan's buffer.
  Bytes Next(bool large = true);

 private:
  std::size_t Below(std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(rng_); }
  bool Chance(double p) { return std::bernoulli_distribution(p)(rng_); }
  std::uint8_t AnyByte() { return static_cast<std::uint8_t>(Below(256)); }
  std::uint8_t NonLeadByte();
  std::uint8_t LeadByte();

  std::mt19937_64 rng_;
};

}  // namespace tamsel::test
