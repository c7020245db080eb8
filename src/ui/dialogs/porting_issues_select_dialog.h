// The choice of "Add prefix to all" and "Remove prefix from all" when issues with and without
// warnings both have something to change.
#pragma once

#include <QDialog>

class QRadioButton;

namespace rux {

class CDlgPortingIssuesSelect : public QDialog {
public:
    enum EChoice { kAll = 0, kNoWarnings = 1, kWarnings = 2 };

    explicit CDlgPortingIssuesSelect(QWidget* parent = nullptr);
    EChoice Choice() const;
    void SetChoice(EChoice choice);
    // The icons the choice takes in: icon 2 carries warnings, icon 3 none.
    void Icons(bool& icon2, bool& icon3) const;

private:
    QRadioButton* m_choices[3];
};

} // namespace rux
