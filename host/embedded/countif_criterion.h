// The criterion of the CountIf worksheet function.
#pragma once

#include <cstdint>
#include <string>

#include "runtime/variant.h"

namespace dez::embedded {

/// A CountIf criterion, read once and matched against many cells, with the rules a user
/// of the mainstream spreadsheet programs knows:
///
/// - A number n counts number cells equal to n and text cells that read as n ("1" for 1).
/// - A Boolean counts Boolean cells of that value; an error value counts error cells of
///   that code; Empty stands for the number 0 (as a criterion taken from an empty cell).
/// - A text may start with an operator = <> < <= > >= (none means =); the rest is the
///   operand:
///   - empty: "" counts empty cells and empty texts, "=" empty cells only, "<>" every cell
///     that is not empty;
///   - a number literal: "=" as for a number; "<", "<=", ">", ">=" compare number cells
///     only (number texts are not converted there);
///   - TRUE or FALSE (any case): as a Boolean; an error's text (#N/A...): as that error;
///   - anything else: text cells equal to it without regard to case (ASCII letters), with
///     the wildcards * (any characters) and ? (one character) and ~ to take the next
///     character literally; "<", "<=", ">", ">=" compare texts without wildcards.
///   "<>" with any operand counts every cell that "=" with that operand does not count,
///   empty cells included.
/// Numbers compare exactly; a cell holding an error value only matches an error criterion.
class CountIfCriterion {
 public:
  explicit CountIfCriterion(const Variant& criterion);

  /// True when a cell holding `value` is counted.
  bool Matches(const Variant& value) const;

 private:
  enum class Op : std::uint8_t { Equal, NotEqual, Less, LessEqual, Greater, GreaterEqual };
  enum class Operand : std::uint8_t { Blank, BlankOrEmptyText, NotBlank, Number, Boolean, Error, Text };

  bool MatchesEqual(const Variant& value) const;  // the "=" test of the operand
  bool MatchesOrdered(const Variant& value) const;

  Op op_ = Op::Equal;
  Operand operand_ = Operand::Number;
  double number_ = 0.0;
  bool boolean_ = false;
  CellError error_{};
  std::string text_;  // lower-cased operand text
};

}  // namespace dez::embedded
