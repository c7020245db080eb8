#include "dialogs/indexer_udfb_dialog.h"

#include "cp1252.h"
#include "document/string_table.h"
#include "frame/message_box.h"
#include "import/indexer_fb_form.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace rux {

CDlgIndexerUDFB::CDlgIndexerUDFB(CIndexerUDFBForm& form, QWidget* parent) : QDialog(parent), m_form(form) {
    setWindowTitle(LoadQString(IDS_DLG_INDEXER_FB_TITLE));
    m_name = new QLineEdit(FromCp1252(form.Name()), this);
    // Room for a typical name without stretching the dialog to the screen.
    m_name->setMinimumWidth(m_name->fontMetrics().horizontalAdvance(QLatin1Char('M')) * 24);
    m_name->selectAll();
    auto* label = new QLabel(LoadQString(IDS_DLG_INDEXER_FB_NAME), this);
    label->setBuddy(m_name);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_help = buttons->addButton(QDialogButtonBox::Help);
    m_help->hide();
    connect(m_help, &QPushButton::clicked, this, [this] {
        if (m_helpHandler) m_helpHandler(kIndexerFbHelpTopic);
    });
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* fields = new QFormLayout;
    fields->addRow(label, m_name);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(buttons);
    m_name->setFocus();
}

void CDlgIndexerUDFB::SetHelpHandler(std::function<void(const std::string& topic)> help) {
    m_helpHandler = std::move(help);
    m_help->setVisible(static_cast<bool>(m_helpHandler));
}

void CDlgIndexerUDFB::accept() {
    m_form.SetName(ToCp1252(m_name->text()));
    if (const std::string problem = m_form.OnOk(); !problem.empty()) {
        ShowEditorMessage(this, problem);
        m_name->setFocus();
        m_name->selectAll();
        return;
    }
    QDialog::accept();
}

} // namespace rux
