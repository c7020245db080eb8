// The Node description dialog: the program's free description text, at most 1024 characters.
#pragma once

#include <QDialog>

class QPlainTextEdit;

namespace rux {

class CNodeDescriptionForm;

// After Accepted on a form that is not read-only, the form's text is what the document stores.
class CDlgNodeDescription : public QDialog {
public:
    static constexpr int kDialogId = 5147;

    CDlgNodeDescription(CNodeDescriptionForm& form, QWidget* parent = nullptr);
    QPlainTextEdit* TextEdit() const { return m_text; }
    void accept() override;

private:
    CNodeDescriptionForm& m_form;
    QPlainTextEdit* m_text;
};

} // namespace rux
