// The text lines of a text dendrogram while it is drawn, with the glyph letters.
#pragma once

#include <cstdint>
#include <source_location>
#include <string>
#include <vector>

namespace dez::report_detail {

/// Glyph letters of the line-drawing font "Korvel"; a blank is empty space.
namespace glyph {
inline constexpr char kBlank = ' ';
inline constexpr char kHorizontal = 'A';   ///< horizontal line
inline constexpr char kVertical = 'B';     ///< vertical line
inline constexpr char kCornerUp = 'C';     ///< corner joining left and up
inline constexpr char kCornerDown = 'E';   ///< corner joining left and down
inline constexpr char kBranchRight = 'G';  ///< vertical line with a branch to the right
inline constexpr char kBranchLeft = 'H';   ///< vertical line with a branch to the left
inline constexpr char kCross = 'K';        ///< vertical line with branches to both sides
}  // namespace glyph

/// Lines 1..count, each `width` blanks at the start. Line and column numbers are 1-based.
///
/// Access follows the runtime's string rules, so that a drawing off the scale fails the
/// same way wherever it happens:
/// - a line number outside 1..count is subscript out of range (9);
/// - reading a column below 1 is an invalid procedure call or argument (5); reading past
///   the end gives kPastEnd, which is no blank;
/// - writing a column outside 1..width is an invalid procedure call or argument (5).
class DendrogramLines {
 public:
  static constexpr char kPastEnd = '\0';

  /// `count` below 1 is subscript out of range (9), as dimensioning an array 1..0.
  DendrogramLines(std::int32_t count, std::int32_t width,
                  std::source_location where = std::source_location::current());

  std::int32_t count() const { return static_cast<std::int32_t>(lines_.size()); }
  std::int32_t width() const { return width_; }

  char Get(std::int32_t line, std::int32_t column, std::source_location where = std::source_location::current()) const;
  void Set(std::int32_t line, std::int32_t column, char letter,
           std::source_location where = std::source_location::current());

  /// The text of a line (checked as Get).
  const std::string& Line(std::int32_t line, std::source_location where = std::source_location::current()) const;

 private:
  std::int32_t width_;
  std::vector<std::string> lines_;
};

}  // namespace dez::report_detail
