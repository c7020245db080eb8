#include "dialogs/find_replace_dialog.h"

#include "cp1252.h"
#include "dialogs/find_target.h"
#include "document/string_table.h"
#include "frame/message_box.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace rux {
namespace {

QComboBox* NewHistoryCombo(QWidget* parent) {
    auto* combo = new QComboBox(parent);
    combo->setEditable(true);
    // The model keeps the history; the combo neither adds entries nor completes typed text.
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setCompleter(nullptr);
    combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    combo->setMinimumContentsLength(24);
    return combo;
}

} // namespace

RUX_CDlgFindReplace::RUX_CDlgFindReplace(CFindReplaceModel& model, QWidget* parent)
    : QDialog(parent), m_model(model) {
    setWindowTitle(LoadQString(IDS_DLG_FIND_TITLE));
    setModal(false);

    m_find = NewHistoryCombo(this);
    m_replace = NewHistoryCombo(this);
    m_matchCase = new QCheckBox(LoadQString(IDS_DLG_MATCH_CASE), this);
    m_wholeWord = new QCheckBox(LoadQString(IDS_DLG_WHOLE_WORD), this);
    m_searchDown = new QCheckBox(LoadQString(IDS_DLG_SEARCH_DOWN), this);
    m_findNext = new QPushButton(LoadQString(IDS_DLG_FIND_NEXT), this);
    m_replaceOne = new QPushButton(LoadQString(IDS_DLG_REPLACE), this);
    m_replaceAll = new QPushButton(LoadQString(IDS_DLG_REPLACE_ALL), this);
    m_done = new QPushButton(LoadQString(IDS_DLG_DONE), this);

    const std::pair<QWidget*, int> ids[] = {
        {m_find, kIdFindWhat},       {m_replace, kIdReplaceWith},   {m_matchCase, kIdMatchCase},
        {m_wholeWord, kIdWholeWord}, {m_searchDown, kIdSearchDown}, {m_findNext, kIdFindNext},
        {m_replaceOne, kIdReplace},  {m_replaceAll, kIdReplaceAll}, {m_done, kIdDone},
    };
    for (const auto& [widget, id] : ids) widget->setProperty("controlId", id);

    auto* findLabel = new QLabel(LoadQString(IDS_DLG_FIND_WHAT), this);
    findLabel->setBuddy(m_find);
    auto* replaceLabel = new QLabel(LoadQString(IDS_DLG_REPLACE_WITH), this);
    replaceLabel->setBuddy(m_replace);

    auto* fields = new QGridLayout;
    fields->addWidget(findLabel, 0, 0);
    fields->addWidget(m_find, 0, 1);
    fields->addWidget(replaceLabel, 1, 0);
    fields->addWidget(m_replace, 1, 1);
    fields->setColumnStretch(1, 1);

    auto* left = new QVBoxLayout;
    left->addLayout(fields);
    left->addWidget(m_matchCase);
    left->addWidget(m_wholeWord);
    left->addWidget(m_searchDown);
    left->addStretch(1);

    auto* buttons = new QVBoxLayout;
    for (QPushButton* button : {m_findNext, m_replaceOne, m_replaceAll, m_done}) {
        button->setAutoDefault(false);
        buttons->addWidget(button);
    }
    buttons->addStretch(1);
    m_findNext->setDefault(true);

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(buttons);

    QWidget* order[] = {m_find, m_replace, m_matchCase, m_wholeWord, m_searchDown,
                        m_findNext, m_replaceOne, m_replaceAll, m_done};
    for (size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);

    // The model's state, which outlives the window.
    FillHistory(m_find, m_model.FindHistory());
    FillHistory(m_replace, m_model.ReplaceHistory());
    m_find->setEditText(FromCp1252(m_model.FindText()));
    m_replace->setEditText(FromCp1252(m_model.ReplaceText()));
    m_matchCase->setChecked(m_model.MatchCase());
    m_wholeWord->setChecked(m_model.RestartFromTop());
    m_searchDown->setChecked(m_model.SearchDown());

    connect(m_find, &QComboBox::editTextChanged, this, [this](const QString& text) {
        m_model.SetFindText(ToCp1252(text));
        UpdateButtons();
    });
    connect(m_replace, &QComboBox::editTextChanged, this,
            [this](const QString& text) { m_model.SetReplaceText(ToCp1252(text)); });
    connect(m_matchCase, &QCheckBox::toggled, this, [this] { StoreOptions(); });
    connect(m_wholeWord, &QCheckBox::toggled, this, [this] { StoreOptions(); });
    connect(m_searchDown, &QCheckBox::toggled, this, [this] { StoreOptions(); });
    connect(m_findNext, &QPushButton::clicked, this, [this] { Press(EFindButton::FindNext); });
    connect(m_replaceOne, &QPushButton::clicked, this, [this] { Press(EFindButton::Replace); });
    connect(m_replaceAll, &QPushButton::clicked, this, [this] { Press(EFindButton::ReplaceAll); });
    connect(m_done, &QPushButton::clicked, this, &QWidget::hide);

    RefreshPermission();
}

void RUX_CDlgFindReplace::SetTarget(CFindTarget* target) {
    m_target = target;
    RefreshPermission();
}

void RUX_CDlgFindReplace::RefreshPermission() {
    m_model.SetReplacePermission(m_target && m_target->CanModify());
    UpdateButtons();
}

void RUX_CDlgFindReplace::ShowDialog() {
    RefreshPermission();
    show();
    raise();
    activateWindow();
    m_find->setFocus();
    m_find->lineEdit()->selectAll();
}

void RUX_CDlgFindReplace::reject() {
    hide();
}

void RUX_CDlgFindReplace::StoreOptions() {
    m_model.SetMatchCase(m_matchCase->isChecked());
    m_model.SetRestartFromTop(m_wholeWord->isChecked());
    m_model.SetSearchDown(m_searchDown->isChecked());
}

void RUX_CDlgFindReplace::UpdateButtons() {
    m_findNext->setEnabled(m_target && m_model.CanFindNext());
    m_replaceOne->setEnabled(m_model.CanReplace());
    m_replaceAll->setEnabled(m_model.CanReplaceAll());
}

void RUX_CDlgFindReplace::FillHistory(QComboBox* combo, const std::vector<std::string>& history) {
    const QString text = combo->currentText();
    const QSignalBlocker block(combo);
    combo->clear();
    for (const std::string& entry : history) combo->addItem(FromCp1252(entry));
    combo->setCurrentIndex(-1);
    combo->setEditText(text);
}

void RUX_CDlgFindReplace::Press(EFindButton button) {
    RefreshPermission();
    if (!m_target) return;
    StoreOptions();
    const CFindResult result = m_target->Run(button, m_model);
    FillHistory(m_find, m_model.FindHistory());
    FillHistory(m_replace, m_model.ReplaceHistory());
    UpdateButtons();
    if (!result.message.empty()) ShowEditorMessage(this, result.message);
}

} // namespace rux
