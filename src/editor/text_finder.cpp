#include "editor/text_finder.h"

#include <cstring>

namespace rux {
namespace {

inline char Fold(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + ('a' - 'A')) : c;
}

inline bool IsLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

} // namespace

CTextFinder::CTextFinder(std::string_view needle, bool matchCase) : m_needle(needle), m_matchCase(matchCase) {
    if (!matchCase)
        for (char& c : m_needle)
            c = Fold(c);
}

size_t CTextFinder::Find(std::string_view text, size_t from) const {
    const size_t n = m_needle.size();
    if (n == 0 || from > text.size() || text.size() - from < n) return std::string_view::npos;
    if (m_matchCase) return text.find(m_needle, from);
    const char* data = text.data();
    const size_t last = text.size() - n; // the last offset a match can start at
    const char first = m_needle[0];
    const char* needle = m_needle.data();
    // Candidates are found with memchr on both cases of the first byte; only letters have two. Each
    // of the two scans is repeated only once the search has passed its last hit, so a line is read
    // at most twice.
    const char other = IsLetter(first) ? static_cast<char>(first - ('a' - 'A')) : first;
    auto scan = [&](char c, size_t at) -> const char* {
        return at <= last ? static_cast<const char*>(std::memchr(data + at, c, last - at + 1)) : nullptr;
    };
    const char* nextSame = scan(first, from);
    const char* nextOther = other != first ? scan(other, from) : nullptr;
    while (nextSame || nextOther) {
        const char* hit = !nextOther || (nextSame && nextSame < nextOther) ? nextSame : nextOther;
        const size_t pos = static_cast<size_t>(hit - data);
        size_t k = 1;
        while (k < n && Fold(data[pos + k]) == needle[k])
            ++k;
        if (k == n) return pos;
        if (hit == nextSame)
            nextSame = scan(first, pos + 1);
        else
            nextOther = scan(other, pos + 1);
    }
    return std::string_view::npos;
}

bool CTextFinder::Equals(std::string_view text) const {
    return text.size() == m_needle.size() && Find(text) == 0;
}

} // namespace rux
