#include "host/embedded/countif_criterion.h"

#include <algorithm>
#include <string_view>
#include <vector>

namespace dez::embedded {

namespace {

std::string LowerAscii(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lower;
}

// Bytes of the UTF-8 character starting with `lead` (1 for a stray byte).
std::size_t CharacterLength(unsigned char lead) {
  if (lead >= 0xF0U) return 4;
  if (lead >= 0xE0U) return 3;
  if (lead >= 0xC0U) return 2;
  return 1;
}

// One element of a wildcard pattern: a literal character, '?' or '*'.
struct PatternPart {
  enum class Kind : std::uint8_t { Literal, AnyOne, AnyRun } kind;
  std::string_view literal;
};

std::vector<std::string_view> SplitCharacters(std::string_view text) {
  std::vector<std::string_view> chars;
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t n = std::min(CharacterLength(static_cast<unsigned char>(text[i])), text.size() - i);
    chars.push_back(text.substr(i, n));
    i += n;
  }
  return chars;
}

std::vector<PatternPart> ParsePattern(std::string_view pattern) {
  std::vector<PatternPart> parts;
  const std::vector<std::string_view> chars = SplitCharacters(pattern);
  for (std::size_t i = 0; i < chars.size(); ++i) {
    if (chars[i] == "~" && i + 1 < chars.size()) {
      parts.push_back({PatternPart::Kind::Literal, chars[++i]});
    } else if (chars[i] == "*") {
      parts.push_back({PatternPart::Kind::AnyRun, {}});
    } else if (chars[i] == "?") {
      parts.push_back({PatternPart::Kind::AnyOne, {}});
    } else {
      parts.push_back({PatternPart::Kind::Literal, chars[i]});
    }
  }
  return parts;
}

// Wildcard match by the classic greedy algorithm with one backtrack point per '*':
// linear in practice, O(text x pattern) at worst, without recursion.
bool WildcardMatch(std::string_view patternText, std::string_view text) {
  const std::vector<PatternPart> p = ParsePattern(patternText);
  const std::vector<std::string_view> t = SplitCharacters(text);
  std::size_t pi = 0, ti = 0, star = p.size(), mark = 0;
  while (ti < t.size()) {
    if (pi < p.size() && (p[pi].kind == PatternPart::Kind::AnyOne ||
                          (p[pi].kind == PatternPart::Kind::Literal && p[pi].literal == t[ti]))) {
      ++pi;
      ++ti;
    } else if (pi < p.size() && p[pi].kind == PatternPart::Kind::AnyRun) {
      star = pi++;
      mark = ti;
    } else if (star != p.size()) {
      pi = star + 1;
      ti = ++mark;
    } else {
      return false;
    }
  }
  while (pi < p.size() && p[pi].kind == PatternPart::Kind::AnyRun) ++pi;
  return pi == p.size();
}

}  // namespace

CountIfCriterion::CountIfCriterion(const Variant& criterion) {
  switch (criterion.kind()) {
    case Variant::Kind::Empty: operand_ = Operand::Number; return;  // an empty cell reads as 0
    case Variant::Kind::Number: operand_ = Operand::Number; number_ = criterion.number(); return;
    case Variant::Kind::Boolean: operand_ = Operand::Boolean; boolean_ = criterion.boolean(); return;
    case Variant::Kind::Error: operand_ = Operand::Error; error_ = criterion.error(); return;
    case Variant::Kind::Text: break;
  }
  std::string_view text = criterion.text();
  static constexpr std::pair<std::string_view, Op> kOperators[] = {
      {"<=", Op::LessEqual}, {">=", Op::GreaterEqual}, {"<>", Op::NotEqual},
      {"<", Op::Less},       {">", Op::Greater},       {"=", Op::Equal}};
  bool written = false;
  for (const auto& [symbol, op] : kOperators) {
    if (text.starts_with(symbol)) {
      op_ = op;
      text.remove_prefix(symbol.size());
      written = true;
      break;
    }
  }
  if (text.empty()) {
    if (op_ == Op::NotEqual) {
      op_ = Op::Equal;
      operand_ = Operand::NotBlank;
    } else if (op_ == Op::Equal) {
      operand_ = written ? Operand::Blank : Operand::BlankOrEmptyText;
    } else {
      operand_ = Operand::Text;  // "<" or ">" alone compare texts with ""
    }
    return;
  }
  if (const auto number = ParseNumber(text)) {
    operand_ = Operand::Number;
    number_ = *number;
    return;
  }
  text_ = LowerAscii(text);
  if (text_ == "true" || text_ == "false") {
    operand_ = Operand::Boolean;
    boolean_ = text_ == "true";
  } else if (const auto error = CellErrorFromText(text)) {
    operand_ = Operand::Error;
    error_ = *error;
  } else {
    operand_ = Operand::Text;
  }
}

bool CountIfCriterion::MatchesEqual(const Variant& value) const {
  switch (operand_) {
    case Operand::Blank: return value.IsEmpty();
    case Operand::BlankOrEmptyText: return value.IsEmpty() || (value.IsText() && value.text().empty());
    case Operand::NotBlank: return !value.IsEmpty();
    case Operand::Number:
      if (value.IsNumber()) return value.number() == number_;
      if (value.IsText()) {
        const auto n = ParseNumber(value.text());
        return n && *n == number_;
      }
      return false;
    case Operand::Boolean: return value.IsBoolean() && value.boolean() == boolean_;
    case Operand::Error: return value.IsError() && value.error() == error_;
    case Operand::Text: return value.IsText() && WildcardMatch(text_, LowerAscii(value.text()));
  }
  return false;
}

bool CountIfCriterion::MatchesOrdered(const Variant& value) const {
  const auto compare = [&](auto a, auto b) {
    switch (op_) {
      case Op::Less: return a < b;
      case Op::LessEqual: return a <= b;
      case Op::Greater: return a > b;
      case Op::GreaterEqual: return a >= b;
      default: return false;
    }
  };
  switch (operand_) {
    case Operand::Number: return value.IsNumber() && compare(value.number(), number_);
    case Operand::Boolean: return value.IsBoolean() && compare(value.boolean(), boolean_);
    case Operand::Text: return value.IsText() && compare(LowerAscii(value.text()), text_);
    default: return false;
  }
}

bool CountIfCriterion::Matches(const Variant& value) const {
  switch (op_) {
    case Op::Equal: return MatchesEqual(value);
    case Op::NotEqual: return !MatchesEqual(value);
    default: return MatchesOrdered(value);
  }
}

}  // namespace dez::embedded
