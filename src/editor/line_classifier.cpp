#include "editor/line_classifier.h"

#include "document/item.h"
#include "document/section_items.h"
#include "editor/keyword_table.h"

#include <algorithm>
#include <array>

namespace rux {
namespace {

// Letters, digits and % . _ $ # build words; every other byte stands alone.
constexpr std::array<bool, 256> MakeWordTable() {
    std::array<bool, 256> t{};
    for (int c = '0'; c <= '9'; ++c)
        t[c] = true;
    for (int c = 'A'; c <= 'Z'; ++c)
        t[c] = true;
    for (int c = 'a'; c <= 'z'; ++c)
        t[c] = true;
    for (unsigned char c : {'%', '.', '_', '$', '#'})
        t[c] = true;
    return t;
}
constexpr std::array<bool, 256> kWordChar = MakeWordTable();

// Long enough for any keyword: the keyword file is read in pieces no longer than this.
constexpr size_t kWordBufferSize = CKeywordTable::kPieceLength + 2;

class CScanner {
public:
    CScanner(std::string_view text, unsigned flags, const CIdentifierLookup* identifiers,
             const CKeywordTable& keywords, std::vector<CColourRun>& runs)
        : m_text(text), m_identifiers(identifiers), m_keywords(keywords), m_runs(runs),
          m_error((flags & kClassifyError) != 0), m_keywordsOn((flags & kClassifyKeywords) != 0),
          m_comment((flags & kClassifyNotes) != 0) {}

    // Scans bytes [from, to) as one stretch; a word open at its end is emitted there.
    void Stretch(size_t from, size_t to, bool selected) {
        size_t wordStart = from;
        for (size_t i = from; i < to; ++i) {
            const char c = m_text[i];
            if (kWordChar[static_cast<unsigned char>(c)]) continue;
            EmitWord(wordStart, i, selected);
            EmitDelimiter(i, selected);
            wordStart = i + 1;
        }
        EmitWord(wordStart, to, selected);
    }

private:
    void EmitWord(size_t from, size_t to, bool selected) {
        if (from == to) return;
        m_runs.push_back({static_cast<uint32_t>(from), static_cast<uint32_t>(to - from),
                          WordClass(m_text.substr(from, to - from)), selected});
    }

    void EmitDelimiter(size_t at, bool selected) {
        EColourClass colour;
        if (m_error) {
            colour = kColourError;
        } else {
            const char c = m_text[at];
            // The comment starts at its first character, so that character is already a comment.
            if (!m_comment && (c == ';' || (c == '/' && at + 1 < m_text.size() && m_text[at + 1] == '/')))
                m_comment = true;
            colour = m_comment ? kColourComment : kColourText;
        }
        m_runs.push_back({static_cast<uint32_t>(at), 1, colour, selected});
    }

    EColourClass WordClass(std::string_view word) const {
        if (m_error) return kColourError;
        if (m_comment) return kColourComment;
        if (!m_keywordsOn) return kColourText;
        if (IsKeyword(word)) return kColourKeyword;
        if (m_identifiers && m_identifiers->Contains(word)) return kColourIdentifier;
        return kColourText;
    }

    bool IsKeyword(std::string_view word) const {
        if (word.size() >= kWordBufferSize) return false;
        char upper[kWordBufferSize];
        for (size_t i = 0; i < word.size(); ++i) {
            const char c = word[i];
            upper[i] = (c >= 'a' && c <= 'z') ? static_cast<char>(c - ('a' - 'A')) : c;
        }
        return m_keywords.ContainsUpper(std::string_view(upper, word.size()));
    }

    std::string_view m_text;
    const CIdentifierLookup* m_identifiers;
    const CKeywordTable& m_keywords;
    std::vector<CColourRun>& m_runs;
    const bool m_error;
    const bool m_keywordsOn;
    bool m_comment; // carried from one stretch to the next
};

} // namespace

void ClassifyLine(std::string_view text, int selStart, int selEnd, unsigned flags,
                  const CIdentifierLookup* identifiers, const CKeywordTable& keywords,
                  std::vector<CColourRun>& runs) {
    runs.clear();
    CScanner scanner(text, flags, identifiers, keywords, runs);
    const size_t length = text.size();
    if (selStart >= selEnd) {
        scanner.Stretch(0, length, false);
        return;
    }
    // Columns to byte offsets, clamped to the line.
    auto offset = [length](int column) {
        if (column <= 1) return size_t{0};
        return std::min(static_cast<size_t>(column - 1), length);
    };
    const size_t from = offset(selStart);
    const size_t to = offset(selEnd);
    scanner.Stretch(0, from, false);
    scanner.Stretch(from, to, true);
    scanner.Stretch(to, length, false);
}

unsigned ClassifyFlagsFor(const CItem& item, bool keywordColouring) {
    unsigned flags = keywordColouring ? kClassifyKeywords : 0u;
    if (item.HasErrorMark()) flags |= kClassifyError;
    if (const CSectionHeader* section = item.GetSection(); section && section->IsNotes())
        flags |= kClassifyNotes;
    return flags;
}

bool IsKeywordColouringEnabled(std::string_view fileName) {
    const size_t dot = fileName.rfind('.');
    return dot != std::string_view::npos && EqualsNoCase(fileName.substr(dot + 1), "rux");
}

int FixedItemColour(const CItem& item) {
    switch (item.GetType()) {
    case kItemPar:
        return kColourReadOnly;
    case kItemSectionHeader:
    case kItemSectionFooter:
        return kColourText;
    default:
        return 0;
    }
}

} // namespace rux
