#include "dialogs/porting_issues_select_dialog.h"

#include "document/string_table.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

namespace rux {

CDlgPortingIssuesSelect::CDlgPortingIssuesSelect(QWidget* parent) : QDialog(parent) {
    setObjectName("DlgPortingIssuesSelect");
    setWindowTitle(QString::fromUtf8(LoadString(IDS_APP_TITLE)));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("Please select issues:"), this));
    const char* const texts[] = {"All issues possible", "Issues with no warnings", "Issues with warnings"};
    for (int i = 0; i < 3; ++i) {
        m_choices[i] = new QRadioButton(tr(texts[i]), this);
        layout->addWidget(m_choices[i]);
    }
    m_choices[kAll]->setChecked(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

CDlgPortingIssuesSelect::EChoice CDlgPortingIssuesSelect::Choice() const {
    for (int i = 0; i < 3; ++i)
        if (m_choices[i]->isChecked()) return static_cast<EChoice>(i);
    return kAll;
}

void CDlgPortingIssuesSelect::SetChoice(EChoice choice) {
    m_choices[choice]->setChecked(true);
}

void CDlgPortingIssuesSelect::Icons(bool& icon2, bool& icon3) const {
    const EChoice choice = Choice();
    icon2 = choice != kNoWarnings;
    icon3 = choice != kWarnings;
}

} // namespace rux
