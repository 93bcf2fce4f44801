// What a streaming XML parser calls: elements by local name, and their text.
#pragma once

#include <string_view>

#include "io/xml_attributes.h"

namespace dez::io {

class XmlHandler {
 public:
  virtual ~XmlHandler() = default;
  /// A start tag; `localName` has any namespace prefix removed.
  virtual void StartElement(std::string_view localName, const XmlAttributes& attributes) = 0;
  /// An end tag (also after an empty-element tag).
  virtual void EndElement(std::string_view localName) = 0;
  /// A piece of character data; one text node may arrive in several pieces.
  virtual void Characters(std::string_view text) = 0;
};

}  // namespace dez::io
