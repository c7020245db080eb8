// The ordered, owning list of a program's items, and the layout that stacks them into rows.
#pragma once

#include "document/item.h"

#include <map>
#include <memory>
#include <vector>

namespace rux {

class CViewMetrics;

class CObArrayEx {
public:
    using ItemPtr = std::unique_ptr<CItem>;

    CObArrayEx() = default;
    CObArrayEx(const CObArrayEx&) = delete;
    CObArrayEx& operator=(const CObArrayEx&) = delete;

    int GetSize() const { return static_cast<int>(m_items.size()); }
    bool IsEmpty() const { return m_items.empty(); }
    // Throws std::out_of_range for an index outside the list.
    CItem* GetAt(int index) const;
    CItem* operator[](int index) const { return GetAt(index); }

    // Adds at the end; returns the index.
    int Append(ItemPtr item);
    // Inserts at index (capped at the count).
    void Insert(int index, ItemPtr item);
    void Insert(int index, std::vector<ItemPtr> items);
    // Takes count items out of the list and hands them to the caller.
    std::vector<ItemPtr> Remove(int index, int count = 1);
    // The same, but the rows below stay where they stood until the next Layout: an edit that cuts
    // several runs moves the rows below once, not once per run.
    std::vector<ItemPtr> RemoveLeavingGap(int index, int count);
    // Whether the last Remove left members behind whose header it took.
    bool RemoveOrphaned() const { return m_orphaned; }
    // Deletes every item.
    void RemoveAll();
    // Appends without laying out; for readers that lay out once at the end.
    void AppendNoLayout(ItemPtr item) {
        m_items.push_back(std::move(item));
        m_widths.push_back(0);
    }
    void Reserve(size_t n) {
        m_items.reserve(n);
        m_widths.reserve(n);
    }
    // Takes a whole list at once when this one is empty (readers), else appends; no layout.
    void AdoptNoLayout(std::vector<ItemPtr> items);

    // Nearest visible index after (before) index, or -1.
    int NextVisible(int index) const;
    int PreviousVisible(int index) const;
    bool IsVisible(int index) const;

    // Stacks rows from `from`: fully to the end, or until the bottom of the client area.
    void Layout(int from, bool full);

    // The measuring context of the view that lays the list out; none: layout does nothing.
    void SetMetrics(const CViewMetrics* metrics) { m_metrics = metrics; }
    const CViewMetrics* GetMetrics() const { return m_metrics; }
    int GetWidestRow() const { return m_widest; }
    int GetTotalHeight() const { return m_totalHeight; }
    int GetLastReached() const { return m_lastReached; }

    // Links every item to the section header whose id it carries (after structural edits).
    void RelinkSections();

    auto begin() const { return m_items.begin(); }
    auto end() const { return m_items.end(); }

private:
    void CheckIndex(int index) const;
    // Moves the rows from the first cut on up to close the gaps removals left.
    void CloseGap();
    // Row i's width as the last layout measured it (0 while hidden or not yet laid out).
    void SetRowWidth(size_t index, int width);

    std::vector<ItemPtr> m_items;
    // Parallel to m_items, and how many rows have each width: the widest row falls back to the
    // next widest when its row is deleted, shortened or folded away.
    std::vector<int> m_widths;
    std::map<int, int> m_widthCount;
    bool m_orphaned = false;
    int m_gapFrom = -1; // the first row a removal has not moved up yet, or -1
    int m_widest = 0;
    int m_totalHeight = 0;
    int m_lastReached = 0;
    const CViewMetrics* m_metrics = nullptr;
};

} // namespace rux
