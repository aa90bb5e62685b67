#pragma once
// Vector versions of the pixel loops. SSE2 is part of every x86-64 processor; the 32-bit
// build, and anything newer than SSE2 in every build, asks the processor at run time. Each
// loop keeps a plain version that gives the same bytes, used where the instructions are
// missing or the vector versions are switched off (the tests run both).

#if defined(__i386__) || defined(__x86_64__)
#define PELORA_HAS_VECTOR_CODE 1
#if defined(__i386__)
// 32-bit Windows keeps the stack aligned to 4 bytes only (in calls from the system to a
// window or dialog procedure, for one), while vector registers kept on the stack need 16 or
// 32: such functions align their own frames.
#define PELORA_ALIGNED_FRAME __attribute__((force_align_arg_pointer))
#else
#define PELORA_ALIGNED_FRAME
#endif
// Functions that use the instructions carry these, so every build may hold them.
#define PELORA_SSE2 __attribute__((target("sse2"))) PELORA_ALIGNED_FRAME
#define PELORA_SSSE3 __attribute__((target("ssse3"))) PELORA_ALIGNED_FRAME
#define PELORA_AVX2 __attribute__((target("avx2"))) PELORA_ALIGNED_FRAME
#define PELORA_AVX512_VBMI \
  __attribute__((target("avx512f,avx512bw,avx512vbmi"))) PELORA_ALIGNED_FRAME
#else
#define PELORA_HAS_VECTOR_CODE 0
#endif

// True when the vector versions are to be used and the processor has the instructions.
bool UseSse2();
bool UseSsse3();
bool UseAvx2();
bool UseAvx512Vbmi();  // byte permutes across 64-byte registers

// Switches the vector versions on (the default) or off.
void AllowVectorCode(bool allowed);
