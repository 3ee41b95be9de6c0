#include "scanner/kernels/kernels.h"

namespace tamsel::detail {

std::string_view KernelName(Kernel kernel) {
  switch (kernel) {
    case Kernel::kScalar: return "scalar";
    case Kernel::kSse2: return "sse2";
    case Kernel::kAvx2: return "avx2";
    case Kernel::kAvx512: return "avx512";
  }
  return "unknown";
}

std::vector<Kernel> SupportedKernels() {
  std::vector<Kernel> kernels = {Kernel::kScalar};
#if defined(TAMSEL_X86_KERNELS)
  kernels.push_back(Kernel::kSse2);
  __builtin_cpu_init();
  const bool base = __builtin_cpu_supports("popcnt") && __builtin_cpu_supports("bmi");
  if (base && __builtin_cpu_supports("avx2")) kernels.push_back(Kernel::kAvx2);
  if (base && __builtin_cpu_supports("avx512bw") && __builtin_cpu_supports("avx512dq") &&
      __builtin_cpu_supports("avx512vbmi") && __builtin_cpu_supports("avx512vpopcntdq")) {
    kernels.push_back(Kernel::kAvx512);
  }
#endif
  return kernels;
}

Kernel BestKernel() {
  static const Kernel best = SupportedKernels().back();
  return best;
}

KernelFn KernelFunction(Kernel kernel) {
  switch (kernel) {
#if defined(TAMSEL_X86_KERNELS)
    case Kernel::kSse2: return RunSse2;
    case Kernel::kAvx2: return RunAvx2;
    case Kernel::kAvx512: return RunAvx512;
#endif
    default: return RunScalar;
  }
}

}  // namespace tamsel::detail
