#include "io/utf8.h"

namespace dez::io {

namespace {

/// Length of the well-formed sequence at `pos`, or 0 when it is ill-formed (the table of
/// well-formed byte sequences of the Unicode standard, section 3.9).
std::size_t SequenceLength(std::string_view text, std::size_t pos) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const std::size_t left = text.size() - pos;
  const unsigned char b0 = byte(pos);
  if (b0 < 0x80) return 1;
  const auto cont = [&](std::size_t i, unsigned char lo, unsigned char hi) {
    return i < text.size() && byte(i) >= lo && byte(i) <= hi;
  };
  if (b0 >= 0xC2 && b0 <= 0xDF) return left >= 2 && cont(pos + 1, 0x80, 0xBF) ? 2 : 0;
  if (b0 >= 0xE0 && b0 <= 0xEF) {
    const unsigned char lo = b0 == 0xE0 ? 0xA0 : 0x80;  // no overlong forms
    const unsigned char hi = b0 == 0xED ? 0x9F : 0xBF;  // no surrogates
    return cont(pos + 1, lo, hi) && cont(pos + 2, 0x80, 0xBF) ? 3 : 0;
  }
  if (b0 >= 0xF0 && b0 <= 0xF4) {
    const unsigned char lo = b0 == 0xF0 ? 0x90 : 0x80;  // no overlong forms
    const unsigned char hi = b0 == 0xF4 ? 0x8F : 0xBF;  // nothing past U+10FFFF
    return cont(pos + 1, lo, hi) && cont(pos + 2, 0x80, 0xBF) && cont(pos + 3, 0x80, 0xBF) ? 4 : 0;
  }
  return 0;
}

bool IsWide(char32_t cp) {
  return (cp >= 0x1100 && cp <= 0x115F) || (cp >= 0x2E80 && cp <= 0x303E) || (cp >= 0x3041 && cp <= 0x33FF) ||
         (cp >= 0x3400 && cp <= 0x4DBF) || (cp >= 0x4E00 && cp <= 0x9FFF) || (cp >= 0xA000 && cp <= 0xA4CF) ||
         (cp >= 0xAC00 && cp <= 0xD7A3) || (cp >= 0xF900 && cp <= 0xFAFF) || (cp >= 0xFE30 && cp <= 0xFE4F) ||
         (cp >= 0xFF00 && cp <= 0xFF60) || (cp >= 0xFFE0 && cp <= 0xFFE6) || (cp >= 0x1F300 && cp <= 0x1F64F) ||
         (cp >= 0x1F900 && cp <= 0x1F9FF) || (cp >= 0x20000 && cp <= 0x3FFFD);
}

bool IsZeroWidth(char32_t cp) {
  return cp < 0x20 || (cp >= 0x7F && cp < 0xA0) || (cp >= 0x0300 && cp <= 0x036F) || (cp >= 0x200B && cp <= 0x200F) ||
         (cp >= 0xFE00 && cp <= 0xFE0F) || cp == 0xFEFF;
}

std::size_t CodePointWidth(char32_t cp) {
  if (IsZeroWidth(cp)) return 0;
  return IsWide(cp) ? 2 : 1;
}

}  // namespace

std::size_t FindInvalidUtf8(std::string_view text) {
  std::size_t pos = 0;
  while (pos < text.size()) {
    // Fast path over ASCII.
    if (static_cast<unsigned char>(text[pos]) < 0x80) {
      ++pos;
      continue;
    }
    const std::size_t n = SequenceLength(text, pos);
    if (n == 0) return pos;
    pos += n;
  }
  return std::string_view::npos;
}

char32_t DecodeUtf8(std::string_view text, std::size_t& pos) {
  const std::size_t n = SequenceLength(text, pos);
  const auto byte = [&](std::size_t i) { return static_cast<char32_t>(static_cast<unsigned char>(text[pos + i])); };
  char32_t cp = 0xFFFD;
  switch (n) {
    case 1: cp = byte(0); break;
    case 2: cp = ((byte(0) & 0x1F) << 6) | (byte(1) & 0x3F); break;
    case 3: cp = ((byte(0) & 0x0F) << 12) | ((byte(1) & 0x3F) << 6) | (byte(2) & 0x3F); break;
    case 4:
      cp = ((byte(0) & 0x07) << 18) | ((byte(1) & 0x3F) << 12) | ((byte(2) & 0x3F) << 6) | (byte(3) & 0x3F);
      break;
    default: break;
  }
  pos += n == 0 ? 1 : n;
  return cp;
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = 0xFFFD;
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

std::size_t CountCodePoints(std::string_view text) {
  std::size_t count = 0;
  for (const char ch : text) {
    if ((static_cast<unsigned char>(ch) & 0xC0) != 0x80) ++count;
  }
  return count;
}

std::size_t DisplayWidth(std::string_view text) {
  std::size_t width = 0;
  std::size_t pos = 0;
  while (pos < text.size()) width += CodePointWidth(DecodeUtf8(text, pos));
  return width;
}

std::string_view PrefixByWidth(std::string_view text, std::size_t columns) {
  std::size_t width = 0;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t next = pos;
    const std::size_t w = CodePointWidth(DecodeUtf8(text, next));
    if (width + w > columns) break;
    width += w;
    pos = next;
  }
  return text.substr(0, pos);
}

}  // namespace dez::io
