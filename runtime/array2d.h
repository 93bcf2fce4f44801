// Two-dimensional arrays with 1-based indices over contiguous row-major storage.
#pragma once

#include <cassert>
#include <cstddef>
#include <cstdint>
#include <source_location>
#include <span>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "runtime/error.h"
#include "runtime/huge_page_allocator.h"
#include "runtime/variant.h"

namespace dez {

/// A rows x cols array indexed (1..rows, 1..cols). An array with no elements is "empty",
/// the state of an array variable that was never dimensioned.
template <class T>
class Array2D {
 public:
  /// The storage: numbers (the engine's matrices, up to gigabytes) on huge pages.
  using Elements = std::vector<T, std::conditional_t<std::is_same_v<T, double>, HugePageAllocator<T>, std::allocator<T>>>;

  Array2D() = default;
  Array2D(std::int32_t rows, std::int32_t cols, const T& fill = T())
      : rows_(rows), cols_(cols),
        data_(static_cast<std::size_t>(rows) * static_cast<std::size_t>(cols), fill) {}
  /// An array over `elements`, row by row, without copying them; there must be rows x cols
  /// of them (std::length_error otherwise).
  Array2D(std::int32_t rows, std::int32_t cols, Elements&& elements)
      : rows_(rows), cols_(cols), data_(std::move(elements)) {
    if (data_.size() != static_cast<std::size_t>(rows) * static_cast<std::size_t>(cols)) {
      throw std::length_error("Array2D: elements do not match the shape");
    }
  }

  /// Moves the elements out, row by row, without copying them, and leaves the array empty.
  Elements TakeElements() {
    Elements elements = std::move(data_);
    data_.clear();
    rows_ = 0;
    cols_ = 0;
    return elements;
  }

  std::int32_t rows() const { return rows_; }  ///< upper bound of the first dimension
  std::int32_t cols() const { return cols_; }  ///< upper bound of the second dimension
  bool empty() const { return data_.empty(); }

  /// Unchecked element access, 1-based.
  T& operator()(std::int32_t r, std::int32_t c) {
    assert(r >= 1 && r <= rows_ && c >= 1 && c <= cols_);
    return data_[Index(r, c)];
  }
  const T& operator()(std::int32_t r, std::int32_t c) const {
    assert(r >= 1 && r <= rows_ && c >= 1 && c <= cols_);
    return data_[Index(r, c)];
  }

  /// Checked element access: an index outside the bounds is subscript out of range (9).
  const T& At(std::int32_t r, std::int32_t c,
              std::source_location where = std::source_location::current()) const {
    if (r < 1 || r > rows_ || c < 1 || c > cols_) Raise(fault::kSubscriptOutOfRange, {}, {}, where);
    return data_[Index(r, c)];
  }
  T& At(std::int32_t r, std::int32_t c, std::source_location where = std::source_location::current()) {
    if (r < 1 || r > rows_ || c < 1 || c > cols_) Raise(fault::kSubscriptOutOfRange, {}, {}, where);
    return data_[Index(r, c)];
  }

  /// Row r as a contiguous span of cols() elements.
  std::span<T> Row(std::int32_t r) { return {data_.data() + Index(r, 1), static_cast<std::size_t>(cols_)}; }
  std::span<const T> Row(std::int32_t r) const {
    return {data_.data() + Index(r, 1), static_cast<std::size_t>(cols_)};
  }

  T* data() { return data_.data(); }
  const T* data() const { return data_.data(); }

  friend bool operator==(const Array2D&, const Array2D&) = default;

 private:
  std::size_t Index(std::int32_t r, std::int32_t c) const {
    return static_cast<std::size_t>(r - 1) * static_cast<std::size_t>(cols_) + static_cast<std::size_t>(c - 1);
  }

  std::int32_t rows_ = 0;
  std::int32_t cols_ = 0;
  Elements data_;
};

using DoubleMatrix = Array2D<double>;
using VariantMatrix = Array2D<Variant>;
using StringMatrix = Array2D<std::string>;

/// A 1-based one-dimensional array of strings (item labels); index 0 is unused.
class StringArray {
 public:
  StringArray() = default;
  explicit StringArray(std::vector<std::string> values) : values_(std::move(values)) {}
  std::int32_t UBound() const { return static_cast<std::int32_t>(values_.size()); }
  bool empty() const { return values_.empty(); }
  /// Checked access, 1-based: outside 1..UBound is subscript out of range (9).
  const std::string& At(std::int32_t i, std::source_location where = std::source_location::current()) const {
    if (i < 1 || i > UBound()) Raise(fault::kSubscriptOutOfRange, {}, {}, where);
    return values_[static_cast<std::size_t>(i - 1)];
  }
  const std::vector<std::string>& values() const { return values_; }
  friend bool operator==(const StringArray&, const StringArray&) = default;

 private:
  std::vector<std::string> values_;
};

}  // namespace dez
