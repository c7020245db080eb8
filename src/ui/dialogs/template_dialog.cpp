#include "dialogs/template_dialog.h"

#include "cp1252.h"
#include "dialogs/category_name_dialog.h"
#include "document/string_table.h"
#include "editor/template_viewer_model.h"
#include "frame/message_box.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QShortcut>
#include <QVBoxLayout>

namespace rux {

CDlgTemplate::CDlgTemplate(int promptId, const std::vector<std::string>& categories,
                           const std::string& category, const std::string& name, const std::string& body,
                           NameCheck check, QWidget* parent)
    : QDialog(parent), m_check(std::move(check)) {
    setWindowTitle(LoadQString(IDS_DLG_TPL_TEMPLATE_TITLE));
    m_name = new QLineEdit(FromCp1252(name), this);
    m_name->selectAll();
    auto* prompt = new QLabel(LoadQString(promptId), this);
    prompt->setBuddy(m_name);
    m_category = new QComboBox(this);
    for (const std::string& c : categories)
        m_category->addItem(FromCp1252(c));
    m_category->setCurrentText(FromCp1252(category));
    auto* categoryLabel = new QLabel(LoadQString(IDS_DLG_TPL_CATEGORY), this);
    categoryLabel->setBuddy(m_category);

    m_body = new QPlainTextEdit(FromCp1252(CTemplateViewerModel::EditTextFromBody(body)), this);
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    m_body->setFont(fixed);
    m_body->setLineWrapMode(QPlainTextEdit::NoWrap);
    const QFontMetrics metrics(fixed);
    // Program text is indented with tabs of four columns, as the program view shows it by default.
    m_body->setTabStopDistance(metrics.horizontalAdvance(QLatin1Char(' ')) * 4);
    m_body->setMinimumSize(metrics.horizontalAdvance(QLatin1Char('M')) * 48, metrics.lineSpacing() * 10);
    // Tab moves on, as everywhere in a dialog; Ctrl+Tab puts a tab into the text, which program
    // text indents with.
    m_body->setTabChangesFocus(true);
    auto* tab =
        new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Tab), m_body, nullptr, nullptr, Qt::WidgetShortcut);
    connect(tab, &QShortcut::activated, m_body, [this] { m_body->insertPlainText(QStringLiteral("\t")); });
    auto* bodyLabel = new QLabel(LoadQString(IDS_DLG_TPL_BODY), this);
    bodyLabel->setBuddy(m_body);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* fields = new QFormLayout;
    fields->addRow(prompt, m_name);
    fields->addRow(categoryLabel, m_category);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(bodyLabel);
    layout->addWidget(m_body, 1);
    layout->addWidget(buttons);
    m_name->setFocus();
}

void CDlgTemplate::accept() {
    std::string name, category;
    int message = 0;
    if (TemplateNameFromField(m_name->text(), name, message)) {
        category = ToCp1252(m_category->currentText());
        message = m_check(category, name);
    }
    if (message) {
        ShowEditorMessage(this, LoadString(message));
        m_name->setFocus();
        m_name->selectAll();
        return;
    }
    m_acceptedName = std::move(name);
    m_acceptedCategory = std::move(category);
    // Characters outside the code page become '?', as they would when typed into a program.
    m_acceptedBody = CTemplateViewerModel::BodyFromEditText(ToCp1252(m_body->toPlainText()));
    QDialog::accept();
}

CDlgNewTpl::CDlgNewTpl(const CTemplateViewerModel& model, QWidget* parent)
    : CDlgTemplate(
          IDS_TPL_NEW_TEMPLATE, model.CategoryNames(), model.SelectedCategory(), {}, {},
          [&model](std::string_view category, std::string_view name) {
              return model.CheckNewTemplate(category, name);
          },
          parent) {}

CDlgEditTpl::CDlgEditTpl(const CTemplateViewerModel& model, QWidget* parent)
    : CDlgTemplate(
          IDS_TPL_EDIT_TEMPLATE, {model.SelectedCategory()}, model.SelectedCategory(),
          model.SelectedTemplate(), model.Template() ? model.Template()->body : std::string(),
          [&model](std::string_view, std::string_view name) { return model.CheckEditedTemplate(name); },
          parent) {
    CategoryBox()->setEnabled(false);
}

} // namespace rux
