// Byte-wise text helpers for program text: only ASCII letters have a case, and bytes of the code
// page above 127 are never reinterpreted by a locale.
#pragma once

#include <string>
#include <string_view>

namespace rux {

// Bytes that count as blanks when a text is trimmed.
bool IsBlank(char c);
std::string_view TrimBlanks(std::string_view text);

inline char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + ('a' - 'A')) : c; }
inline char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - ('a' - 'A')) : c; }
void ToUpperAscii(std::string& text);
std::string UpperAsciiCopy(std::string_view text);

// Compares ASCII letters without regard to case.
bool EqualsNoCase(std::string_view a, std::string_view b);
bool StartsWithNoCase(std::string_view text, std::string_view prefix);

} // namespace rux
