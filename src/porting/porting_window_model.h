// The porting tool window's state without any widget: columns, sort order, the commands its
// toolbar and context menu offer, and where the selection goes after a refresh. The widget only
// draws what this says.
#pragma once

#include "porting/porting_rows.h"

#include <string>
#include <vector>

namespace rux {

class CPortingIssueList;

// Porting command ids of the main frame.
enum EPortingCommand : int {
    kCmdPortShowIssues = 32945,
    kCmdPortAddPrefix = 32950,
    kCmdPortRemovePrefix = 32951,
    kCmdPortRemoveAll = 32952,
    kCmdPortAddAll = 32953,
    kCmdPortHelp = 32954,
    kCmdPortRefresh = 32957,
    kCmdPortIgnore = 32966,
};

struct CPortingColumnInfo {
    const char* title;
    int width;
};
// The list's columns in order: the untitled icon column, "Line", "Task", "Issue Information".
const std::vector<CPortingColumnInfo>& PortingColumns();

// The tool-tip / menu text of a porting command; empty for an unknown id.
std::string PortingCommandText(int id);

struct CPortingMenuItem {
    int command;
    const char* text;
};
// The toolbar's commands: refresh, the four fixes and help with convertible issues, otherwise
// refresh and help.
std::vector<int> PortingToolbar(bool convertible);
// The right-click menu, in order, with its mnemonic texts.
std::vector<CPortingMenuItem> PortingContextMenu(bool convertible);

class CPortingListModel {
public:
    // Refills the rows from the list, sorted by the current column; the selection goes back to
    // the remembered position when the new list is long enough, else nothing is selected.
    void Fill(const CPortingIssueList& list);
    // A click on a column header: the current column again reverses the order, another column
    // sorts ascending by it.
    void ClickHeader(int column);

    int RowCount() const { return static_cast<int>(m_rows.size()); }
    CPortingIssue* Row(int row) const;
    std::string Text(int row, int column) const;
    // The icon the row shows: 4 for a converted issue, 6 for an ignored one, else the issue's icon.
    int Icon(int row) const;
    // The tool tip over a row: the issue's status text.
    std::string ToolTip(int row) const;

    int SortColumn() const { return m_sortColumn; }
    bool Descending() const { return m_descending; }

    int Selected() const { return m_selected; }
    void Select(int row) { m_selected = (row >= 0 && row < RowCount()) ? row : -1; }
    CPortingIssue* SelectedIssue() const { return Row(m_selected); }
    // The help page shown for the selection: its topic, "NoHelp.htm" for an empty topic and
    // "PortingToolOverview.htm" with nothing selected.
    std::string HelpPage() const;
    // Whether a command applies to the selection right now (the program being editable is the
    // caller's part).
    bool Enabled(int command) const;

private:
    void Sort();
    std::vector<CPortingIssue*> m_rows;
    int m_sortColumn = kPortColumnLine;
    bool m_descending = false;
    int m_selected = -1;
    bool m_convertible = false;
};

} // namespace rux
