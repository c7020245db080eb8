#include "document/reserved_words.h"

#include <algorithm>
#include <array>
#include <string>

namespace rux {
namespace {

constexpr size_t kLongest = 9; // "ANSIREPLY", "ANSIWRITE"

// In the order the language reference lists them; sorted once for the look-up.
constexpr std::array<std::string_view, 59> kReserved = {
    "$AUTHOR",  "$COMPANY",  "$DEFINE",   "$DRIVE",  "$TITLE",  "$VERSION", "$V3",     "DIM",    "DO",
    "WHILE",    "EXIT",      "GOTO",      "IF",      "THEN",    "ELSE",     "ELSEIF",  "ENDIF",  "ABS",
    "ANSIREAD", "ANSIREPLY", "ANSIWRITE", "AVERAGE", "BCD2BIN", "BCD2SEG",  "BIN2BCD", "CALL",   "COS",
    "CONST",    "CRC",       "DELAY",     "EXP",     "FILTER",  "GETCHAR",  "GETKEY",  "FLOAT",  "INT",
    "#INT",     "LIMIT",     "LN",        "MIN",     "MAX",     "PRINT",    "PUTCHAR", "PUTKEY", "REINIT",
    "SIN",      "SGN",       "SQR",       "TAN",     "TIME",    "WDOG",     "LOOP",    "FBBODY", "$FLT",
    "AND",      "OR",        "FOR",       "STEP",    "TO"};

const std::array<std::string_view, 59>& Sorted() {
    static const std::array<std::string_view, 59> sorted = [] {
        auto copy = kReserved;
        std::sort(copy.begin(), copy.end());
        return copy;
    }();
    return sorted;
}

} // namespace

bool IsReservedWord(std::string_view word) {
    if (word.empty() || word.size() > kLongest) return false;
    char upper[kLongest];
    for (size_t i = 0; i < word.size(); ++i) {
        const char c = word[i];
        upper[i] = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    }
    const std::string_view key(upper, word.size());
    const auto& sorted = Sorted();
    return std::binary_search(sorted.begin(), sorted.end(), key);
}

} // namespace rux
