#include "engine/memory_pages.h"

#include <cstdint>

#if defined(__linux__)
#include <sys/mman.h>
#include <unistd.h>
#endif

#include "runtime/huge_page_allocator.h"

namespace dez {

namespace {

std::size_t PageSize() {
#if defined(__linux__)
  static const std::size_t page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
  return page;
#else
  return 4096;
#endif
}

}  // namespace

void ReleasePages(void* begin, void* end) {
#if defined(__linux__)
  const std::size_t page = PageSize();
  const auto first = (reinterpret_cast<std::uintptr_t>(begin) + page - 1) / page * page;
  const auto last = reinterpret_cast<std::uintptr_t>(end) / page * page;
  if (last > first) {
    // Private anonymous memory: the pages are dropped and come back zero-filled on the
    // next touch. A failure only means the memory stays resident.
    (void)madvise(reinterpret_cast<void*>(first), last - first, MADV_DONTNEED);
  }
#else
  (void)begin;
  (void)end;
#endif
}

LargeArray::LargeArray(std::size_t count)
    : cells_(count == 0 ? nullptr : HugePageAllocator<double>().allocate(count), Free{count}), size_(count) {}

void LargeArray::ReleaseFrom(std::size_t count) {
  if (count >= size_) return;
  ReleasePages(cells_.get() + count, cells_.get() + size_);
}

void LargeArray::Free::operator()(double* p) const { HugePageAllocator<double>().deallocate(p, count); }

}  // namespace dez
