#include "host/embedded/embedded_characters.h"

#include "host/embedded/characters_font.h"

namespace dez::embedded {

host::FontPtr EmbeddedCharacters::Font() {
  return std::make_shared<CharactersFont>(sheet_, row_, column_, start_, length_);
}

}  // namespace dez::embedded
