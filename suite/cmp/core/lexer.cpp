#include "lexer.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace rux::cmp {

namespace {
// Non-zero when one of the eight bytes of `x` is `b`.
inline uint64_t HasByte(uint64_t x, unsigned char b) {
    const uint64_t y = x ^ (0x0101010101010101ull * b);
    return (y - 0x0101010101010101ull) & ~y & 0x8080808080808080ull;
}
} // namespace

std::string_view StripComment(std::string_view line) {
    const std::size_t n = line.size();
    std::size_t i = 0;
    // Eight characters at a time while none of them can start a comment.
    for (; i + 8 <= n; i += 8) {
        uint64_t w;
        std::memcpy(&w, line.data() + i, 8);
        if (HasByte(w, ';') | HasByte(w, '/')) break;
    }
    for (; i < n; ++i) {
        if (line[i] == ';') return line.substr(0, i);
        if (line[i] == '/' && i + 1 < n && line[i + 1] == '/') return line.substr(0, i);
    }
    return line;
}


// ASCII only, as the words of the language are.
std::string Upper(std::string_view s) {
    std::string u(s);
    for (char& c : u)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return u;
}

std::string Lower(std::string_view s) {
    std::string u(s);
    for (char& c : u)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return u;
}


namespace {

int DigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'z') return c - 'a' + 10;
    if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
    return 99;
}

// Reads digits of a radix into value; false on a bad digit or overflow past 32 bits unsigned.
bool ReadRadix(std::string_view digits, int radix, int64_t& value) {
    if (digits.empty()) return false;
    uint64_t v = 0;
    for (char c : digits) {
        if (c == '_') continue;
        const int d = DigitValue(c);
        if (d >= radix) return false;
        v = v * static_cast<uint64_t>(radix) + static_cast<uint64_t>(d);
        if (v > 0xFFFFFFFFull) return false;
    }
    // Radix numbers are bit patterns: 16#FFFFFFFF is -1.
    value = static_cast<int32_t>(static_cast<uint32_t>(v));
    return true;
}

// `w` is digits [. digits] [e [+-] digits]. When the mantissa's digits make an integer below 2^53
// and the power of ten is at most 22 either way, both are exact doubles and one multiplication or
// division rounds correctly: the value strtod gives, without its cost. Otherwise false.
bool ExactReal(std::string_view w, double& out) {
    static constexpr double kPow10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                        1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    uint64_t m = 0;
    int frac = 0;
    bool point = false;
    std::size_t k = 0;
    for (; k < w.size(); ++k) {
        const char c = w[k];
        if (c == '.') {
            point = true;
            continue;
        }
        if (c < '0' || c > '9') break;
        m = m * 10 + static_cast<uint64_t>(c - '0');
        if (m >= (uint64_t{1} << 53)) return false;
        if (point) ++frac;
    }
    int exp = 0;
    if (k < w.size()) { // the exponent
        ++k;
        const bool negative = w[k] == '-';
        if (w[k] == '-' || w[k] == '+') ++k;
        for (; k < w.size(); ++k) {
            exp = exp * 10 + (w[k] - '0');
            if (exp > 1000) return false;
        }
        if (negative) exp = -exp;
    }
    const int e10 = exp - frac;
    if (e10 > 22 || e10 < -22) return false;
    const double mantissa = static_cast<double>(m);
    out = e10 >= 0 ? mantissa * kPow10[e10] : mantissa / kPow10[-e10];
    return true;
}

// A token that starts with a digit: decimal integer, real, radix number or 0x number, into `t`
// (a fresh token).
void Number(std::string_view line, std::size_t& i, Token& t) {
    const std::size_t from = i;
    std::size_t j = i;
    {
        // Most numbers are plain decimal integers: digits up to a character that cannot continue
        // a word.
        uint64_t v = 0;
        bool tooBig = false;
        while (j < line.size() && line[j] >= '0' && line[j] <= '9') {
            if (!tooBig) v = v * 10 + static_cast<uint64_t>(line[j] - '0');
            tooBig = tooBig || v > 2147483648ull;
            ++j;
        }
        if (j == line.size() || !IsWordChar(line[j])) {
            t.kind = tooBig ? Tok::Bad : Tok::Int;
            t.ival = tooBig ? 0 : static_cast<int64_t>(v);
            t.text = line.substr(from, j - from);
            t.start = static_cast<int>(from) + 1;
            t.end = static_cast<int>(j) + 1;
            i = j;
            return;
        }
        // Most reals are digits, a point and digits (0.5, 1500.0), exact by the quick route.
        if (line[j] == '.') {
            std::size_t k = j + 1;
            while (k < line.size() && line[k] >= '0' && line[k] <= '9') ++k;
            if ((k == line.size() || !IsWordChar(line[k])) && ExactReal(line.substr(from, k - from), t.rval)) {
                t.kind = Tok::Real;
                t.text = line.substr(from, k - from);
                t.start = static_cast<int>(from) + 1;
                t.end = static_cast<int>(k) + 1;
                i = k;
                return;
            }
        }
        j = from;
    }
    while (j < line.size() && IsWordChar(line[j])) {
        // An exponent sign belongs to the number: 2e-3.
        if ((line[j] == 'e' || line[j] == 'E') && j + 1 < line.size() && (line[j + 1] == '-' || line[j + 1] == '+') &&
            line.substr(from, j - from).find('#') == std::string_view::npos &&
            !(j - from >= 1 && (line[from + 1] == 'x' || line[from + 1] == 'X') && line[from] == '0')) {
            j += 2;
            continue;
        }
        ++j;
    }
    const std::string_view w = line.substr(from, j - from);
    t.text = w;
    t.start = static_cast<int>(from) + 1;
    t.end = static_cast<int>(j) + 1;
    i = j;
    if (w.size() > 2 && w[0] == '0' && (w[1] == 'x' || w[1] == 'X')) {
        if (ReadRadix(w.substr(2), 16, t.ival)) t.kind = Tok::Int;
        else t.kind = Tok::Bad;
        return;
    }
    if (const std::size_t hash = w.find('#'); hash != std::string_view::npos) {
        const std::string_view r = w.substr(0, hash);
        int radix = 0;
        for (char c : r) radix = c >= '0' && c <= '9' && radix < 100 ? radix * 10 + (c - '0') : 999;
        if ((radix == 2 || radix == 8 || radix == 16 || radix == 10) && ReadRadix(w.substr(hash + 1), radix, t.ival))
            t.kind = Tok::Int;
        else
            t.kind = Tok::Bad;
        return;
    }
    bool real = false, ok = true;
    std::size_t k = 0;
    while (k < w.size() && std::isdigit(static_cast<unsigned char>(w[k]))) ++k;
    if (k < w.size() && w[k] == '.') {
        real = true;
        ++k;
        while (k < w.size() && std::isdigit(static_cast<unsigned char>(w[k]))) ++k;
    }
    if (k < w.size() && (w[k] == 'e' || w[k] == 'E')) {
        real = true;
        ++k;
        if (k < w.size() && (w[k] == '+' || w[k] == '-')) ++k;
        const std::size_t digits = k;
        while (k < w.size() && std::isdigit(static_cast<unsigned char>(w[k]))) ++k;
        if (k == digits) ok = false;
    }
    if (k != w.size()) ok = false;
    if (!ok) {
        t.kind = Tok::Bad;
        return;
    }
    if (real) {
        t.kind = Tok::Real;
        if (!ExactReal(w, t.rval)) {
            const std::string digits(w); // strtod needs the terminating NUL
            t.rval = std::strtod(digits.c_str(), nullptr);
        }
        if (!std::isfinite(t.rval)) t.kind = Tok::Bad;
        return;
    }
    uint64_t v = 0;
    for (char c : w) {
        v = v * 10 + static_cast<uint64_t>(c - '0');
        if (v > 2147483648ull) {
            t.kind = Tok::Bad;
            return;
        }
    }
    t.kind = Tok::Int;
    t.ival = static_cast<int64_t>(v);
}

} // namespace

std::vector<Token> Tokenise(std::string_view line) {
    TokenList list;
    Tokenise(line, list);
    return std::vector<Token>(list.begin(), list.end());
}

namespace {

// What a character can start, so that one table look-up picks a token's kind.
// Op: an operator of one character; Angle: '<' or '>', which may take a second one.
enum class Lead : uint8_t { Other, Space, Digit, Word, Quote, Semicolon, Slash, Op, Angle };
constexpr std::array<Lead, 256> kLead = [] {
    std::array<Lead, 256> t{};
    for (std::size_t c = 0; c < 256; ++c)
        if (kWordChars[c]) t[c] = Lead::Word;
    for (int c = '0'; c <= '9'; ++c) t[static_cast<std::size_t>(c)] = Lead::Digit;
    for (unsigned char c : {' ', '\t', '\r', '\n'}) t[c] = Lead::Space;
    for (unsigned char c : {'+', '-', '*', '=', '(', ')', ',', '[', ']', ':'}) t[c] = Lead::Op;
    t['<'] = t['>'] = Lead::Angle;
    t['"'] = Lead::Quote;
    t[';'] = Lead::Semicolon;
    t['/'] = Lead::Slash;
    return t;
}();

// The tokens of `line` up to its comment (when `comments`) into `out`. Every field a token's kind
// gives meaning to is written once; the slot is not cleared first.
template <bool comments> void TokeniseImpl(std::string_view line, TokenList& out) {
    Token* const first = out.overwrite(line.size() + 1); // a token has at least one character, and the end token
    Token* next = first;
    const char* const s = line.data();
    std::size_t i = 0;
    std::size_t n = line.size();
    auto commentAt = [&](std::size_t k) {
        return comments && (s[k] == ';' || (s[k] == '/' && k + 1 < n && s[k + 1] == '/'));
    };
    auto token = [&](Tok kind, std::size_t from, std::size_t to, uint16_t op = 0) -> Token& {
        Token& t = *next++;
        t.text = std::string_view(s + from, to - from);
        t.start = static_cast<int>(from) + 1;
        t.end = static_cast<int>(to) + 1;
        t.op = op;
        t.kind = kind;
        t.fromAlias = false;
        t.plain = false;
        return t;
    };
    while (i < n) {
        const char c = s[i];
        const Lead lead = kLead[static_cast<unsigned char>(c)];
        if (lead == Lead::Word) {
            const std::size_t j = WordEnd(s, i + 1, n);
            token(Tok::Word, i, j).plain = IsPlainName(std::string_view(s + i, j - i));
            i = j + (j < n && s[j] == ' '); // the blank that usually follows
            continue;
        }
        if (lead == Lead::Space) {
            ++i;
            continue;
        }
        if (lead == Lead::Op) {
            token(Tok::Op, i, i + 1, static_cast<unsigned char>(c));
            i += 1 + (i + 1 < n && s[i + 1] == ' ');
            continue;
        }
        if (comments && (lead == Lead::Semicolon || (lead == Lead::Slash && i + 1 < n && s[i + 1] == '/'))) {
            n = i;
            break;
        }
        if (lead == Lead::Digit) {
            // Most numbers are a few decimal digits up to a character that cannot continue a word.
            std::size_t j = i;
            uint32_t v = 0;
            while (j < n && j - i < 9 && s[j] >= '0' && s[j] <= '9') v = v * 10 + static_cast<uint32_t>(s[j++] - '0');
            if (j == n || !IsWordChar(s[j])) {
                token(Tok::Int, i, j).ival = v;
                i = j;
                continue;
            }
            // Most reals are a few digits, a point and a few digits (0.5, 1500.0): with at most 15
            // digits in all the mantissa is an exact double, and one division by an exact power of
            // ten rounds correctly.
            if (s[j] == '.' && j - i < 9) {
                static constexpr double kPow10[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};
                const std::size_t point = j;
                const std::size_t digitsLeft = 15 - (j - i);
                uint64_t m = v;
                std::size_t k = point + 1;
                while (k < n && k - point <= std::min<std::size_t>(digitsLeft, 9) && s[k] >= '0' && s[k] <= '9')
                    m = m * 10 + static_cast<uint64_t>(s[k++] - '0');
                if (k > point + 1 && (k == n || !IsWordChar(s[k]))) {
                    token(Tok::Real, i, k).rval = static_cast<double>(m) / kPow10[k - point - 1];
                    i = k;
                    continue;
                }
            }
            Token& t = *next++;
            t = Token{};
            Number(line.substr(0, n), i, t);
            continue;
        }
        if (lead == Lead::Quote) {
            // A comment starts even inside quotes.
            std::size_t close = i + 1;
            while (close < n && s[close] != '"' && !commentAt(close)) ++close;
            if (close == n || s[close] != '"') {
                token(Tok::Bad, i, close);
                i = n = close;
            } else {
                Token& t = token(Tok::String, i + 1, close);
                t.start = static_cast<int>(i) + 1;
                t.end = static_cast<int>(close) + 2;
                i = close + 1;
            }
            continue;
        }
        const char next = i + 1 < n ? s[i + 1] : '\0';
        if (lead == Lead::Angle && (next == '=' || (c == '<' && next == '>'))) {
            token(Tok::Op, i, i + 2, OpCode(std::string_view(s + i, 2)));
            i += 2;
        } else if (lead == Lead::Angle || lead == Lead::Slash) {
            token(Tok::Op, i, i + 1, static_cast<unsigned char>(c));
            ++i;
        } else {
            token(Tok::Bad, i, i + 1);
            ++i;
        }
    }
    Token& end = token(Tok::End, n, n);
    end.text = std::string_view();
    out.setSize(static_cast<std::size_t>(next - first));
}

} // namespace

void Tokenise(std::string_view line, TokenList& out) { TokeniseImpl<false>(line, out); }

void TokeniseLine(std::string_view line, TokenList& out) { TokeniseImpl<true>(line, out); }

} // namespace rux::cmp
