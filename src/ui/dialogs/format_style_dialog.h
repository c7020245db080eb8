// The Format Style dialog: apply a named style of the style file, or save the current look as one.
#pragma once

#include <QDialog>

#include <functional>

class QLineEdit;
class QListWidget;
class QPushButton;

namespace rux {

class CSetting;
class CStyleFile;

// "&Apply" reads the chosen style into the settings and calls the applied handler, for the frame
// to save the settings and tell every view; "&Save setting as" writes the settings under the name
// typed (or chosen) in the name field.
class CDlgFormatStyle : public QDialog {
public:
    static constexpr int kDialogId = 105;

    CDlgFormatStyle(CStyleFile& styles, CSetting& setting, QWidget* parent = nullptr);
    void SetAppliedHandler(std::function<void()> applied) { m_applied = std::move(applied); }
    // Whether a style was applied while the dialog was open.
    bool WasApplied() const { return m_wasApplied; }

    QListWidget* List() const { return m_list; }
    QLineEdit* NameEdit() const { return m_name; }
    QPushButton* ApplyButton() const { return m_apply; }
    QPushButton* SaveButton() const { return m_save; }

private:
    void FillList();
    void UpdateButtons();

    CStyleFile& m_styles;
    CSetting& m_setting;
    QListWidget* m_list;
    QLineEdit* m_name;
    QPushButton* m_apply;
    QPushButton* m_save;
    std::function<void()> m_applied;
    bool m_wasApplied = false;
};

} // namespace rux
