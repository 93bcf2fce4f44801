// The standard 56-colour palette that colour indexes refer to.
#pragma once

#include <cstdint>
#include <optional>

namespace dez::io {

/// The RGB value (0xRRGGBB) of palette colour `index` 1..56; nothing for any other index
/// (no fill, automatic, out of range).
std::optional<std::uint32_t> PaletteColor(std::int32_t index);

}  // namespace dez::io
