#include "porting/porting_rows.h"

#include "porting/porting_issue.h"
#include "porting/porting_scan.h"

#include <algorithm>
#include <cstdio>

namespace rux {

std::string PortingLineText(CPortingIssue& issue) {
    char buffer[64];
    if (issue.IsInDiagram())
        std::snprintf(buffer, sizeof buffer, "Line %d [%d,%d]", issue.GetLine(), issue.GetDiagramColumn(),
                      issue.GetDiagramRow());
    else
        std::snprintf(buffer, sizeof buffer, "Line %d", issue.GetLine());
    return buffer;
}

std::string PortingColumnText(CPortingIssue& issue, int column) {
    switch (column) {
    case kPortColumnLine:
        return PortingLineText(issue);
    case kPortColumnTask:
        return issue.GetLocation();
    case kPortColumnInfo:
        return issue.GetDescription();
    default:
        return {};
    }
}

int PortingMarkerKind(CPortingIssue& issue) {
    if (issue.IsConverted()) return 9;
    switch (issue.GetIcon()) {
    case kPortIconCaveats:
        return 7;
    case kPortIconConvert:
        return 6;
    case kPortIconSeeHelp:
    case 7:
        return 10;
    default:
        return 8;
    }
}

void SortPortingRows(std::vector<CPortingIssue*>& rows, int column, bool descending) {
    const auto byPlace = [](const CPortingIssue* a, const CPortingIssue* b) {
        return a->GetLine() != b->GetLine() ? a->GetLine() < b->GetLine() : a->GetColumn() < b->GetColumn();
    };
    if (column == kPortColumnIcon) {
        std::stable_sort(rows.begin(), rows.end(), [&](CPortingIssue* a, CPortingIssue* b) {
            const int ia = a->ShownIcon(), ib = b->ShownIcon();
            return ia != ib ? ia > ib : byPlace(a, b);
        });
    } else if (column == kPortColumnLine) {
        std::stable_sort(rows.begin(), rows.end(), byPlace);
    } else {
        std::stable_sort(rows.begin(), rows.end(), [&](CPortingIssue* a, CPortingIssue* b) {
            const std::string ta = PortingColumnText(*a, column), tb = PortingColumnText(*b, column);
            return ta != tb ? ta < tb : byPlace(a, b);
        });
    }
    if (descending) std::reverse(rows.begin(), rows.end());
}

bool AsksToRefreshAfterFailedFix(const std::string& targetType) {
    return ChooseCatalogue(targetType, true) != EPortingCatalogue::AlbatrossQ;
}

} // namespace rux
