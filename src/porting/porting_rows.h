// What the porting tool's list shows for an issue and how its rows sort: shared by the window and
// the command line, so both show the same rows in the same order.
#pragma once

#include <string>
#include <vector>

namespace rux {

class CPortingIssue;

// The list's columns, in order.
enum EPortingColumn : int {
    kPortColumnIcon = 0,
    kPortColumnLine = 1,
    kPortColumnTask = 2,
    kPortColumnInfo = 3,
};

// "Line %d", or "Line %d [%d,%d]" with the diagram cell when the issue lies in a diagram.
std::string PortingLineText(CPortingIssue& issue);
// The text of a column: the line text, the location or the description; empty for the icon.
std::string PortingColumnText(CPortingIssue& issue, int column);

// The margin marker that shows the issue in the program view: converted 9; icon 2: 7; icon 3: 6;
// icons 5 and 7: 10; any other 8.
int PortingMarkerKind(CPortingIssue& issue);

// Sorts rows by a column: the icon column puts higher icons first, the line column sorts by line
// and then column, the others by their text byte for byte; ties go by line and then column.
// Descending reverses the whole order.
void SortPortingRows(std::vector<CPortingIssue*>& rows, int column, bool descending);

// A fix that failed asks whether to refresh the list, except for the targets whose list comes
// from the Albatross Q catalogue on a refresh.
bool AsksToRefreshAfterFailedFix(const std::string& targetType);

} // namespace rux
