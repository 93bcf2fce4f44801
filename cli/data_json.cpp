#include "cli/data_json.h"

#include "cli/json_results.h"

namespace dez::cli {

namespace {
std::string JsonTexts(const std::vector<std::string>& texts) {
  std::string out = "[";
  for (std::size_t i = 0; i < texts.size(); ++i) out += (i ? ", " : "") + JsonString(texts[i]);
  return out + "]";
}
}  // namespace

std::string DataJsonMembers(const std::vector<std::string>& variables, const std::vector<std::string>& dropped,
                            Standardization standardization) {
  return "\"variables\": " + JsonTexts(variables) + ", \"dropped\": " + JsonTexts(dropped) +
         ", \"standardisation\": " + JsonString(std::string(StandardizationName(standardization)));
}

std::string WithDataMembers(std::string json, const std::string& members) {
  const std::size_t close = json.rfind('}');
  if (close == std::string::npos) return json;
  json.insert(close, ",\n " + members);
  return json;
}

}  // namespace dez::cli
