// analyse_matrix: clusters a square distance (or similarity) matrix read from a text file
// and prints the agglomeration schedule and the cophenetic correlation.
//
//   analyse_matrix [FILE] [--method NAME] [--similarity]
//
// FILE holds whitespace-separated values: the first line the item labels, then one row of
// the square matrix per item; lines starting with '#' are comments. Without FILE the
// bundled examples/distances.txt is used. NAME: single, complete, average (default),
// centroid, ward, flexible (or nearest, furthest, group-average, lance-williams, 1..6).
//
// The engine is driven exactly as the component drives it: ClusterType, Method, Data,
// Analyse, then the results are read. The statistics class and TDist come from the
// embedded application's add-in context.
#include <fmt/core.h>

#include <cstdint>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "dezezuvazoz/enums.h"
#include "engine/clsHClusterBO.h"
#include "host/addin_context.h"
#include "runtime/error.h"

#ifndef DEZ_EXAMPLE_DATA
#define DEZ_EXAMPLE_DATA "examples/distances.txt"
#endif

namespace {

using namespace dez;

// ---- input ----

struct MatrixFile {
  std::vector<std::string> labels;
  VariantMatrix cells;
};

std::vector<std::string> Tokens(const std::string& line) {
  std::istringstream in(line);
  std::vector<std::string> tokens;
  for (std::string t; in >> t;) tokens.push_back(t);
  return tokens;
}

/// Reads the labels line and the n rows; a malformed file is an error message.
std::optional<MatrixFile> ReadMatrix(const std::string& path, std::string& problem) {
  std::ifstream in(path);
  if (!in) {
    problem = "cannot open " + path;
    return std::nullopt;
  }
  MatrixFile file;
  std::vector<std::vector<std::string>> rows;
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    const std::vector<std::string> tokens = Tokens(line);
    if (tokens.empty() || tokens.front().starts_with("#")) continue;
    if (file.labels.empty()) {
      file.labels = tokens;
      continue;
    }
    if (tokens.size() != file.labels.size()) {
      problem = fmt::format("{}:{}: {} values, expected {}", path, number, tokens.size(), file.labels.size());
      return std::nullopt;
    }
    rows.push_back(tokens);
  }
  const auto n = static_cast<std::int32_t>(file.labels.size());
  if (n == 0 || static_cast<std::int32_t>(rows.size()) != n) {
    problem = fmt::format("{}: {} labels but {} rows", path, n, rows.size());
    return std::nullopt;
  }
  file.cells = VariantMatrix(n, n);
  for (std::int32_t i = 1; i <= n; ++i) {
    for (std::int32_t j = 1; j <= n; ++j) {
      const std::string& text = rows[static_cast<std::size_t>(i - 1)][static_cast<std::size_t>(j - 1)];
      const std::optional<double> value = ParseNumber(text);
      if (!value) {
        problem = fmt::format("{}: row {}, column {}: '{}' is not a number", path, i, j, text);
        return std::nullopt;
      }
      file.cells(i, j) = *value;
    }
  }
  return file;
}

// ---- options ----

struct MethodName {
  std::string_view name;
  std::string_view alias;
  std::int32_t code;
  std::string_view title;
};

constexpr MethodName kMethods[] = {
    {"single", "nearest", dezEZuvazozMethNearestNeigh, "nearest neighbour"},
    {"complete", "furthest", dezEZuvazozMethFurthestNeigh, "furthest neighbour"},
    {"average", "group-average", dezEZuvazozMethGroupAvg, "group average"},
    {"centroid", "centroid", dezEZuvazozMethCentroid, "centroid"},
    {"ward", "wards", dezEZuvazozMethWards, "Ward's method"},
    {"flexible", "lance-williams", dezEZuvazozMethLanceWilliams, "flexible (Lance-Williams)"},
};

const MethodName* FindMethod(std::string_view text) {
  for (const MethodName& m : kMethods) {
    if (text == m.name || text == m.alias || text == std::to_string(m.code)) return &m;
  }
  return nullptr;
}

int Usage(int status) {
  fmt::print(status == 0 ? stdout : stderr,
             "usage: analyse_matrix [FILE] [--method single|complete|average|centroid|ward|flexible]"
             " [--similarity]\n");
  return status;
}

std::string ClusterName(const std::vector<std::string>& labels, std::int32_t cluster) {
  const auto n = static_cast<std::int32_t>(labels.size());
  return cluster <= n ? labels[static_cast<std::size_t>(cluster - 1)] : fmt::format("Cluster {}", cluster);
}

}  // namespace

int main(int argc, char** argv) {
  std::string path = DEZ_EXAMPLE_DATA;
  const MethodName* method = FindMethod("average");
  bool similarity = false;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "-h" || arg == "--help") return Usage(0);
    if (arg == "--similarity") {
      similarity = true;
    } else if (arg == "-M" || arg == "--method") {
      if (i + 1 >= argc || (method = FindMethod(argv[++i])) == nullptr) return Usage(2);
    } else if (arg.starts_with("-")) {
      return Usage(2);
    } else {
      path = arg;
    }
  }
  std::string problem;
  const std::optional<MatrixFile> file = ReadMatrix(path, problem);
  if (!file) {
    fmt::print(stderr, "analyse_matrix: {}\n", problem);
    return 2;
  }

  try {
    clsHClusterBO engine(host::DefaultAddinContext());  // the embedded application and library
    engine.ClusterType(similarity ? dezEZuvazozSimilarity : dezEZuvazozDifference);
    engine.Method(method->code);
    engine.Data(file->cells);
    engine.Analyse();

    const Schedule steps = engine.StepMatrix();
    const auto n = static_cast<std::int32_t>(file->labels.size());
    fmt::print("Hierarchical clustering of {} items ({}), {}\n\n", n, similarity ? "similarities" : "distances",
               method->title);
    fmt::print("{:>4}  {:>10}  {:<14}  {:<14}  {:>12}  {:>5}\n", "Step", "New", "Joined", "with", "Level", "Size");
    for (std::int32_t e = n + 1; e <= steps.UBound(); ++e) {
      const ScheduleEntry& step = steps[e];
      fmt::print("{:>4}  {:>10}  {:<14}  {:<14}  {:>12.4f}  {:>5}\n", e - n, fmt::format("Cluster {}", e),
                 ClusterName(file->labels, step.first), ClusterName(file->labels, step.second), step.level,
                 step.size());
    }
    fmt::print("\nLeaf order:");
    for (const std::int32_t item : steps[steps.UBound()].items) fmt::print(" {}", ClusterName(file->labels, item));
    fmt::print("\n\nCophenetic correlation r = {:.6f}, df = {}", engine.CopheneticR(), engine.CopheneticDF());
    // The engine tests only a coefficient below 1 at 15 significant digits.
    if (ParseNumber(FormatGeneral(engine.CopheneticR())).value_or(1.0) < 1.0) {
      fmt::print(", two-tailed P = {:.6g}\n", engine.CopheneticP());
    } else {
      fmt::print(" (the tree reproduces the matrix: no test)\n");
    }
  } catch (const Error& e) {
    fmt::print(stderr, "analyse_matrix: error {}: {}\n  at {}\n", e.number, e.description, e.source);
    return 1;
  }
  return 0;
}
