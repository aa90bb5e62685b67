#include "vqi/worker_threads.h"

#include <algorithm>
#include <atomic>

int ProcessorCount() {
  const unsigned count = std::thread::hardware_concurrency();
  return count > 0 ? static_cast<int>(count) : 1;
}

void ForEachOnThreads(int count, int threads, const std::function<void(int)>& work) {
  std::atomic<int> next{0};
  auto takeNext = [&] {
    for (int index = next++; index < count; index = next++) work(index);
  };
  std::vector<std::thread> helpers = StartHelpers(std::min(threads, count) - 1, takeNext);
  takeNext();
  for (std::thread& helper : helpers) helper.join();
}
