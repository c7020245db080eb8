// The ordered, owning list of a program's items. Each view lays it out for itself (row_layout.h).
#pragma once

#include "document/item.h"

#include <memory>
#include <utility>
#include <vector>

namespace rux {

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
    // Whether the last Remove left members behind whose header it took, and the rows they span
    // now: without their header a folded section's members show again.
    bool RemoveOrphaned() const { return m_orphanFirst <= m_orphanLast; }
    int OrphanedFirst() const { return m_orphanFirst; }
    int OrphanedLast() const { return m_orphanLast; }
    // Deletes every item.
    void RemoveAll();
    // Appends without a check; for readers that build a list before anyone looks at it.
    void AppendNoLayout(ItemPtr item) { m_items.push_back(std::move(item)); }
    void Reserve(size_t n) { m_items.reserve(n); }
    // Takes a whole list at once when this one is empty (readers), else appends.
    void AdoptNoLayout(std::vector<ItemPtr> items);

    // Nearest visible index after (before) index, or -1.
    int NextVisible(int index) const;
    int PreviousVisible(int index) const;
    bool IsVisible(int index) const;

    // The last row of the section whose header stands at `header`: its footer, or its last
    // member when the footer is missing; `header` itself for any other row.
    int SectionEnd(int header) const;

    // Links every item to the section header whose id it carries (after structural edits).
    // Returns the rows whose link changed ({0, -1} for none): their visibility may have changed.
    std::pair<int, int> RelinkSections();

    auto begin() const { return m_items.begin(); }
    auto end() const { return m_items.end(); }

private:
    void CheckIndex(int index) const;

    std::vector<ItemPtr> m_items;
    int m_orphanFirst = 0;
    int m_orphanLast = -1;
};

} // namespace rux
