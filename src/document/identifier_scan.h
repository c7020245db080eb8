// Finds the identifiers a program line or a diagram payload contributes to the colouring set.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string_view>
#include <utility>

namespace rux {

using IdentifierSink = std::function<void(std::string_view word)>;

// What a word is to the collection, apart from being a name.
enum EWordClass : uint8_t {
    kWordName = 0,
    kWordReserved = 1,  // one of the language's reserved words: never an identifier
    kWordFlt = 2,       // "$FLT": a "single" or "double" right after it is part of it
    kWordPrecision = 4, // "single" or "double"
};

uint8_t ClassifyWord(std::string_view word);

namespace detail {

enum : uint8_t { kCharStart = 1, kCharPart = 2, kCharSpecial = 4 };

// One look-up per byte: the scan runs over every line of the program.
constexpr std::array<uint8_t, 256> MakeCharClasses() {
    std::array<uint8_t, 256> t{};
    for (int c = 'a'; c <= 'z'; ++c)
        t[c] = t[c - 'a' + 'A'] = kCharStart | kCharPart;
    for (int c = '0'; c <= '9'; ++c)
        t[c] = kCharPart;
    t['_'] = kCharStart | kCharPart;
    t['#'] = t['$'] = kCharStart;
    t['.'] = t['%'] = t['['] = t[']'] = kCharPart;
    t[';'] = t['/'] = t['"'] = kCharSpecial;
    return t;
}

inline constexpr std::array<uint8_t, 256> kCharClasses = MakeCharClasses();

inline uint8_t CharClass(char c) {
    return kCharClasses[static_cast<unsigned char>(c)];
}

} // namespace detail

inline bool IsIdentifierStart(char c) {
    return detail::CharClass(c) & detail::kCharStart;
}
inline bool IsIdentifierPart(char c) {
    return detail::CharClass(c) & detail::kCharPart;
}

// The words of one text line that are identifiers: scanning stops at ";" or "//", quoted text is
// skipped, a word followed by ":" is a label, reserved words are dropped, and so are "$FLT" and a
// "single"/"double" right after it. `classify(word)` gives a handle and the word's EWordClass (a
// caller with an interned word table classifies each distinct word once); `add(handle)` takes each
// identifier in line order.
template <class Classify, class Add>
void ScanLineIdentifiersWith(std::string_view line, Classify&& classify, Add&& add) {
    const size_t n = line.size();
    size_t i = 0;
    while (i < n && (line[i] == ' ' || line[i] == '\t'))
        ++i;
    bool afterFlt = false;
    while (i < n) {
        const char c = line[i];
        const uint8_t cls = detail::CharClass(c);
        if (!(cls & (detail::kCharStart | detail::kCharSpecial))) {
            // Digits and operators are passed one at a time: "12abc" still yields "abc", which is how
            // the colouring reads such a line too.
            ++i;
            continue;
        }
        if (c == ';' || (c == '/' && i + 1 < n && line[i + 1] == '/')) return;
        if (c == '"') {
            // An unclosed string runs to the end of the line, so nothing after it counts.
            const size_t close = line.find('"', i + 1);
            if (close == std::string_view::npos) return;
            i = close + 1;
            continue;
        }
        if (!(cls & detail::kCharStart)) {
            ++i; // a single "/"
            continue;
        }
        const size_t start = i;
        ++i;
        while (i < n && IsIdentifierPart(line[i]))
            ++i;
        if (i < n && line[i] == ':') {
            afterFlt = false;
            continue; // a label
        }
        const auto [handle, word] = classify(line.substr(start, i - start));
        const bool skip =
            (word & kWordReserved) || (word & kWordFlt) || (afterFlt && (word & kWordPrecision));
        afterFlt = (word & kWordFlt) != 0;
        if (!skip) add(handle);
    }
}

// The names of an FBD payload: after each "@VAR:", the rest of the line after the next "X=", when it
// starts like an identifier; clipped to the 255 characters a diagram name can hold.
template <class Add> void ScanFbdIdentifiersWith(std::string_view payload, Add&& add) {
    constexpr size_t kMaxDiagramName = 255;
    size_t at = 0;
    while ((at = payload.find("@VAR:", at)) != std::string_view::npos) {
        const size_t x = payload.find("X=", at + 5);
        if (x == std::string_view::npos) return;
        const size_t start = x + 2;
        size_t end = payload.find('\n', start);
        if (end == std::string_view::npos) end = payload.size();
        at = end;
        std::string_view name = payload.substr(start, end - start);
        if (!name.empty() && name.back() == '\r') name.remove_suffix(1);
        if (name.size() > kMaxDiagramName) name = name.substr(0, kMaxDiagramName);
        if (!name.empty() && IsIdentifierStart(name.front())) add(name);
    }
}

// The same with plain words, for callers without a word table.
void ScanLineIdentifiers(std::string_view line, const IdentifierSink& sink);
void ScanFbdIdentifiers(std::string_view payload, const IdentifierSink& sink);

} // namespace rux
