#include "dialogs/insert_task_dialog.h"

#include "cp1252.h"
#include "document/string_table.h"
#include "editor/task_list.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QVBoxLayout>

namespace rux {

CDlgInsertTask::CDlgInsertTask(CTaskListModel& model, QWidget* parent) : QDialog(parent), m_model(model) {
    setWindowTitle(LoadQString(IDS_DLG_TASK_TITLE));
    m_name = new QLineEdit(FromCp1252(model.Text()), this);
    m_list = new QListWidget(this);
    for (const std::string& name : model.Names()) m_list->addItem(FromCp1252(name));
    auto* nameLabel = new QLabel(LoadQString(IDS_DLG_TASK_NAME), this);
    nameLabel->setBuddy(m_name);
    auto* listLabel = new QLabel(LoadQString(IDS_DLG_TASK_LIST), this);
    listLabel->setBuddy(m_list);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(nameLabel);
    layout->addWidget(m_name);
    layout->addWidget(listLabel);
    layout->addWidget(m_list, 1);
    layout->addWidget(buttons);
    setTabOrder(m_name, m_list);
    setTabOrder(m_list, buttons);

    connect(m_name, &QLineEdit::textEdited, this, [this](const QString& text) { m_model.SetText(ToCp1252(text)); });
    connect(m_list, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row < 0) return;
        m_model.Choose(static_cast<size_t>(row));
        m_name->setText(FromCp1252(m_model.Text()));
    });
    // A double click on a name takes it and closes, as OK would.
    connect(m_list, &QListWidget::itemActivated, this, [this] { accept(); });
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    // The list starts at the name the edit field shows, so the arrow keys move on from there.
    const auto current = m_list->findItems(m_name->text(), Qt::MatchExactly);
    if (!current.isEmpty()) m_list->setCurrentItem(current.front());
    m_name->selectAll();
    m_name->setFocus();
}

void CDlgInsertTask::accept() {
    if (m_model.Accept().empty())
        reject();
    else
        QDialog::accept();
}

} // namespace rux
