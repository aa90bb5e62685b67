#include "vqi/band_decoding.h"

#include <algorithm>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <new>
#include <thread>
#include <vector>

#include "core/image_buffer.h"
#include "vqi/pixel_compose.h"
#include "vqi/worker_threads.h"

namespace {

using BandBuffer = std::unique_ptr<uint8_t[]>;

struct Band {
  int32_t row;
  int32_t rows;
  size_t count;  // bytes of each plane
};

Band BandAt(const BandJob& job, int32_t index) {
  const int32_t row = index * job.bandRows;
  const int32_t rows = std::min(job.bandRows, job.layout.height - row);
  return {row, rows, static_cast<size_t>(rows) * job.layout.width};
}

int32_t BandCount(const BandJob& job) {
  return (job.layout.height + job.bandRows - 1) / job.bandRows;
}

bool AllocateBands(const BandJob& job, BandBuffer bands[]) {
  const size_t size = static_cast<size_t>(job.bandRows) * job.layout.width;
  for (int i = 0; i < job.layout.planeCount; ++i) {
    bands[i].reset(new (std::nothrow) uint8_t[size]);
    if (!bands[i]) return false;
  }
  return true;
}

void ComposeBand(const BandJob& job, const BandBuffer bands[], const Band& band) {
  const uint8_t* bytes[kVqiMaxPlanes] = {};
  for (int i = 0; i < job.layout.planeCount; ++i) bytes[i] = bands[i].get();
  ComposeRows(PlaneLayoutOf(job.layout), job.layout.width, bytes, band.row, band.rows, job.target);
}

DecodeResult DecodeInCaller(const BandJob& job) {
  BandBuffer bands[kVqiMaxPlanes];
  if (!AllocateBands(job, bands)) return DecodeResult::kNoMemory;
  for (int32_t index = 0; index < BandCount(job); ++index) {
    const Band band = BandAt(job, index);
    for (int i = 0; i < job.layout.planeCount; ++i) {
      if (!job.readers[i].Read(bands[i].get(), band.count)) return DecodeResult::kDamaged;
    }
    ComposeBand(job, bands, band);
  }
  return DecodeResult::kDecoded;
}

// Bands of every plane pass through two slots. The caller composes the bands in turn, and
// decodes plane bands whenever the next band is not ready; helper threads do nothing but
// decode. Each plane band goes to whoever is free first, so the work balances itself whether
// decoding or composing costs more (composing is where the target's memory is first
// touched, which is slow where the system supplies memory page by page).
class BandPipeline {
 public:
  explicit BandPipeline(const BandJob& job) : job_(job), bandCount_(BandCount(job)) {}

  bool Allocate() { return AllocateBands(job_, slots_[0]) && AllocateBands(job_, slots_[1]); }

  // A helper thread's part.
  void Decode() {
    std::unique_lock<std::mutex> lock(mutex_);
    while (!failed_ && !finished_) {
      const int plane = NextPlane();
      if (plane >= 0) {
        DecodeBand(lock, plane);
      } else {
        changed_.wait(lock);
      }
    }
  }

  // The caller's part; false when a plane turned out damaged.
  bool Compose() {
    std::unique_lock<std::mutex> lock(mutex_);
    while (composed_ < bandCount_ && !failed_) {
      if (Ready(composed_)) {
        const int32_t index = composed_;
        lock.unlock();
        ComposeBand(job_, slots_[index % kSlots], BandAt(job_, index));
        lock.lock();
        ++composed_;
        Changed(lock);
        continue;
      }
      const int plane = NextPlane();
      if (plane >= 0) {
        DecodeBand(lock, plane);
      } else {
        changed_.wait(lock);
      }
    }
    finished_ = true;
    Changed(lock);
    return !failed_;
  }

 private:
  // The plane whose band is due first among those that may be decoded now, or −1.
  int NextPlane() const {
    int next = -1;
    for (int i = 0; i < job_.layout.planeCount; ++i) {
      const int32_t band = decoded_[i];
      if (busy_[i] || band >= bandCount_ || band >= composed_ + kSlots) continue;
      if (next < 0 || band < decoded_[next]) next = i;
    }
    return next;
  }

  bool Ready(int32_t band) const {
    for (int i = 0; i < job_.layout.planeCount; ++i) {
      if (decoded_[i] <= band) return false;
    }
    return true;
  }

  // Decodes the plane's next band with the lock released.
  void DecodeBand(std::unique_lock<std::mutex>& lock, int plane) {
    const int32_t index = decoded_[plane];
    busy_[plane] = true;
    lock.unlock();
    const bool read =
        job_.readers[plane].Read(slots_[index % kSlots][plane].get(), BandAt(job_, index).count);
    lock.lock();
    busy_[plane] = false;
    ++decoded_[plane];
    if (!read) failed_ = true;
    Changed(lock);
  }

  // Wakes the waiting threads, with the lock released so they need not wait for it.
  void Changed(std::unique_lock<std::mutex>& lock) {
    lock.unlock();
    changed_.notify_all();
    lock.lock();
  }

  static constexpr int kSlots = 2;  // band i may use its slot once band i − 2 is composed
  const BandJob& job_;
  const int32_t bandCount_;
  BandBuffer slots_[kSlots][kVqiMaxPlanes];
  std::mutex mutex_;
  std::condition_variable changed_;
  int32_t decoded_[kVqiMaxPlanes] = {};  // bands of each plane decoded so far
  bool busy_[kVqiMaxPlanes] = {};        // a thread is decoding the plane's next band
  int32_t composed_ = 0;                 // bands composed so far
  bool failed_ = false;
  bool finished_ = false;
};

}  // namespace

DecodeResult DecodeBands(const BandJob& job, int threads) {
  if (threads <= 1) return DecodeInCaller(job);
  BandPipeline pipeline(job);
  if (!pipeline.Allocate()) return DecodeResult::kNoMemory;
  // The caller decodes what no helper takes.
  std::vector<std::thread> helpers = StartHelpers(std::min(threads - 1, job.layout.planeCount),
                                                  [&pipeline] { pipeline.Decode(); });
  const bool decoded = pipeline.Compose();
  for (std::thread& helper : helpers) helper.join();
  return decoded ? DecodeResult::kDecoded : DecodeResult::kDamaged;
}
