#include "panes/build_bar.h"

#include <QDateTime>
#include <QFile>
#include <QListWidget>
#include <QRegularExpression>
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
}

void CBuildBar::AddString(int tab, const QString& text) {
    QListWidget* list = List(tab);
    if (!list) return;
    list->addItem(text);
    list->scrollToBottom();
}

void CBuildBar::RefreshBuild(const std::string& programPath, int tab, int clear) {
    if (clear) ResetListContent(tab);
    QString path = QString::fromStdString(programPath);
    const int slash = path.lastIndexOf('/');
    const int dot = path.lastIndexOf('.');
    if (dot > slash) path.truncate(dot);
    QFile file(path + ".ERR");
    if (!file.open(QIODevice::ReadOnly)) return;
    // Messages are plain text in the program's code page; a damaged file shows what it holds.
    while (!file.atEnd()) {
        QString line = QString::fromLatin1(file.readLine());
        while (line.endsWith('\n') || line.endsWith('\r')) line.chop(1);
        if (!line.isEmpty()) AddString(tab, line);
    }
}

void CBuildBar::AddRunTimeErrorInLog(int error, const QString& targetType, const QString& node,
                                     const QString& file) {
    const QString when = QDateTime::currentDateTime().toString("HH:mm:ss");
    AddString(kLogTab, tr("%1  Run-time error %2 on node %3 (%4): %5").arg(when).arg(error).arg(node, targetType, file));
}

void CBuildBar::AddRunTimeErrorClearInLog(int error, const QString& node, const QString& file) {
    const QString when = QDateTime::currentDateTime().toString("HH:mm:ss");
    AddString(kLogTab, tr("%1  Run-time error %2 cleared on node %3: %4").arg(when).arg(error).arg(node, file));
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
    static const QRegularExpression pattern(R"(^\s*(.+?)\((\d+)(?:,(\d+)(?:-(\d+))?)?\)\s*:)");
    const QRegularExpressionMatch m = pattern.match(message);
    if (!m.hasMatch()) return false;
    file = m.captured(1);
    line = m.captured(2).toInt();
    start = m.captured(3).isEmpty() ? -1 : m.captured(3).toInt();
    end = m.captured(4).isEmpty() ? start : m.captured(4).toInt();
    return true;
}

void CBuildBar::OnActivated(QListWidgetItem* item) {
    QString file;
    int line = -1, start = -1, end = -1;
    if (item && ParseLocation(item->text(), file, line, start, end)) emit LocationPicked(file, line, start, end);
}

} // namespace rux
