#include "vqi/plane_threads.h"

#include <atomic>
#include <system_error>
#include <thread>
#include <vector>

int ProcessorCount() {
  const unsigned count = std::thread::hardware_concurrency();
  return count > 0 ? static_cast<int>(count) : 1;
}

void RunPlanes(int count, int threads, const std::function<void(int)>& work) {
  std::atomic<int> next{0};
  auto takePlanes = [&] {
    for (int plane = next++; plane < count; plane = next++) work(plane);
  };
  std::vector<std::thread> helpers;
  for (int i = 1; i < threads && i < count; ++i) {
    try {
      helpers.emplace_back(takePlanes);
    } catch (const std::system_error&) {
      break;
    }
  }
  takePlanes();
  for (std::thread& helper : helpers) helper.join();
}
