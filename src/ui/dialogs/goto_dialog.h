// The Go to line dialog: one number, the item to put the caret on.
#pragma once

#include <QDialog>

class QLineEdit;

namespace rux {

class CEditSession;

class CDlgGoto : public QDialog {
public:
    static constexpr int kIdLine = 1023;

    CDlgGoto(CEditSession& session, QWidget* parent = nullptr);
    QLineEdit* LineEdit() const { return m_line; }
    // OK: a negative number (or none) keeps the dialog open; n >= 0 moves the caret to item n.
    void accept() override;

private:
    CEditSession& m_session;
    QLineEdit* m_line;
};

} // namespace rux
