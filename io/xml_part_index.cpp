#include "io/xml_part_index.h"

#include <algorithm>

#include "io/xml_handler.h"
#include "io/xml_stream_parser.h"

namespace dez::io {

namespace {

constexpr std::size_t kNone = static_cast<std::size_t>(-1);

class IndexingHandler : public XmlHandler {
 public:
  IndexingHandler(const std::string& xml, int maxDepth, std::vector<XmlElement>& out)
      : xml_(xml), maxDepth_(maxDepth), out_(out) {}
  void Attach(const XmlStreamParser& parser) { parser_ = &parser; }

  void StartElement(std::string_view localName, const XmlAttributes& attributes) override {
    const int depth = static_cast<int>(open_.size());
    if (depth > maxDepth_) {
      open_.push_back(kNone);
      return;
    }
    const auto begin = static_cast<std::size_t>(parser_->EventOffset());
    const auto end = begin + static_cast<std::size_t>(parser_->EventLength());
    XmlElement element;
    std::size_t nameEnd = begin + 1;
    while (nameEnd < end && xml_[nameEnd] != ' ' && xml_[nameEnd] != '\t' && xml_[nameEnd] != '\r' &&
           xml_[nameEnd] != '\n' && xml_[nameEnd] != '/' && xml_[nameEnd] != '>') {
      ++nameEnd;
    }
    element.qualifiedName = xml_.substr(begin + 1, nameEnd - begin - 1);
    element.localName = std::string(localName);
    element.parent = open_.empty() ? kNone : open_.back();
    element.depth = depth;
    element.tagBegin = begin;
    element.tagEnd = end;
    element.closeBegin = end;
    element.closeEnd = end;
    attributes.ForEach([&](std::string_view name, std::string_view value) {
      element.attributes.emplace_back(std::string(name), std::string(value));
    });
    open_.push_back(out_.size());
    out_.push_back(std::move(element));
  }

  void EndElement(std::string_view) override {
    const std::size_t k = open_.back();
    open_.pop_back();
    if (k == kNone) return;
    const auto length = static_cast<std::size_t>(parser_->EventLength());
    if (length == 0) return;  // the end of an empty-element tag
    out_[k].closeBegin = static_cast<std::size_t>(parser_->EventOffset());
    out_[k].closeEnd = out_[k].closeBegin + length;
  }
  void Characters(std::string_view) override {}

 private:
  const std::string& xml_;
  int maxDepth_;
  std::vector<XmlElement>& out_;
  std::vector<std::size_t> open_;
  const XmlStreamParser* parser_ = nullptr;
};

}  // namespace

std::optional<std::string_view> XmlElement::Attribute(std::string_view localName) const {
  for (const auto& [name, value] : attributes) {
    if (LocalName(name) == localName) return std::string_view(value);
  }
  return std::nullopt;
}

std::string XmlElement::Prefix() const {
  const std::size_t colon = qualifiedName.find(':');
  return colon == std::string::npos ? std::string() : qualifiedName.substr(0, colon + 1);
}

XmlPartIndex::XmlPartIndex(const std::string& xml, int maxDepth, const std::string& fileName,
                           const std::string& part, const std::string& source) {
  IndexingHandler handler(xml, maxDepth, elements_);
  XmlStreamParser parser(handler, fileName, FileLocation{{}, 0, 0, part}, source);
  handler.Attach(parser);
  parser.Feed(xml);
  parser.Finish();
  if (elements_.empty()) {
    throw FileError(FileErrorKind::kMalformed, fileName, FileLocation{{}, 0, 0, part}, "the part has no element",
                    source);
  }
}

std::vector<std::size_t> XmlPartIndex::Children(std::size_t parent, std::string_view localName) const {
  std::vector<std::size_t> out;
  for (std::size_t k = parent + 1; k < elements_.size() && elements_[k].depth > elements_[parent].depth; ++k) {
    if (elements_[k].parent == parent && (localName.empty() || elements_[k].localName == localName)) out.push_back(k);
  }
  return out;
}

std::optional<std::size_t> XmlPartIndex::Child(std::size_t parent, std::string_view localName) const {
  for (std::size_t k = parent + 1; k < elements_.size() && elements_[k].depth > elements_[parent].depth; ++k) {
    if (elements_[k].parent == parent && elements_[k].localName == localName) return k;
  }
  return std::nullopt;
}

std::string XmlSplicer::Apply() const {
  std::vector<const Edit*> order;
  for (const Edit& edit : edits_) order.push_back(&edit);
  std::stable_sort(order.begin(), order.end(), [](const Edit* a, const Edit* b) { return a->begin < b->begin; });
  std::string out;
  std::size_t at = 0;
  for (const Edit* edit : order) {
    out.append(text_, at, edit->begin - at).append(edit->text);
    at = std::max(at, edit->end);
  }
  out.append(text_, at, std::string::npos);
  return out;
}

std::string XmlEscape(std::string_view text) {
  std::string out;
  for (const char ch : text) {
    switch (ch) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: out += ch;
    }
  }
  return out;
}

}  // namespace dez::io
