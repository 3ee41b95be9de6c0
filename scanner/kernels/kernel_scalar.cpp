// Plain C++ for any processor.
#include "scanner/cp932.h"
#include "scanner/kernels/group_loop.h"

namespace tamsel::detail {
namespace {

struct ScalarMasks {
  static std::uint64_t Lead(const std::uint8_t* g) {
    std::uint64_t mask = 0;
    for (unsigned i = 0; i < kGroupBytes; ++i) {
      mask |= static_cast<std::uint64_t>(kLeadTable[g[i]]) << i;
    }
    return mask;
  }
  static std::uint64_t Candidates(const std::uint8_t* g) {
    std::uint64_t mask = 0;
    for (unsigned i = 0; i < kGroupBytes; ++i) {
      mask |= static_cast<std::uint64_t>((g[i] == 'M') & (g[i + 14] == 'l')) << i;
    }
    return mask;
  }
};

}  // namespace

void RunScalar(const std::uint8_t* p, std::size_t n, GroupCursor& cursor, MatchFn fn,
               void* context) {
  RunGroups<ScalarMasks>(p, n, cursor, fn, context);
}

}  // namespace tamsel::detail
