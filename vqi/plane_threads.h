#pragma once
// Threads for the planes of one image: the coder and the decoder work on several planes at
// the same time where the processor has more than one core. All of them end before the call
// that started them returns.

#include <functional>

// The processor's cores, at least 1.
int ProcessorCount();

// Runs work(0) … work(count − 1) on up to `threads` threads, the caller's among them: each
// takes the next plane not yet taken until none is left. Returns when all calls have
// returned. Where a thread cannot be started, the others take its share.
void RunPlanes(int count, int threads, const std::function<void(int)>& work);
