// One view's layout of a program: every row's height and width under that view's metrics, with
// the tops, the total height and the widest row they give. Each view keeps its own, so two windows
// of different fonts, sizes or scroll positions never disturb each other.
#pragma once

#include "document/document_observer.h"

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace rux {

class CObArrayEx;
class CViewMetrics;

class CRowLayout {
public:
    // Measures every row of `items` at once.
    CRowLayout(const CObArrayEx& items, const CViewMetrics& metrics);
    CRowLayout(const CRowLayout&) = delete;
    CRowLayout& operator=(const CRowLayout&) = delete;

    const CViewMetrics& Metrics() const { return m_metrics; }

    // Measures every row again (a program read anew, another font or tab size).
    void Rebuild();
    // One edit record of a transaction, in order: the rows follow the list's insertions and
    // removals at once; the rows it names are measured by the next Flush.
    void Apply(const CDocumentChange& record);
    // Measures the rows the records named since the last flush, each once. A list whose row count
    // no longer matches (an edit no record told of) is measured whole.
    void Flush();
    bool IsPending() const { return m_stale || !m_dirty.empty(); }

    int RowCount() const { return Count(m_root); }
    // Top of row `index` in document pixels; a row hidden in a folded section has the top of the
    // visible row above it (its section header). An index past the end gives the rows' bottom.
    int TopOf(int index) const;
    // Height of row `index`; 0 for a hidden row.
    int HeightOf(int index) const;
    // The row whose pixels hold document y, or -1 above the first and below the last row.
    int RowAt(int y) const;
    // Height of all rows.
    int RowsHeight() const { return Sum(m_root); }
    // The document height: the rows and one empty line below them (0 for an empty program).
    int TotalHeight() const;
    // Width of the widest visible row; falls back when it is deleted, shortened or folded away.
    int WidestRow() const { return m_root < 0 ? 0 : m_nodes[static_cast<size_t>(m_root)].maxWidth; }

private:
    struct CRow {
        int height = 0;
        int width = 0;
    };
    // Rows sit in a balanced tree ordered by index (a treap with random priorities); each node
    // keeps its subtree's row count, height and widest row, so that a top, a hit test or a change
    // of any run of rows costs the run's length plus the tree's depth.
    struct CNode {
        int left = -1;
        int right = -1;
        uint32_t priority = 0;
        int count = 1;
        CRow row;
        int sum = 0;
        int maxWidth = 0;
    };

    CRow Measure(int index) const;
    int Count(int node) const { return node < 0 ? 0 : m_nodes[static_cast<size_t>(node)].count; }
    int Sum(int node) const { return node < 0 ? 0 : m_nodes[static_cast<size_t>(node)].sum; }
    int MaxWidth(int node) const { return node < 0 ? 0 : m_nodes[static_cast<size_t>(node)].maxWidth; }
    void Pull(int node);
    int NewNode(CRow row);
    void FreeTree(int node);
    // Splits `node` into its first `count` rows and the rest.
    std::pair<int, int> Split(int node, int count);
    int Merge(int left, int right);
    // A tree of these rows in order, built in one pass: each new node hangs below the right
    // spine of the tree so far, taking over the part of the spine with lower priorities as its
    // left subtree. A node leaves the spine complete, so its totals are summed as it leaves.
    int Build(const std::vector<CRow>& rows);
    void Append(std::vector<int>& spine, CRow row);
    int Finish(std::vector<int>& spine);
    const CRow& RowOf(int index) const;
    // Replaces rows [first, first + count) by `rows`.
    void Replace(int first, int count, const std::vector<CRow>& rows);
    uint32_t NextPriority();

    const CObArrayEx& m_items;
    const CViewMetrics& m_metrics;
    std::vector<CNode> m_nodes;
    std::vector<int> m_free;
    int m_root = -1;
    uint32_t m_seed = 0x9E3779B9u;
    // Row ranges, in the indices after the records applied so far, still to be measured.
    std::vector<std::pair<int, int>> m_dirty;
    // A record did not fit the rows: everything is measured at the flush.
    bool m_stale = false;
};

} // namespace rux
