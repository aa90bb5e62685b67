#pragma once
// Work shared out to threads: the coder's and decoder's planes, the converter's files. All
// threads end before the call that started them returns.

#include <exception>
#include <functional>
#include <thread>
#include <vector>

// The processor's cores, at least 1.
int ProcessorCount();

// Starts up to `count` threads that run `work` beside the caller, who joins them. Where the
// system or memory refuses one, fewer start, and the caller and those started do its share.
template <typename Work>
std::vector<std::thread> StartHelpers(int count, const Work& work) {
  std::vector<std::thread> helpers;
  try {
    for (int i = 0; i < count; ++i) helpers.emplace_back(work);
  } catch (const std::exception&) {
    // no thread, or no memory for one: those started are kept and go on
  }
  return helpers;
}

// Runs work(0) … work(count − 1) on up to `threads` threads, the caller's among them: each
// takes the next index not yet taken until none is left. Returns when all calls have
// returned. Where a thread cannot be started, the others take its share.
void ForEachOnThreads(int count, int threads, const std::function<void(int)>& work);
