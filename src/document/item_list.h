// The ordered, owning list of a program's items. Each view lays it out for itself (row_layout.h).
#pragma once

#include "document/item.h"

#include <cstddef>
#include <iterator>
#include <memory>
#include <utility>
#include <vector>

namespace rux {

class CRUXDocument;

// Hands out the items of a list for reading only: what changes an item in a document goes through
// the document, which tells every view of it.
class CObArrayEx {
public:
    using ItemPtr = std::unique_ptr<CItem>;

    CObArrayEx() = default;
    CObArrayEx(const CObArrayEx&) = delete;
    CObArrayEx& operator=(const CObArrayEx&) = delete;
    CObArrayEx(CObArrayEx&&) = default;
    CObArrayEx& operator=(CObArrayEx&&) = default;

    int GetSize() const { return static_cast<int>(m_items.size()); }
    bool IsEmpty() const { return m_items.empty(); }
    // Throws std::out_of_range for an index outside the list.
    const CItem* GetAt(int index) const;
    const CItem* operator[](int index) const { return GetAt(index); }
    // For the list's owner: a reader or an importer finishing the items it built, and the program
    // document's primitives. A document hands its list out read-only, so nobody else gets here.
    CItem* MutableAt(int index);

    // Adds at the end; returns the index.
    int Append(ItemPtr item);
    // Inserts at index (capped at the count).
    void Insert(int index, ItemPtr item);
    void Insert(int index, std::vector<ItemPtr> items);
    // Takes count items out of the list and hands them to the caller.
    std::vector<ItemPtr> Remove(int index, int count = 1);
    // A run of rows to take out: `count` rows from `first`.
    struct CRun {
        int first = 0;
        int count = 0;
    };
    // Takes several runs out in one step, the rows behind them moving up once: runs ascending and
    // apart, in the indices before the removal. Hands back each run's items, in the runs' order.
    // Removed items keep their section ids but no links, so that none points into the list.
    std::vector<std::vector<ItemPtr>> Remove(const std::vector<CRun>& runs);
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
    // Links the `count` rows from `first` that carry a section id but no link to the header
    // before them that has it, without a pass over the whole list. False when one finds none
    // before it: then only RelinkSections can tell.
    bool LinkMembers(int first, int count);

    class const_iterator {
    public:
        using iterator_category = std::random_access_iterator_tag;
        using value_type = const CItem*;
        using difference_type = std::ptrdiff_t;
        using pointer = const value_type*;
        using reference = value_type;

        const_iterator() = default;
        const CItem* operator*() const { return m_it->get(); }
        const CItem* operator[](difference_type n) const { return m_it[n].get(); }
        const_iterator& operator++() { ++m_it; return *this; }
        const_iterator operator++(int) { const_iterator was = *this; ++m_it; return was; }
        const_iterator& operator--() { --m_it; return *this; }
        const_iterator operator--(int) { const_iterator was = *this; --m_it; return was; }
        const_iterator& operator+=(difference_type n) { m_it += n; return *this; }
        const_iterator& operator-=(difference_type n) { m_it -= n; return *this; }
        friend const_iterator operator+(const_iterator i, difference_type n) { return i += n; }
        friend const_iterator operator+(difference_type n, const_iterator i) { return i += n; }
        friend const_iterator operator-(const_iterator i, difference_type n) { return i -= n; }
        friend difference_type operator-(const const_iterator& a, const const_iterator& b) { return a.m_it - b.m_it; }
        friend bool operator==(const const_iterator&, const const_iterator&) = default;
        friend auto operator<=>(const const_iterator&, const const_iterator&) = default;

    private:
        friend class CObArrayEx;
        explicit const_iterator(std::vector<ItemPtr>::const_iterator it) : m_it(it) {}
        std::vector<ItemPtr>::const_iterator m_it;
    };
    const_iterator begin() const { return const_iterator(m_items.begin()); }
    const_iterator end() const { return const_iterator(m_items.end()); }

private:
    void CheckIndex(int index) const;
    // Unlinks the members left in the list whose header went with `removed`.
    void UnlinkOrphans(const std::vector<std::vector<ItemPtr>>& removed, int cut);

    std::vector<ItemPtr> m_items;
    int m_orphanFirst = 0;
    int m_orphanLast = -1;
};

} // namespace rux
