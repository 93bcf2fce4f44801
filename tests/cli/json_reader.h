// A small, strict JSON reader (RFC 8259) for the tests: enough to read hcluster's --json
// output back and to refuse what is not JSON. Numbers are read with strtod, which rounds
// correctly, so a number written with 17 significant digits reads back bit for bit.
#pragma once

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <regex>
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
    if (reader.Blanks() != text.size()) reader.Fail("text after the value");
    return value;
  }

 private:
  explicit JsonReader(const std::string& text) : text_(text) {}

  [[noreturn]] void Fail(const std::string& what) const {
    throw std::runtime_error("JSON: " + what + " at offset " + std::to_string(at_));
  }
  std::size_t Blanks() {
    at_ = std::min(text_.find_first_not_of(" \n\r\t", at_), text_.size());
    return at_;
  }
  bool Take(char ch) {
    const bool taken = Blanks() < text_.size() && text_[at_] == ch;
    at_ += taken ? 1 : 0;
    return taken;
  }
  void Expect(char ch) {
    if (!Take(ch)) Fail(std::string("expected '") + ch + "'");
  }

  JsonValue Value() {
    if (Blanks() >= text_.size()) Fail("no value");
    for (const auto& [word, value] : {std::pair<const char*, JsonValue>{"null", {nullptr}}, {"true", {true}},
                                      {"false", {false}}}) {
      if (text_.compare(at_, std::char_traits<char>::length(word), word) == 0) {
        at_ += std::char_traits<char>::length(word);
        return value;
      }
    }
    if (Take('"')) return JsonValue{String()};
    if (Take('[')) {
      auto elements = std::make_shared<JsonArray>();
      if (!Take(']')) {
        do elements->push_back(Value());
        while (Take(','));
        Expect(']');
      }
      return JsonValue{elements};
    }
    if (Take('{')) {
      auto members = std::make_shared<JsonObject>();
      if (!Take('}')) {
        do {
          Expect('"');
          std::string key = String();
          Expect(':');
          members->emplace_back(std::move(key), Value());
        } while (Take(','));
        Expect('}');
      }
      return JsonValue{members};
    }
    // The number grammar, checked before strtod reads the text.
    static const std::regex number("-?(0|[1-9][0-9]*)(\\.[0-9]+)?([eE][+-]?[0-9]+)?");
    std::smatch match;
    if (!std::regex_search(text_.begin() + static_cast<std::ptrdiff_t>(at_), text_.end(), match, number,
                           std::regex_constants::match_continuous)) {
      Fail("not a value");
    }
    at_ += static_cast<std::size_t>(match.length(0));
    return JsonValue{std::strtod(match.str(0).c_str(), nullptr)};
  }

  /// The rest of a string whose opening quote was read.
  std::string String() {
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
      const char e = at_ < text_.size() ? text_[at_++] : '?';
      const std::string simple = "\"\\/bfnrt";
      const std::size_t k = simple.find(e);
      if (k != std::string::npos) {
        out += "\"\\/\b\f\n\r\t"[k];
      } else if (e == 'u' && at_ + 4 <= text_.size()) {
        const unsigned code = static_cast<unsigned>(std::stoul(text_.substr(at_, 4), nullptr, 16));
        at_ += 4;
        if (code < 0x80) {
          out += static_cast<char>(code);
        } else if (code < 0x800) {
          out += {static_cast<char>(0xC0 | (code >> 6)), static_cast<char>(0x80 | (code & 0x3F))};
        } else {
          out += {static_cast<char>(0xE0 | (code >> 12)), static_cast<char>(0x80 | ((code >> 6) & 0x3F)),
                  static_cast<char>(0x80 | (code & 0x3F))};
        }
      } else {
        Fail("unknown escape");
      }
    }
  }

  const std::string& text_;
  std::size_t at_ = 0;
};

}  // namespace dez::cli::testing
