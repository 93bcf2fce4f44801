// The agglomeration schedule: one entry per cluster, items first, then the merges.
#pragma once

#include <cstdint>
#include <source_location>
#include <vector>

#include "runtime/error.h"

namespace dez {

/// One entry of the schedule. Entry e (1-based) describes cluster e: for e <= n the item
/// e itself, for e > n the cluster made by step e - n.
struct ScheduleEntry {
  std::int16_t first = 0;            ///< element 1: higher-numbered cluster joined (item: e)
  std::int16_t second = 0;           ///< element 2: lower-numbered cluster joined (item: 0)
  std::vector<std::int32_t> items;   ///< element 3: item numbers, first's list then second's
  double level = 0.0;                ///< element 4: level of the step (items: leaf level)
  double position = 0.0;             ///< element 5: horizontal position (after the layout)

  std::int32_t size() const { return static_cast<std::int32_t>(items.size()); }
  friend bool operator==(const ScheduleEntry&, const ScheduleEntry&) = default;
};

/// The schedule, entries 1..2n-1; empty when no agglomeration has run.
class Schedule {
 public:
  Schedule() = default;
  explicit Schedule(std::int32_t entries) : entries_(static_cast<std::size_t>(entries)) {}

  bool empty() const { return entries_.empty(); }
  std::int32_t UBound() const { return static_cast<std::int32_t>(entries_.size()); }

  ScheduleEntry& operator[](std::int32_t e) { return entries_[static_cast<std::size_t>(e - 1)]; }
  const ScheduleEntry& operator[](std::int32_t e) const { return entries_[static_cast<std::size_t>(e - 1)]; }

  /// Checked access: outside 1..UBound is subscript out of range (9).
  const ScheduleEntry& At(std::int32_t e, std::source_location where = std::source_location::current()) const {
    if (e < 1 || e > UBound()) Raise(fault::kSubscriptOutOfRange, {}, {}, where);
    return (*this)[e];
  }
  ScheduleEntry& At(std::int32_t e, std::source_location where = std::source_location::current()) {
    if (e < 1 || e > UBound()) Raise(fault::kSubscriptOutOfRange, {}, {}, where);
    return (*this)[e];
  }

  const std::vector<ScheduleEntry>& entries() const { return entries_; }
  friend bool operator==(const Schedule&, const Schedule&) = default;

 private:
  std::vector<ScheduleEntry> entries_;
};

}  // namespace dez
