// Indentation helpers for line splitting and the indent commands.
#pragma once

#include <string>
#include <string_view>

namespace rux {

class CObArrayEx;

// Role of a keyword for indentation: 0 none, 1 opens a block, 2 middle, 3 closes.
using IndentRoleFn = int (*)(std::string_view word);

// The roles of the built-in keywords, which a keyword file cannot change.
int BuiltinIndentRole(std::string_view word);

// 1 per leading space, tabSize per leading tab.
int IndentWidth(std::string_view text, int tabSize);
// Text after the leading blanks up to the first word delimiter.
std::string_view FirstWord(std::string_view text);
// The last run of non-delimiters of the text.
std::string_view LastWord(std::string_view text);
// The text with its leading blanks replaced by width div tabSize tabs and width mod tabSize spaces.
std::string Reindent(std::string_view text, int width, int tabSize);
// Number of leading blanks (spaces and tabs).
size_t LeadingBlanks(std::string_view text);

enum class EOpener { Loop, If };
// Indentation width of the matching opener, scanning text lines upwards from `index`;
// 0 when a section boundary or the program header comes first.
int MatchingOpenerWidth(const CObArrayEx& items, int index, EOpener kind, int tabSize);

} // namespace rux
