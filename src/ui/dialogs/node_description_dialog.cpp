#include "dialogs/node_description_dialog.h"

#include "cp1252.h"
#include "document/node_description_form.h"
#include "document/string_table.h"
#include "frame/message_box.h"

#include <QDialogButtonBox>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace rux {

CDlgNodeDescription::CDlgNodeDescription(CNodeDescriptionForm& form, QWidget* parent)
    : QDialog(parent), m_form(form) {
    setWindowTitle(LoadQString(IDS_DLG_NODE_DESCRIPTION));
    m_text = new QPlainTextEdit(FromCp1252(form.Text()), this);
    m_text->setReadOnly(form.IsReadOnly());
    // Tab moves on to the buttons, so the dialog can be left with the keyboard alone.
    m_text->setTabChangesFocus(true);
    const QFontMetrics metrics(m_text->font());
    m_text->setMinimumSize(metrics.horizontalAdvance(QLatin1Char('x')) * 60, metrics.lineSpacing() * 10);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_text, 1);
    layout->addWidget(buttons);
    m_text->setFocus();
}

void CDlgNodeDescription::accept() {
    m_form.SetText(ToCp1252(m_text->toPlainText()));
    if (m_form.OnOk() == CNodeDescriptionForm::EOkResult::AskToClip) {
        if (!AskEditorYesNo(this, LoadString(IDS_DLG_DESCRIPTION_TOO_LONG), IDS_DLG_DESCRIPTION_TOO_LONG)) {
            m_text->setFocus();
            return;
        }
        m_form.Clip();
    }
    QDialog::accept();
}

} // namespace rux
