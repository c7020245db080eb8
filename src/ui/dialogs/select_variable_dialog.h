// The Select variable dialog: the names the variable choice offers, and the one to insert.
#pragma once

#include <QDialog>

#include <functional>
#include <string>

class QLineEdit;
class QListWidget;
class QPushButton;

namespace rux {

class CVariableChoice;

class CDlgSelectVariable : public QDialog {
public:
    static constexpr int kDialogId = 110;
    static constexpr const char* kHelpTopic = "Inserting_Variables__Parameters_or_Numbers";

    // Scan is offered only when the caller lets the dialog scan the program for names.
    CDlgSelectVariable(CVariableChoice& choice, bool allowScan, QWidget* parent = nullptr);
    void SetHelpHandler(std::function<void(const std::string& topic)> help);

    // The name to insert, in program bytes; empty when none was chosen or typed.
    std::string ChosenText() const;

    QListWidget* NameList() const { return m_list; }
    QLineEdit* NameEdit() const { return m_name; }
    QPushButton* ScanButton() const { return m_scan; }
    QPushButton* ClearButton() const { return m_clear; }

private:
    void ShowNames();

    CVariableChoice& m_choice;
    QListWidget* m_list;
    QLineEdit* m_name;
    QPushButton* m_scan;
    QPushButton* m_clear;
    QPushButton* m_help;
    std::function<void(const std::string&)> m_helpHandler;
};

} // namespace rux
