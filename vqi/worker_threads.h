#pragma once
// Work shared out to threads: the coder's and decoder's planes, the converter's files. All
// threads end before the call that started them returns.

#include <functional>

// The processor's cores, at least 1.
int ProcessorCount();

// Runs work(0) … work(count − 1) on up to `threads` threads, the caller's among them: each
// takes the next index not yet taken until none is left. Returns when all calls have
// returned. Where a thread cannot be started, the others take its share.
void ForEachOnThreads(int count, int threads, const std::function<void(int)>& work);
