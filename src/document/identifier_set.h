// The set of identifiers of a program, kept up to date item by item.
#pragma once

#include "document/identifier_lookup.h"
#include "document/word_table.h"
#include <cstdint>
#include <string>

#include <string_view>
#include <vector>

namespace rux {

class CObArrayEx;
class CItem;
class CSectionHeader;

// Every item remembers what it contributed (word ids, with the text they came from); a word is in
// the set while its count is above zero. Update() rescans only items whose text or kind changed
// since the last call, so the set costs one pass of comparisons after an edit instead of a full
// scan of the program.
class CIdentifierSet final : public CIdentifierLookup {
public:
    CIdentifierSet() = default;
    CIdentifierSet(const CIdentifierSet&) = delete;
    CIdentifierSet& operator=(const CIdentifierSet&) = delete;

    // Brings the set in line with the items.
    void Update(const CObArrayEx& items);
    // The same after an edit that changed only items[first..last] and moved the items after them by
    // `delta` places; much cheaper than Update on a large program. Falls back to Update when the
    // entries do not line up with the items as the change says.
    void UpdateRange(const CObArrayEx& items, int first, int last, int delta);
    // Forgets everything, so the next Update scans every item.
    void Clear();

    // Exact comparison, as the word stands in the line.
    bool Contains(std::string_view word) const override;
    size_t Size() const { return m_live; }
    // The words sorted byte-wise.
    std::vector<std::string> Sorted() const;
    // How many items the last Update had to scan.
    int LastRescanned() const { return m_lastRescanned; }

private:
    enum class EKind : uint8_t { None, Line, Fbd, Qld };

    // Plain data, so that shifting entries after an insertion is a memmove. The scanned text and the
    // word ids live in the two pools below; an entry that is rescanned appends anew and leaves its old
    // slices as garbage until the pools are compacted.
    struct CEntry {
        const CItem* item = nullptr;
        uint32_t textOffset = 0;
        uint32_t textLength = 0;
        uint32_t wordOffset = 0;
        uint32_t wordCount = 0;
        EKind kind = EKind::None;
    };

    struct CWord {
        uint32_t count = 0;
        uint8_t cls = 0; // EWordClass, worked out once when the word is first met
    };

    std::string_view TextOf(const CEntry& entry) const {
        return {m_texts.data() + entry.textOffset, entry.textLength};
    }
    static EKind KindOf(const CItem& item, const CSectionHeader*& section);
    bool Matches(const CEntry& entry, EKind kind, const CItem& item) const;
    // Compacts the pools and drops dead words once they outweigh the live ones.
    void Tidy();
    void Scan(CEntry& entry, const CItem& item, EKind kind);
    void Release(const CEntry& entry);
    uint32_t Intern(std::string_view word);
    void CompactPools();
    void DropDeadWords();

    CWordTable m_table;
    std::vector<CWord> m_words;      // by word id, as the table hands them out
    size_t m_live = 0;               // ids whose count is above zero
    std::vector<CEntry> m_entries;   // in item order as of the last Update
    std::string m_texts;             // pool of scanned texts
    std::vector<uint32_t> m_wordIds; // pool of word ids
    size_t m_textGarbage = 0;
    size_t m_wordGarbage = 0;
    int m_lastRescanned = 0;
};

} // namespace rux
