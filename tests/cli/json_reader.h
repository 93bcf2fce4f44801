// A small JSON reader for the tests: enough of RFC 8259 to read hcluster's --json output
// back and to refuse what is not JSON. Numbers are read with strtod, which rounds
// correctly, so a number written with 17 significant digits reads back bit for bit.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace dez::cli::testing {

struct JsonValue;
using JsonArray = std::vector<JsonValue>;
/// Members in the order written, so that tests can check the order of the keys.
using JsonObject = std::vector<std::pair<std::string, JsonValue>>;

struct JsonValue {
  std::variant<std::nullptr_t, bool, double, std::string, std::shared_ptr<JsonArray>, std::shared_ptr<JsonObject>>
      value;

  bool IsNull() const { return std::holds_alternative<std::nullptr_t>(value); }
  bool Boolean() const { return std::get<bool>(value); }
  double Number() const { return std::get<double>(value); }
  const std::string& Text() const { return std::get<std::string>(value); }
  const JsonArray& Array() const { return *std::get<std::shared_ptr<JsonArray>>(value); }
  const JsonObject& Object() const { return *std::get<std::shared_ptr<JsonObject>>(value); }
  /// The member `key` of an object; throws when there is none.
  const JsonValue& operator[](const std::string& key) const {
    for (const auto& [name, member] : Object()) {
      if (name == key) return member;
    }
    throw std::runtime_error("no member " + key);
  }
  /// Element `index` (0-based) of an array.
  const JsonValue& operator[](std::size_t index) const { return Array().at(index); }
};

class JsonReader {
 public:
  /// Reads a whole text; throws std::runtime_error for anything that is not one JSON value.
  static JsonValue Parse(const std::string& text) {
    JsonReader reader(text);
    JsonValue value = reader.Value();
    reader.Blanks();
    if (reader.at_ != text.size()) reader.Fail("text after the value");
    return value;
  }

 private:
  explicit JsonReader(const std::string& text) : text_(text) {}

  [[noreturn]] void Fail(const std::string& what) const {
    throw std::runtime_error("JSON: " + what + " at offset " + std::to_string(at_));
  }
  void Blanks() {
    while (at_ < text_.size() && (text_[at_] == ' ' || text_[at_] == '\n' || text_[at_] == '\r' || text_[at_] == '\t')) {
      ++at_;
    }
  }
  bool Take(char ch) {
    Blanks();
    if (at_ < text_.size() && text_[at_] == ch) {
      ++at_;
      return true;
    }
    return false;
  }
  void Expect(char ch) {
    if (!Take(ch)) Fail(std::string("expected '") + ch + "'");
  }
  bool Word(const char* word) {
    const std::string w(word);
    if (text_.compare(at_, w.size(), w) != 0) return false;
    at_ += w.size();
    return true;
  }

  JsonValue Value() {
    Blanks();
    if (at_ >= text_.size()) Fail("no value");
    const char ch = text_[at_];
    if (ch == '{') return Object();
    if (ch == '[') return Array();
    if (ch == '"') return JsonValue{String()};
    if (Word("null")) return JsonValue{nullptr};
    if (Word("true")) return JsonValue{true};
    if (Word("false")) return JsonValue{false};
    return JsonValue{Number()};
  }

  JsonValue Object() {
    Expect('{');
    auto members = std::make_shared<JsonObject>();
    if (!Take('}')) {
      do {
        Blanks();
        std::string key = String();
        Expect(':');
        members->emplace_back(std::move(key), Value());
      } while (Take(','));
      Expect('}');
    }
    return JsonValue{members};
  }

  JsonValue Array() {
    Expect('[');
    auto elements = std::make_shared<JsonArray>();
    if (!Take(']')) {
      do {
        elements->push_back(Value());
      } while (Take(','));
      Expect(']');
    }
    return JsonValue{elements};
  }

  // The JSON number grammar, checked before strtod reads the text.
  double Number() {
    const std::size_t start = at_;
    const auto digits = [&] {
      const std::size_t from = at_;
      while (at_ < text_.size() && text_[at_] >= '0' && text_[at_] <= '9') ++at_;
      return at_ > from;
    };
    if (at_ < text_.size() && text_[at_] == '-') ++at_;
    if (at_ < text_.size() && text_[at_] == '0') {
      ++at_;
    } else if (!digits()) {
      Fail("not a value");
    }
    if (at_ < text_.size() && text_[at_] == '.') {
      ++at_;
      if (!digits()) Fail("digits expected after '.'");
    }
    if (at_ < text_.size() && (text_[at_] == 'e' || text_[at_] == 'E')) {
      ++at_;
      if (at_ < text_.size() && (text_[at_] == '+' || text_[at_] == '-')) ++at_;
      if (!digits()) Fail("digits expected in the exponent");
    }
    const std::string literal = text_.substr(start, at_ - start);
    return std::strtod(literal.c_str(), nullptr);
  }

  std::string String() {
    if (at_ >= text_.size() || text_[at_] != '"') Fail("expected a string");
    ++at_;
    std::string out;
    while (true) {
      if (at_ >= text_.size()) Fail("unterminated string");
      const char ch = text_[at_++];
      if (ch == '"') return out;
      if (static_cast<unsigned char>(ch) < 0x20) Fail("control character in a string");
      if (ch != '\\') {
        out += ch;
        continue;
      }
      if (at_ >= text_.size()) Fail("unterminated escape");
      const char e = text_[at_++];
      switch (e) {
        case '"': out += '"'; break;
        case '\\': out += '\\'; break;
        case '/': out += '/'; break;
        case 'b': out += '\b'; break;
        case 'f': out += '\f'; break;
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 't': out += '\t'; break;
        case 'u': {
          if (at_ + 4 > text_.size()) Fail("short \\u escape");
          const unsigned code = static_cast<unsigned>(std::stoul(text_.substr(at_, 4), nullptr, 16));
          at_ += 4;
          if (code < 0x80) {
            out += static_cast<char>(code);
          } else if (code < 0x800) {
            out += static_cast<char>(0xC0 | (code >> 6));
            out += static_cast<char>(0x80 | (code & 0x3F));
          } else {
            out += static_cast<char>(0xE0 | (code >> 12));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
          }
          break;
        }
        default: Fail("unknown escape");
      }
    }
  }

  const std::string& text_;
  std::size_t at_ = 0;
};

}  // namespace dez::cli::testing
