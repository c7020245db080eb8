#include "editor/keyword_table.h"

#include "document/ascii_text.h"

#include "target/product_directory.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace rux {
namespace {

struct CBuiltIn {
    std::string_view word;
    int32_t role;
};

// Added after the keyword file, in this order, so that their roles win over a file entry.
constexpr std::array<CBuiltIn, 23> kBuiltIns = {{
    {"$AUTHOR", kIndentNone}, {"$COMPANY", kIndentNone}, {"$DEFINE", kIndentNone}, {"$DRIVE", kIndentNone},
    {"$TITLE", kIndentNone},  {"$VERSION", kIndentNone}, {"DIM", kIndentNone},     {"DO", kIndentOpen},
    {"WHILE", kIndentNone},   {"EXIT", kIndentNone},     {"GOTO", kIndentNone},    {"FBBODY", kIndentNone},
    {"IF", kIndentOpen},      {"THEN", kIndentOpen},     {"ELSE", kIndentMiddle},  {"ELSEIF", kIndentMiddle},
    {"ENDIF", kIndentClose},  {"LOOP", kIndentClose},    {"$FLT", kIndentNone},    {"AND", kIndentNone},
    {"OR", kIndentNone},      {"FOR", kIndentOpen},      {"STEP", kIndentNone},
}};




// The whole file, or nothing when it cannot be opened or read.
bool ReadWholeFile(const std::string& path, std::string& bytes) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    bytes.clear();
    char chunk[8192];
    bool ok = true;
    for (;;) {
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) ok = false;
        if (n <= 0) break;
        bytes.append(chunk, static_cast<size_t>(n));
    }
    ::close(fd);
    return ok;
}

} // namespace

void CKeywordTable::Add(std::string_view upperWord, int32_t role) {
    auto entry = role != kIndentNone ? std::make_unique<CKeyWord>(role) : nullptr;
    auto it = m_words.find(upperWord);
    if (it == m_words.end())
        m_words.emplace(std::string(upperWord), std::move(entry));
    else
        it->second = std::move(entry);
    NoteWord(upperWord);
}

void CKeywordTable::NoteWord(std::string_view upperWord) {
    m_longest = std::max(m_longest, upperWord.size());
    if (!upperWord.empty())
        m_lengths[static_cast<unsigned char>(upperWord[0])] |= uint64_t{1}
                                                               << std::min<size_t>(upperWord.size(), 63);
}

void CKeywordTable::AddFileText(std::string_view bytes) {
    std::string word;
    size_t pos = 0;
    while (pos < bytes.size()) {
        // One piece: up to and including the next LF, but no more than a piece's length.
        size_t end = pos;
        const size_t limit = std::min(bytes.size(), pos + kPieceLength);
        while (end < limit && bytes[end] != '\n')
            ++end;
        if (end < bytes.size() && end < limit) ++end; // take the LF
        word.assign(bytes.substr(pos, end - pos));
        pos = end;
        if (!word.empty() && word.back() == '\n') word.pop_back();
        if (!word.empty() && word.back() == '\r') word.pop_back();
        ToUpperAscii(word);
        // Entered without an entry; an existing entry (and its role) stays untouched.
        if (m_words.find(word) == m_words.end()) {
            NoteWord(word);
            m_words.emplace(std::move(word), nullptr);
            word.clear();
        }
    }
}

void CKeywordTable::AddBuiltIns() {
    for (const CBuiltIn& b : kBuiltIns)
        Add(b.word, b.role);
}

void CKeywordTable::Load(const std::string& folder) {
    std::string bytes;
    const std::string path = folder.empty() ? std::string(kFileName) : folder + "/" + std::string(kFileName);
    if (ReadWholeFile(path, bytes)) AddFileText(bytes);
    AddBuiltIns();
}

const CKeyWord* CKeywordTable::Find(std::string_view word) const {
    if (word.size() > m_longest) return nullptr;
    std::string upper(word);
    ToUpperAscii(upper);
    auto it = m_words.find(std::string_view(upper));
    return it == m_words.end() ? nullptr : it->second.get();
}

bool CKeywordTable::ContainsUpper(std::string_view upperWord) const {
    if (upperWord.size() > m_longest) return false;
    // The empty word is a keyword only when a blank line of the file entered it.
    if (!upperWord.empty() &&
        !(m_lengths[static_cast<unsigned char>(upperWord[0])] >> std::min<size_t>(upperWord.size(), 63) & 1))
        return false;
    return m_words.find(upperWord) != m_words.end();
}

bool CKeywordTable::IsKeyword(std::string_view word) const {
    if (word.size() > m_longest) return false;
    std::string upper(word);
    ToUpperAscii(upper);
    return ContainsUpper(upper);
}

int32_t CKeywordTable::GetKeywordIndentRole(std::string_view word) const {
    const CKeyWord* entry = Find(word);
    return entry ? entry->GetRole() : kIndentNone;
}


const CKeywordTable& LoadKeywordTable() {
    static const CKeywordTable table = [] {
        CKeywordTable t;
        t.Load(ProductDirectory());
        return t;
    }();
    return table;
}

} // namespace rux
