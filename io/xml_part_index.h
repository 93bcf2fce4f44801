// The elements of one XML part with their byte positions, so that a part can be edited by
// splicing text in at known places while every byte not edited stays as it was.
//
//   XmlPartIndex index(xml, maxDepth, fileName, partName, source);
//   for (std::size_t k : index.Children(index.Root(), "sheets")) ...
//   XmlSplicer edits(xml);
//   edits.Insert(index[k].closeBegin, "<sheet .../>");
//   std::string edited = edits.Apply();
//
// Parsed with the hardened XmlStreamParser (no DOCTYPE, no entities). Elements deeper than
// `maxDepth` (the root is depth 0) are not recorded, which keeps big sheets cheap.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace dez::io {

struct XmlElement {
  std::string qualifiedName;  ///< as written, e.g. "x:sheet" or "sheet"
  std::string localName;
  std::size_t parent;  ///< index of the parent element; npos for the root
  int depth;
  std::size_t tagBegin;    ///< '<' of the start tag
  std::size_t tagEnd;      ///< one past the start tag's '>'
  std::size_t closeBegin;  ///< '<' of the end tag; tagEnd for an empty-element tag
  std::size_t closeEnd;    ///< one past the end tag; tagEnd for an empty-element tag
  std::vector<std::pair<std::string, std::string>> attributes;  ///< qualified name, value

  bool Empty() const { return closeEnd == tagEnd; }
  /// The value of the first attribute whose local name is `localName`.
  std::optional<std::string_view> Attribute(std::string_view localName) const;
  /// The namespace prefix with its colon ("x:"), or "".
  std::string Prefix() const;
};

class XmlPartIndex {
 public:
  /// Raises FileError (kMalformed, kHostile) naming `fileName` and `part`.
  XmlPartIndex(const std::string& xml, int maxDepth, const std::string& fileName, const std::string& part,
               const std::string& source);

  const XmlElement& operator[](std::size_t k) const { return elements_[k]; }
  std::size_t size() const { return elements_.size(); }
  static constexpr std::size_t Root() { return 0; }
  /// The children of `parent` with local name `localName` ("" for all), in order.
  std::vector<std::size_t> Children(std::size_t parent, std::string_view localName = {}) const;
  /// The first such child.
  std::optional<std::size_t> Child(std::size_t parent, std::string_view localName) const;

 private:
  std::vector<XmlElement> elements_;
};

/// Edits of one text by position: every edit refers to the original text's offsets.
class XmlSplicer {
 public:
  explicit XmlSplicer(const std::string& text) : text_(text) {}
  void Insert(std::size_t at, std::string text) { Replace(at, at, std::move(text)); }
  void Replace(std::size_t begin, std::size_t end, std::string text) { edits_.push_back({begin, end, std::move(text)}); }
  /// The text with every edit made (edits must not overlap; inserts at one place keep
  /// their order).
  std::string Apply() const;

 private:
  struct Edit {
    std::size_t begin;
    std::size_t end;
    std::string text;
  };
  const std::string& text_;
  std::vector<Edit> edits_;
};

/// `text` with &, <, > and " escaped for an attribute or element.
std::string XmlEscape(std::string_view text);

}  // namespace dez::io
