// Every kernel reports exactly the matches a literal search of the
// characters finds, at the same character indices, and counts the same
// characters, however the input is cut into calls.
#include <gtest/gtest.h>

#include <random>

#include "scanner/cp932.h"
#include "scanner/kernels/kernels.h"
#include "tests/support/input_generator.h"

namespace tamsel {
namespace {

using detail::Match;

struct Found {
  int match;
  std::uint64_t first_char;
  friend bool operator==(const Found&, const Found&) = default;
};

std::ostream& operator<<(std::ostream& os, const Found& f) {
  return os << "{" << f.match << " at " << f.first_char << "}";
}

// The matches, by looking at each character in turn.
std::vector<Found> LiteralMatches(const Cp932Text& text) {
  const auto& c = text.Chars();
  const auto is = [&](std::size_t i, std::string_view s) {
    if (i + s.size() > c.size()) return false;
    for (std::size_t k = 0; k < s.size(); ++k) {
      if (c[i + k] != Cp932Char::Single(static_cast<std::uint8_t>(s[k]))) return false;
    }
    return true;
  };
  std::vector<Found> found;
  for (std::size_t i = 0; i < c.size(); ++i) {
    if (!is(i, "Microsoft Excel")) continue;
    if (i + 16 < c.size() && c[i + 16] == Cp932Char::Single('@')) {
      found.push_back({detail::kAnyThenAt, i});
    } else if (is(i + 15, " 5.0")) {
      found.push_back({detail::kVersion50, i});
    } else if (is(i + 15, " \xDC\xB0\xB8\xBC\xB0\xC4")) {
      found.push_back({detail::kWorksheetKana, i});
    }
  }
  return found;
}

void Collect(void* context, Match match, std::uint64_t first_char) {
  static_cast<std::vector<Found>*>(context)->push_back({match, first_char});
}

TEST(KernelTest, MatchesAndCharactersAgreeWithALiteralSearch) {
  test::InputGenerator generator(1234);
  std::mt19937_64 rng(99);
  int inputs_with_matches = 0;
  for (int i = 0; i < 600; ++i) {
    test::Bytes bytes = generator.Next(/*large=*/i % 50 == 0);
    const Cp932Text text = Cp932Text::Decode(bytes);
    const std::vector<Found> expected = LiteralMatches(text);
    inputs_with_matches += expected.empty() ? 0 : 1;
    // Zeros after the input for the kernels' reach.
    const std::size_t n = bytes.size();
    bytes.resize(n + 128, 0);
    for (detail::Kernel kernel : detail::SupportedKernels()) {
      // Cut into calls of whole groups, as the scan's buffers cut it.
      std::vector<std::size_t> cuts = {0};
      while (cuts.back() + 64 < n) cuts.push_back(cuts.back() + 64 * (1 + rng() % 40));
      cuts.back() = std::min(cuts.back(), n);
      if (cuts.back() != n) cuts.push_back(n);
      detail::GroupCursor cursor;
      std::vector<Found> found;
      for (std::size_t k = 0; k + 1 < cuts.size(); ++k) {
        detail::KernelFunction(kernel)(bytes.data() + cuts[k], cuts[k + 1] - cuts[k], cursor, &Collect, &found);
      }
      SCOPED_TRACE(testing::Message() << "input " << i << " (" << n << " bytes), kernel "
                                      << detail::KernelName(kernel));
      EXPECT_EQ(found, expected);
      EXPECT_EQ(cursor.chars, text.Length());
      if (!::testing::Test::HasFailure()) continue;
      return;  // one input's report is enough
    }
  }
  EXPECT_GT(inputs_with_matches, 100);
}

}  // namespace
}  // namespace tamsel
