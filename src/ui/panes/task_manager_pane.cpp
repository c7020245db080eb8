#include "panes/task_manager_pane.h"

#include <QHeaderView>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace rux {

CTaskManagerPane::CTaskManagerPane(QWidget* parent) : QWidget(parent) {
    setObjectName("TaskManagerPane");
    m_tasks = new QTreeWidget(this);
    m_tasks->setFrameShape(QFrame::NoFrame);
    m_tasks->setHeaderLabels({tr("Node / Task"), tr("State"), tr("Breakpoint")});
    m_tasks->header()->setStretchLastSection(true);
    m_tasks->setRootIsDecorated(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_tasks);
}

int CTaskManagerPane::NodeCount() const {
    return m_tasks->topLevelItemCount();
}

} // namespace rux
