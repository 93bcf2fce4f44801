// The attributes of one XML start tag as the streaming parser delivers them.
#pragma once

#include <optional>
#include <string_view>

namespace dez::io {

/// The local part of a qualified name: "x:c" gives "c", "c" stays "c".
inline std::string_view LocalName(std::string_view qualified) {
  const std::size_t colon = qualified.rfind(':');
  return colon == std::string_view::npos ? qualified : qualified.substr(colon + 1);
}

/// A view of expat's attribute array (name, value, name, value, ..., null); valid only
/// during the start-element call.
class XmlAttributes {
 public:
  explicit XmlAttributes(const char** pairs) : pairs_(pairs) {}

  /// The value of the first attribute whose local name is `localName` (so "r:id" matches
  /// "id"), if any.
  std::optional<std::string_view> Find(std::string_view localName) const {
    for (const char** p = pairs_; p != nullptr && *p != nullptr; p += 2) {
      if (LocalName(p[0]) == localName) return std::string_view(p[1]);
    }
    return std::nullopt;
  }

  /// Calls `visit(name, value)` for every attribute, in document order.
  template <typename Visit>
  void ForEach(Visit&& visit) const {
    for (const char** p = pairs_; p != nullptr && *p != nullptr; p += 2) visit(std::string_view(p[0]), std::string_view(p[1]));
  }

  /// The value of the attribute whose full name is exactly `name` ("r", "t"), if any.
  std::optional<std::string_view> FindExact(std::string_view name) const {
    for (const char** p = pairs_; p != nullptr && *p != nullptr; p += 2) {
      if (name == p[0]) return std::string_view(p[1]);
    }
    return std::nullopt;
  }

 private:
  const char** pairs_;
};

}  // namespace dez::io
