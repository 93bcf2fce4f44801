#include "cli/choices.h"

#include <algorithm>
#include <charconv>

#include "dezezuvazoz/enums.h"
#include "engine/measure_table.h"

namespace dez::cli {

namespace {

const std::vector<Choice>& Types() {
  static const std::vector<Choice> table = {
      {dezEZuvazozBinomial, "binomial", {}, "Binomial"},
      {dezEZuvazozMetric, "metric", {}, "Metric"},
      {dezEZuvazozMixed, "mixed", {}, "Mixed"},
      {dezEZuvazozDifference, "distance", {}, "Distance Matrix"},
      {dezEZuvazozSimilarity, "similarity", {}, "Similarity Matrix"},
  };
  return table;
}

// The measure and method rows come from the engine's table, which holds the names, aliases
// and display texts beside the facts the engine reads.
template <class Facts>
Choice ChoiceOf(const Facts& facts) {
  Choice choice{facts.code, facts.name, {}, facts.displayText};
  for (const std::string_view alias : facts.aliases) {
    if (!alias.empty()) choice.aliases.push_back(alias);
  }
  return choice;
}

std::vector<Choice> MeasuresOf(std::int32_t clusterType) {
  std::vector<Choice> table;
  for (const MeasureFacts& facts : kMeasures) {
    if (facts.clusterType == clusterType) table.push_back(ChoiceOf(facts));
  }
  return table;
}

const std::vector<Choice>& BinomialMeasures() {
  static const std::vector<Choice> table = MeasuresOf(dezEZuvazozBinomial);
  return table;
}

const std::vector<Choice>& MetricMeasures() {
  static const std::vector<Choice> table = MeasuresOf(dezEZuvazozMetric);
  return table;
}

const std::vector<Choice>& Methods() {
  static const std::vector<Choice> table = [] {
    std::vector<Choice> rows;
    for (const MethodFacts& facts : kMethods) rows.push_back(ChoiceOf(facts));
    return rows;
  }();
  return table;
}

bool SameIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
           return lower(x) == lower(y);
         });
}

}  // namespace

std::span<const Choice> TypeChoices() { return Types(); }
std::span<const Choice> BinomialMeasureChoices() { return BinomialMeasures(); }
std::span<const Choice> MetricMeasureChoices() { return MetricMeasures(); }
std::span<const Choice> MethodChoices() { return Methods(); }

std::span<const Choice> MeasureChoicesFor(std::int32_t clusterType) {
  if (clusterType == dezEZuvazozBinomial) return BinomialMeasures();
  if (clusterType == dezEZuvazozMetric) return MetricMeasures();
  return {};
}

const Choice* FindChoice(std::span<const Choice> table, std::string_view text) {
  std::int32_t code = 0;
  const char* end = text.data() + text.size();
  const auto [last, problem] = std::from_chars(text.data(), end, code);
  const bool isCode = !text.empty() && problem == std::errc() && last == end;
  for (const Choice& choice : table) {
    if (isCode ? choice.code == code : SameIgnoringCase(choice.name, text)) return &choice;
    if (isCode) continue;
    for (const std::string_view alias : choice.aliases) {
      if (SameIgnoringCase(alias, text)) return &choice;
    }
  }
  return nullptr;
}

const Choice* ChoiceOfCode(std::span<const Choice> table, std::int32_t code) {
  const auto found = std::find_if(table.begin(), table.end(), [&](const Choice& c) { return c.code == code; });
  return found == table.end() ? nullptr : &*found;
}

std::string DescribeChoices(std::span<const Choice> table) {
  std::string names;
  std::string aliases;
  std::int32_t lowest = 0;
  std::int32_t highest = 0;
  for (const Choice& choice : table) {
    if (!names.empty()) names += ", ";
    names += choice.name;
    for (const std::string_view alias : choice.aliases) {
      if (!aliases.empty()) aliases += ", ";
      aliases += alias;
    }
    lowest = &choice == table.data() ? choice.code : std::min(lowest, choice.code);
    highest = &choice == table.data() ? choice.code : std::max(highest, choice.code);
  }
  if (table.empty()) return names;
  const std::string codes = "the codes " + std::to_string(lowest) + ".." + std::to_string(highest);
  return names + " (also " + (aliases.empty() ? "" : aliases + ", ") + codes + ")";
}

}  // namespace dez::cli
