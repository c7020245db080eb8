// The Edit Shortcut Key dialog: picks the key combination that runs a template.
//
// For the caller (the Template Viewer's Shortcut Key button):
//   CDlgEditShortcut dialog(app.Accelerators(), menuTextOf, tpl.shortcut, viewer);
//   if (dialog.exec() == QDialog::Accepted) save dialog.Shortcut() as the template's key;
// - `accels` is the manager whose program menu table says which combinations are taken; it must
//   outlive the dialog and is only read.
// - `menuTextOf(command)` gives a command's entry in the frame's menus as shown (before the tab,
//   without "&"), or an empty text for a command no menu shows; it names the owner of a taken key.
//   An empty function falls back to the menu texts the manager's tables were built from.
// - `current` is the template's shortcut text as stored (any case; empty for none).
// - After Accepted, Shortcut() is the new text in the stored form ("Ctrl+Shift+F5"), or empty when
//   the user cleared the key. Assign only accepts a combination no other entry uses, or the
//   template's own; after Rejected, Shortcut() means nothing.
#pragma once

#include <QDialog>

#include <functional>
#include <string>

class QLabel;
class QPushButton;

namespace rux {

class CAccelEdit;
class CAccelMgr;

class CDlgEditShortcut : public QDialog {
public:
    static constexpr int kDialogId = 13010;

    CDlgEditShortcut(const CAccelMgr& accels, std::function<std::string(int)> menuTextOf,
                     const std::string& current, QWidget* parent = nullptr);

    std::string Shortcut() const;

    CAccelEdit* Field() const { return m_field; }
    QLabel* AssignedTo() const { return m_assignedTo; }
    QPushButton* AssignButton() const { return m_assign; }
    QPushButton* ClearButton() const { return m_clear; }

    // Assign: closes with the combination unless another entry uses it.
    void accept() override;

private:
    void ShowAssignedTo();

    const CAccelMgr& m_accels;
    std::function<std::string(int)> m_menuTextOf;
    std::string m_current;
    CAccelEdit* m_field;
    QLabel* m_assignedTo;
    QPushButton* m_assign;
    QPushButton* m_clear;
};

} // namespace rux
