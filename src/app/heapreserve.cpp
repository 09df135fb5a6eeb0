#include "app/heapreserve.h"

#include <cstdlib>  // defines __GLIBC__ on glibc systems

// The tuning is for glibc's allocator; sanitized builds bring an allocator of their own.
#if defined(__GLIBC__) && !defined(VARNOQUE_SANITIZED)
#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>

namespace {

constexpr std::size_t kMB = std::size_t(1) << 20;
constexpr std::size_t kReserve = 256 * kMB;  // address space only: pages count once touched
constexpr std::size_t kBlock = 16 * kMB;     // below the mapping threshold, so taken from the heap
constexpr std::uintptr_t kHugePage = 2 * kMB;

void AdviseHugePages(std::uintptr_t lo, std::uintptr_t hi) {
  lo = (lo + kHugePage - 1) & ~(kHugePage - 1);
  hi &= ~(kHugePage - 1);
  if (hi > lo) ::madvise(reinterpret_cast<void*>(lo), hi - lo, MADV_HUGEPAGE);
}

}  // namespace

void PrepareHeap() {
  // Worker threads allocate from the same heap; blocks up to 32 MB come from it and the freed
  // reserve is kept rather than given back and faulted in again.
  mallopt(M_ARENA_MAX, 1);
  mallopt(M_MMAP_THRESHOLD, int(32 * kMB));
  mallopt(M_TRIM_THRESHOLD, int(kReserve + 64 * kMB));
  void* blocks[kReserve / kBlock];
  std::uintptr_t lo = UINTPTR_MAX;
  for (void*& block : blocks) {
    block = std::malloc(kBlock);
    if (block) lo = std::min(lo, reinterpret_cast<std::uintptr_t>(block));
  }
  // The blocks lie at the end of the heap; the advice holds for its pages once they are freed.
  if (lo != UINTPTR_MAX) AdviseHugePages(lo, reinterpret_cast<std::uintptr_t>(::sbrk(0)));
  for (void* block : blocks) std::free(block);
}

#else

void PrepareHeap() {}

#endif
