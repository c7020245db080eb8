// The Colors dialog: the colour table by display name, each entry changed through a colour chooser.
#pragma once

#include "shell/help_topics.h"
#include "shell/lite_color.h"

#include <QDialog>

#include <functional>
#include <string>

class QListWidget;
class QPushButton;

namespace rux {

class CSetting;

// Changes go straight into the settings so that OK keeps them; Cancel (and Escape) puts back the
// values the colours had when the dialog opened. After Accepted the caller saves the settings and
// tells every view.
class CDlgColors : public QDialog {
public:
    static constexpr int kDialogId = 204;
    static constexpr const char* kHelpTopic = kColorsHelpTopic;
    // Asks the user for a colour starting from `value`; false when the chooser was cancelled.
    using ColorChooser = std::function<bool(ColorRef& value, QWidget* parent)>;

    CDlgColors(CSetting& setting, QWidget* parent = nullptr);
    // Replaces the platform's colour chooser (tests answer without a window).
    void SetColorChooser(ColorChooser chooser) { m_chooser = std::move(chooser); }
    void SetHelpHandler(std::function<void(const std::string& topic)> help);

    QListWidget* List() const { return m_list; }
    QPushButton* ChangeButton() const { return m_change; }
    QPushButton* DefaultButton() const { return m_default; }
    void reject() override;

private:
    void ChangeSelected();
    void Refresh();

    CSetting& m_setting;
    QListWidget* m_list;
    QPushButton* m_change;
    QPushButton* m_default;
    QPushButton* m_help;
    ColorChooser m_chooser;
    std::function<void(const std::string&)> m_helpHandler;
};

} // namespace rux
