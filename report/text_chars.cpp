#include "report/text_chars.h"

namespace dez::report_detail {

namespace {
bool ContinuesSequence(char byte) { return (static_cast<unsigned char>(byte) & 0xC0U) == 0x80U; }
}  // namespace

std::int32_t CharCount(std::string_view text) {
  std::int32_t count = 0;
  for (const char byte : text) {
    if (!ContinuesSequence(byte)) ++count;
  }
  return count;
}

std::string LeftChars(std::string_view text, std::int32_t count) {
  if (count <= 0) return {};
  std::size_t end = 0;
  std::int32_t taken = 0;
  while (end < text.size()) {
    if (!ContinuesSequence(text[end])) {
      if (taken == count) break;
      ++taken;
    }
    ++end;
  }
  return std::string(text.substr(0, end));
}

}  // namespace dez::report_detail
