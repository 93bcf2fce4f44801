// The worksheet functions of the embedded application.
#pragma once

#include <cstdint>

#include "host/worksheet_function.h"

namespace dez::embedded {

/// Worksheet functions over ranges, with the rules a user of the mainstream spreadsheet
/// programs knows. A function that cannot evaluate raises 1004 ("Unable to get the <name>
/// property of the WorksheetFunction class", followed by the worksheet error it met).
/// Cells are read where they are stored, so a function over whole columns costs what the
/// stored cells cost. A range of another implementation is read through its Value.
///
/// - Count: cells holding a number. Texts (even "1"), Booleans, error values and empty
///   cells are not counted. Every area counts; overlapping areas count twice.
/// - CountA: cells that are not empty: numbers, texts (the empty text too), Booleans and
///   error values.
/// - CountIf: with a number criterion n (the only kind the component passes), the cells
///   holding n or a text that reads as n ("1" for 1); empty cells never count. One area
///   only: a range of several areas, or a criterion that is not a number, is #VALUE!.
/// - Var: the sample variance of the number cells (texts, Booleans and empty cells are
///   skipped); fewer than two numbers is #DIV/0!, a cell holding an error value passes its
///   error on, a result beyond the range of doubles is #NUM!.
/// - TDist: Student's t distribution (StudentTDist).
class EmbeddedWorksheetFunction final : public host::WorksheetFunction {
 public:
  double CountIf(const host::RangePtr& range, const Variant& criterion, host::Loc where = host::Loc::current()) override;
  double Count(const host::RangePtr& range, host::Loc where = host::Loc::current()) override;
  double CountA(const host::RangePtr& range, host::Loc where = host::Loc::current()) override;
  double Var(const host::RangePtr& range, host::Loc where = host::Loc::current()) override;
  double TDist(double x, std::int32_t degreesFreedom, std::int16_t tails,
               host::Loc where = host::Loc::current()) override;
};

}  // namespace dez::embedded
