// The line grammar of profile files ([Section] and Key=Value lines), shared by every reader of them.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

namespace rux::ini {

// Space, tab, CR, vertical tab and form feed: what is trimmed from names and values.
bool IsBlank(char c);
std::string_view Trim(std::string_view text);
// ASCII letters compared without case; other bytes must be equal.
bool EqualNoCase(std::string_view a, std::string_view b);

// What differs between the files we read in this format. The line grammar does not.
struct CDialect {
    // A line whose first non-blank character is one of these is a comment.
    std::string_view commentStarts = ";";
    // False: a value is every byte after the first '=' up to the line end, blanks included.
    bool trimValues = true;
};

enum class ELineKind {
    Blank,
    Comment,
    Section,       // "[name]", anything after the ']' ignored
    BrokenSection, // a '[' line without ']': the keys after it belong to no section
    Key,           // "name=value", split at the first '='
    Other,         // any other line; readers skip it
};

struct CLine {
    ELineKind kind = ELineKind::Blank;
    std::string_view name;  // Section: the trimmed text between the brackets; Key: the trimmed key
    std::string_view value; // Key only
    // The section a Key line belongs to; false before the first header and after a broken one.
    bool inSection = false;
    std::string_view section;
    std::size_t begin = 0; // first byte of the line
    std::size_t end = 0;   // end of its content: the LF and one CR before it lie outside
    std::size_t next = 0;  // first byte of the next line; the text's size after the last line
    bool hasBreak = false; // the line ends in LF (the last line of a file may not)
};

// Reads a text one line at a time. Lines end at LF; a CR before it (or at the very end) is no
// part of the line.
class CLineReader {
public:
    explicit CLineReader(std::string_view text, CDialect dialect = {});
    // False once the text is used up.
    bool Next(CLine& line);

private:
    std::string_view m_text;
    CDialect m_dialect;
    std::size_t m_pos = 0;
    bool m_inSection = false;
    std::string_view m_section;
};

// The value of the first Key line named `key` in a section named `section`, both compared without
// case; a section split over several headers is searched in file order. Nothing when there is none;
// an empty value is found (whether it counts is the reader's rule).
std::optional<std::string_view> FindValue(std::string_view text, std::string_view section,
                                          std::string_view key, CDialect dialect = {});

// The decimal conversion of every number read from these files: leading blanks, an optional sign and
// digits; anything after the digits is ignored, text without digits gives 0, and values beyond the
// 32-bit range saturate at its limits.
int ParseInt(std::string_view text);

} // namespace rux::ini
