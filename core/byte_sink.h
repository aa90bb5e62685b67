#pragma once
// Where a writer's bytes go, in order: a file being replaced, or memory in the tests.

#include <cstddef>

struct ByteSink {
  void* context;
  // False when the bytes could not be taken; the writer then gives up.
  bool (*write)(void* context, const void* data, size_t size);
};
