#pragma once
// Processor time (of all the process's threads; on a shared machine, waiting for the
// processor says nothing about the code) and wall time, in seconds. (<chrono> cannot be used:
// its unit names do not survive the program's narrow code page.)

#include <ctime>

struct Seconds {
  double cpu;
  double wall;
};

inline Seconds Now() {
  timespec cpu;
  timespec wall;
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &cpu);
  clock_gettime(CLOCK_MONOTONIC, &wall);
  return {static_cast<double>(cpu.tv_sec) + static_cast<double>(cpu.tv_nsec) * 1e-9,
          static_cast<double>(wall.tv_sec) + static_cast<double>(wall.tv_nsec) * 1e-9};
}
