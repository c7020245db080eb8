// The keyword table: every word coloured as a keyword, and the indentation role some of them carry.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

namespace rux {

// FNV-1a: cheaper than the library's hash on the short words of program text.
inline size_t HashWord(std::string_view s) noexcept {
    uint64_t h = 14695981039346656037ull;
    for (const char c : s)
        h = (h ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    return static_cast<size_t>(h);
}

// What a keyword does to automatic indentation.
enum EIndentRole : int32_t {
    kIndentNone = 0,
    kIndentOpen = 1,   // the lines after it go one level deeper
    kIndentMiddle = 2, // the line itself goes back one level, the lines after it deeper again
    kIndentClose = 3,  // the line itself goes back one level
};

// The entry of a keyword that plays a part in indentation; plain keywords have none.
class CKeyWord {
public:
    explicit CKeyWord(int32_t role) : m_role(role) {}
    int32_t GetRole() const { return m_role; }

private:
    int32_t m_role;
};

class CKeywordTable {
public:
    // The file read from the product directory.
    static constexpr std::string_view kFileName = "TORVEL.KW";
    // The keyword file is read in pieces of this many bytes; a longer line gives several words.
    static constexpr size_t kPieceLength = 254;

    CKeywordTable() = default;
    CKeywordTable(const CKeywordTable&) = delete;
    CKeywordTable& operator=(const CKeywordTable&) = delete;
    CKeywordTable(CKeywordTable&&) = default;
    CKeywordTable& operator=(CKeywordTable&&) = default;

    // Reads `folder`/TORVEL.KW when it can be opened, then adds the built-ins. A missing or
    // unreadable file is no error: the table then holds the built-ins only.
    void Load(const std::string& folder);
    // The keyword file's bytes, already in memory; every line becomes one plain keyword.
    void AddFileText(std::string_view bytes);
    // The built-in keywords with their roles; they replace a file entry of the same name.
    void AddBuiltIns();

    // Any mix of upper and lower case is recognised.
    bool IsKeyword(std::string_view word) const;
    // 0 when the word is absent or a plain keyword.
    int32_t GetKeywordIndentRole(std::string_view word) const;
    // For a word that is already upper case: the classifier upper-cases into its own buffer and
    // must not allocate per word.
    bool ContainsUpper(std::string_view upperWord) const;
    // False when no keyword can match the word in any case; cheap enough to ask for every word.
    bool MightBeKeyword(std::string_view word) const {
        if (word.size() > m_longest) return false;
        if (word.empty()) return true;
        char first = word[0];
        if (first >= 'a' && first <= 'z') first = static_cast<char>(first - ('a' - 'A'));
        return (m_lengths[static_cast<unsigned char>(first)] >> (word.size() < 63 ? word.size() : 63) & 1) !=
               0;
    }

    size_t GetCount() const { return m_words.size(); }


private:
    struct CHash {
        using is_transparent = void;
        size_t operator()(std::string_view s) const noexcept { return HashWord(s); }
    };
    void Add(std::string_view upperWord, int32_t role);
    void NoteWord(std::string_view upperWord);
    const CKeyWord* Find(std::string_view word) const;

    // Owns the entries; a null entry marks a plain keyword.
    std::unordered_map<std::string, std::unique_ptr<CKeyWord>, CHash, std::equal_to<>> m_words;
    // Quick rejection before hashing, which most words of a line need: no keyword is longer than
    // m_longest, and bit min(length, 63) of m_lengths[c] is set when a keyword of that length
    // starts with byte c.
    size_t m_longest = 0;
    uint64_t m_lengths[256] = {};
};

// The process-wide table, filled once from the product directory on first use and never reloaded.
const CKeywordTable& LoadKeywordTable();

} // namespace rux
