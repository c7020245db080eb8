#include "document/identifier_set.h"

#include "diagrams/ld_parser.h"

#include "document/diagram_item.h"
#include "document/identifier_scan.h"
#include "document/item_list.h"
#include "document/section_items.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>

namespace rux {
namespace {

// An item that moved further than this is found through a map of the old positions.
constexpr size_t kLookAhead = 32;

} // namespace

void CIdentifierSet::Clear() {
    m_table.Clear();
    m_words.clear();
    m_entries.clear();
    m_texts.clear();
    m_wordIds.clear();
    m_live = 0;
    m_textGarbage = 0;
    m_wordGarbage = 0;
    m_lastRescanned = 0;
}

uint32_t CIdentifierSet::Intern(std::string_view word) {
    bool added = false;
    const uint32_t id = m_table.Intern(word, added);
    if (added) m_words.push_back({0, ClassifyWord(word)});
    return id;
}

void CIdentifierSet::UpdateRange(const CObArrayEx& items, int first, int last, int delta) {
    const int count = items.GetSize();
    const int oldCount = static_cast<int>(m_entries.size());
    const int oldLast = last - delta; // the last old entry the edit replaced
    if (first < 0 || oldCount + delta != count || first > oldCount || oldLast >= oldCount || last >= count ||
        oldLast < first - 1 || (oldLast + 1 < oldCount && m_entries[static_cast<size_t>(oldLast + 1)].item !=
                                                              items.GetAt(last + 1))) {
        Update(items);
        return;
    }
    for (int k = first; k <= oldLast; ++k)
        Release(m_entries[static_cast<size_t>(k)]);
    std::vector<CEntry> fresh;
    fresh.reserve(static_cast<size_t>(last - first + 1));
    int rescanned = 0;
    for (int i = first; i <= last; ++i) {
        const CItem* item = items.GetAt(i);
        // Lines in the range belong to the section their link names; the edit code links new lines.
        const CSectionHeader* section = item->GetSection();
        const EKind kind = KindOf(*item, section);
        CEntry entry;
        entry.item = item;
        Scan(entry, *item, kind);
        if (kind != EKind::None)
            ++rescanned;
        fresh.push_back(entry);
    }
    // The entries behind the range move once, by the difference, not out and back again.
    const auto begin = m_entries.begin() + first;
    const size_t replaced = static_cast<size_t>(oldLast - first + 1);
    const size_t common = std::min(replaced, fresh.size());
    std::copy(fresh.begin(), fresh.begin() + static_cast<std::ptrdiff_t>(common), begin);
    if (replaced > common)
        m_entries.erase(begin + static_cast<std::ptrdiff_t>(common), begin + static_cast<std::ptrdiff_t>(replaced));
    else
        m_entries.insert(begin + static_cast<std::ptrdiff_t>(common), fresh.begin() + static_cast<std::ptrdiff_t>(common),
                         fresh.end());
    m_lastRescanned = rescanned;
    Tidy();
}

bool CIdentifierSet::Matches(const CEntry& entry, EKind kind, const CItem& item) const {
    if (entry.kind != kind) return false;
    if (kind == EKind::None) return true;
    const std::string& text = item.GetText();
    return text.size() == entry.textLength &&
           std::memcmp(text.data(), m_texts.data() + entry.textOffset, text.size()) == 0;
}

void CIdentifierSet::Scan(CEntry& entry, const CItem& item, EKind kind) {
    entry.kind = kind;
    entry.textOffset = 0;
    entry.textLength = 0;
    entry.wordOffset = static_cast<uint32_t>(m_wordIds.size());
    entry.wordCount = 0;
    if (kind == EKind::None) return;
    const std::string& text = item.GetText();
    entry.textOffset = static_cast<uint32_t>(m_texts.size());
    entry.textLength = static_cast<uint32_t>(text.size());
    m_texts += text;
    auto add = [&](uint32_t id) {
        if (m_words[id].count++ == 0) ++m_live;
        m_wordIds.push_back(id);
    };
    if (kind == EKind::Line) {
        ScanLineIdentifiersWith(
            text,
            [&](std::string_view word) {
                const uint32_t id = Intern(word);
                return std::pair(id, m_words[id].cls);
            },
            add);
    } else if (kind == EKind::Qld) {
        ScanLadderIdentifiers(text, [&](std::string_view word) { add(Intern(word)); });
    } else {
        ScanFbdIdentifiersWith(text, [&](std::string_view word) { add(Intern(word)); });
    }
    entry.wordCount = static_cast<uint32_t>(m_wordIds.size()) - entry.wordOffset;
}

void CIdentifierSet::Release(const CEntry& entry) {
    for (uint32_t k = 0; k < entry.wordCount; ++k)
        if (--m_words[m_wordIds[entry.wordOffset + k]].count == 0) --m_live;
    m_textGarbage += entry.textLength;
    m_wordGarbage += entry.wordCount;
}

CIdentifierSet::EKind CIdentifierSet::KindOf(const CItem& item, const CSectionHeader*& section) {
    switch (item.GetType()) {
    case kItemSectionHeader:
        section = static_cast<const CSectionHeader*>(&item);
        return EKind::None;
    case kItemLine: {
        // Sections are contiguous, so the last header met is the only one a line can belong to;
        // this holds even before the edit code has re-linked the section pointers.
        const bool notes = section && item.GetSectionId() != 0 && item.GetSectionId() == section->GetId() &&
                           section->IsNotes();
        return notes ? EKind::None : EKind::Line;
    }
    case kItemDiag:
        switch (static_cast<const CDiag&>(item).GetKind()) {
        case kDiagramFbd:
            return EKind::Fbd;
        case kDiagramQld:
            return EKind::Qld; // the operands of its contacts and coils, from the ladder text
        default:
            return EKind::None;
        }
    default:
        return EKind::None;
    }
}

void CIdentifierSet::Update(const CObArrayEx& items) {
    const int count = items.GetSize();
    int rescanned = 0;
    const CSectionHeader* section = nullptr;
    if (m_entries.empty()) {
        // A first scan (a program just opened): the text pool ends up as large as the texts, so it is
        // sized once instead of being copied at every doubling; a word takes some four bytes of text.
        size_t bytes = 0;
        for (int i = 0; i < count; ++i)
            bytes += items.GetAt(i)->GetText().size();
        m_texts.reserve(m_texts.size() + bytes);
        m_wordIds.reserve(m_wordIds.size() + bytes / 4);
    }

    // A keystroke changes texts, not the order: while every item is where it was, entries are
    // checked and rescanned in place.
    int first = 0;
    for (; first < count && static_cast<size_t>(first) < m_entries.size(); ++first) {
        const CItem* item = items.GetAt(first);
        CEntry& entry = m_entries[static_cast<size_t>(first)];
        if (entry.item != item) break;
        const EKind kind = KindOf(*item, section);
        if (Matches(entry, kind, *item)) continue;
        Release(entry);
        Scan(entry, *item, kind);
        if (kind != EKind::None) ++rescanned;
    }
    if (static_cast<size_t>(first) == m_entries.size() && first == count) {
        m_lastRescanned = rescanned;
        Tidy();
        return;
    }

    std::vector<CEntry> next;
    next.reserve(static_cast<size_t>(count));
    next.assign(m_entries.begin(), m_entries.begin() + first);
    std::vector<bool> taken(m_entries.size(), false);
    std::fill(taken.begin(), taken.begin() + first, true);
    // Built only when an item moved further than the look-ahead reaches (a large paste or deletion).
    std::unordered_map<const CItem*, size_t> where;
    bool whereBuilt = false;
    size_t cursor = static_cast<size_t>(first);

    for (int i = first; i < count; ++i) {
        const CItem* item = items.GetAt(i);
        const EKind kind = KindOf(*item, section);

        size_t found = m_entries.size();
        if (cursor < m_entries.size() && m_entries[cursor].item == item) {
            found = cursor;
        } else {
            // Items removed just here: the item stands a little further on in the old order.
            for (size_t k = cursor + 1; k < m_entries.size() && k <= cursor + kLookAhead; ++k)
                if (m_entries[k].item == item && !taken[k]) {
                    found = k;
                    break;
                }
            // Items inserted just here: the old entry at the cursor comes a little later; this item
            // is new. (Were it an old item from elsewhere, rescanning it would still be right.)
            bool inserted = false;
            if (found == m_entries.size() && cursor < m_entries.size())
                for (int k = i + 1; k < count && k <= i + static_cast<int>(kLookAhead); ++k)
                    if (items.GetAt(k) == m_entries[cursor].item) {
                        inserted = true;
                        break;
                    }
            if (found == m_entries.size() && !inserted && !m_entries.empty()) {
                if (!whereBuilt) {
                    where.reserve(m_entries.size());
                    for (size_t k = 0; k < m_entries.size(); ++k)
                        where.emplace(m_entries[k].item, k);
                    whereBuilt = true;
                }
                if (auto it = where.find(item); it != where.end() && !taken[it->second]) found = it->second;
            }
        }

        CEntry entry;
        entry.item = item;
        if (found < m_entries.size()) {
            cursor = found + 1;
            taken[found] = true;
            const CEntry& old = m_entries[found];
            if (Matches(old, kind, *item)) {
                next.push_back(old);
                continue;
            }
            Release(old);
        }
        Scan(entry, *item, kind);
        if (kind != EKind::None) ++rescanned;
        next.push_back(entry);
    }
    for (size_t k = 0; k < m_entries.size(); ++k)
        if (!taken[k]) Release(m_entries[k]);
    m_entries = std::move(next);
    m_lastRescanned = rescanned;
    Tidy();
}

void CIdentifierSet::Tidy() {
    if (m_textGarbage > m_texts.size() / 2 + 65536 || m_wordGarbage > m_wordIds.size() / 2 + 16384)
        CompactPools();
    // Typing leaves a trail of dead words ("a", "ab", "abc"); drop them once they outnumber the live.
    if (m_words.size() > 2 * m_live + 4096) DropDeadWords();
}

void CIdentifierSet::CompactPools() {
    std::string texts;
    texts.reserve(m_texts.size() - m_textGarbage);
    std::vector<uint32_t> wordIds;
    wordIds.reserve(m_wordIds.size() - m_wordGarbage);
    for (CEntry& entry : m_entries) {
        const uint32_t textOffset = static_cast<uint32_t>(texts.size());
        texts.append(m_texts, entry.textOffset, entry.textLength);
        entry.textOffset = textOffset;
        const uint32_t wordOffset = static_cast<uint32_t>(wordIds.size());
        wordIds.insert(wordIds.end(), m_wordIds.begin() + entry.wordOffset,
                       m_wordIds.begin() + entry.wordOffset + entry.wordCount);
        entry.wordOffset = wordOffset;
    }
    m_texts = std::move(texts);
    m_wordIds = std::move(wordIds);
    m_textGarbage = 0;
    m_wordGarbage = 0;
}

void CIdentifierSet::DropDeadWords() {
    CompactPools();
    std::vector<uint32_t> remap(m_words.size(), 0);
    CWordTable table;
    std::vector<CWord> words;
    for (uint32_t id = 0; id < m_words.size(); ++id)
        if (m_words[id].count > 0) {
            bool added = false;
            remap[id] = table.Intern(m_table.Word(id), added);
            words.push_back(m_words[id]);
        }
    for (uint32_t& id : m_wordIds)
        id = remap[id];
    m_table = std::move(table);
    m_words = std::move(words);
}

bool CIdentifierSet::Contains(std::string_view word) const {
    const uint32_t id = m_table.Find(word);
    return id != CWordTable::kNone && m_words[id].count > 0;
}

std::vector<std::string> CIdentifierSet::Sorted() const {
    std::vector<std::string> words;
    words.reserve(m_live);
    for (uint32_t id = 0; id < m_words.size(); ++id)
        if (m_words[id].count > 0) words.emplace_back(m_table.Word(id));
    std::sort(words.begin(), words.end());
    return words;
}

} // namespace rux
