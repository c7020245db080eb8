// Finds a text in line texts, exactly or with ASCII letters compared without case.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace rux {

// Prepared once per search and used on every line, so that a search over a long program allocates
// nothing per line. Letters fold as the item texts do elsewhere: only A to Z and a to z; bytes from
// 128 compare exactly, since their case depends on the program's code page.
class CTextFinder {
public:
    CTextFinder(std::string_view needle, bool matchCase);

    // Offset of the first match at or after `from`, or npos. An empty needle never matches.
    size_t Find(std::string_view text, size_t from = 0) const;
    bool Equals(std::string_view text) const;
    size_t Size() const { return m_needle.size(); }

private:
    std::string m_needle; // folded to lower case when case is ignored
    bool m_matchCase;
};

} // namespace rux
