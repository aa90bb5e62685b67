#include "vqi/worker_threads.h"

#include <atomic>
#include <system_error>
#include <thread>
#include <vector>

int ProcessorCount() {
  const unsigned count = std::thread::hardware_concurrency();
  return count > 0 ? static_cast<int>(count) : 1;
}

void ForEachOnThreads(int count, int threads, const std::function<void(int)>& work) {
  std::atomic<int> next{0};
  auto takeNext = [&] {
    for (int index = next++; index < count; index = next++) work(index);
  };
  std::vector<std::thread> helpers;
  for (int i = 1; i < threads && i < count; ++i) {
    try {
      helpers.emplace_back(takeNext);
    } catch (const std::system_error&) {
      break;
    }
  }
  takeNext();
  for (std::thread& helper : helpers) helper.join();
}
