#include "document/item_list.h"

#include "document/section_items.h"

#include <stdexcept>
#include <string>
#include <unordered_map>
#include <unordered_set>

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
    if (count > 0)
        CheckIndex(index);
    std::vector<ItemPtr> removed(std::make_move_iterator(m_items.begin() + index),
                                 std::make_move_iterator(m_items.begin() + index + count));
    m_items.erase(m_items.begin() + index, m_items.begin() + index + count);
    // Members must not point at a header that left the list; they keep its id for a later relink.
    // One pass over the list for all removed headers: a range may hold hundreds of sections.
    std::unordered_set<const CItem*> headers;
    for (const auto& item : removed)
        if (item->GetType() == kItemSectionHeader)
            headers.insert(item.get());
    m_orphanFirst = 0;
    m_orphanLast = -1;
    if (!headers.empty()) {
        // Members of one section stand together: one look-up per run of them.
        const CItem* seen = nullptr;
        bool orphan = false;
        for (int i = 0; i < GetSize(); ++i) {
            CItem* other = m_items[static_cast<size_t>(i)].get();
            const CItem* section = other->GetSection();
            if (!section)
                continue;
            if (section != seen) {
                seen = section;
                orphan = headers.count(section) != 0;
            }
            if (orphan) {
                other->SetSectionId(other->GetSectionId());
                if (m_orphanFirst > m_orphanLast)
                    m_orphanFirst = i;
                m_orphanLast = i;
            }
        }
        for (const auto& other : removed)
            if (other->GetSection() && headers.count(other->GetSection()))
                other->SetSectionId(other->GetSectionId());
    }
    return removed;
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
    std::unordered_map<uint32_t, const CSectionHeader*> headers;
    for (const auto& item : m_items)
        if (item->GetType() == kItemSectionHeader) {
            auto* header = static_cast<const CSectionHeader*>(item.get());
            headers[header->GetId()] = header;
        }
    int first = 0, last = -1;
    for (int i = 0; i < GetSize(); ++i) {
        CItem* item = m_items[static_cast<size_t>(i)].get();
        if (item->GetType() == kItemSectionHeader || item->GetSectionId() == 0)
            continue;
        const CSectionHeader* before = item->GetSection();
        auto it = headers.find(item->GetSectionId());
        if (it != headers.end())
            item->SetSection(it->second);
        else
            item->SetSectionId(item->GetSectionId());
        if (item->GetSection() != before) {
            if (first > last)
                first = i;
            last = i;
        }
    }
    return {first, last};
}

} // namespace rux
