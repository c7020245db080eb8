// Whether two readings of a program give the compiler the same items: kind, text bytes and
// diagram title, item for item (item numbers are line numbers in messages).
#pragma once

#include "core/compiler.h"

#include <string_view>
#include <vector>

inline bool SameSourceItems(const std::vector<rux::cmp::SourceItem>& a, const std::vector<rux::cmp::SourceItem>& b) {
    if (a.size() != b.size()) return false;
    auto title = [](const rux::cmp::SourceItem& s) {
        return s.diagramTitle ? std::string_view(*s.diagramTitle) : std::string_view();
    };
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i].kind != b[i].kind || a[i].text != b[i].text || title(a[i]) != title(b[i])) return false;
    return true;
}
