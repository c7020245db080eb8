// Every message box of the editor: titled "RUX Editor", the exclamation icon unless another is named,
// and every other window of the editor blocked while it is open.
#pragma once

#include "document/message_sink.h"

#include <QMessageBox>

#include <functional>
#include <string>

namespace rux {

// Shows the box and returns the button pressed. A box whose text is the numbered prompt `promptId`
// has that prompt's help context: F1 in the box hands it to the help library.
QMessageBox::StandardButton RuxMessageBox(QWidget* parent, const QString& text,
                                          QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                          QMessageBox::Icon icon = QMessageBox::NoIcon, int promptId = 0);

// An OK box with a check box under the text (the build result's "Do not show this dialog again");
// true when the user ticked it. A test handler sees the text with the check box's text on a line of
// its own after it, and ticks the box by answering Ignore.
bool RuxCheckMessageBox(QWidget* parent, const QString& text, const QString& checkText, QMessageBox::Icon icon);
// The same for a text of the core (program bytes): OK only, and a Yes/No question that is true for Yes.
void ShowEditorMessage(QWidget* parent, const std::string& text, int promptId = 0);
bool AskEditorYesNo(QWidget* parent, const std::string& text, int promptId = 0);

// Replaces the box for tests: the handler sees what would be shown and answers for the user. An empty
// handler shows real boxes again.
using MessageBoxHandler =
    std::function<QMessageBox::StandardButton(const QString& text, QMessageBox::StandardButtons, QMessageBox::Icon)>;
void SetMessageBoxHandler(MessageBoxHandler handler);

// The message sink of the documents: a box with the text.
class CBoxMessageSink final : public CMessageSink {
public:
    explicit CBoxMessageSink(QWidget* parent = nullptr) : m_parent(parent) {}
    void SetParent(QWidget* parent) { m_parent = parent; }
    void ShowMessage(int stringId, const std::string& text) override;
    // How many boxes this sink has shown: lets a caller tell whether a failure was explained.
    int Shown() const { return m_shown; }

private:
    QWidget* m_parent;
    int m_shown = 0;
};

} // namespace rux
