#include "station/script.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>

#include "host/codepage.h"

namespace vx70::script {

namespace {

bool isOctal(char c) { return c >= '0' && c <= '7'; }

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// Reads the escape after a backslash at text[i]; i ends on its last char.
char readEscape(const std::string& text, std::size_t& i, int line) {
  if (i >= text.size()) throw ScriptError(line, "a backslash ends the line");
  char c = text[i];
  switch (c) {
    case 'n':
      return '\n';
    case 't':
      return '\t';
    case 'r':
      return '\r';
    case 'a':
      return '\a';
    case 'b':
      return '\b';
    case 'f':
      return '\f';
    case 'v':
      return '\v';
    case '\\':
    case '"':
    case '\'':
    case '?':
      return c;
    case 'x': {
      int value = 0, digits = 0;
      while (i + 1 < text.size() && digits < 2 && hexValue(text[i + 1]) >= 0) {
        value = value * 16 + hexValue(text[++i]);
        ++digits;
      }
      if (!digits) throw ScriptError(line, "\\x needs hexadecimal digits");
      return static_cast<char>(value);
    }
    default:
      if (isOctal(c)) {
        int value = c - '0';
        for (int digits = 1; digits < 3 && i + 1 < text.size() && isOctal(text[i + 1]); ++digits)
          value = value * 8 + (text[++i] - '0');
        return static_cast<char>(value);
      }
      throw ScriptError(line, std::string("unknown escape \\") + c);
  }
}

}  // namespace

Command parseCommand(const std::string& text, int line) {
  // Scripts are UTF-8; a line that is not is refused before any of its
  // bytes reach a message.
  if (!codepage::isUtf8(text)) throw ScriptError(line, "the line is not UTF-8 text");
  Command command;
  command.line = line;
  std::size_t i = 0;
  while (i < text.size()) {
    char c = text[i];
    if (std::isspace(static_cast<unsigned char>(c))) {
      ++i;
      continue;
    }
    if (c == '#') break;
    Token token;
    if (c == '"') {
      token.quoted = true;
      bool closed = false;
      for (++i; i < text.size(); ++i) {
        if (text[i] == '"') {
          closed = true;
          ++i;
          break;
        }
        if (text[i] == '\\') {
          ++i;
          token.text += readEscape(text, i, line);
        } else {
          token.text += text[i];
        }
      }
      if (!closed) throw ScriptError(line, "a quoted text is not closed");
      if (!codepage::isUtf8(token.text))
        throw ScriptError(line, "a quoted text is not UTF-8 once its escapes are read");
    } else {
      while (i < text.size() && !std::isspace(static_cast<unsigned char>(text[i])))
        token.text += text[i++];
    }
    command.tokens.push_back(std::move(token));
  }
  return command;
}

void expectArgs(const Command& c, std::size_t min, std::size_t max) {
  std::size_t n = c.tokens.size() - 1;
  if (n < min || n > max)
    throw ScriptError(c.line,
                      c.word() + ": expects " +
                          (min == max ? std::to_string(min)
                                      : std::to_string(min) + " to " + std::to_string(max)) +
                          " arguments, got " + std::to_string(n));
}

unsigned long parseNumber(const Command& c, std::size_t i, const char* what, unsigned long max) {
  if (i >= c.tokens.size())
    throw ScriptError(c.line, std::string(c.word()) + ": " + what + " missing");
  const std::string& t = c.tokens[i].text;
  char* end = nullptr;
  errno = 0;
  unsigned long v = std::strtoul(t.c_str(), &end, 0);
  // strtoul also takes leading blanks and a sign, which a number has none
  // of, and stops at a NUL that a quoted "\0" puts inside the text.
  if (t.empty() || end != t.c_str() + t.size() || !std::isdigit(static_cast<unsigned char>(t[0])))
    throw ScriptError(c.line,
                      std::string(c.word()) + ": " + what + " \"" + t + "\" is not a number");
  // Checked before any narrowing, so that a large number never wraps into
  // a small one (69136 is not dialog 3600).
  const unsigned long most = std::min<unsigned long>(max, UINT_MAX);
  if (errno == ERANGE || v > most)
    throw ScriptError(c.line, std::string(c.word()) + ": " + what + " " + t +
                                  " is out of range (at most " + std::to_string(most) + ")");
  return v;
}

bool isWord(const Command& c, std::size_t i, const char* word) {
  return i < c.tokens.size() && !c.tokens[i].quoted && c.tokens[i].text == word;
}

std::string textArg(const Command& c, std::size_t i) {
  try {
    return codepage::fromUtf8(c.tokens.at(i).text);
  } catch (const codepage::TextError& e) {
    throw ScriptError(c.line, c.word() + ": " + e.what());
  }
}

}  // namespace vx70::script
