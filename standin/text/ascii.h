#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>

// Settings texts are read byte by byte; the C library's classifiers follow the process
// locale, so these helpers fix the ASCII meaning once for every reader.
namespace vorla::text::ascii {

constexpr bool isSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

constexpr bool isDigit(char c) { return c >= '0' && c <= '9'; }

constexpr char toLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

constexpr std::string_view trimLeadingSpace(std::string_view text) {
  std::size_t start = 0;
  while (start < text.size() && isSpace(text[start])) ++start;
  return text.substr(start);
}

constexpr std::string_view trimSpace(std::string_view text) {
  text = trimLeadingSpace(text);
  std::size_t end = text.size();
  while (end > 0 && isSpace(text[end - 1])) --end;
  return text.substr(0, end);
}

inline std::string lowered(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = toLower(c);
  return out;
}

constexpr bool equalsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (toLower(a[i]) != toLower(b[i])) return false;
  }
  return true;
}

// Appends one byte of a text shown in double quotes: quotes and backslashes escaped, control
// characters as \n, \t, \r or \xNN, so that the text stays on one line and reads back
// unambiguously; `forceHex` shows any byte as \xNN (one that is not part of valid UTF-8).
inline void appendQuotedByte(std::string& out, unsigned char c, bool forceHex = false) {
  if (!forceHex && c >= 0x20 && c != 0x7F) {
    if (c == '"' || c == '\\') out += '\\';
    out += static_cast<char>(c);
  } else if (!forceHex && c == '\n') {
    out += "\\n";
  } else if (!forceHex && c == '\t') {
    out += "\\t";
  } else if (!forceHex && c == '\r') {
    out += "\\r";
  } else {
    char escape[8];
    std::snprintf(escape, sizeof escape, "\\x%02x", c);
    out += escape;
  }
}

}  // namespace vorla::text::ascii
