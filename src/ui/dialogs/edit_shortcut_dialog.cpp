#include "dialogs/edit_shortcut_dialog.h"

#include "cp1252.h"
#include "dialogs/accel_edit.h"
#include "document/string_table.h"
#include "editor/accel_mgr.h"
#include "frame/message_box.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace rux {

CDlgEditShortcut::CDlgEditShortcut(const CAccelMgr& accels, std::function<std::string(int)> menuTextOf,
                                   const std::string& current, QWidget* parent)
    : QDialog(parent), m_accels(accels), m_menuTextOf(std::move(menuTextOf)), m_current(current) {
    setWindowTitle(LoadQString(IDS_DLG_SHORTCUT_TITLE));
    m_field = new CAccelEdit(this);
    m_field->SetShortcut(current);
    // Room for the longest combination the field can show, whatever the font.
    m_field->setMinimumWidth(
        m_field->fontMetrics().horizontalAdvance(QStringLiteral("Ctrl+Alt+Shift+NUMPAD0")) +
        m_field->fontMetrics().averageCharWidth() * 4);
    auto* prompt = new QLabel(LoadQString(IDS_DLG_SHORTCUT_PROMPT), this);
    prompt->setBuddy(m_field);
    m_assignedTo = new QLabel(this);
    m_assignedTo->setTextFormat(Qt::PlainText);

    auto* form = new QFormLayout;
    form->setRowWrapPolicy(QFormLayout::WrapAllRows);
    form->addRow(prompt, m_field);
    form->addRow(new QLabel(LoadQString(IDS_DLG_SHORTCUT_ASSIGNED_TO), this), m_assignedTo);

    auto* buttons = new QDialogButtonBox(this);
    m_assign = buttons->addButton(LoadQString(IDS_DLG_SHORTCUT_ASSIGN), QDialogButtonBox::AcceptRole);
    m_clear = buttons->addButton(LoadQString(IDS_DLG_SHORTCUT_CLEAR), QDialogButtonBox::ResetRole);
    buttons->addButton(QDialogButtonBox::Cancel);
    // Enter in the field assigns; the field itself never takes it.
    m_assign->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_clear, &QPushButton::clicked, this, [this] {
        m_field->SetShortcut({});
        m_field->setFocus();
    });
    connect(m_field, &CAccelEdit::ShortcutChanged, this, &CDlgEditShortcut::ShowAssignedTo);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    ShowAssignedTo();
    m_field->setFocus();
}

std::string CDlgEditShortcut::Shortcut() const {
    return m_field->Shortcut();
}

void CDlgEditShortcut::ShowAssignedTo() {
    m_assignedTo->setText(FromCp1252(m_accels.AssignedTo(m_field->Shortcut(), m_menuTextOf)));
}

void CDlgEditShortcut::accept() {
    if (const int refused = m_accels.CheckAssign(m_current, m_field->Shortcut())) {
        ShowEditorMessage(this, LoadString(refused), refused);
        m_field->setFocus();
        return;
    }
    QDialog::accept();
}

} // namespace rux
