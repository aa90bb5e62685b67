#include "core/vector_code.h"

#include <atomic>

namespace {

std::atomic<bool> vectorCodeAllowed{true};

bool Allowed() { return vectorCodeAllowed.load(std::memory_order_relaxed); }

}  // namespace

bool UseSse2() {
#if defined(__SSE2__)
  return Allowed();
#elif PELORA_HAS_VECTOR_CODE
  static const bool present = __builtin_cpu_supports("sse2");
  return present && Allowed();
#else
  return false;
#endif
}

bool UseSsse3() {
#if PELORA_HAS_VECTOR_CODE
  static const bool present = __builtin_cpu_supports("ssse3");
  return present && Allowed();
#else
  return false;
#endif
}

bool UseAvx2() {
#if PELORA_HAS_VECTOR_CODE
  static const bool present = __builtin_cpu_supports("avx2");
  return present && Allowed();
#else
  return false;
#endif
}

bool UseAvx512Vbmi() {
#if PELORA_HAS_VECTOR_CODE
  static const bool present = __builtin_cpu_supports("avx512f") &&
                              __builtin_cpu_supports("avx512bw") &&
                              __builtin_cpu_supports("avx512vbmi");
  return present && Allowed();
#else
  return false;
#endif
}

void AllowVectorCode(bool allowed) { vectorCodeAllowed.store(allowed, std::memory_order_relaxed); }
