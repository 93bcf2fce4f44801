#include "engine/memory_pages.h"

#include <cstdint>
#include <cstdlib>
#include <new>

#if defined(__linux__)
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace dez {

namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;    // the x86-64 huge page
constexpr std::size_t kHugeFrom = std::size_t{8} << 20;    // arrays worth huge pages

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

LargeArray::LargeArray(std::size_t count) : size_(count) {
  if (count == 0) return;
  if (count > SIZE_MAX / sizeof(double)) throw std::bad_alloc();
  const std::size_t bytes = count * sizeof(double);
  void* p = nullptr;
  if (bytes >= kHugeFrom) {
    const std::size_t rounded = (bytes + kHugePage - 1) / kHugePage * kHugePage;
    p = std::aligned_alloc(kHugePage, rounded);
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    if (p != nullptr) (void)madvise(p, rounded, MADV_HUGEPAGE);  // advice only
#endif
  } else {
    p = std::malloc(bytes);
  }
  if (p == nullptr) throw std::bad_alloc();
  cells_.reset(static_cast<double*>(p));
}

void LargeArray::ReleaseFrom(std::size_t count) {
  if (count >= size_) return;
  ReleasePages(cells_.get() + count, cells_.get() + size_);
}

void LargeArray::Free::operator()(double* p) const { std::free(p); }

}  // namespace dez
