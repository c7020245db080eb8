#include "panes/build_bar.h"

#include "cp1252.h"
#include "file_names.h"
#include "view/icons.h"

#include <QDateTime>
#include <QFontDatabase>
#include <QListWidget>
#include <QStyle>
#include <QTabWidget>
#include <QVBoxLayout>

namespace rux {

CBuildBar::CBuildBar(QWidget* parent) : QWidget(parent) {
    setObjectName("BuildBar");
    m_tabs = new QTabWidget(this);
    m_tabs->setTabPosition(QTabWidget::South);
    m_tabs->setDocumentMode(true);
    m_build = new QListWidget(m_tabs);
    m_log = new QListWidget(m_tabs);
    for (QListWidget* list : {m_build, m_log}) {
        list->setUniformItemSizes(true);
        list->setFrameShape(QFrame::NoFrame);
        list->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
        connect(list, &QListWidget::itemActivated, this, &CBuildBar::OnActivated);
    }
    m_build->setObjectName("BuildList");
    m_log->setObjectName("LogList");
    m_tabs->addTab(m_build, tr("Build"));
    m_tabs->addTab(m_log, tr("Log"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_tabs);
}

QListWidget* CBuildBar::List(int tab) const {
    return tab == kLogTab ? m_log : tab == kBuildTab ? m_build : nullptr;
}

void CBuildBar::SelectTab(int tab) {
    if (List(tab)) m_tabs->setCurrentIndex(tab);
}

int CBuildBar::SelectedTab() const {
    return m_tabs->currentIndex();
}

void CBuildBar::ResetListContent(int tab) {
    if (QListWidget* list = List(tab)) list->clear();
    if (tab == kBuildTab) m_messages.Clear();
}

void CBuildBar::AddString(int tab, const QString& text) {
    std::string bytes;
    if (tab == kBuildTab) ToCp1252(text, bytes);
    AddItem(tab, text, std::move(bytes));
}

void CBuildBar::AddLine(int tab, const std::string& bytes) {
    AddItem(tab, tab == kBuildTab ? BuildLineText(bytes) : FromCp1252(bytes), bytes);
}

void CBuildBar::AddItem(int tab, const QString& text, std::string bytes) {
    QListWidget* list = List(tab);
    if (!list) return;
    auto* item = new QListWidgetItem(text, list);
    if (tab == kBuildTab) {
        m_messages.Add(std::move(bytes));
        switch (m_messages.Message(m_messages.Count() - 1).severity) {
        case EBuildSeverity::kError:
            item->setIcon(MarkIcon(3));
            break;
        case EBuildSeverity::kWarning:
            item->setIcon(style()->standardIcon(QStyle::SP_MessageBoxWarning));
            break;
        case EBuildSeverity::kNone:
            break;
        }
    }
    list->scrollToBottom();
}

void CBuildBar::SetCurrentMessage(int row) {
    m_messages.SetCurrent(row);
    if (row < 0 || row >= m_build->count()) return;
    m_build->setCurrentRow(row);
    m_build->scrollToItem(m_build->item(row));
}

void CBuildBar::RefreshBuild(const std::string& programPath, int tab, int clear) {
    if (clear) ResetListContent(tab);
    if (tab == kBuildTab) SetProgramPath(programPath);
    // Messages are text in the program's code page; a damaged file shows what it holds.
    for (const std::string& line : ReadBuildResults(programPath))
        AddLine(tab, line);
}

void CBuildBar::AddRunTimeErrorInLog(int error, const QString& targetType, const QString& node,
                                     const QString& file) {
    const QString when = QDateTime::currentDateTime().toString("HH:mm:ss");
    AddString(
        kLogTab,
        tr("%1  Run-time error %2 on node %3 (%4): %5").arg(when).arg(error).arg(node, targetType, file));
}

void CBuildBar::AddRunTimeErrorClearInLog(int error, const QString& node, const QString& file) {
    const QString when = QDateTime::currentDateTime().toString("HH:mm:ss");
    AddString(kLogTab,
              tr("%1  Run-time error %2 cleared on node %3: %4").arg(when).arg(error).arg(node, file));
}

int CBuildBar::Count(int tab) const {
    QListWidget* list = List(tab);
    return list ? list->count() : 0;
}

QString CBuildBar::Text(int tab, int row) const {
    QListWidget* list = List(tab);
    QListWidgetItem* item = list ? list->item(row) : nullptr;
    return item ? item->text() : QString();
}

bool CBuildBar::ParseLocation(const QString& message, QString& file, int& line, int& start, int& end) {
    std::string bytes;
    ToCp1252(message, bytes);
    const CBuildMessage m = ParseBuildMessage(bytes);
    if (!m.HasPlace()) return false;
    // One byte per character: the name is taken from the message itself, which has it as shown.
    const size_t at = bytes.find(m.file);
    file = message.mid(static_cast<qsizetype>(at), static_cast<qsizetype>(m.file.size()));
    line = m.line;
    start = m.start;
    end = m.end;
    return true;
}

void CBuildBar::OnActivated(QListWidgetItem* item) {
    QString file;
    int line = -1, start = -1, end = -1;
    if (!item) return;
    const int buildRow = item->listWidget() == m_build ? m_build->row(item) : -1;
    if (buildRow >= 0) m_messages.SetCurrent(buildRow);
    if (!ParseLocation(item->text(), file, line, start, end)) return;
    if (buildRow >= 0) file = FromFileName(m_messages.LocationFile(buildRow));
    emit LocationPicked(file, line, start, end);
}

} // namespace rux
