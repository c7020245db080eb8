// The Insert Task dialog: a task name typed or chosen from the names the drive offers.
#pragma once

#include <QDialog>

class QLineEdit;
class QListWidget;

namespace rux {

class CTaskListModel;

// OK with an empty name counts as Cancel; after Accepted the model's Accept() is the name.
class CDlgInsertTask : public QDialog {
public:
    CDlgInsertTask(CTaskListModel& model, QWidget* parent = nullptr);
    QListWidget* List() const { return m_list; }
    QLineEdit* NameEdit() const { return m_name; }
    void accept() override;

private:
    CTaskListModel& m_model;
    QListWidget* m_list;
    QLineEdit* m_name;
};

} // namespace rux
