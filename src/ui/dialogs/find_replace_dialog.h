// The modeless Find/Replace dialog of the main frame, over the frame's one find/replace model.
#pragma once

#include "editor/find_replace_model.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QPushButton;

namespace rux {

class CFindTarget;

// Created hidden with the frame and kept for its whole life: Done and Escape only hide it, so its
// texts, options and histories stay. The frame points it at the active view with SetTarget.
class RUX_CDlgFindReplace : public QDialog {
public:
    // Control ids of the dialog's controls, also set as each widget's "controlId" property.
    enum EControlId : int {
        kIdFindWhat = 1043,
        kIdReplaceWith = 1046,
        kIdMatchCase = 1005,
        kIdWholeWord = 1006,
        kIdSearchDown = 1008,
        kIdFindNext = 1047,
        kIdReplace = 5,
        kIdReplaceAll = 1024,
        kIdDone = 2,
    };

    explicit RUX_CDlgFindReplace(CFindReplaceModel& model, QWidget* parent = nullptr);

    // The view the buttons act on; null when no program view is active.
    void SetTarget(CFindTarget* target);
    CFindTarget* Target() const { return m_target; }
    // Shows and activates the dialog with the find text selected (Find/replace, Ctrl+F).
    void ShowDialog();
    // Asks the target again whether it may be changed (after it went online or read-only).
    void RefreshPermission();

    QComboBox* FindCombo() const { return m_find; }
    QComboBox* ReplaceCombo() const { return m_replace; }
    QCheckBox* MatchCaseBox() const { return m_matchCase; }
    QCheckBox* WholeWordBox() const { return m_wholeWord; }
    QCheckBox* SearchDownBox() const { return m_searchDown; }
    QPushButton* FindNextButton() const { return m_findNext; }
    QPushButton* ReplaceButton() const { return m_replaceOne; }
    QPushButton* ReplaceAllButton() const { return m_replaceAll; }
    QPushButton* DoneButton() const { return m_done; }

    // Escape hides the dialog as Done does.
    void reject() override;

private:
    void Press(EFindButton button);
    void StoreOptions();
    void FillHistory(QComboBox* combo, const std::vector<std::string>& history);
    void UpdateButtons();

    CFindReplaceModel& m_model;
    CFindTarget* m_target = nullptr;
    QComboBox* m_find;
    QComboBox* m_replace;
    QCheckBox* m_matchCase;
    QCheckBox* m_wholeWord;
    QCheckBox* m_searchDown;
    QPushButton* m_findNext;
    QPushButton* m_replaceOne;
    QPushButton* m_replaceAll;
    QPushButton* m_done;
};

} // namespace rux
