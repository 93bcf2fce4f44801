// An allocator that asks for huge pages for large arrays.
//
// The engine's n × n matrices reach gigabytes, and a fresh array is written in full as
// soon as it is made. With 4 KiB pages every 4 KiB of it costs a page fault on first
// touch, and every later pass over it a TLB miss per page; with the kernel's transparent
// huge pages (2 MiB, granted on request where the system is set to "madvise") there are
// 512 times fewer. Large blocks are therefore aligned to 2 MiB and advised as huge-page
// memory; small ones come from operator new as usual. Only where memory lives changes,
// never a value.
#pragma once

#include <cstddef>
#include <cstdlib>
#include <new>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace dez {

template <class T>
class HugePageAllocator {
 public:
  using value_type = T;

  HugePageAllocator() = default;
  template <class U>
  HugePageAllocator(const HugePageAllocator<U>&) noexcept {}  // NOLINT: rebinding is implicit

  T* allocate(std::size_t count) {
    if (count > static_cast<std::size_t>(-1) / sizeof(T)) throw std::bad_alloc();
    const std::size_t bytes = count * sizeof(T);
    if (bytes < kHugeFrom) return static_cast<T*>(::operator new(bytes));
    const std::size_t rounded = (bytes + kHugePage - 1) / kHugePage * kHugePage;
    void* p = std::aligned_alloc(kHugePage, rounded);
    if (p == nullptr) throw std::bad_alloc();
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    (void)madvise(p, rounded, MADV_HUGEPAGE);  // advice only: refused, the pages stay small
#endif
    return static_cast<T*>(p);
  }

  void deallocate(T* p, std::size_t count) noexcept {
    if (count * sizeof(T) < kHugeFrom) {
      ::operator delete(p);
    } else {
      std::free(p);
    }
  }

  template <class U>
  friend bool operator==(const HugePageAllocator&, const HugePageAllocator<U>&) noexcept { return true; }

 private:
  static constexpr std::size_t kHugePage = std::size_t{2} << 20;  // the x86-64 huge page
  static constexpr std::size_t kHugeFrom = std::size_t{8} << 20;  // arrays worth huge pages
};

}  // namespace dez
