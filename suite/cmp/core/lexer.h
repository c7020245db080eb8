// Splits one program line into tokens, the way the editor's colouring sees words.
#pragma once

#include "reserved_words.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace rux::cmp {

enum class Tok : uint8_t {
    End,
    Word,     // a name, keyword, parameter (#1.21), directive ($DEFINE) or block name (_Ramp)
    Int,      // integer literal (value in ival)
    Real,     // real literal (value in rval)
    String,   // "..." without the quotes
    Op,       // + - * / = <> < > <= >= ( ) , [ ] :
    Bad,      // a character or number the language does not know
};

struct Token { // 48 bytes: a line's tokens are written anew for every line
    std::string_view text; // as written (for String: the contents); a view of the line or of an
                           // alias's replacement, both of which outlive the line's tokens
    int64_t ival = 0;      // Int only: a line's other tokens leave it as it was
    double rval = 0;       // Real only, likewise
    int start = 0;        // 1-based column of the first character
    int end = 0;          // column after the last character
    uint16_t op = 0;      // Op: its characters, the first in the low byte (OpCode("<=")); 0 for
                          // every other kind, so that this field alone tells an operator
    Tok kind = Tok::End;
    bool fromAlias = false;
    bool plain = false;   // Word: it can only name a variable (see IsPlainName)
};

inline constexpr std::array<bool, 256> kWordChars = [] {
    std::array<bool, 256> t{};
    for (int c = '0'; c <= '9'; ++c) t[static_cast<std::size_t>(c)] = true;
    for (int c = 'a'; c <= 'z'; ++c) t[static_cast<std::size_t>(c)] = t[static_cast<std::size_t>(c - 'a' + 'A')] = true;
    for (unsigned char c : {'%', '.', '_', '$', '#'}) t[c] = true;
    return t;
}();
inline bool IsWordChar(char c) { return kWordChars[static_cast<unsigned char>(c)]; }

// Where the run of word characters from `j` ends, at most at `n`. Sixteen characters at a time
// while sixteen remain: a word of the language is a few letters long, so most of them end within
// the first step.
[[gnu::always_inline]] inline std::size_t WordEnd(const char* s, std::size_t j, std::size_t n) {
#if defined(__SSE2__)
    // Unsigned ranges tested with signed comparisons: c - lo + 0x80 is below 0x80 + count exactly
    // when lo <= c < lo + count.
    const auto inRange = [](__m128i v, char lo, int count) {
        const __m128i shifted = _mm_add_epi8(v, _mm_set1_epi8(static_cast<char>(0x80 - static_cast<unsigned char>(lo))));
        return _mm_cmplt_epi8(shifted, _mm_set1_epi8(static_cast<char>(0x80 + count)));
    };
    while (j + 16 <= n) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + j));
        const __m128i letter = inRange(_mm_or_si128(v, _mm_set1_epi8(0x20)), 'a', 26);
        const __m128i digit = inRange(v, '0', 10);
        const __m128i hashToPercent = inRange(v, '#', 3); // # $ %
        const __m128i dotOrUnderscore = _mm_or_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8('.')), _mm_cmpeq_epi8(v, _mm_set1_epi8('_')));
        const __m128i word = _mm_or_si128(_mm_or_si128(letter, digit), _mm_or_si128(hashToPercent, dotOrUnderscore));
        const unsigned stops = ~static_cast<unsigned>(_mm_movemask_epi8(word)); // bit 16 and up always set
        const unsigned run = static_cast<unsigned>(__builtin_ctz(stops));
        j += run;
        if (run < 16) return j;
    }
#endif
    while (j < n && IsWordChar(s[j])) ++j;
    return j;
}

// A word that can only name a variable: it starts with a letter other than B (B2#1.21 is a
// parameter), and no keyword or built-in has its length, last character and first letter. The
// parser skips its look-ups for such a word.
inline bool IsPlainName(std::string_view w) {
    const unsigned c = (static_cast<unsigned char>(w[0]) | 0x20u) - 'a';
    return c < 26 && c != 'b' - 'a' && !MayBeReserved(w);
}

// An operator of one or two characters as a number, for comparing tokens without their text.
constexpr uint16_t OpCode(std::string_view op) {
    return static_cast<uint16_t>(static_cast<unsigned char>(op[0]) |
                                 (op.size() > 1 ? static_cast<unsigned>(static_cast<unsigned char>(op[1])) << 8 : 0u));
}

// A line's tokens. The storage stays from line to line and only grows; the lexer reserves one
// slot per character of the line first, so that each token is then written into its place
// without a capacity check.
class TokenList {
public:
    std::size_t size() const { return m_size; }
    bool empty() const { return m_size == 0; }
    const Token& operator[](std::size_t i) const { return m_data[i]; }
    Token& operator[](std::size_t i) { return m_data[i]; }
    const Token& front() const { return m_data[0]; }
    const Token& back() const { return m_data[m_size - 1]; }
    const Token* begin() const { return m_data.get(); }
    const Token* end() const { return m_data.get() + m_size; }
    void clear() { m_size = 0; }
    void reserve(std::size_t n) {
        if (n > m_capacity) grow(n);
    }
    void push_back(const Token& t) {
        reserve(m_size + 1);
        m_data[m_size++] = t;
    }
    // The next slot, in room reserve() made; it holds whatever an earlier line left there.
    Token& add() { return m_data[m_size++]; }
    // Room for `n` tokens from the first slot, for a writer that keeps its own cursor (stores
    // into tokens then cannot make the compiler reload the list's size), and that says how many
    // it wrote with setSize().
    Token* overwrite(std::size_t n) {
        m_size = 0;
        reserve(n);
        return m_data.get();
    }
    void setSize(std::size_t n) { m_size = n; }

private:
    void grow(std::size_t n) {
        const std::size_t capacity = std::max<std::size_t>({n, 2 * m_capacity, 64});
        std::unique_ptr<Token[]> data(new Token[capacity]);
        std::copy(begin(), end(), data.get());
        m_data = std::move(data);
        m_capacity = capacity;
    }

    std::unique_ptr<Token[]> m_data;
    std::size_t m_size = 0, m_capacity = 0;
};

// The line without its comment: everything from the first ';' or "//" is dropped, even inside
// quotes.
std::string_view StripComment(std::string_view line);

// Tokenises a line (its comment already stripped). A malformed number becomes a Bad token with
// `text` holding what is wrong.
std::vector<Token> Tokenise(std::string_view line);
// The same into `out`, whose storage is reused from line to line.
void Tokenise(std::string_view line, TokenList& out);
// Tokenise(StripComment(line), out) in one pass over the line.
void TokeniseLine(std::string_view line, TokenList& out);

// Case-insensitive comparison of ASCII words (keywords and names are ASCII).
inline bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
        if (x == y) continue;
        if ((x | 0x20) != (y | 0x20) || (x | 0x20) < 'a' || (x | 0x20) > 'z') return false;
    }
    return true;
}
// A word token equal, in any case, to an upper-case keyword.
inline bool IsWord(const Token& t, std::string_view upperKeyword) {
    return t.kind == Tok::Word && EqualsNoCase(t.text, upperKeyword);
}
std::string Upper(std::string_view s);

// Message texts are built from token texts: "'" + t.text + "'".
inline std::string operator+(std::string a, std::string_view b) {
    a.append(b);
    return a;
}
inline std::string operator+(const char* a, std::string_view b) {
    std::string s(a);
    s.append(b);
    return s;
}
std::string Lower(std::string_view s);

} // namespace rux::cmp
