#include "document/identifier_set.h"

#include "document/diagram_item.h"
#include "document/identifier_scan.h"
#include "document/item_list.h"
#include "document/section_items.h"

#include <algorithm>

namespace rux {

void CIdentifierSet::Clear() {
    m_ids.clear();
    m_counts.clear();
    m_entries.clear();
    m_live = 0;
    m_lastRescanned = 0;
}

uint32_t CIdentifierSet::Intern(std::string_view word) {
    auto it = m_ids.find(word);
    if (it == m_ids.end()) {
        it = m_ids.emplace(std::string(word), static_cast<uint32_t>(m_counts.size())).first;
        m_counts.push_back(0);
    }
    return it->second;
}

void CIdentifierSet::Scan(CEntry& entry) {
    entry.words.clear();
    auto add = [&](std::string_view word) {
        const uint32_t id = Intern(word);
        if (m_counts[id]++ == 0) ++m_live;
        entry.words.push_back(id);
    };
    if (entry.kind == EKind::Line)
        ScanLineIdentifiers(entry.text, add);
    else if (entry.kind == EKind::Fbd)
        ScanFbdIdentifiers(entry.text, add);
}

void CIdentifierSet::Release(const CEntry& entry) {
    for (uint32_t id : entry.words)
        if (--m_counts[id] == 0) --m_live;
}

void CIdentifierSet::Update(const CObArrayEx& items) {
    std::vector<CEntry> old = std::move(m_entries);
    std::vector<CEntry> next;
    next.reserve(static_cast<size_t>(items.GetSize()));
    // Built only when an item is not where it was last time (an insertion or removal before it).
    std::unordered_map<const CItem*, size_t> where;
    bool whereBuilt = false;
    size_t cursor = 0;
    int rescanned = 0;
    const CSectionHeader* section = nullptr;

    for (const auto& owned : items) {
        const CItem* item = owned.get();
        EKind kind = EKind::None;
        switch (item->GetType()) {
        case kItemSectionHeader:
            section = static_cast<const CSectionHeader*>(item);
            break;
        case kItemLine: {
            // Sections are contiguous, so the last header met is the only one a line can belong to;
            // this holds even before the edit code has re-linked the section pointers.
            const bool notes = section && item->GetSectionId() != 0 &&
                               item->GetSectionId() == section->GetId() && section->IsNotes();
            kind = notes ? EKind::None : EKind::Line;
            break;
        }
        case kItemDiag:
            // Quick ladder payloads name their variables in the ladder text, which needs the ladder
            // reader; until that reader exists they contribute nothing.
            kind = static_cast<const CDiag*>(item)->GetKind() == kDiagramFbd ? EKind::Fbd : EKind::None;
            break;
        default:
            break;
        }

        size_t found = old.size();
        if (cursor < old.size() && old[cursor].item == item) {
            found = cursor;
        } else {
            if (!whereBuilt) {
                for (size_t k = 0; k < old.size(); ++k)
                    where.emplace(old[k].item, k);
                whereBuilt = true;
            }
            if (auto it = where.find(item); it != where.end() && old[it->second].item == item)
                found = it->second;
        }

        if (found < old.size()) {
            cursor = found + 1;
            CEntry& entry = old[found];
            if (entry.kind == kind && (kind == EKind::None || entry.text == item->GetText())) {
                next.push_back(std::move(entry));
                entry.item = nullptr;
                continue;
            }
            Release(entry);
            entry.words.clear();
            entry.item = nullptr;
        }
        CEntry fresh;
        fresh.item = item;
        fresh.kind = kind;
        if (kind != EKind::None) {
            fresh.text = item->GetText();
            Scan(fresh);
            ++rescanned;
        }
        next.push_back(std::move(fresh));
    }
    for (const CEntry& gone : old)
        if (gone.item != nullptr) Release(gone);
    m_entries = std::move(next);
    m_lastRescanned = rescanned;

    // Typing leaves a trail of dead words ("a", "ab", "abc"); drop them once they outnumber the live.
    if (m_counts.size() > 2 * m_live + 4096) {
        std::vector<uint32_t> remap(m_counts.size(), 0);
        std::unordered_map<std::string, uint32_t, CHash, CEqual> ids;
        std::vector<uint32_t> counts;
        for (auto& [word, id] : m_ids)
            if (m_counts[id] > 0) {
                remap[id] = static_cast<uint32_t>(counts.size());
                counts.push_back(m_counts[id]);
                ids.emplace(word, remap[id]);
            }
        for (CEntry& entry : m_entries)
            for (uint32_t& id : entry.words)
                id = remap[id];
        m_ids = std::move(ids);
        m_counts = std::move(counts);
    }
}

bool CIdentifierSet::Contains(std::string_view word) const {
    const auto it = m_ids.find(word);
    return it != m_ids.end() && m_counts[it->second] > 0;
}

std::vector<std::string> CIdentifierSet::Sorted() const {
    std::vector<std::string> words;
    words.reserve(m_live);
    for (const auto& [word, id] : m_ids)
        if (m_counts[id] > 0) words.push_back(word);
    std::sort(words.begin(), words.end());
    return words;
}

} // namespace rux
