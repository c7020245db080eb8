#include "document/item_list.h"

#include "document/section_items.h"
#include "document/view_metrics.h"

#include <algorithm>
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

void CObArrayEx::SetRowWidth(size_t index, int width) {
    int& old = m_widths[index];
    if (old == width)
        return;
    if (old > 0) {
        auto it = m_widthCount.find(old);
        if (--it->second == 0)
            m_widthCount.erase(it);
    }
    if (width > 0)
        ++m_widthCount[width];
    old = width;
    m_widest = m_widthCount.empty() ? 0 : m_widthCount.rbegin()->first;
}

CItem* CObArrayEx::GetAt(int index) const {
    CheckIndex(index);
    return m_items[static_cast<size_t>(index)].get();
}

int CObArrayEx::Append(ItemPtr item) {
    if (!item)
        throw std::out_of_range("no item to append");
    m_items.push_back(std::move(item));
    m_widths.push_back(0);
    const int index = GetSize() - 1;
    Layout(index, false);
    return index;
}

void CObArrayEx::AdoptNoLayout(std::vector<ItemPtr> items) {
    if (m_items.empty())
        m_items = std::move(items);
    else {
        m_items.reserve(m_items.size() + items.size());
        for (auto& item : items)
            m_items.push_back(std::move(item));
    }
    m_widths.resize(m_items.size(), 0);
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
    CloseGap(); // the heights added below go onto a total that counts the rows as they are
    std::vector<CItem*> inserted;
    inserted.reserve(items.size());
    for (auto& item : items)
        inserted.push_back(item.get());
    m_items.insert(m_items.begin() + index, std::make_move_iterator(items.begin()),
                   std::make_move_iterator(items.end()));
    m_widths.insert(m_widths.begin() + index, inserted.size(), 0);
    Layout(index, false);
    if (!m_metrics)
        return;
    for (size_t i = 0; i < inserted.size(); ++i) {
        m_totalHeight += inserted[i]->GetHeight(*m_metrics);
        if (IsVisible(index + static_cast<int>(i)))
            SetRowWidth(static_cast<size_t>(index) + i, inserted[i]->GetWidth(*m_metrics));
    }
}

std::vector<CObArrayEx::ItemPtr> CObArrayEx::Remove(int index, int count) {
    std::vector<ItemPtr> removed = RemoveLeavingGap(index, count);
    CloseGap();
    return removed;
}

std::vector<CObArrayEx::ItemPtr> CObArrayEx::RemoveLeavingGap(int index, int count) {
    if (count < 0 || index < 0 || index > GetSize() || count > GetSize() - index)
        throw std::out_of_range("remove range outside the list");
    if (count > 0)
        CheckIndex(index);
    std::vector<ItemPtr> removed(std::make_move_iterator(m_items.begin() + index),
                                 std::make_move_iterator(m_items.begin() + index + count));
    m_items.erase(m_items.begin() + index, m_items.begin() + index + count);
    for (int i = index; i < index + count; ++i)
        SetRowWidth(static_cast<size_t>(i), 0);
    m_widths.erase(m_widths.begin() + index, m_widths.begin() + index + count);
    // Members must not point at a header that left the list; they keep its id for a later relink.
    // One pass over the list for all removed headers: a range may hold hundreds of sections.
    std::unordered_set<const CItem*> headers;
    for (const auto& item : removed)
        if (item->GetType() == kItemSectionHeader)
            headers.insert(item.get());
    m_orphaned = false;
    bool shown = false; // members left behind by a folded header show again
    if (!headers.empty()) {
        // Members of one section stand together: one look-up per run of them.
        const CItem* seen = nullptr;
        bool orphan = false;
        for (const auto& other : m_items) {
            const CSectionHeader* section = other->GetSection();
            if (!section)
                continue;
            if (section != seen) {
                seen = section;
                orphan = headers.count(section) != 0;
            }
            if (orphan) {
                shown = shown || !section->IsExpanded();
                other->SetSectionId(other->GetSectionId());
                m_orphaned = true;
            }
        }
        for (const auto& other : removed)
            if (other->GetSection() && headers.count(other->GetSection()))
                other->SetSectionId(other->GetSectionId());
    }
    if (m_lastReached >= index + count)
        m_lastReached -= count;
    else if (m_lastReached >= index)
        m_lastReached = index > 0 ? index - 1 : 0;
    if (m_lastReached >= GetSize())
        m_lastReached = GetSize() > 0 ? GetSize() - 1 : 0;
    // Without their header a folded section's members show again: they need a layout of their own.
    // A folded section taken out whole hides nothing that stays.
    if (!shown)
        m_gapFrom = m_gapFrom < 0 ? index : std::min(m_gapFrom, index);
    else
        Layout(index, true);
    return removed;
}

// The rows after a cut keep their heights and widths: they are stacked again from the first cut,
// not measured. Measuring them, as a layout would, made a range delete cost one full layout per
// removed row in a long program.
void CObArrayEx::CloseGap() {
    const int index = m_gapFrom;
    m_gapFrom = -1;
    if (index < 0 || !m_metrics)
        return;
    if (m_items.empty()) {
        Layout(0, true);
        return;
    }
    const int size = GetSize();
    const int prev = PreviousVisible(index);
    const CItem* above = prev >= 0 ? m_items[static_cast<size_t>(prev)].get() : nullptr;
    int y = above ? above->GetTop() + above->GetHeight(*m_metrics) : 0;
    for (int i = index; i < size; ++i) {
        CItem* item = m_items[static_cast<size_t>(i)].get();
        CSectionHeader* section = item->GetSection();
        // Hidden rows sit at their header's top, which has moved already when it came after the cut.
        if (section && item->GetType() != kItemSectionHeader && !section->IsExpanded()) {
            item->SetTop(section->GetTop());
        } else {
            item->SetTop(y);
            y += item->GetHeight(*m_metrics);
        }
    }
    const CItem* last = m_items.back().get();
    m_totalHeight = last->GetTop() + last->GetHeight(*m_metrics) + m_metrics->LineHeight();
}

void CObArrayEx::RemoveAll() {
    m_gapFrom = -1;
    m_items.clear();
    m_widths.clear();
    m_widthCount.clear();
    m_widest = 0;
    m_totalHeight = 0;
    m_lastReached = 0;
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

void CObArrayEx::Layout(int from, bool full) {
    if (!m_metrics)
        return;
    CloseGap();
    if (m_items.empty()) {
        m_widest = 0;
        m_widthCount.clear();
        m_totalHeight = 0;
        m_lastReached = 0;
        return;
    }
    const CViewMetrics& metrics = *m_metrics;
    int start = 0;
    if (from > 0) {
        start = PreviousVisible(from);
        if (start > m_lastReached)
            start = m_lastReached;
        if (start < 1)
            start = 0;
    }
    int y = start == 0 ? 0 : m_items[static_cast<size_t>(start)]->GetTop();
    const int bottom = metrics.ScrollY() + metrics.ClientHeight();
    const int count = GetSize();
    for (int i = start; i < count; ++i) {
        const bool goOn = full || y <= bottom;
        CItem* item = m_items[static_cast<size_t>(i)].get();
        CSectionHeader* section = item->GetSection();
        if (section && item->GetType() != kItemSectionHeader && !section->IsExpanded()) {
            item->SetTop(section->GetTop());
            SetRowWidth(static_cast<size_t>(i), 0);
        } else {
            m_lastReached = i;
            item->SetTop(y);
            y += item->GetHeight(metrics);
            SetRowWidth(static_cast<size_t>(i), item->GetWidth(metrics));
        }
        if (!goOn)
            break;
    }
    if (full) {
        const CItem* last = m_items.back().get();
        m_totalHeight = last->GetTop() + last->GetHeight(metrics) + metrics.LineHeight();
    }
}

void CObArrayEx::RelinkSections() {
    std::unordered_map<uint32_t, CSectionHeader*> headers;
    for (const auto& item : m_items)
        if (item->GetType() == kItemSectionHeader) {
            auto* header = static_cast<CSectionHeader*>(item.get());
            headers[header->GetId()] = header;
        }
    for (const auto& item : m_items) {
        if (item->GetType() == kItemSectionHeader || item->GetSectionId() == 0)
            continue;
        auto it = headers.find(item->GetSectionId());
        if (it != headers.end())
            item->SetSection(it->second);
        else
            item->SetSectionId(item->GetSectionId());
    }
}

} // namespace rux
