#include "porting/porting_window_model.h"

#include "porting/porting_issue.h"
#include "porting/porting_scan.h"

namespace rux {

const std::vector<CPortingColumnInfo>& PortingColumns() {
    static const std::vector<CPortingColumnInfo> columns = {
        {"", 30}, {"Line", 120}, {"Task", 250}, {"Issue Information", 250}};
    return columns;
}

std::string PortingCommandText(int id) {
    switch (id) {
    case kCmdPortShowIssues: return "Show porting issues for this RUX program";
    case kCmdPortRefresh: return "Refresh issues list";
    case kCmdPortAddPrefix: return "Add prefix to parameter";
    case kCmdPortRemovePrefix: return "Remove prefix from parameter";
    case kCmdPortAddAll: return "Add prefix to all parameters";
    case kCmdPortRemoveAll: return "Remove prefix from all parameters";
    case kCmdPortIgnore: return "&Ignore";
    case kCmdPortHelp: return "Porting tool help";
    default: return {};
    }
}

std::vector<int> PortingToolbar(bool convertible) {
    if (!convertible) return {kCmdPortRefresh, kCmdPortHelp};
    return {kCmdPortRefresh, kCmdPortAddPrefix, kCmdPortRemovePrefix, kCmdPortAddAll, kCmdPortRemoveAll,
            kCmdPortHelp};
}

std::vector<CPortingMenuItem> PortingContextMenu(bool convertible) {
    if (!convertible)
        return {{kCmdPortRefresh, "Re&fresh List"}, {kCmdPortIgnore, "&Ignore"}, {kCmdPortHelp, "&Help"}};
    return {{kCmdPortRefresh, "Re&fresh List"},
            {kCmdPortAddPrefix, "&Add Prefix"},
            {kCmdPortRemovePrefix, "&Remove Prefix"},
            {kCmdPortAddAll, "Add Prefix to A&ll"},
            {kCmdPortRemoveAll, "Remove Prefix from &All"},
            {kCmdPortIgnore, "&Ignore"},
            {kCmdPortHelp, "&Help"}};
}

void CPortingListModel::Fill(const CPortingIssueList& list) {
    const int remembered = m_selected;
    m_rows.clear();
    for (int i = 0; i < list.GetSize(); ++i)
        m_rows.push_back(&list.GetAt(i));
    m_convertible = list.HasConvertible();
    Sort();
    m_selected = (remembered >= 0 && remembered < RowCount()) ? remembered : -1;
}

void CPortingListModel::ClickHeader(int column) {
    if (column < kPortColumnIcon || column > kPortColumnInfo) return;
    CPortingIssue* selected = SelectedIssue();
    if (column == m_sortColumn) {
        m_descending = !m_descending;
    } else {
        m_sortColumn = column;
        m_descending = false;
    }
    Sort();
    // The selection stays on its issue, wherever the sort moved it.
    m_selected = -1;
    for (int i = 0; i < RowCount(); ++i)
        if (m_rows[static_cast<size_t>(i)] == selected) m_selected = i;
}

void CPortingListModel::Sort() {
    SortPortingRows(m_rows, m_sortColumn, m_descending);
}

CPortingIssue* CPortingListModel::Row(int row) const {
    if (row < 0 || row >= RowCount()) return nullptr;
    return m_rows[static_cast<size_t>(row)];
}

std::string CPortingListModel::Text(int row, int column) const {
    CPortingIssue* issue = Row(row);
    return issue ? PortingColumnText(*issue, column) : std::string();
}

int CPortingListModel::Icon(int row) const {
    CPortingIssue* issue = Row(row);
    // A fix or Ignore changes the row's icon in place: 4 once converted, 6 once ignored.
    return issue ? issue->ShownIcon() : -1;
}

std::string CPortingListModel::ToolTip(int row) const {
    CPortingIssue* issue = Row(row);
    return issue ? issue->StatusText() : std::string();
}

std::string CPortingListModel::HelpPage() const {
    CPortingIssue* issue = SelectedIssue();
    if (!issue) return "PortingToolOverview.htm";
    const std::string topic = issue->GetHelpTopic();
    return topic.empty() ? "NoHelp.htm" : topic;
}

bool CPortingListModel::Enabled(int command) const {
    CPortingIssue* issue = SelectedIssue();
    switch (command) {
    case kCmdPortRefresh:
    case kCmdPortHelp:
        return true;
    case kCmdPortAddAll:
    case kCmdPortRemoveAll:
        return m_convertible;
    case kCmdPortAddPrefix:
        return issue && (issue->GetIcon() == kPortIconCaveats || issue->GetIcon() == kPortIconConvert) &&
               !issue->IsConverted();
    case kCmdPortRemovePrefix:
        return issue && issue->IsConverted();
    case kCmdPortIgnore:
        return issue && CPortingIssueList::CanIgnore(*issue);
    default:
        return false;
    }
}

} // namespace rux
