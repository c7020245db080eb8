// The porting tool's two panes: the issue list with its toolbar, and the help page viewer.
#pragma once

#include <QTreeWidget>
#include <QWidget>

#include <functional>

class QToolBar;

namespace rux {

class CPortingListModel;

// The report list of issues: the icon column, "Line", "Task" and "Issue Information". It only draws
// the rows of the model and reports what the user did.
class CPortingToolListCtrl : public QTreeWidget {
    Q_OBJECT
public:
    explicit CPortingToolListCtrl(QWidget* parent = nullptr);
    // Rows, icons, tool tips, selection and sort indicator from the model; with `resize` the text
    // columns fit their contents.
    void Fill(const CPortingListModel& model, bool resize);

signals:
    // A click or an arrow key (on release) chose a row.
    void rowChosen(int row);
    // A right click made the row under the mouse the selected one, for the context menu's commands.
    void rowPicked(int row);
    // Double-click or Enter on a row.
    void fixRequested();
    void contextMenuAt(const QPoint& globalPos);
    void headerClicked(int column);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
};

// The picture of a list icon value (1 to 6).
QIcon PortingListIcon(int icon);

// The issue list pane's content: a toolbar over the list.
class CPortingToolFrame : public QWidget {
    Q_OBJECT
public:
    using RunCommand = std::function<void(int id)>;
    using IsEnabled = std::function<bool(int id)>;
    CPortingToolFrame(RunCommand run, IsEnabled enabled, QWidget* parent = nullptr);

    CPortingToolListCtrl* List() const { return m_list; }
    QToolBar* ToolBar() const { return m_toolbar; }
    // The toolbar for a list with or without convertible issues.
    void SetToolbar(bool convertible);
    // The buttons' and the menu's enabled states from the commands.
    void UpdateStates();
    // The right-click menu for a list with or without convertible issues; the caller shows and
    // owns it.
    QMenu* ContextMenu(bool convertible);

private:
    RunCommand m_run;
    IsEnabled m_enabled;
    QToolBar* m_toolbar;
    CPortingToolListCtrl* m_list;
    bool m_convertible = false;
    bool m_built = false;
};

} // namespace rux
