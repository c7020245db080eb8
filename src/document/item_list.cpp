#include "document/item_list.h"

#include "document/section_items.h"

#include <algorithm>
#include <functional>
#include <stdexcept>
#include <string>
#include <unordered_map>

namespace rux {

void CObArrayEx::CheckIndex(int index) const {
    if (index < 0 || index >= GetSize())
        throw std::out_of_range("item index " + std::to_string(index) + " outside 0.." +
                                std::to_string(GetSize() - 1));
}

const CItem* CObArrayEx::GetAt(int index) const {
    CheckIndex(index);
    return m_items[static_cast<size_t>(index)].get();
}

CItem* CObArrayEx::MutableAt(int index) {
    CheckIndex(index);
    return m_items[static_cast<size_t>(index)].get();
}

int CObArrayEx::Append(ItemPtr item) {
    if (!item)
        throw std::out_of_range("no item to append");
    m_items.push_back(std::move(item));
    return GetSize() - 1;
}

void CObArrayEx::AdoptNoLayout(std::vector<ItemPtr> items) {
    if (m_items.empty())
        m_items = std::move(items);
    else {
        m_items.reserve(m_items.size() + items.size());
        for (auto& item : items)
            m_items.push_back(std::move(item));
    }
}

void CObArrayEx::Insert(int index, ItemPtr item) {
    std::vector<ItemPtr> one;
    one.push_back(std::move(item));
    Insert(index, std::move(one));
}

void CObArrayEx::Insert(int index, std::vector<ItemPtr> items) {
    if (index < 0)
        throw std::out_of_range("negative insert index");
    for (const auto& item : items)
        if (!item)
            throw std::out_of_range("no item to insert");
    if (index > GetSize())
        index = GetSize();
    m_items.insert(m_items.begin() + index, std::make_move_iterator(items.begin()),
                   std::make_move_iterator(items.end()));
}

std::vector<CObArrayEx::ItemPtr> CObArrayEx::Remove(int index, int count) {
    if (count < 0 || index < 0 || index > GetSize() || count > GetSize() - index)
        throw std::out_of_range("remove range outside the list");
    std::vector<std::vector<ItemPtr>> removed = Remove(std::vector<CRun>{{index, count}});
    return removed.empty() ? std::vector<ItemPtr>() : std::move(removed.front());
}

std::vector<std::vector<CObArrayEx::ItemPtr>> CObArrayEx::Remove(const std::vector<CRun>& runs) {
    int end = 0;
    for (const CRun& run : runs) {
        if (run.count < 0 || run.first < end || run.count > GetSize() - run.first)
            throw std::out_of_range("remove runs outside the list or out of order");
        end = run.first + run.count;
    }
    m_orphanFirst = 0;
    m_orphanLast = -1;
    std::vector<std::vector<ItemPtr>> removed;
    removed.reserve(runs.size());
    const auto at = [&](int index) { return m_items.begin() + index; };
    for (const CRun& run : runs)
        removed.emplace_back(std::make_move_iterator(at(run.first)), std::make_move_iterator(at(run.first + run.count)));
    // The rows between and behind the runs close up in one pass.
    if (!runs.empty()) {
        auto write = at(runs.front().first);
        for (size_t r = 0; r < runs.size(); ++r) {
            const int from = runs[r].first + runs[r].count;
            const int to = r + 1 < runs.size() ? runs[r + 1].first : GetSize();
            write = std::move(at(from), at(to), write);
        }
        m_items.erase(write, m_items.end());
        UnlinkOrphans(removed, runs.front().first);
    }
    return removed;
}

void CObArrayEx::UnlinkOrphans(const std::vector<std::vector<ItemPtr>>& removed, int cut) {
    // Removed items let go of their headers first; a removed header still linked to after that
    // has members left in the list, and only so many are looked for.
    std::vector<const CSectionHeader*> headers;
    for (const auto& run : removed)
        for (const auto& item : run) {
            item->SetSectionId(item->GetSectionId());
            if (item->GetType() == kItemSectionHeader)
                headers.push_back(static_cast<const CSectionHeader*>(item.get()));
        }
    long wanted = 0;
    std::erase_if(headers, [](const CSectionHeader* header) { return header->LinkCount() == 0; });
    for (const CSectionHeader* header : headers)
        wanted += header->LinkCount();
    if (wanted == 0)
        return;
    std::sort(headers.begin(), headers.end(), std::less<>());
    // Members stand behind their header as a rule, so the look starts at the cut and goes on down,
    // then up from it; members of one section stand together, so one look-up per run of them.
    const CSectionHeader* seen = nullptr;
    bool orphan = false;
    auto look = [&](int i) {
        CItem* item = m_items[static_cast<size_t>(i)].get();
        const CSectionHeader* section = item->GetSection();
        if (!section)
            return;
        if (section != seen) {
            seen = section;
            orphan = std::binary_search(headers.begin(), headers.end(), section, std::less<>());
        }
        if (!orphan)
            return;
        item->SetSectionId(item->GetSectionId());
        --wanted;
        if (m_orphanFirst > m_orphanLast)
            m_orphanFirst = m_orphanLast = i;
        m_orphanFirst = std::min(m_orphanFirst, i);
        m_orphanLast = std::max(m_orphanLast, i);
    };
    for (int i = cut; wanted > 0 && i < GetSize(); ++i)
        look(i);
    for (int i = cut - 1; wanted > 0 && i >= 0; --i)
        look(i);
}

void CObArrayEx::RemoveAll() {
    m_items.clear();
}

bool CObArrayEx::IsVisible(int index) const {
    const CItem* item = m_items[static_cast<size_t>(index)].get();
    return item->GetSection() == nullptr || item->GetType() == kItemSectionHeader || item->IsSectionExpanded();
}

int CObArrayEx::NextVisible(int index) const {
    for (int i = index < -1 ? 0 : index + 1; i < GetSize(); ++i)
        if (IsVisible(i))
            return i;
    return -1;
}

int CObArrayEx::PreviousVisible(int index) const {
    for (int i = (index > GetSize() ? GetSize() : index) - 1; i >= 0; --i)
        if (IsVisible(i))
            return i;
    return -1;
}

int CObArrayEx::SectionEnd(int header) const {
    CheckIndex(header);
    const CItem* head = m_items[static_cast<size_t>(header)].get();
    if (head->GetType() != kItemSectionHeader)
        return header;
    // Rows that joined no section may stand between the members: the footer ends the section.
    int last = header;
    for (int i = header + 1; i < GetSize(); ++i) {
        const CItem* item = m_items[static_cast<size_t>(i)].get();
        if (item->GetSection() != head)
            continue;
        last = i;
        if (item->GetType() == kItemSectionFooter)
            break;
    }
    return last;
}

std::pair<int, int> CObArrayEx::RelinkSections() {
    // Members follow their header as a rule, so the last header met names most rows; the map of
    // every header is built only when a row names another one.
    std::unordered_map<uint32_t, const CSectionHeader*> headers;
    bool mapped = false;
    const CSectionHeader* current = nullptr;
    int first = 0, last = -1;
    for (int i = 0; i < GetSize(); ++i) {
        CItem* item = m_items[static_cast<size_t>(i)].get();
        if (item->GetType() == kItemSectionHeader) {
            current = static_cast<const CSectionHeader*>(item);
            continue;
        }
        const uint32_t id = item->GetSectionId();
        if (id == 0) continue;
        const CSectionHeader* header = current && current->GetId() == id ? current : nullptr;
        if (!header) {
            if (!mapped) {
                for (const auto& each : m_items)
                    if (each->GetType() == kItemSectionHeader) {
                        const auto* known = static_cast<const CSectionHeader*>(each.get());
                        headers[known->GetId()] = known;
                    }
                mapped = true;
            }
            const auto it = headers.find(id);
            if (it != headers.end()) header = it->second;
        }
        const CSectionHeader* before = item->GetSection();
        if (header == before) continue;
        if (header)
            item->SetSection(header);
        else
            item->SetSectionId(id);
        if (first > last) first = i;
        last = i;
    }
    return {first, last};
}

bool CObArrayEx::LinkMembers(int first, int count) {
    const CSectionHeader* header = nullptr; // the last one found: restored rows share it as a rule
    for (int i = first; i < first + count; ++i) {
        CItem* item = m_items[static_cast<size_t>(i)].get();
        const uint32_t id = item->GetSectionId();
        if (id == 0 || item->GetSection() != nullptr) continue;
        if (!header || header->GetId() != id) {
            header = nullptr;
            for (int j = first - 1; j >= 0 && !header; --j) {
                const CItem* candidate = m_items[static_cast<size_t>(j)].get();
                // A header's section id is its own, apart from its id as an item.
                if (candidate->GetType() == kItemSectionHeader &&
                    static_cast<const CSectionHeader*>(candidate)->GetId() == id)
                    header = static_cast<const CSectionHeader*>(candidate);
            }
            if (!header) return false;
        }
        item->SetSection(header);
    }
    return true;
}

} // namespace rux
