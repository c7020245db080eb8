#include "dialogs/template_viewer_dialog.h"

#include "cp1252.h"
#include "dialogs/category_name_dialog.h"
#include "dialogs/edit_shortcut_dialog.h"
#include "dialogs/side_buttons_layout.h"
#include "dialogs/template_dialog.h"
#include "document/string_table.h"
#include "frame/message_box.h"

#include <QCheckBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace rux {
namespace {

QPushButton* Button(int textId, QWidget* parent) {
    return new QPushButton(LoadQString(textId), parent);
}

// The entries keep their names as bytes: the text shown is only their Windows-1252 reading.
void Fill(QListWidget& list, const std::vector<std::string>& names, const std::string& current) {
    list.clear();
    for (const std::string& name : names) {
        auto* item = new QListWidgetItem(FromCp1252(name), &list);
        item->setData(Qt::UserRole, QByteArray::fromStdString(name));
        if (name == current) list.setCurrentItem(item);
    }
}

std::string NameOf(const QListWidgetItem* item) {
    return item ? item->data(Qt::UserRole).toByteArray().toStdString() : std::string();
}

} // namespace

CDlgTplViewer::CDlgTplViewer(CTplMgr& templates, CTemplateViewerHost host, QWidget* parent)
    : QDialog(parent), m_model(templates), m_host(std::move(host)) {
    setWindowTitle(LoadQString(IDS_DLG_TPL_VIEWER_TITLE));
    // Created in the order Tab visits them.
    m_categories = new QListWidget(this);
    m_templates = new QListWidget(this);
    m_showInMenu = new QCheckBox(LoadQString(IDS_DLG_TPL_SHOW_IN_MENU), this);
    m_text = new QPlainTextEdit(this);
    m_text->setReadOnly(true);
    m_text->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_text->setTabChangesFocus(true);
    m_text->setLineWrapMode(QPlainTextEdit::NoWrap);
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    m_text->setFont(fixed);
    const QFontMetrics metrics(fixed);
    // Program text is indented with tabs of four columns, as the program view shows it by default.
    m_text->setTabStopDistance(metrics.horizontalAdvance(QLatin1Char(' ')) * 4);
    m_text->setMinimumSize(metrics.horizontalAdvance(QLatin1Char('M')) * 44, metrics.lineSpacing() * 8);
    m_newCategory = Button(IDS_DLG_TPL_NEW_CATEGORY, this);
    m_editCategory = Button(IDS_DLG_TPL_EDIT_CATEGORY, this);
    m_deleteCategory = Button(IDS_DLG_TPL_DELETE_CATEGORY, this);
    m_newTemplate = Button(IDS_DLG_TPL_NEW_TEMPLATE, this);
    m_editTemplate = Button(IDS_DLG_TPL_EDIT_TEMPLATE, this);
    m_deleteTemplate = Button(IDS_DLG_TPL_DELETE_TEMPLATE, this);
    m_shortcutKey = Button(IDS_DLG_TPL_SHORTCUT_KEY, this);
    m_insert = Button(IDS_DLG_TPL_INSERT, this);
    m_close = Button(IDS_DLG_TPL_CLOSE, this);
    // Enter inserts the chosen template wherever the focus is, unless it is on another button.
    m_insert->setDefault(true);

    auto* categoriesLabel = new QLabel(LoadQString(IDS_DLG_TPL_CATEGORIES), this);
    categoriesLabel->setBuddy(m_categories);
    auto* templatesLabel = new QLabel(LoadQString(IDS_DLG_TPL_TEMPLATES), this);
    templatesLabel->setBuddy(m_templates);
    auto* textLabel = new QLabel(LoadQString(IDS_DLG_TPL_TEXT), this);
    textLabel->setBuddy(m_text);
    m_shortcut = new QLabel(this);
    m_shortcut->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* lists = new QGridLayout;
    lists->addWidget(categoriesLabel, 0, 0);
    lists->addWidget(templatesLabel, 0, 1);
    lists->addWidget(m_categories, 1, 0);
    lists->addWidget(m_templates, 1, 1);
    auto* shortcutRow = new QHBoxLayout;
    shortcutRow->addWidget(new QLabel(LoadQString(IDS_DLG_TPL_SHORTCUT), this));
    shortcutRow->addWidget(m_shortcut, 1);
    auto* column = new QVBoxLayout;
    column->addLayout(lists, 1);
    column->addWidget(m_showInMenu);
    column->addWidget(textLabel);
    column->addWidget(m_text, 1);
    column->addLayout(shortcutRow);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(
        WithSideButtons(column, {m_newCategory, m_editCategory, m_deleteCategory, m_newTemplate,
                                 m_editTemplate, m_deleteTemplate, m_shortcutKey, m_insert, m_close}));

    connect(m_categories, &QListWidget::currentItemChanged, this, [this](QListWidgetItem* item) {
        if (m_refreshing) return;
        m_model.SelectCategory(NameOf(item));
        Refresh();
    });
    connect(m_templates, &QListWidget::currentItemChanged, this, [this](QListWidgetItem* item) {
        if (m_refreshing) return;
        m_model.SelectTemplate(NameOf(item));
        Refresh();
    });
    // A double click inserts; Enter already does through the default button.
    connect(m_templates, &QListWidget::itemDoubleClicked, this, &CDlgTplViewer::OnInsert);
    connect(m_showInMenu, &QCheckBox::toggled, this, [this](bool shown) {
        if (m_refreshing) return;
        m_model.SetCategoryVisible(shown);
        if (m_host.changed) m_host.changed();
    });
    connect(m_newCategory, &QPushButton::clicked, this, &CDlgTplViewer::OnNewCategory);
    connect(m_editCategory, &QPushButton::clicked, this, &CDlgTplViewer::OnEditCategory);
    connect(m_deleteCategory, &QPushButton::clicked, this, &CDlgTplViewer::OnDeleteCategory);
    connect(m_newTemplate, &QPushButton::clicked, this, &CDlgTplViewer::OnNewTemplate);
    connect(m_editTemplate, &QPushButton::clicked, this, &CDlgTplViewer::OnEditTemplate);
    connect(m_deleteTemplate, &QPushButton::clicked, this, &CDlgTplViewer::OnDeleteTemplate);
    connect(m_shortcutKey, &QPushButton::clicked, this, &CDlgTplViewer::OnShortcutKey);
    connect(m_insert, &QPushButton::clicked, this, &CDlgTplViewer::OnInsert);
    connect(m_close, &QPushButton::clicked, this, &QDialog::reject);

    Refresh();
    m_categories->setFocus();
}

void CDlgTplViewer::Refresh() {
    m_refreshing = true;
    Fill(*m_categories, m_model.CategoryNames(), m_model.SelectedCategory());
    Fill(*m_templates, m_model.TemplateNames(), m_model.SelectedTemplate());
    const CTplCat* category = m_model.Category();
    const CTpl* tpl = m_model.Template();
    m_text->setPlainText(tpl ? FromCp1252(CTemplateViewerModel::EditTextFromBody(tpl->body)) : QString());
    m_shortcut->setText(tpl ? FromCp1252(m_model.ShortcutText()) : QString());
    m_showInMenu->setChecked(category != nullptr && category->visible);
    m_showInMenu->setEnabled(category != nullptr);
    m_editCategory->setEnabled(category != nullptr);
    m_deleteCategory->setEnabled(category != nullptr);
    m_newTemplate->setEnabled(category != nullptr);
    m_editTemplate->setEnabled(tpl != nullptr);
    m_deleteTemplate->setEnabled(tpl != nullptr);
    m_shortcutKey->setEnabled(tpl != nullptr && m_host.accels != nullptr);
    m_insert->setEnabled(tpl != nullptr && m_host.canInsert && m_host.canInsert());
    m_refreshing = false;
}

void CDlgTplViewer::Changed(const CTplResult& result) {
    // A refusal changed nothing; a failure on the file system may have done half of its work.
    if (result.message == 0 && m_host.changed) m_host.changed();
    Refresh();
    if (result.message)
        ShowEditorMessage(this, LoadString(result.message));
    else if (!result.reason.empty())
        ShowEditorMessage(this, result.reason);
}

void CDlgTplViewer::OnNewCategory() {
    CDlgCategoryName dialog(
        IDS_TPL_NEW_CATEGORY, {}, [this](std::string_view name) { return m_model.CheckNewCategory(name); },
        this);
    if (dialog.exec() == QDialog::Accepted) Changed(m_model.NewCategory(dialog.Name()));
}

void CDlgTplViewer::OnEditCategory() {
    if (!m_model.Category()) return;
    CDlgCategoryName dialog(
        IDS_TPL_EDIT_CATEGORY, m_model.SelectedCategory(),
        [this](std::string_view name) { return m_model.CheckRenamedCategory(name); }, this);
    if (dialog.exec() == QDialog::Accepted && dialog.Name() != m_model.SelectedCategory())
        Changed(m_model.RenameCategory(dialog.Name()));
}

void CDlgTplViewer::OnDeleteCategory() {
    if (!m_model.Category() || !AskEditorYesNo(this, LoadString(IDS_TPL_ASK_DELETE_CATEGORY))) return;
    Changed(m_model.DeleteCategory());
}

void CDlgTplViewer::OnNewTemplate() {
    if (!m_model.Category()) return;
    CDlgNewTpl dialog(m_model, this);
    if (dialog.exec() == QDialog::Accepted)
        Changed(m_model.NewTemplate(dialog.Category(), dialog.Name(), dialog.Body()));
}

void CDlgTplViewer::OnEditTemplate() {
    if (!m_model.Template()) return;
    CDlgEditTpl dialog(m_model, this);
    if (dialog.exec() == QDialog::Accepted) Changed(m_model.EditTemplate(dialog.Name(), dialog.Body()));
}

void CDlgTplViewer::OnDeleteTemplate() {
    if (!m_model.Template() || !AskEditorYesNo(this, LoadString(IDS_TPL_ASK_DELETE_TEMPLATE))) return;
    Changed(m_model.DeleteTemplate());
}

void CDlgTplViewer::OnShortcutKey() {
    const CTpl* tpl = m_model.Template();
    if (!tpl || !m_host.accels) return;
    const std::string current = tpl->shortcut;
    CDlgEditShortcut dialog(*m_host.accels, m_host.menuTextOf, current, this);
    if (dialog.exec() != QDialog::Accepted || dialog.Shortcut() == current) return;
    // Saved with the template; the reload that follows gives the key to its new command id.
    Changed(m_model.SetShortcut(dialog.Shortcut()));
}

void CDlgTplViewer::OnInsert() {
    const CTpl* tpl = m_model.Template();
    if (!tpl || !m_host.insert || !m_host.canInsert || !m_host.canInsert()) return;
    // Insert ends the visit: the user goes back to the program with the text at the caret.
    const std::string body = tpl->body;
    m_host.insert(body);
    accept();
}

} // namespace rux
