#include "dialogs/goto_dialog.h"

#include "cp1252.h"
#include "document/string_table.h"
#include "editor/go_to_line.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace rux {

CDlgGoto::CDlgGoto(CEditSession& session, QWidget* parent) : QDialog(parent), m_session(session) {
    setWindowTitle(LoadQString(IDS_DLG_GOTO_TITLE));
    m_line = new QLineEdit(QStringLiteral("0"), this);
    m_line->setProperty("controlId", kIdLine);
    // A minus sign may be typed: a negative number is answered by staying open, not refused keys.
    m_line->setValidator(new QIntValidator(-999999999, 999999999, m_line));
    m_line->selectAll();
    auto* label = new QLabel(LoadQString(IDS_DLG_GOTO_LINE), this);
    label->setBuddy(m_line);

    auto* form = new QFormLayout;
    form->addRow(label, m_line);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    m_line->setFocus();
}

void CDlgGoto::accept() {
    bool ok = false;
    const int n = m_line->text().toInt(&ok);
    if (ok && GoToLine(m_session, n)) {
        QDialog::accept();
        return;
    }
    m_line->setFocus();
    m_line->selectAll();
}

} // namespace rux
