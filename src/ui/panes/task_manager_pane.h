// The Task Manager pane: the tasks of the nodes that are online, with their states.
#pragma once

#include <QWidget>

class QTreeWidget;

namespace rux {

class CTaskManagerPane : public QWidget {
    Q_OBJECT
public:
    explicit CTaskManagerPane(QWidget* parent = nullptr);

    // Nodes are listed only while a program view is online.
    int NodeCount() const;

private:
    QTreeWidget* m_tasks;
};

} // namespace rux
