// The Tab stops dialog: tab size 2 to 8 and whether the Tab key inserts spaces or a tab.
#pragma once

#include "shell/help_topics.h"

#include <QDialog>

#include <functional>
#include <string>

class QPushButton;
class QRadioButton;
class QSpinBox;

namespace rux {

class CSetting;

// OK stores size and handling in the settings; the caller then saves them and tells every view.
class CDlgTabStops : public QDialog {
public:
    static constexpr int kDialogId = 106;
    static constexpr const char* kHelpTopic = kTabStopsHelpTopic;

    CDlgTabStops(CSetting& setting, QWidget* parent = nullptr);
    // Help is shown only when the application gives a way to open a topic.
    void SetHelpHandler(std::function<void(const std::string& topic)> help);

    QSpinBox* SizeSpin() const { return m_size; }
    QRadioButton* InsertSpaces() const { return m_spaces; }
    QRadioButton* KeepTabs() const { return m_tabs; }
    void accept() override;

private:
    void Show(int size, int handling);

    CSetting& m_setting;
    QSpinBox* m_size;
    QRadioButton* m_spaces;
    QRadioButton* m_tabs;
    QPushButton* m_help;
    std::function<void(const std::string&)> m_helpHandler;
};

} // namespace rux
