// The name of the indexer's function block: a thin dialog over its form.
#pragma once

#include <QDialog>

#include <functional>
#include <string>

class QLineEdit;
class QPushButton;

namespace rux {

class CIndexerUDFBForm;

// OK hands the typed name to the form; a name the form refuses is answered with its message and
// the dialog stays open.
class CDlgIndexerUDFB : public QDialog {
    Q_OBJECT
public:
    CDlgIndexerUDFB(CIndexerUDFBForm& form, QWidget* parent = nullptr);
    // Help is shown only when the application gives a way to open a topic.
    void SetHelpHandler(std::function<void(const std::string& topic)> help);

    QLineEdit* NameEdit() const { return m_name; }
    QPushButton* HelpButton() const { return m_help; }
    void accept() override;

private:
    CIndexerUDFBForm& m_form;
    QLineEdit* m_name;
    QPushButton* m_help;
    std::function<void(const std::string&)> m_helpHandler;
};

} // namespace rux
