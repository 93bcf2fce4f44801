// The agglomeration: the schedule of joins of the engine's matrix.
//
// Starting with every item as a cluster of its own, the two closest clusters are joined
// step by step; each join is recorded in the schedule, and the new cluster's value to
// every other cluster comes from the Lance–Williams recurrence of the method. The result
// is, bit for bit, the schedule of the literal algorithm (a working matrix shrunk by a
// copy at every step and scanned whole for its smallest cell), which the tests keep as
// the oracle: the same pairs in the same order, the same item lists and the same bits of
// every level, and the same errors at the same step.
//
// How it gets there faster (the proofs are in the source):
// - one working matrix, the lower triangle of the values held once per cluster slot and
//   updated in place, compacted now and then as clusters disappear;
// - a nearest-neighbour cache: for each cluster the smallest value to a cluster numbered
//   above it (the lowest such number among equal values), so that the closest pair of the
//   literal scan is the cache entry with the smallest (value, cluster number);
// - for Ward's method, each cluster's terms of the sum of squares kept with it, so that
//   the total after a step is added up again only from the first item of the new cluster
//   on, in the literal walk's order.
#pragma once

#include <cstdint>
#include <functional>

#include "runtime/array2d.h"
#include "runtime/schedule.h"

namespace dez {

/// Called every 1% of the steps (and after the last one) with the fraction done, 0..1.
using StepProgress = std::function<void(double fraction)>;

/// Builds the agglomeration schedule of `distances` into `steps`.
///
/// @param distances  n x n (at least n columns), 1-based: distances when `difference` is
///                   true, similarities otherwise (negated on entry so that the closest
///                   pair is always the smallest value; levels are recorded with their sign
///                   restored). The closest pair is sought below the diagonal; the first
///                   step's update reads the rows of the two joined items, every later step
///                   only values below the diagonal or made by earlier steps. Only read.
/// @param steps      replaced at the start by entries 1..2n-1: item entries (e, 0, (e), 0, 0)
///                   then one entry per step (higher cluster, lower cluster, its items then
///                   the lower's, level, 0). After an error it holds the entries made so far.
/// @param method     a dezEZuvazozMethod code 1..6; any other code leaves the coefficients
///                   at 0, so every new value is 0.
/// @param data       the data block; read only for Ward's method (5), whose level is the
///                   total within-cluster sum of squares of the clustering after the step.
/// @param progress   optional, called every 1% of the steps.
///
/// Closest pair: the smallest value between two clusters; among equal values the pair
/// whose lower cluster has the lowest number, then whose higher cluster has the lowest
/// number. Update, in this order: x = αc×D(c,q) + αr×D(r,q); x = β×D(r,c) + x;
/// x = γ×|D(r,q) − D(c,q)| + x — never a min or max.
///
/// Counts are 16-bit: 2n − 1 is computed before anything else, so more than 16384 items
/// fail with overflow (6) before any step. Every cell of the matrix must be finite
/// (overflow 6 otherwise, before the item entries are written), and every floating result
/// is checked (overflow 6). Under Ward's method the first step reads every Data cell of
/// items 1..n, in the literal walk's order: no rows or too few is subscript out of range
/// (9), a cell that is no number type mismatch (13). This function is the body of
/// clsHClusterBO.ReduceMatrix: errors leave it with the source
/// "Line N in DEZEZuvazoz.clsHClusterBO.ReduceMatrix" (or that name appended to a source
/// that already begins with "Line").
///
/// Cost: O(n²) time for the usual data (each step O(number of clusters), plus a rescan
/// of the clusters whose nearest neighbour was joined when they come up), O(n³) at worst;
/// Ward's method adds, per step, the terms of the new cluster and a re-addition of the
/// terms that follow it. Memory: n(n−1)/2 doubles of working matrix, shrinking as the
/// clusters do, and the schedule itself.
void Agglomerate(const DoubleMatrix& distances, Schedule& steps, bool difference, std::int32_t method,
                 const VariantMatrix& data, const StepProgress& progress = {});

/// The same, returning the schedule.
Schedule Agglomerate(const DoubleMatrix& distances, bool difference, std::int32_t method, const VariantMatrix& data);

}  // namespace dez
