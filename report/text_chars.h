// Counting and cutting UTF-8 text by characters (code points), as cell texts and their
// character runs are measured.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace dez::report_detail {

/// The number of characters of a UTF-8 text: every byte that does not continue a
/// multi-byte sequence starts a character.
std::int32_t CharCount(std::string_view text);

/// The first `count` characters of a UTF-8 text (all of it when shorter; none for a
/// count of 0 or below).
std::string LeftChars(std::string_view text, std::int32_t count);

}  // namespace dez::report_detail
