// A caret or selection position: an item index and a column counted from 1.
#pragma once

#include <compare>

namespace rux {

struct CTextPos {
    int col = 1;
    int item = 0;

    // Item first, then column.
    friend constexpr auto operator<=>(const CTextPos& a, const CTextPos& b) {
        if (auto c = a.item <=> b.item; c != 0)
            return c;
        return a.col <=> b.col;
    }
    friend constexpr bool operator==(const CTextPos&, const CTextPos&) = default;
};

} // namespace rux
