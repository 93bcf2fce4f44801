#include "io/terminal_text.h"

namespace dez::io {

std::string TerminalText(const std::string& text, bool blankBreaks) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (byte == '\n' || byte == '\r' || byte == '\t') {
      out += blankBreaks ? ' ' : static_cast<char>(byte);
    } else if (byte < 0x20 || byte == 0x7F) {
      out += "\\x";
      out += kHex[byte >> 4];
      out += kHex[byte & 0xF];
    } else if (byte == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
               static_cast<unsigned char>(text[i + 1]) <= 0x9F) {
      const auto unit = static_cast<unsigned char>(text[++i]);
      out += "\\u00";
      out += kHex[unit >> 4];
      out += kHex[unit & 0xF];
    } else {
      out += static_cast<char>(byte);
    }
  }
  return out;
}

}  // namespace dez::io
