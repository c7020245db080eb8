#include "dialogs/category_name_dialog.h"

#include "cp1252.h"
#include "document/string_table.h"
#include "frame/message_box.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace rux {

bool TemplateNameFromField(const QString& text, std::string& name, int& message) {
    if (ToCp1252(text, name)) return true;
    message = IDS_TPL_INVALID_NAME;
    return false;
}

CDlgCategoryName::CDlgCategoryName(int promptId, const std::string& name, NameCheck check, QWidget* parent)
    : QDialog(parent), m_check(std::move(check)) {
    setWindowTitle(LoadQString(IDS_DLG_TPL_CATEGORY_TITLE));
    m_name = new QLineEdit(FromCp1252(name), this);
    m_name->setMinimumWidth(m_name->fontMetrics().horizontalAdvance(QLatin1Char('M')) * 24);
    m_name->selectAll();
    auto* prompt = new QLabel(LoadQString(promptId), this);
    prompt->setBuddy(m_name);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(prompt);
    layout->addWidget(m_name);
    layout->addWidget(buttons);
    m_name->setFocus();
}

void CDlgCategoryName::accept() {
    std::string name;
    int message = 0;
    if (TemplateNameFromField(m_name->text(), name, message)) message = m_check(name);
    if (message) {
        ShowEditorMessage(this, LoadString(message));
        m_name->setFocus();
        m_name->selectAll();
        return;
    }
    m_accepted = std::move(name);
    QDialog::accept();
}

} // namespace rux
