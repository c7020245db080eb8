#include "dialogs/select_variable_dialog.h"

#include "cp1252.h"
#include "dialogs/side_buttons_layout.h"
#include "document/string_table.h"
#include "editor/variable_choice.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace rux {

CDlgSelectVariable::CDlgSelectVariable(CVariableChoice& choice, bool allowScan, QWidget* parent)
    : QDialog(parent), m_choice(choice) {
    setWindowTitle(LoadQString(IDS_DLG_VARIABLE_TITLE));
    m_list = new QListWidget(this);
    auto* listLabel = new QLabel(LoadQString(IDS_DLG_VARIABLE_LIST), this);
    listLabel->setBuddy(m_list);
    m_name = new QLineEdit(this);
    auto* nameLabel = new QLabel(LoadQString(IDS_DLG_VARIABLE_NAME), this);
    nameLabel->setBuddy(m_name);

    m_scan = new QPushButton(LoadQString(IDS_DLG_VARIABLE_SCAN), this);
    m_scan->setEnabled(allowScan);
    m_clear = new QPushButton(LoadQString(IDS_DLG_VARIABLE_CLEAR), this);
    for (QPushButton* b : {m_scan, m_clear}) b->setAutoDefault(false);
    connect(m_scan, &QPushButton::clicked, this, [this] {
        m_choice.Scan();
        ShowNames();
    });
    connect(m_clear, &QPushButton::clicked, this, [this] {
        m_choice.Clear();
        ShowNames();
        m_name->clear();
    });
    connect(m_list, &QListWidget::currentTextChanged, m_name, &QLineEdit::setText);
    connect(m_list, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        m_name->setText(item->text());
        accept();
    });

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_help = buttons->addButton(QDialogButtonBox::Help);
    m_help->hide();
    connect(m_help, &QPushButton::clicked, this, [this] {
        if (m_helpHandler) m_helpHandler(kHelpTopic);
    });
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(listLabel);
    layout->addLayout(WithSideButtons(m_list, {m_scan, m_clear}), 1);
    layout->addWidget(nameLabel);
    layout->addWidget(m_name);
    layout->addWidget(buttons);

    ShowNames();
    m_name->setFocus();
}

void CDlgSelectVariable::SetHelpHandler(std::function<void(const std::string& topic)> help) {
    m_helpHandler = std::move(help);
    m_help->setVisible(static_cast<bool>(m_helpHandler));
}

void CDlgSelectVariable::ShowNames() {
    m_list->clear();
    for (const std::string& name : m_choice.Names()) m_list->addItem(FromCp1252(name));
}

std::string CDlgSelectVariable::ChosenText() const {
    return ToCp1252(m_name->text().trimmed());
}

} // namespace rux
