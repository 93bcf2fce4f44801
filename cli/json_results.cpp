#include "cli/json_results.h"

#include <fmt/format.h>

#include <cmath>
#include <optional>

#include "cli/tree_layouts.h"
#include "runtime/variant.h"

namespace dez::cli {

namespace {

/// Collects text and hands it to the stream in pieces of about 64 KiB.
class JsonOut {
 public:
  explicit JsonOut(std::ostream& out) : out_(out) {}
  ~JsonOut() { Flush(); }
  JsonOut(const JsonOut&) = delete;
  JsonOut& operator=(const JsonOut&) = delete;

  JsonOut& operator<<(std::string_view text) {
    text_ += text;
    if (text_.size() >= (1u << 16)) Flush();
    return *this;
  }
  void Flush() {
    out_ << text_;
    text_.clear();
  }

 private:
  std::ostream& out_;
  std::string text_;
};

std::string OptionalText(const std::optional<std::string>& text) { return text ? JsonString(*text) : "null"; }

template <typename Sequence, typename Format>
std::string JsonList(const Sequence& values, Format format) {
  std::string out = "[";
  bool first = true;
  for (const auto& value : values) {
    if (!first) out += ", ";
    first = false;
    out += format(value);
  }
  return out + "]";
}

void WriteInput(JsonOut& json, const InputDescription& input) {
  json << "{\"input\": {\"file\": " << JsonString(input.file) << ", \"range\": " << JsonString(input.range)
       << ", \"type\": " << JsonString(input.type) << ",\n   \"measure\": " << OptionalText(input.measure)
       << ", \"measure_text\": " << OptionalText(input.measureText) << ",\n   \"method\": " << JsonString(input.method)
       << ", \"method_text\": " << JsonString(input.methodText)
       << ", \"power\": " << (input.power ? std::to_string(*input.power) : std::string("null"))
       << ",\n   \"standardization\": " << OptionalText(input.standardization)
       << ", \"labels\": " << (input.labels ? "true" : "false") << ", \"variables\": "
       << (input.variables ? JsonList(*input.variables, JsonString) : std::string("null")) << "},\n ";
}

void WriteMembership(JsonOut& json, const JsonAdditions& additions) {
  json << ",\n \"membership\": {";
  std::string ties;
  if (additions.memberships != nullptr) {
    bool first = true;
    for (const ClusterCut& cut : *additions.memberships) {
      json << (first ? "\n   \"" : ",\n   \"") << std::to_string(cut.k) << "\": ";
      first = false;
      json << JsonList(cut.clusterOfItem, [](std::int32_t c) { return std::to_string(c); });
      if (!cut.tiedSteps.empty()) {
        ties += fmt::format("{}\"{}\": {{\"steps\": {}, \"level\": {}}}", ties.empty() ? "" : ", ", cut.k,
                            JsonList(cut.tiedSteps, [](std::int32_t s) { return std::to_string(s); }),
                            JsonNumber(cut.tieLevel));
      }
    }
  }
  json << "},\n \"membership_ties\": {" << ties << "},\n \"cut\": ";
  if (additions.cutLevel && additions.cutClusters) {
    json << "{\"level\": " << JsonNumber(*additions.cutLevel) << ", \"clusters\": " << std::to_string(*additions.cutClusters)
         << "}";
  } else {
    json << "null";
  }
}

/// "linkage", "merge", "height" and "order": the tree in SciPy's and R's layouts.
void WriteTreeLayouts(JsonOut& json, const clsHClusterBO& engine, std::int32_t n, double maxVal,
                      const JsonAdditions& additions) {
  const Schedule& steps = engine.StepMatrixView();
  const HeightScale scale = HeightScaleOf(additions.method, engine.Difference());
  json << ",\n \"height_scale\": " << JsonString(std::string(HeightScaleName(scale)));
  const bool built = !steps.empty() && n >= 1 && steps.UBound() == 2 * n - 1;
  const std::vector<double> heights = built ? TreeHeights(steps, n, scale, maxVal) : std::vector<double>{};

  json << ",\n \"linkage\": [";
  if (built) {
    const std::vector<LinkageRow> rows = SciPyLinkage(steps, n, heights);
    for (std::size_t r = 0; r < rows.size(); ++r) {
      json << (r > 0 ? ",\n   " : "\n   ")
           << fmt::format("[{}, {}, {}, {}]", rows[r].a, rows[r].b, JsonNumber(rows[r].height), rows[r].size);
    }
    if (!rows.empty()) json << "\n ";
  }
  json << "],\n \"merge\": [";
  if (built) {
    const auto merge = RMerge(steps, n);
    for (std::size_t r = 0; r < merge.size(); ++r) {
      json << (r > 0 ? ",\n   " : "\n   ") << fmt::format("[{}, {}]", merge[r][0], merge[r][1]);
    }
    if (!merge.empty()) json << "\n ";
  }
  json << "],\n \"height\": " << JsonList(heights, JsonNumber) << ",\n \"order\": ";
  if (built) {
    json << JsonList(steps[steps.UBound()].items, [](std::int32_t i) { return std::to_string(i); });
  } else {
    json << "[]";
  }
}

}  // namespace

std::string JsonNumber(double value) {
  if (!std::isfinite(value)) return "null";
  return fmt::format("{:.17g}", value);
}

std::string JsonString(const std::string& text) {
  std::string out = "\"";
  for (const char ch : text) {
    switch (ch) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (static_cast<unsigned char>(ch) < 0x20) {
          out += fmt::format("\\u{:04x}", static_cast<unsigned>(static_cast<unsigned char>(ch)));
        } else {
          out += ch;  // UTF-8 bytes pass unchanged
        }
    }
  }
  return out + "\"";
}

bool CopheneticPComputed(const clsHClusterBO& engine) {
  if (engine.Undefined()) return false;
  // The engine's own rule: the test is made when R, rounded to 15 significant digits, is
  // below 1.
  const std::optional<double> rounded = ParseNumber(FormatGeneral(engine.CopheneticR()));
  return rounded && *rounded < 1.0;
}

void WriteResultsJson(std::ostream& out, const clsHClusterBO& engine, const StringArray& labels, double minVal,
                      double maxVal, const JsonAdditions& additions) {
  JsonOut json(out);
  if (additions.input != nullptr) {
    WriteInput(json, *additions.input);
  } else {
    json << "{";
  }
  json << "\"labels\": [";
  for (std::int32_t i = 1; i <= labels.UBound(); ++i) {
    if (i > 1) json << ", ";
    json << JsonString(labels.At(i));
  }
  json << "],\n \"difference\": " << (engine.Difference() ? "true" : "false")
       << ", \"undefined\": " << (engine.Undefined() ? "true" : "false");

  json << ",\n \"distance_matrix\": ";
  const DoubleMatrix& matrix = engine.DistanceMatrixView();
  if (!additions.writeMatrix) {
    json << "null";
  } else {
    json << "[";
    std::string row;
    for (std::int32_t i = 1; i <= matrix.rows(); ++i) {
      row = i > 1 ? ",\n   [" : "\n   [";
      for (std::int32_t j = 1; j <= matrix.cols(); ++j) {
        if (j > 1) row += ", ";
        row += JsonNumber(matrix(i, j));
      }
      json << row << "]";
    }
    json << (matrix.rows() > 0 ? "\n ]" : "]");
  }

  json << ",\n \"schedule\": [";
  const Schedule& steps = engine.StepMatrixView();
  for (std::int32_t e = 1; e <= steps.UBound(); ++e) {
    const ScheduleEntry& entry = steps[e];
    json << (e > 1 ? ",\n   " : "\n   ")
         << fmt::format("{{\"entry\": {}, \"first\": {}, \"second\": {}, \"items\": ", e, entry.first, entry.second)
         << JsonList(entry.items, [](std::int32_t i) { return std::to_string(i); })
         << ", \"level\": " << JsonNumber(entry.level) << ", \"position\": " << JsonNumber(entry.position) << "}";
  }
  json << (steps.UBound() > 0 ? "\n ]" : "]");

  json << ",\n \"min_val\": " << JsonNumber(minVal) << ", \"max_val\": " << JsonNumber(maxVal);
  json << ",\n \"cophenetic\": {\"r\": " << JsonNumber(engine.CopheneticR())
       << ", \"df\": " << std::to_string(engine.CopheneticDF()) << ", \"p\": "
       << (CopheneticPComputed(engine) ? JsonNumber(engine.CopheneticP()) : std::string("null")) << "}";
  WriteMembership(json, additions);
  WriteTreeLayouts(json, engine, labels.UBound(), maxVal, additions);
  if (!additions.dataMembers.empty()) json << ",\n " << additions.dataMembers;
  json << "}\n";
}

}  // namespace dez::cli
