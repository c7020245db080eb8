// The set of identifiers of a program, kept up to date item by item.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace rux {

class CObArrayEx;
class CItem;

// Every item remembers what it contributed (word ids, with the text they came from); a word is in
// the set while its count is above zero. Update() rescans only items whose text or kind changed
// since the last call, so the set costs one pass of comparisons after an edit instead of a full
// scan of the program.
class CIdentifierSet {
public:
    CIdentifierSet() = default;
    CIdentifierSet(const CIdentifierSet&) = delete;
    CIdentifierSet& operator=(const CIdentifierSet&) = delete;

    // Brings the set in line with the items.
    void Update(const CObArrayEx& items);
    // Forgets everything, so the next Update scans every item.
    void Clear();

    // Exact comparison, as the word stands in the line.
    bool Contains(std::string_view word) const;
    size_t Size() const { return m_live; }
    // The words sorted byte-wise.
    std::vector<std::string> Sorted() const;
    // How many items the last Update had to scan.
    int LastRescanned() const { return m_lastRescanned; }

private:
    enum class EKind : uint8_t { None, Line, Fbd };

    struct CEntry {
        const CItem* item = nullptr;
        EKind kind = EKind::None;
        std::string text; // what was scanned; empty for EKind::None
        std::vector<uint32_t> words;
    };

    struct CHash {
        using is_transparent = void;
        size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
    };
    struct CEqual {
        using is_transparent = void;
        bool operator()(std::string_view a, std::string_view b) const { return a == b; }
    };

    void Scan(CEntry& entry);
    void Release(const CEntry& entry);
    uint32_t Intern(std::string_view word);

    std::unordered_map<std::string, uint32_t, CHash, CEqual> m_ids;
    std::vector<uint32_t> m_counts; // by word id
    size_t m_live = 0;              // ids whose count is above zero
    std::vector<CEntry> m_entries;  // in item order as of the last Update
    int m_lastRescanned = 0;
};

} // namespace rux
