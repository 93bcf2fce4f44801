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

std::string DataJsonMembers(const std::vector<std::string>& variables, const std::vector<std::string>* dropped) {
  std::string members;
  const auto add = [&members](const std::string& member) { members += (members.empty() ? "" : ", ") + member; };
  if (!variables.empty()) add("\"variables\": " + JsonTexts(variables));
  if (dropped != nullptr) add("\"dropped\": " + JsonTexts(*dropped));
  return members;
}

}  // namespace dez::cli
