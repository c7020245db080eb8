#include "dialogs/tab_stops_dialog.h"

#include "cp1252.h"
#include "document/string_table.h"
#include "shell/setting.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace rux {

CDlgTabStops::CDlgTabStops(CSetting& setting, QWidget* parent) : QDialog(parent), m_setting(setting) {
    setWindowTitle(LoadQString(IDS_DLG_TABS_TITLE));
    m_size = new QSpinBox(this);
    m_size->setRange(2, 8);
    auto* sizeLabel = new QLabel(LoadQString(IDS_DLG_TAB_SIZE), this);
    sizeLabel->setBuddy(m_size);
    m_spaces = new QRadioButton(LoadQString(IDS_DLG_INSERT_SPACE), this);
    m_tabs = new QRadioButton(LoadQString(IDS_DLG_KEEP_TABS), this);
    auto* group = new QButtonGroup(this);
    group->addButton(m_spaces, TAB_INSERT_SPACES);
    group->addButton(m_tabs, TAB_KEEP_TABS);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    QPushButton* defaults = buttons->addButton(LoadQString(IDS_DLG_DEFAULT), QDialogButtonBox::ResetRole);
    m_help = buttons->addButton(QDialogButtonBox::Help);
    m_help->hide();
    connect(defaults, &QPushButton::clicked, this, [this] { Show(4, TAB_KEEP_TABS); });
    connect(m_help, &QPushButton::clicked, this, [this] {
        if (m_helpHandler) m_helpHandler(kHelpTopic);
    });
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* form = new QFormLayout;
    form->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint); // a digit needs no wide field
    form->addRow(sizeLabel, m_size);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_spaces);
    layout->addWidget(m_tabs);
    layout->addWidget(buttons);

    Show(setting.TabSize(), setting.TabHandlingMode());
    m_size->setFocus();
}

void CDlgTabStops::SetHelpHandler(std::function<void(const std::string& topic)> help) {
    m_helpHandler = std::move(help);
    m_help->setVisible(static_cast<bool>(m_helpHandler));
}

void CDlgTabStops::Show(int size, int handling) {
    m_size->setValue(size); // the spin box keeps it within 2 to 8
    (handling == TAB_INSERT_SPACES ? m_spaces : m_tabs)->setChecked(true);
}

void CDlgTabStops::accept() {
    m_setting.SetTabs(m_size->value(), m_tabs->isChecked() ? TAB_KEEP_TABS : TAB_INSERT_SPACES);
    QDialog::accept();
}

} // namespace rux
