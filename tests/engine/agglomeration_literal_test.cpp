// The literal agglomeration, the oracle of the engine's, against the definitions of the
// methods, computed the slow way from the original values: the smallest, largest or mean
// value over the clusters' pairs, the squared distance of the centroids (Ward's: times
// 2·na·nb/(na+nb), levels the total within sum of squares), and the flexible method's
// own recurrence. A wrong rule in the oracle fails here; a wrong coefficient in the
// engine then fails the bit-for-bit equality with the oracle.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <random>
#include <tuple>
#include <utility>
#include <vector>

#include "agglomeration_literal.h"
#include "dezezuvazoz/enums.h"
#include "engine_test_support.h"

namespace dez::enginetest {
namespace {

struct Cluster {
  std::int16_t number;
  std::vector<std::int32_t> items;
};

/// The mean of the items' rows of `x` (item i's coordinates in row i).
std::vector<double> Centroid(const Cluster& c, const DoubleMatrix& x) {
  std::vector<double> mean(static_cast<std::size_t>(x.cols()), 0.0);
  for (const auto i : c.items) {
    for (std::int32_t v = 1; v <= x.cols(); ++v) mean[static_cast<std::size_t>(v - 1)] += x(i, v) / c.items.size();
  }
  return mean;
}

double SquaredDistance(const std::vector<double>& a, const std::vector<double>& b) {
  double s = 0;
  for (std::size_t v = 0; v < a.size(); ++v) s += (a[v] - b[v]) * (a[v] - b[v]);
  return s;
}

/// Item i's coordinates.
std::vector<double> Point(const DoubleMatrix& x, std::int32_t i) { return Centroid({0, {i}}, x); }

// The value between two clusters: smallest, largest or mean original value over their
// pairs; squared distance of the centroids; Ward's 2·na·nb/(na+nb) times that.
double Linkage(std::int32_t method, const Cluster& a, const Cluster& b, const DoubleMatrix& d, const DoubleMatrix& x) {
  if (method == kCentroid || method == kWards) {
    const double c = SquaredDistance(Centroid(a, x), Centroid(b, x));
    const double na = static_cast<double>(a.items.size()), nb = static_cast<double>(b.items.size());
    return method == kCentroid ? c : 2 * na * nb / (na + nb) * c;
  }
  double lo = std::numeric_limits<double>::infinity(), hi = -lo, sum = 0;
  for (const auto i : a.items) {
    for (const auto j : b.items) {
      lo = std::min(lo, d(i, j));
      hi = std::max(hi, d(i, j));
      sum += d(i, j);
    }
  }
  return method == kNN ? lo : method == kFN ? hi : sum / static_cast<double>(a.items.size() * b.items.size());
}

double WithinSumOfSquares(const std::vector<Cluster>& clusters, const DoubleMatrix& x) {
  double t = 0;
  for (const auto& c : clusters) {
    const auto mean = Centroid(c, x);
    for (const auto i : c.items) t += SquaredDistance(Point(x, i), mean);
  }
  return t;
}

// The flexible method has no closed form: its value is defined step by step, β = −1/4 on
// the joined pair and (1 − β)/2 on each of its two values, kept per pair of clusters.
using FlexibleValues = std::map<std::pair<std::int16_t, std::int16_t>, double>;

double Flexible(FlexibleValues& v, std::int16_t a, std::int16_t b) { return v[{std::max(a, b), std::min(a, b)}]; }

Schedule NaiveAgglomeration(const DoubleMatrix& d, std::int32_t method, const DoubleMatrix& x) {
  const std::int32_t n = d.rows();
  FlexibleValues flexible;
  const auto value = [&](const Cluster& a, const Cluster& b) {
    if (method != kLW) return Linkage(method, a, b, d, x);
    return a.number <= n && b.number <= n ? d(a.number, b.number) : Flexible(flexible, a.number, b.number);
  };
  Schedule s(2 * n - 1);
  std::vector<Cluster> active;  // ascending cluster numbers
  for (std::int16_t i = 1; i <= n; ++i) {
    s[i] = Entry(i, 0, {i}, 0.0);
    active.push_back({i, {i}});
  }
  for (std::int16_t k = static_cast<std::int16_t>(n + 1); k <= 2 * n - 1; ++k) {
    std::size_t r = 1, c = 0;
    double best = value(active[1], active[0]);
    for (std::size_t cc = 0; cc < active.size(); ++cc) {
      for (std::size_t rr = cc + 1; rr < active.size(); ++rr) {
        const double v = value(active[rr], active[cc]);
        if (v < best) best = v, r = rr, c = cc;
      }
    }
    Cluster joined{k, active[r].items};
    joined.items.insert(joined.items.end(), active[c].items.begin(), active[c].items.end());
    s[k] = Entry(active[r].number, active[c].number, joined.items, best);
    for (const Cluster& q : active) {  // β = −1/4, (1 − β)/2 = 5/8
      flexible[{k, q.number}] = 0.625 * (value(active[r], q) + value(active[c], q)) - 0.25 * best;
    }
    active.erase(active.begin() + static_cast<std::ptrdiff_t>(r));
    active.erase(active.begin() + static_cast<std::ptrdiff_t>(c));
    active.push_back(joined);
    if (method == kWards) s[k].level = WithinSumOfSquares(active, x);
  }
  return s;
}

/// The same joins in the same order, the levels within `tolerance` relative (0: equal).
void ExpectSameSchedule(const Schedule& got, const Schedule& want, double tolerance) {
  ASSERT_EQ(got.UBound(), want.UBound());
  for (std::int32_t e = 1; e <= got.UBound(); ++e) {
    SCOPED_TRACE(e);
    ASSERT_EQ(std::tie(got[e].first, got[e].second, got[e].items),
              std::tie(want[e].first, want[e].second, want[e].items));
    EXPECT_NEAR(got[e].level, want[e].level, tolerance * std::max(1.0, std::fabs(want[e].level)));
  }
}

TEST(LiteralAgglomeration, NearestFurthestAndFlexibleWithForcedTiesMatchExactly) {
  // Whole numbers 1..3 force many ties; every value of these three methods is then a
  // sum of small powers of two times whole numbers, exact in double precision.
  for (std::uint32_t seed = 1; seed <= 40; ++seed) {
    const DoubleMatrix d = RandomMatrix(2 + static_cast<std::int32_t>(seed % 13), seed, 3);
    for (const std::int32_t method : {kNN, kFN, kLW}) {
      SCOPED_TRACE(::testing::Message() << "seed " << seed << " method " << method);
      ExpectSameSchedule(AgglomerateLiteral(d, true, method, {}), NaiveAgglomeration(d, method, DoubleMatrix()), 0.0);
    }
  }
}

TEST(LiteralAgglomeration, GroupAverageCentroidAndWardsMatchTheirDefinitions) {
  std::mt19937 gen(2024);
  std::uniform_real_distribution<double> u(-5.0, 5.0);
  for (int trial = 0; trial < 12; ++trial) {
    const std::int32_t n = 3 + trial;
    DoubleMatrix x(n, 3);
    VariantMatrix data(n, 3);
    for (std::int32_t i = 1; i <= n; ++i) {
      for (std::int32_t v = 1; v <= 3; ++v) data(i, v) = x(i, v) = u(gen);
    }
    DoubleMatrix sq(n, n);
    for (std::int32_t i = 1; i <= n; ++i) {
      for (std::int32_t j = 1; j <= n; ++j) sq(i, j) = SquaredDistance(Point(x, i), Point(x, j));
    }
    const DoubleMatrix real = RandomMatrix(n, static_cast<std::uint32_t>(100 + trial), 0);
    SCOPED_TRACE(n);
    ExpectSameSchedule(AgglomerateLiteral(real, true, kGA, {}), NaiveAgglomeration(real, kGA, x), 1e-12);
    ExpectSameSchedule(AgglomerateLiteral(sq, true, kCentroid, {}), NaiveAgglomeration(sq, kCentroid, x), 1e-12);
    const Schedule wards = AgglomerateLiteral(sq, true, kWards, data);
    ExpectSameSchedule(wards, NaiveAgglomeration(sq, kWards, x), 1e-12);
    for (std::int32_t e = n + 2; e <= 2 * n - 1; ++e) EXPECT_GE(wards[e].level, wards[e - 1].level);
  }
}

}  // namespace
}  // namespace dez::enginetest
