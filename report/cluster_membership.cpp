#include "report/cluster_membership.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <numeric>

namespace dez {

namespace {

/// Union-find over the items, with the root of each set its lowest item.
class ItemSets {
 public:
  explicit ItemSets(std::int32_t n) : parent_(static_cast<std::size_t>(n)) {
    std::iota(parent_.begin(), parent_.end(), 0);
  }
  std::int32_t Find(std::int32_t item) {
    while (parent_[Index(item)] != item) {
      parent_[Index(item)] = parent_[Index(parent_[Index(item)])];  // path halving
      item = parent_[Index(item)];
    }
    return item;
  }
  void Join(std::int32_t a, std::int32_t b) {
    a = Find(a);
    b = Find(b);
    if (a != b) parent_[Index(std::max(a, b))] = std::min(a, b);
  }

 private:
  static std::size_t Index(std::int32_t item) { return static_cast<std::size_t>(item); }
  std::vector<std::int32_t> parent_;
};

/// The first item (0-based) of the cluster of entry e: items keep their own number, a
/// merge is represented by any of its items.
std::int32_t RepresentativeItem(const Schedule& steps, std::int32_t e) { return steps[e].items.front() - 1; }

}  // namespace

ClusterCut CutIntoClusters(const Schedule& steps, std::int32_t n, std::int32_t k) {
  ClusterCut cut;
  cut.k = k;
  const std::int32_t merges = n - k;
  ItemSets sets(n);
  for (std::int32_t step = 1; step <= merges; ++step) {
    const ScheduleEntry& entry = steps[n + step];
    sets.Join(RepresentativeItem(steps, entry.first), RepresentativeItem(steps, entry.second));
  }
  // Number the sets in the order of their first item: a set's root is its lowest item, so
  // a set is met first at its root.
  std::vector<std::int32_t> numberOfRoot(static_cast<std::size_t>(n), 0);
  std::int32_t next = 0;
  cut.clusterOfItem.resize(static_cast<std::size_t>(n));
  for (std::int32_t i = 0; i < n; ++i) {
    std::int32_t& number = numberOfRoot[static_cast<std::size_t>(sets.Find(i))];
    if (number == 0) number = ++next;
    cut.clusterOfItem[static_cast<std::size_t>(i)] = number;
  }

  // The cut lies between step `merges` and step `merges + 1`; a tie there makes the
  // solution depend on the order in which the tied merges were made.
  // Levels count as equal to 12 significant digits: the same value reached by two
  // different sums (0.5 and 0.49999999999999994) is a tie to the user.
  const auto levelOf = [&](std::int32_t step) { return steps[n + step].level; };
  const auto same = [](double a, double b) { return std::fabs(a - b) <= 1e-12 * std::max(std::fabs(a), std::fabs(b)); };
  if (merges >= 1 && merges + 1 <= n - 1 && same(levelOf(merges), levelOf(merges + 1))) {
    cut.tieLevel = levelOf(merges);
    std::int32_t first = merges;
    while (first > 1 && same(levelOf(first - 1), cut.tieLevel)) --first;
    std::int32_t last = merges + 1;
    while (last < n - 1 && same(levelOf(last + 1), cut.tieLevel)) ++last;
    for (std::int32_t step = first; step <= last; ++step) cut.tiedSteps.push_back(step);
  }
  return cut;
}

std::int32_t ClustersBelowLevel(const Schedule& steps, std::int32_t n, double level, bool difference) {
  std::int32_t merges = 0;
  while (merges < n - 1) {
    const double next = steps[n + merges + 1].level;
    if (difference ? !(next < level) : !(next > level)) break;
    ++merges;
  }
  return n - merges;
}

std::vector<ClusterCut> ClusterCuts(const Schedule& steps, std::int32_t n, const std::vector<std::int32_t>& counts,
                                    std::optional<double> cutLevel, bool difference) {
  std::vector<std::int32_t> ks;
  for (const std::int32_t k : counts) {
    if (k >= 1 && k <= n) ks.push_back(k);
  }
  if (cutLevel) ks.push_back(ClustersBelowLevel(steps, n, *cutLevel, difference));
  std::sort(ks.begin(), ks.end());
  ks.erase(std::unique(ks.begin(), ks.end()), ks.end());
  std::vector<ClusterCut> cuts;
  for (const std::int32_t k : ks) cuts.push_back(CutIntoClusters(steps, n, k));
  return cuts;
}

std::string TieNotice(const ClusterCut& cut) {
  std::string steps;
  for (std::size_t s = 0; s < cut.tiedSteps.size(); ++s) {
    if (s > 0) steps += s + 1 == cut.tiedSteps.size() ? " and " : ", ";
    steps += std::to_string(cut.tiedSteps[s]);
  }
  char level[32];
  std::snprintf(level, sizeof level, "%.12g", cut.tieLevel);
  return "the " + std::to_string(cut.k) + "-cluster solution is not unique: steps " + steps +
         " of the schedule join at the same level " + level;
}

std::optional<std::vector<std::int32_t>> ParseClusterList(std::string_view text) {
  const auto number = [](std::string_view word) -> std::optional<std::int32_t> {
    std::int32_t value = 0;
    const char* end = word.data() + word.size();
    const auto [last, problem] = std::from_chars(word.data(), end, value);
    if (word.empty() || problem != std::errc() || last != end || value < 1) return std::nullopt;
    return value;
  };
  std::vector<std::int32_t> ks;
  while (true) {
    const std::size_t comma = text.find(',');
    const std::string_view item = text.substr(0, comma);
    const std::size_t dash = item.find('-');
    const auto low = number(item.substr(0, dash));
    const auto high = dash == std::string_view::npos ? low : number(item.substr(dash + 1));
    if (!low || !high || *high < *low || *high - *low > 16384) return std::nullopt;
    for (std::int32_t k = *low; k <= *high; ++k) ks.push_back(k);
    if (comma == std::string_view::npos) break;
    text.remove_prefix(comma + 1);
  }
  std::sort(ks.begin(), ks.end());
  ks.erase(std::unique(ks.begin(), ks.end()), ks.end());
  return ks;
}

}  // namespace dez
