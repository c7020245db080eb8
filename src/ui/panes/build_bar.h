// The Output pane's content: the Build tab with the compiler's messages and the Log tab with the
// target's run-time reports.
#pragma once

#include "target/build_messages.h"

#include <QWidget>

#include <string>

class QListWidget;
class QListWidgetItem;
class QTabWidget;

namespace rux {

class CBuildBar : public QWidget {
    Q_OBJECT
public:
    enum ETab { kBuildTab = 0, kLogTab = 1 };

    explicit CBuildBar(QWidget* parent = nullptr);

    void SelectTab(int tab);
    int SelectedTab() const;
    void ResetListContent(int tab);
    void AddString(int tab, const QString& text);
    // A line as the compiler wrote it; its bytes are kept as they are for the jump to its place.
    void AddLine(int tab, const std::string& bytes);
    // Fills the tab from the build results stored beside the program: its error file, one message a
    // line. A program without an error file leaves the tab empty.
    void RefreshBuild(const std::string& programPath, int tab, int clear);
    // A run-time error of a node's program, and its clearing.
    void AddRunTimeErrorInLog(int error, const QString& targetType, const QString& node, const QString& file);
    void AddRunTimeErrorClearInLog(int error, const QString& node, const QString& file);

    int Count(int tab) const;
    QString Text(int tab, int row) const;

    // The Build tab's messages as places, with the one the user was last sent to.
    const CBuildMessageList& Messages() const { return m_messages; }
    // The program whose build the Build tab shows (cleared with the tab).
    void SetProgramPath(const std::string& programPath) { m_messages.SetProgramPath(programPath); }
    // Makes a Build tab row the current message: selected and scrolled into view.
    void SetCurrentMessage(int row);

    // A message of the form "FILE(LINE[,START[-END]]): text" names a place; anything else names
    // none. Returns false for a message without a place.
    static bool ParseLocation(const QString& message, QString& file, int& line, int& start, int& end);

signals:
    // The user picked a message that names a place (double-click or Enter).
    void LocationPicked(const QString& file, int line, int start, int end);

private:
    void AddItem(int tab, const QString& text, std::string bytes);
    QListWidget* List(int tab) const;
    void OnActivated(QListWidgetItem* item);

    QTabWidget* m_tabs;
    QListWidget* m_build;
    QListWidget* m_log;
    // Mirrors the Build list row for row, in the program's bytes as the compiler wrote them.
    CBuildMessageList m_messages;
};

} // namespace rux
