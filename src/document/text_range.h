// An ordered range of the item list, as a view's selection hands it to the item writers.
#pragma once

#include <cstddef>
#include <string_view>

namespace rux {

// Positions are (item index, column); columns count characters from 1. The range covers
// items startItem..endItem; on the first item it begins at startCol, on the last it ends
// before endCol.
struct CTextRange {
    int startItem = 0;
    int startCol = 1;
    int endItem = 0;
    int endCol = 1;

    bool Contains(int index) const { return index >= startItem && index <= endItem; }

    // The part of a text that lies in the range when the text is item `index`.
    std::string_view PartOf(int index, std::string_view text) const {
        size_t from = 0;
        size_t to = text.size();
        if (index == startItem && startCol > 1)
            from = static_cast<size_t>(startCol - 1) < to ? static_cast<size_t>(startCol - 1) : to;
        if (index == endItem) {
            const size_t end = endCol > 1 ? static_cast<size_t>(endCol - 1) : 0;
            if (end < to)
                to = end;
        }
        return from < to ? text.substr(from, to - from) : std::string_view();
    }
};

} // namespace rux
