// Large working arrays and giving memory back to the system.
//
// The engine's big steps (the agglomeration's working matrix, the cophenetic pair
// vectors) hold arrays of hundreds of megabytes. Two things keep their footprint and
// cost down on Linux, and are harmless no-ops elsewhere:
// - huge pages for a large array, so that a scan down a column of a matrix does not miss
//   the address translation cache at every row;
// - handing back the pages of a part of an array whose values are no longer needed, so
//   that resident memory shrinks while the array keeps its address.
#pragma once

#include <cstddef>
#include <memory>

namespace dez {

/// Gives the whole pages inside [begin, end) back to the system. The values there are
/// lost (they read as 0 afterwards); the caller writes before it reads them again. The
/// memory stays allocated and usable. Partial pages at either end are kept.
void ReleasePages(void* begin, void* end);

/// A large array of doubles whose elements are not initialised: the owner writes every
/// element before reading it. From 8 MB up it is aligned for huge pages and asks for
/// them (HugePageAllocator). Moving is cheap; copying is not offered.
class LargeArray {
 public:
  LargeArray() = default;
  /// `count` uninitialised doubles; std::bad_alloc when the memory is not there.
  explicit LargeArray(std::size_t count);

  double* data() { return cells_.get(); }
  const double* data() const { return cells_.get(); }
  std::size_t size() const { return size_; }

  /// Gives back the memory of the elements from `count` on (see ReleasePages); size()
  /// stays, and those elements must be written again before they are read.
  void ReleaseFrom(std::size_t count);

 private:
  struct Free {
    std::size_t count = 0;  ///< what was allocated: the allocator frees by size
    void operator()(double* p) const;
  };
  std::unique_ptr<double[], Free> cells_;
  std::size_t size_ = 0;
};

}  // namespace dez
