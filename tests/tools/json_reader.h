// A small JSON reader for the tests of zynka-render --list --json, so they check what
// the listing says, and that it reads as JSON, however it is spaced. It reads what the
// listing writes: objects, arrays, strings (escapes below U+0080) and numbers.
#pragma once

#include <charconv>
#include <cmath>
#include <cstddef>
#include <optional>
#include <string>
#include <utility>
#include <vector>

struct Json {
  enum class Kind { None, Number, String, Array, Object };
  Kind kind = Kind::None;
  double number = 0;
  std::string string;
  std::vector<Json> items;                            // an array's
  std::vector<std::pair<std::string, Json>> members;  // an object's, in order

  /// The member of this name; a value of Kind::None if there is none.
  const Json& operator[](const std::string& name) const {
    for (const auto& [key, value] : members)
      if (key == name) return value;
    return none();
  }
  const Json& operator[](std::size_t index) const { return index < items.size() ? items[index] : none(); }
  /// An array's strings.
  std::vector<std::string> strings() const {
    std::vector<std::string> out;
    for (const Json& item : items) out.push_back(item.string);
    return out;
  }

 private:
  static const Json& none() {
    static const Json value;
    return value;
  }
};

class JsonReader {
 public:
  /// The text's one value, or nullopt if the text is not one.
  static std::optional<Json> parse(const std::string& text) {
    JsonReader reader(text);
    Json value;
    if (!reader.value(value) || reader.peek() != '\0') return std::nullopt;
    return value;
  }

 private:
  explicit JsonReader(const std::string& text) : text_(text) {}

  /// The next character after white space; '\0' at the end.
  char peek() {
    while (at_ < text_.size() && std::string(" \t\r\n").find(text_[at_]) != std::string::npos) ++at_;
    return at_ < text_.size() ? text_[at_] : '\0';
  }
  bool take(char c) { return peek() == c && (++at_, true); }

  bool value(Json& out) {
    switch (peek()) {
      case '{': return object(out);
      case '[': return array(out);
      case '"':
        out.kind = Json::Kind::String;
        return string(out.string);
      default: return number(out);
    }
  }

  bool object(Json& out) {
    out.kind = Json::Kind::Object;
    ++at_;
    if (take('}')) return true;
    do {
      std::pair<std::string, Json> member;
      if (peek() != '"' || !string(member.first) || !take(':') || !value(member.second)) return false;
      out.members.push_back(std::move(member));
    } while (take(','));
    return take('}');
  }

  bool array(Json& out) {
    out.kind = Json::Kind::Array;
    ++at_;
    if (take(']')) return true;
    do {
      if (!value(out.items.emplace_back())) return false;
    } while (take(','));
    return take(']');
  }

  bool string(std::string& out) {
    static const std::string kEscaped = "\"\\/bfnrt", kMeant = "\"\\/\b\f\n\r\t";
    for (++at_; at_ < text_.size() && text_[at_] != '"'; ++at_) {
      const char c = text_[at_];
      if (static_cast<unsigned char>(c) < 0x20) return false;
      if (c != '\\') {
        out += c;
      } else if (++at_ < text_.size() && kEscaped.find(text_[at_]) != std::string::npos) {
        out += kMeant[kEscaped.find(text_[at_])];
      } else {
        unsigned code = 0x80;
        const char* digits = text_.data() + at_ + 1;
        if (text_.compare(at_, 1, "u") != 0 || at_ + 5 > text_.size() ||
            std::from_chars(digits, digits + 4, code, 16).ptr != digits + 4 || code >= 0x80)
          return false;
        out += static_cast<char>(code);
        at_ += 4;
      }
    }
    return at_++ < text_.size();
  }

  bool number(Json& out) {
    const char* begin = text_.data() + at_;
    const char* end = text_.data() + text_.size();
    if (begin == end || (*begin != '-' && (*begin < '0' || *begin > '9'))) return false;
    const auto [ptr, ec] = std::from_chars(begin, end, out.number);
    out.kind = Json::Kind::Number;
    at_ += static_cast<std::size_t>(ptr - begin);
    return ec == std::errc() && std::isfinite(out.number);
  }

  const std::string& text_;
  std::size_t at_ = 0;
};
