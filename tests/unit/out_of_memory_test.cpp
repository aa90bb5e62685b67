// Running out of memory: each allocation of the codec in turn is refused, and every call still
// ends in a clean true or false; the converter tries a file short of memory again. A program
// of its own, as it replaces the allocator that the sanitizers' checks of new and delete use.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <new>
#include <span>

#include "cli/batch_conversion.h"
#include "core/image_buffer.h"
#include "vqi/vqi_decoder.h"
#include "vqi/vqi_encoder.h"

namespace {

std::atomic<long> allocationsToRefusal{0};  // the allocation that finds 1 is refused

void* Allocate(size_t size, bool nothrow) {
  void* block = allocationsToRefusal.fetch_sub(1) == 1 ? nullptr : std::malloc(size ? size : 1);
  if (block == nullptr && !nothrow) throw std::bad_alloc();
  return block;
}

}  // namespace

void* operator new(size_t size) { return Allocate(size, false); }
void* operator new[](size_t size) { return Allocate(size, false); }
void* operator new(size_t size, const std::nothrow_t&) noexcept { return Allocate(size, true); }
void* operator new[](size_t size, const std::nothrow_t&) noexcept { return Allocate(size, true); }
void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, size_t) noexcept { std::free(block); }
void operator delete[](void* block, size_t) noexcept { std::free(block); }

namespace {

// Runs `operation` with its n-th allocation refused, for n = 1, 2, … until it needs fewer; gives
// what it returned then.
template <typename Operation>
bool RefuseEachAllocationInTurn(const Operation& operation) {
  for (long n = 1;; ++n) {
    SCOPED_TRACE(n);
    allocationsToRefusal = n;
    const bool done = operation();
    if (allocationsToRefusal.exchange(0) > 0 || ::testing::Test::HasFatalFailure()) return done;
  }
}

// A picture coded and decoded on several threads: what is read is read right, and what is not
// is refused for want of memory, leaving nothing behind.
TEST(OutOfMemory, EveryRefusedAllocationInTheCodecEndsInTrueOrFalse) {
  ImageBuffer image, decoded;
  ASSERT_TRUE(CreateImageBuffer(&image, 300, 24, 200));
  const size_t size = image.info.header.biSizeImage;
  for (size_t i = 0; i < size; ++i) image.pixels[i] = i / 97 % 5 * 40;  // every stage shortens
  const uint32_t stages = kExportDelta | kExportRle | kExportHuffman;
  VqiEncoding encoding;
  EXPECT_TRUE(RefuseEachAllocationInTurn(
      [&] { return EncodeVqiParts(&image, kExportRgb, stages, 0, nullptr, &encoding, 4); }));
  std::vector<uint8_t> file;
  for (const ByteSpan& part : std::span(encoding.parts, encoding.partCount)) {
    const auto* bytes = static_cast<const uint8_t*>(part.data);
    file.insert(file.end(), bytes, bytes + part.size);
  }
  EXPECT_TRUE(RefuseEachAllocationInTurn([&] {
    bool noMemory = false;
    const bool read = ReadVqiImageWithThreads(&decoded, file.data(), file.size(), 4, &noMemory);
    EXPECT_TRUE(read ? std::memcmp(decoded.pixels, image.pixels, size) == 0
                     : noMemory && decoded.kind == kImageEmpty);
    FreeImageBuffer(&decoded);
    return read;
  }));
}

// A file that ran out of memory beside the others, in our code or in the standard library, is
// converted again once they are done.
TEST(OutOfMemory, BatchTriesAFileAgainAlone) {
  std::atomic<int> attempts[4] = {};
  const std::vector<std::string> errors = RunConcurrently({"a", "b", "c", "d"}, 4, [&](size_t i) {
    const bool again = ++attempts[i] > 1;
    if (i == 1 && !again) throw std::bad_alloc();
    return i == 3 ? Conversion{"d: damaged VQI file"} : Conversion{{}, i == 2 || !again};
  });
  EXPECT_EQ(errors,
            (std::vector<std::string>{"", "", "c: not enough memory", "d: damaged VQI file"}));
}

}  // namespace
