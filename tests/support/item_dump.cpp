#include "support/item_dump.h"

#include "document/diagram_item.h"
#include "document/section_items.h"

namespace rux::test {
namespace {

std::string DumpOne(const CItem& item) {
    std::string s;
    switch (item.GetType()) {
    case kItemPar:
        s = "P";
        break;
    case kItemLine:
        s = "L" + std::to_string(item.GetSectionId()) + ":" + item.GetText();
        break;
    case kItemSectionHeader: {
        const auto& h = static_cast<const CSectionHeader&>(item);
        s = "S" + std::to_string(h.GetId()) + ":" + h.GetText() + (h.IsExpanded() ? "+" : "-");
        break;
    }
    case kItemSectionFooter:
        s = "F" + std::to_string(item.GetSectionId()) + ":" + item.GetText();
        break;
    case kItemDiag: {
        const auto& d = static_cast<const CDiag&>(item);
        s = "D" + std::to_string(d.GetSectionId()) + ":" + (d.GetKind() == kDiagramQld ? "QLD" : "FBD") + ":" +
            d.GetTitle() + ":" + (d.IsOpen() ? "open" : "close") + ":" + std::to_string(d.GetZoom()) + ":" +
            std::to_string(d.GetText().size());
        break;
    }
    default:
        s = "?";
    }
    if (item.HasBookmark())
        s += "*";
    return s + "\n";
}

} // namespace

std::string Dump(const CObArrayEx& items) {
    std::string s;
    for (const auto& item : items)
        s += DumpOne(*item);
    return s;
}

std::string Dump(const ItemVector& items) {
    std::string s;
    for (const auto& item : items)
        s += DumpOne(*item);
    return s;
}

} // namespace rux::test
