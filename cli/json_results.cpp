#include "cli/json_results.h"

#include <fmt/format.h>

#include <cmath>
#include <optional>

#include "runtime/variant.h"

namespace dez::cli {

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

std::string ResultsJson(const clsHClusterBO& engine, const StringArray& labels, double minVal, double maxVal) {
  std::string out = "{\"labels\": [";
  for (std::int32_t i = 1; i <= labels.UBound(); ++i) {
    if (i > 1) out += ", ";
    out += JsonString(labels.At(i));
  }
  out += "],\n \"difference\": ";
  out += engine.Difference() ? "true" : "false";
  out += ", \"undefined\": ";
  out += engine.Undefined() ? "true" : "false";

  out += ",\n \"distance_matrix\": [";
  const DoubleMatrix& matrix = engine.DistanceMatrixView();
  for (std::int32_t i = 1; i <= matrix.rows(); ++i) {
    out += i > 1 ? ",\n   [" : "\n   [";
    for (std::int32_t j = 1; j <= matrix.cols(); ++j) {
      if (j > 1) out += ", ";
      out += JsonNumber(matrix(i, j));
    }
    out += "]";
  }
  out += matrix.rows() > 0 ? "\n ]" : "]";

  out += ",\n \"schedule\": [";
  const Schedule& steps = engine.StepMatrixView();
  for (std::int32_t e = 1; e <= steps.UBound(); ++e) {
    const ScheduleEntry& entry = steps[e];
    out += e > 1 ? ",\n   " : "\n   ";
    out += fmt::format("{{\"entry\": {}, \"first\": {}, \"second\": {}, \"items\": [", e, entry.first, entry.second);
    for (std::size_t k = 0; k < entry.items.size(); ++k) {
      if (k > 0) out += ", ";
      out += std::to_string(entry.items[k]);
    }
    out += "], \"level\": " + JsonNumber(entry.level) + ", \"position\": " + JsonNumber(entry.position) + "}";
  }
  out += steps.UBound() > 0 ? "\n ]" : "]";

  out += ",\n \"min_val\": " + JsonNumber(minVal) + ", \"max_val\": " + JsonNumber(maxVal);
  out += ",\n \"cophenetic\": {\"r\": " + JsonNumber(engine.CopheneticR()) +
         ", \"df\": " + std::to_string(engine.CopheneticDF()) +
         ", \"p\": " + (CopheneticPComputed(engine) ? JsonNumber(engine.CopheneticP()) : std::string("null")) + "}}\n";
  return out;
}

}  // namespace dez::cli
