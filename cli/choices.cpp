#include "cli/choices.h"

#include <algorithm>
#include <charconv>

#include "dezezuvazoz/enums.h"

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

const std::vector<Choice>& BinomialMeasures() {
  static const std::vector<Choice> table = {
      {dezEZuvazozSMBEuclidean, "euclidean", {}, "Euclidean Distance"},
      {dezEZuvazozSMBHamann, "hamann", {}, "Hamann Similarity"},
      {dezEZuvazozSMBJaccard, "jaccard", {}, "Jaccard Similarity"},
      {dezEZuvazozSMBKulczynski1, "kulczynski1", {}, "Kulczynski 1 Similarity"},
      {dezEZuvazozSMBKulczynski2, "kulczynski2", {}, "Kulczynski 2 Similarity"},
      {dezEZuvazozSMBOchiai, "ochiai", {}, "Ochiai Similarity"},
      {dezEZuvazozSMBPattern, "pattern", {}, "Pattern Difference"},
      {dezEZuvazozSMBPhi, "phi", {}, "Phi 4-Point Correlation"},
      {dezEZuvazozSMBRogersTanimoto, "rogers-tanimoto", {}, "Rogers-Tanimoto Similarity"},
      {dezEZuvazozSMBRusselRao, "russel-rao", {}, "Russel-Rao Similarity"},
      {dezEZuvazozSMBSokalMitchener, "sokal-michener", {}, "Sokal-Michener Similarity"},
      {dezEZuvazozSMBSorensenDice, "sorensen-dice", {}, "Sorensen-Dice Similarity"},
      {dezEZuvazozSMBSqrdEuclidean, "squared-euclidean", {}, "Squared Euclidean Distance"},
      {dezEZuvazozSMBVariance, "variance", {}, "Variance Distance"},
      {dezEZuvazozSMBYuleQ, "yule-q", {}, "Yule's Q"},
  };
  return table;
}

const std::vector<Choice>& MetricMeasures() {
  static const std::vector<Choice> table = {
      {dezEZuvazozSMMBrayCurtis, "bray-curtis", {}, "Bray-Curtis Distance"},
      {dezEZuvazozSMMCanberra, "canberra", {}, "Canberra Distance"},
      {dezEZuvazozSMMCityBlock, "city-block", {}, "City Block Distance"},
      {dezEZuvazozSMMEuclidean, "euclidean", {}, "Euclidean Distance"},
      {dezEZuvazozSMMMinkowski, "minkowski", {}, "Minkowski Distance"},
      {dezEZuvazozSMMCorrelation, "correlation", {}, "Pearson Correlation"},
      {dezEZuvazozSMMSqrdEuclidean, "squared-euclidean", {}, "Squared Euclidean Distance"},
  };
  return table;
}

const std::vector<Choice>& Methods() {
  static const std::vector<Choice> table = {
      {dezEZuvazozMethNearestNeigh, "single", {"nearest"}, "Nearest Neighbour"},
      {dezEZuvazozMethFurthestNeigh, "complete", {"furthest"}, "Furthest Neighbour"},
      {dezEZuvazozMethGroupAvg, "average", {"group-average"}, "Group Average"},
      {dezEZuvazozMethCentroid, "centroid", {}, "Centroid"},
      {dezEZuvazozMethWards, "ward", {}, "Ward's Method"},
      {dezEZuvazozMethLanceWilliams, "flexible", {"lance-williams"}, "Flexible (Lance-Williams)"},
  };
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
