// The words the language reserves: keywords and built-in functions. The lexer marks the words that
// cannot be one of them, the compiler looks the others up.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace rux::cmp {

struct Builtinfo {
    std::string_view name;
    int args;
};

inline constexpr std::string_view kKeywords[] = {"IF", "THEN", "ELSEIF", "ELSE", "ENDIF", "DO", "WHILE", "LOOP", "FOR", "TO",
                                                 "STEP", "EXIT", "GOTO", "CALL", "DIM", "CONST", "PRINT", "REINIT", "WDOG",
                                                 "DELAY", "AND", "OR", "FBBODY"};

inline constexpr Builtinfo kFunctions[] = {
    {"ABS", 1}, {"SIN", 1}, {"COS", 1}, {"TAN", 1}, {"SQR", 1}, {"EXP", 1}, {"LN", 1}, {"SGN", 1},
    {"INT", 1}, {"FLOAT", 1}, {"MIN", 2}, {"MAX", 2}, {"LIMIT", 3}, {"TIME", 0}, {"BCD2BIN", 1},
    {"BIN2BCD", 1}, {"BCD2SEG", 1}, {"CRC", 2}, {"AVERAGE", 2}, {"FILTER", 2}, {"ANSIREAD", 1},
    {"ANSIWRITE", 2}, {"ANSIREPLY", 1}, {"GETCHAR", 0}, {"PUTCHAR", 1}, {"GETKEY", 0}, {"PUTKEY", 1},
};

// For each length, the first letters (bit 0 'A') that a keyword, a built-in, or either of that
// length has.
struct FirstLetters {
    uint32_t keyword[16] = {}, function[16] = {}, either[16] = {};
    constexpr FirstLetters() {
        for (const std::string_view k : kKeywords) keyword[k.size()] |= 1u << (k[0] - 'A');
        for (const Builtinfo& f : kFunctions) function[f.name.size()] |= 1u << (f.name[0] - 'A');
        for (std::size_t n = 0; n < 16; ++n) either[n] = keyword[n] | function[n];
    }
};
inline constexpr FirstLetters kFirstLetters;

// Whether a word of this length and first character can be in the table (word.size() < 16).
inline bool MayBeIn(const uint32_t (&table)[16], std::string_view word) {
    const unsigned c = (static_cast<unsigned char>(word[0]) | 0x20u) - 'a';
    return c < 26 && (table[word.size()] >> c & 1u);
}

// The quick rejections of the look-ups rely on these lengths.
constexpr bool LengthsWithin(std::size_t lo, std::size_t hi, bool functions) {
    if (functions) {
        for (const Builtinfo& f : kFunctions)
            if (f.name.size() < lo || f.name.size() > hi || f.name.back() == '%') return false;
    } else {
        for (const std::string_view k : kKeywords)
            if (k.size() < lo || k.size() > hi || k.back() == '%') return false;
    }
    return true;
}
static_assert(LengthsWithin(2, 9, true) && LengthsWithin(2, 6, false));

// Whether a word may be reserved: false when no keyword or built-in has its length, its last
// character and its first letter.
inline bool MayBeReserved(std::string_view word) {
    return word.size() >= 2 && word.size() <= 9 && word.back() != '%' && MayBeIn(kFirstLetters.either, word);
}

} // namespace rux::cmp
