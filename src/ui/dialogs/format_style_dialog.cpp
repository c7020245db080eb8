#include "dialogs/format_style_dialog.h"

#include "cp1252.h"
#include "dialogs/side_buttons_layout.h"
#include "document/string_table.h"
#include "shell/style_file.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace rux {

CDlgFormatStyle::CDlgFormatStyle(CStyleFile& styles, CSetting& setting, QWidget* parent)
    : QDialog(parent), m_styles(styles), m_setting(setting) {
    setWindowTitle(LoadQString(IDS_DLG_STYLE_TITLE));
    m_list = new QListWidget(this);
    auto* listLabel = new QLabel(LoadQString(IDS_DLG_STYLE_LIST), this);
    listLabel->setBuddy(m_list);
    m_name = new QLineEdit(this);
    auto* nameLabel = new QLabel(LoadQString(IDS_DLG_STYLE_NAME), this);
    nameLabel->setBuddy(m_name);
    m_apply = new QPushButton(LoadQString(IDS_DLG_STYLE_APPLY), this);
    m_save = new QPushButton(LoadQString(IDS_DLG_STYLE_SAVE_AS), this);
    m_apply->setDefault(true);
    m_save->setAutoDefault(false);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);

    auto* listColumn = new QVBoxLayout;
    listColumn->addWidget(listLabel);
    listColumn->addWidget(m_list, 1);
    auto* form = new QFormLayout;
    form->addRow(nameLabel, m_name);
    listColumn->addLayout(form);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(WithSideButtons(listColumn, {m_apply, m_save}), 1);
    layout->addWidget(buttons);
    setTabOrder(m_list, m_name);
    setTabOrder(m_name, m_apply);
    setTabOrder(m_apply, m_save);
    setTabOrder(m_save, buttons);

    connect(m_list, &QListWidget::currentTextChanged, this, [this](const QString& text) {
        if (!text.isEmpty()) m_name->setText(text);
        UpdateButtons();
    });
    connect(m_name, &QLineEdit::textChanged, this, [this] { UpdateButtons(); });
    connect(m_apply, &QPushButton::clicked, this, [this] {
        QListWidgetItem* item = m_list->currentItem();
        if (!item || !m_styles.Apply(ToCp1252(item->text()), m_setting)) return;
        m_wasApplied = true;
        if (m_applied) m_applied();
    });
    connect(m_save, &QPushButton::clicked, this, [this] {
        const QString name = m_name->text().trimmed();
        if (name.isEmpty() || !m_styles.SaveAs(ToCp1252(name), m_setting)) return;
        FillList();
        const auto found = m_list->findItems(name, Qt::MatchFixedString);
        if (!found.isEmpty()) m_list->setCurrentItem(found.front());
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    FillList();
    if (m_list->count() > 0) m_list->setCurrentRow(0);
    UpdateButtons();
    m_list->setFocus();
}

void CDlgFormatStyle::FillList() {
    const QSignalBlocker block(m_list);
    m_list->clear();
    for (const std::string& name : m_styles.Names()) m_list->addItem(FromCp1252(name));
}

void CDlgFormatStyle::UpdateButtons() {
    m_apply->setEnabled(m_list->currentItem() != nullptr);
    m_save->setEnabled(!m_name->text().trimmed().isEmpty());
}

} // namespace rux
