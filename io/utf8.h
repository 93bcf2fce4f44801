// UTF-8 helpers shared by the readers, the writer and the text renderer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace dez::io {

/// Offset of the first byte that does not start a well-formed UTF-8 sequence (overlong
/// forms, surrogates and code points past U+10FFFF are ill-formed), or npos when the
/// whole text is valid.
std::size_t FindInvalidUtf8(std::string_view text);

/// Decodes the code point at `pos` of valid UTF-8 and advances `pos` past it. On an
/// ill-formed byte it yields U+FFFD and advances by one byte.
char32_t DecodeUtf8(std::string_view text, std::size_t& pos);

/// Appends the UTF-8 form of `cp` (a scalar value; anything else appends U+FFFD).
void AppendUtf8(std::string& out, char32_t cp);

/// Number of code points of valid UTF-8 text.
std::size_t CountCodePoints(std::string_view text);

/// Columns a terminal gives the text: one per code point, two for wide East Asian
/// ideographs, syllables and full-width forms, none for combining marks and controls.
std::size_t DisplayWidth(std::string_view text);

/// The longest prefix of `text` that fits in `columns` terminal columns, never splitting
/// a code point.
std::string_view PrefixByWidth(std::string_view text, std::size_t columns);

}  // namespace dez::io
