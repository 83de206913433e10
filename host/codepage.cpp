#include "host/codepage.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <nlohmann/json.hpp>

namespace vx70::codepage {

namespace {

constexpr const char* kCodePage = "WINDOWS-1252";
constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

// One direction of iconv, opened once a thread (a descriptor keeps state
// and must not be shared between threads).
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
    if (cd_ == reinterpret_cast<iconv_t>(-1))
      throw std::runtime_error(std::string("the C library cannot convert ") + from + " to " + to);
  }
  ~Converter() { iconv_close(cd_); }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // Appends the conversion of `in` to `out` up to the first sequence that
  // does not convert; returns how many bytes of `in` were converted.
  std::size_t run(std::string_view in, std::string& out) {
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    char* from = const_cast<char*>(in.data());
    std::size_t left = in.size();
    char buffer[1024];
    for (;;) {
      char* to = buffer;
      std::size_t room = sizeof buffer;
      std::size_t result = iconv(cd_, &from, &left, &to, &room);
      out.append(buffer, static_cast<std::size_t>(to - buffer));
      if (result != static_cast<std::size_t>(-1) || errno != E2BIG) return in.size() - left;
    }
  }

 private:
  iconv_t cd_;
};

Converter& fromCodePage() {
  thread_local Converter c("UTF-8", kCodePage);
  return c;
}

Converter& toCodePage() {
  thread_local Converter c(kCodePage, "UTF-8");
  return c;
}

Converter& toCodePoints() {
  thread_local Converter c("UTF-32LE", "UTF-8");
  return c;
}

bool isAscii(std::string_view text) {
  return std::all_of(text.begin(), text.end(),
                     [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// The unassigned bytes of Windows-1252, which Windows maps to the C1
// control characters of the same value.
bool isUnassigned(unsigned c) {
  return c == 0x81 || c == 0x8D || c == 0x8F || c == 0x90 || c == 0x9D;
}

struct Character {
  std::size_t length = 0;  // 0: no valid UTF-8 character starts here
  char32_t codePoint = 0;
};

// The UTF-8 character that starts the text.
Character firstCharacter(std::string_view text) {
  for (std::size_t length = 1; length <= std::min<std::size_t>(4, text.size()); ++length) {
    std::string point;
    if (toCodePoints().run(text.substr(0, length), point) == length && point.size() == 4) {
      auto byte = [&](int i) {
        return static_cast<char32_t>(static_cast<unsigned char>(point[i]));
      };
      return {length, byte(0) | byte(1) << 8 | byte(2) << 16 | byte(3) << 24};
    }
  }
  return {};
}

std::string noPlaceFor(std::string_view character, char32_t codePoint) {
  char name[16];
  std::snprintf(name, sizeof name, "U+%04X", static_cast<unsigned>(codePoint));
  return "\"" + std::string(character) + "\" (" + name +
         ") has no place in the Windows code page (Windows-1252)";
}

}  // namespace

std::string toUtf8(std::string_view text) {
  if (isAscii(text)) return std::string(text);
  std::string out;
  for (std::size_t at = 0; at < text.size();) {
    at += fromCodePage().run(text.substr(at), out);
    if (at == text.size()) break;
    auto byte = static_cast<unsigned char>(text[at++]);
    if (isUnassigned(byte)) {
      out += '\xC2';
      out += static_cast<char>(byte);
    } else {
      out += kReplacement;
    }
  }
  return out;
}

std::string fromUtf8(std::string_view text) {
  if (isAscii(text)) return std::string(text);
  std::string out;
  for (std::size_t at = 0; at < text.size();) {
    at += toCodePage().run(text.substr(at), out);
    if (at == text.size()) break;
    Character c = firstCharacter(text.substr(at));
    if (c.length == 0) throw TextError("the text is not UTF-8");
    if (!isUnassigned(c.codePoint))
      throw TextError(noPlaceFor(text.substr(at, c.length), c.codePoint));
    out += static_cast<char>(c.codePoint);
    at += c.length;
  }
  return out;
}

bool isUtf8(std::string_view text) {
  if (isAscii(text)) return true;
  std::string ignored;
  return toCodePoints().run(text, ignored) == text.size();
}

std::string validUtf8(std::string_view text) {
  if (isUtf8(text)) return std::string(text);
  std::string out;
  for (std::size_t at = 0; at < text.size();) {
    std::string ignored;
    std::size_t valid = toCodePoints().run(text.substr(at), ignored);
    out.append(text.substr(at, valid));
    at += valid;
    if (at == text.size()) break;
    out += kReplacement;
    ++at;
  }
  return out;
}

namespace {

template <class Convert>
void convertStrings(nlohmann::json& value, Convert convert) {
  if (value.is_string()) {
    auto& text = value.get_ref<std::string&>();
    text = convert(text);
  } else if (value.is_structured()) {
    for (auto& element : value) convertStrings(element, convert);
  }
}

}  // namespace

void jsonToUtf8(nlohmann::json& value) { convertStrings(value, toUtf8); }

void jsonValidUtf8(nlohmann::json& value) { convertStrings(value, validUtf8); }

}  // namespace vx70::codepage
