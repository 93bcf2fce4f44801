// The agglomeration in its literal form: the oracle that defines the schedule.
//
// Starting with every item as a cluster of its own, the two closest clusters are joined
// step by step; each join is recorded in the schedule and replaces the two clusters by
// the new one in a working matrix one row and one column smaller, whose new row comes
// from the Lance–Williams recurrence of the method. Any faster agglomeration must give
// the same schedule: the same pairs in the same order and the same bits of every level.
// The engine's agglomeration (engine/agglomeration.h) is compared with it in the tests
// and the benchmarks; the engine itself does not use it.
#pragma once

#include <cstdint>

#include "engine/agglomeration.h"
#include "runtime/array2d.h"
#include "runtime/schedule.h"

namespace dez {

/// Builds the agglomeration schedule of `distances` into `steps`.
///
/// @param distances  n x n, 1-based, symmetric: distances when `difference` is true,
///                   similarities otherwise (negated on entry so that the closest pair is
///                   always the smallest value; levels are recorded with their sign
///                   restored). Only read.
/// @param steps      replaced at the start by entries 1..2n-1: item entries (e, 0, (e), 0, 0)
///                   then one entry per step (higher cluster, lower cluster, its items then
///                   the lower's, level, 0). After an error it holds the entries made so far.
/// @param method     a dezEZuvazozMethod code 1..6; any other code leaves the coefficients
///                   at 0, so every new cell is 0.
/// @param data       the data block; read only for Ward's method (5), whose level is the
///                   total within-cluster sum of squares of the clustering after the step.
/// @param progress   optional, called every 1% of the steps.
///
/// Closest pair: the smallest cell below the diagonal, scanned column by column, then row;
/// the first one met wins a tie (lowest lower cluster, then lowest higher cluster).
/// Update, in this order: x = αc×D(c,q) + αr×D(r,q); x = β×D(r,c) + x;
/// x = γ×|D(r,q) − D(c,q)| + x — never a min or max.
///
/// Counts are 16-bit: 2n − 1 is computed before anything else, so more than 16384 items
/// fail with overflow (6) before any step. Every floating result is checked (overflow 6,
/// division by zero 11); a non-numeric Data cell under Ward's method is type mismatch (13).
/// Errors leave it with the source "Line N in DEZEZuvazoz.clsHClusterBO.ReduceMatrix" (or
/// that name appended to a source that already begins with "Line"), as the engine's.
///
/// Cost: (m² − m)/2 cells scanned and an (m−1)² copy at each step, O(n³) time and two
/// n x n working matrices; Ward's method adds a walk of the schedule per item and step.
void AgglomerateLiteral(const DoubleMatrix& distances, Schedule& steps, bool difference,
                        std::int32_t method, const VariantMatrix& data,
                        const StepProgress& progress = {});

/// The same, returning the schedule.
Schedule AgglomerateLiteral(const DoubleMatrix& distances, bool difference, std::int32_t method,
                            const VariantMatrix& data);

}  // namespace dez
