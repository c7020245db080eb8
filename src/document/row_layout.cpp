#include "document/row_layout.h"

#include "document/item.h"
#include "document/item_list.h"
#include "document/line_item.h"
#include "document/section_items.h"
#include "document/view_metrics.h"

#include <algorithm>

namespace rux {

CRowLayout::CRowLayout(const CObArrayEx& items, const CViewMetrics& metrics) : m_items(items), m_metrics(metrics) {
    Rebuild();
}

CRowLayout::CRow CRowLayout::Measure(int index) const {
    if (!m_items.IsVisible(index))
        return {};
    const CItem& item = *m_items.GetAt(index);
    return {item.GetHeight(m_metrics), item.GetWidth(m_metrics)};
}

void CRowLayout::Rebuild() {
    m_free.clear();
    m_dirty.clear();
    m_stale = false;
    const int size = m_items.GetSize();
    m_nodes.assign(static_cast<size_t>(size), CNode{});
    // A program just opened is measured whole, in one pass over its items. Text lines, section
    // headers and footers, nearly every row, are one line high and as wide as their text.
    const int lineHeight = m_metrics.LineHeight();
    CNode* node = m_nodes.data();
    for (const auto& entry : m_items) {
        const CItem& item = *entry;
        const int type = item.GetType();
        // Visible as CObArrayEx::IsVisible has it, without looking the item up again.
        const CSectionHeader* section = item.GetSection();
        if (!section || section->IsExpanded() || type == kItemSectionHeader) {
            if (type == kItemLine || type == kItemSectionHeader || type == kItemSectionFooter)
                node->row = {lineHeight, CLine::RowWidth(item.GetText(), m_metrics)};
            else
                node->row = {item.GetHeight(m_metrics), item.GetWidth(m_metrics)};
        }
        ++node;
    }
    // Then into a balanced tree whose node i is row i. Priorities fall by depth, a band of 2^27 per
    // level, so the tree is a treap like any other and rows inserted later take their place in it
    // by their random priorities.
    auto build = [&](auto& self, int lo, int hi, uint32_t depth) -> int {
        if (lo >= hi)
            return -1;
        const int mid = lo + (hi - lo) / 2;
        CNode& at = m_nodes[static_cast<size_t>(mid)];
        at.priority = UINT32_MAX - depth * (1u << 27) - (NextPriority() & ((1u << 27) - 1));
        at.left = self(self, lo, mid, depth + 1);
        at.right = self(self, mid + 1, hi, depth + 1);
        Pull(mid);
        return mid;
    };
    m_root = build(build, 0, size, 0);
}

// --- the tree -----------------------------------------------------------------------------------

uint32_t CRowLayout::NextPriority() {
    // xorshift: the tree only needs priorities that look random, the same in every run.
    m_seed ^= m_seed << 13;
    m_seed ^= m_seed >> 17;
    m_seed ^= m_seed << 5;
    return m_seed;
}

void CRowLayout::Pull(int node) {
    CNode& n = m_nodes[static_cast<size_t>(node)];
    n.count = 1 + Count(n.left) + Count(n.right);
    n.sum = n.row.height + Sum(n.left) + Sum(n.right);
    n.maxWidth = std::max({n.row.width, MaxWidth(n.left), MaxWidth(n.right)});
}

int CRowLayout::NewNode(CRow row) {
    const CNode node{-1, -1, NextPriority(), 1, row, row.height, row.width};
    if (!m_free.empty()) {
        const int index = m_free.back();
        m_free.pop_back();
        m_nodes[static_cast<size_t>(index)] = node;
        return index;
    }
    m_nodes.push_back(node);
    return static_cast<int>(m_nodes.size()) - 1;
}

void CRowLayout::FreeTree(int node) {
    if (node < 0)
        return;
    std::vector<int> stack{node};
    while (!stack.empty()) {
        const int n = stack.back();
        stack.pop_back();
        m_free.push_back(n);
        const CNode& at = m_nodes[static_cast<size_t>(n)];
        if (at.left >= 0)
            stack.push_back(at.left);
        if (at.right >= 0)
            stack.push_back(at.right);
    }
}

std::pair<int, int> CRowLayout::Split(int node, int count) {
    if (node < 0)
        return {-1, -1};
    const int leftCount = Count(m_nodes[static_cast<size_t>(node)].left);
    if (count <= leftCount) {
        const auto [a, b] = Split(m_nodes[static_cast<size_t>(node)].left, count);
        m_nodes[static_cast<size_t>(node)].left = b;
        Pull(node);
        return {a, node};
    }
    const auto [a, b] = Split(m_nodes[static_cast<size_t>(node)].right, count - leftCount - 1);
    m_nodes[static_cast<size_t>(node)].right = a;
    Pull(node);
    return {node, b};
}

int CRowLayout::Merge(int left, int right) {
    if (left < 0)
        return right;
    if (right < 0)
        return left;
    if (m_nodes[static_cast<size_t>(left)].priority > m_nodes[static_cast<size_t>(right)].priority) {
        const int merged = Merge(m_nodes[static_cast<size_t>(left)].right, right);
        m_nodes[static_cast<size_t>(left)].right = merged;
        Pull(left);
        return left;
    }
    const int merged = Merge(left, m_nodes[static_cast<size_t>(right)].left);
    m_nodes[static_cast<size_t>(right)].left = merged;
    Pull(right);
    return right;
}

void CRowLayout::Append(std::vector<int>& spine, CRow row) {
    const int node = NewNode(row);
    const uint32_t priority = m_nodes[static_cast<size_t>(node)].priority;
    int last = -1;
    while (!spine.empty() && m_nodes[static_cast<size_t>(spine.back())].priority < priority) {
        last = spine.back();
        spine.pop_back();
        Pull(last);
    }
    m_nodes[static_cast<size_t>(node)].left = last;
    if (!spine.empty())
        m_nodes[static_cast<size_t>(spine.back())].right = node;
    spine.push_back(node);
}

int CRowLayout::Finish(std::vector<int>& spine) {
    for (auto it = spine.rbegin(); it != spine.rend(); ++it)
        Pull(*it);
    return spine.empty() ? -1 : spine.front();
}

int CRowLayout::Build(const std::vector<CRow>& rows) {
    std::vector<int> spine;
    for (const CRow& row : rows)
        Append(spine, row);
    return Finish(spine);
}

void CRowLayout::Replace(int first, int count, const std::vector<CRow>& rows) {
    const auto [before, rest] = Split(m_root, first);
    const auto [gone, after] = Split(rest, count);
    FreeTree(gone);
    m_root = Merge(Merge(before, Build(rows)), after);
}

const CRowLayout::CRow& CRowLayout::RowOf(int index) const {
    int node = m_root;
    for (;;) {
        const CNode& n = m_nodes[static_cast<size_t>(node)];
        const int leftCount = Count(n.left);
        if (index < leftCount) {
            node = n.left;
        } else if (index == leftCount) {
            return n.row;
        } else {
            index -= leftCount + 1;
            node = n.right;
        }
    }
}

// --- edits ----------------------------------------------------------------------------------------

void CRowLayout::Apply(const CDocumentChange& record) {
    if (m_stale)
        return;
    const int size = RowCount();
    if (record.first < 0 || record.removed < 0 || record.inserted < 0 || record.first > size ||
        record.removed > size - record.first) {
        m_stale = true; // a record this layout cannot follow: measure everything at the flush
        return;
    }
    if (record.removed > 0 || record.inserted > 0) {
        const int first = record.first, end = record.first + record.removed;
        const int shift = record.inserted - record.removed;
        auto map = [&](int index, bool start) {
            if (index < first)
                return index;
            if (index >= end)
                return index + shift;
            return start ? first : first - 1; // inside the removed rows
        };
        std::vector<std::pair<int, int>> kept;
        for (const auto& [from, to] : m_dirty) {
            const int a = map(from, true), b = map(to, false);
            if (a <= b)
                kept.emplace_back(a, b);
        }
        m_dirty = std::move(kept);
        // The inserted rows wait for the flush with no height; the record names them.
        Replace(first, record.removed, std::vector<CRow>(static_cast<size_t>(record.inserted)));
    }
    if (record.last >= record.first)
        m_dirty.emplace_back(record.first, record.last);
}

void CRowLayout::Flush() {
    const int size = m_items.GetSize();
    if (m_stale || RowCount() != size) {
        Rebuild();
        return;
    }
    if (m_dirty.empty())
        return;
    std::vector<std::pair<int, int>> ranges = std::move(m_dirty);
    m_dirty.clear();
    std::sort(ranges.begin(), ranges.end());
    std::vector<std::pair<int, int>> merged;
    long long rows = 0;
    for (auto [from, to] : ranges) {
        from = std::max(from, 0);
        to = std::min(to, size - 1);
        if (from > to)
            continue;
        if (!merged.empty() && from <= merged.back().second + 1) {
            rows -= merged.back().second - merged.back().first + 1;
            merged.back().second = std::max(merged.back().second, to);
        } else {
            merged.emplace_back(from, to);
        }
        rows += merged.back().second - merged.back().first + 1;
    }
    // Most of the list named: one pass over it is cheaper than cutting the tree at every range.
    if (rows > size / 2) {
        Rebuild();
        return;
    }
    std::vector<CRow> measured;
    for (const auto& [from, to] : merged) {
        measured.clear();
        for (int i = from; i <= to; ++i)
            measured.push_back(Measure(i));
        Replace(from, to - from + 1, measured);
    }
}

// --- questions ------------------------------------------------------------------------------------

int CRowLayout::TopOf(int index) const {
    const int count = RowCount();
    index = std::clamp(index, 0, count);
    int top = 0;
    int node = m_root;
    int k = index;
    while (node >= 0) {
        const CNode& n = m_nodes[static_cast<size_t>(node)];
        const int leftCount = Count(n.left);
        if (k <= leftCount) {
            node = n.left;
        } else {
            top += Sum(n.left) + n.row.height;
            k -= leftCount + 1;
            node = n.right;
        }
    }
    // A hidden row stands where the visible row above it starts: its folded section's header.
    if (index < count && top > 0 && RowOf(index).height == 0)
        return TopOf(RowAt(top - 1));
    return top;
}

int CRowLayout::HeightOf(int index) const {
    return index < 0 || index >= RowCount() ? 0 : RowOf(index).height;
}

int CRowLayout::RowAt(int y) const {
    if (y < 0 || y >= RowsHeight())
        return -1;
    int index = 0;
    int node = m_root;
    while (node >= 0) {
        const CNode& n = m_nodes[static_cast<size_t>(node)];
        const int above = Sum(n.left);
        if (y < above) {
            node = n.left;
        } else if (y < above + n.row.height) {
            return index + Count(n.left);
        } else {
            y -= above + n.row.height;
            index += Count(n.left) + 1;
            node = n.right;
        }
    }
    return -1;
}

int CRowLayout::TotalHeight() const {
    return RowCount() == 0 ? 0 : RowsHeight() + m_metrics.LineHeight();
}

} // namespace rux
