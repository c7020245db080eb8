#include "frame/message_box.h"

#include "app/help_opener.h"
#include "cp1252.h"
#include "document/string_table.h"
#include "shell/help_topics.h"

#include <QCheckBox>
#include <QShortcut>

namespace rux {
namespace {

MessageBoxHandler& Handler() {
    static MessageBoxHandler handler;
    return handler;
}

} // namespace

void SetMessageBoxHandler(MessageBoxHandler handler) {
    Handler() = std::move(handler);
}

QMessageBox::StandardButton RuxMessageBox(QWidget* parent, const QString& text, QMessageBox::StandardButtons buttons,
                                          QMessageBox::Icon icon, int promptId) {
    if (icon == QMessageBox::NoIcon) icon = QMessageBox::Warning;
    if (Handler()) return Handler()(text, buttons, icon);
    QMessageBox box(icon, LoadQString(IDS_APP_TITLE), text, buttons, parent);
    // Application-modal: the find dialog and the other modeless windows take no input meanwhile.
    box.setWindowModality(Qt::ApplicationModal);
    if (const int context = CHelpTopics::PromptContext(promptId)) {
        auto* help = new QShortcut(QKeySequence(Qt::Key_F1), &box);
        QObject::connect(help, &QShortcut::activated, &box, [&box, context] { CHelpOpener::ShowContext(context, &box); });
    }
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

bool RuxCheckMessageBox(QWidget* parent, const QString& text, const QString& checkText, QMessageBox::Icon icon) {
    if (Handler()) return Handler()(text + "\n" + checkText, QMessageBox::Ok, icon) == QMessageBox::Ignore;
    QMessageBox box(icon, LoadQString(IDS_APP_TITLE), text, QMessageBox::Ok, parent);
    box.setWindowModality(Qt::ApplicationModal);
    auto* check = new QCheckBox(checkText, &box);
    box.setCheckBox(check);
    box.exec();
    return check->isChecked();
}

void ShowEditorMessage(QWidget* parent, const std::string& text, int promptId) {
    RuxMessageBox(parent, FromCp1252(text), QMessageBox::Ok, QMessageBox::NoIcon, promptId);
}

bool AskEditorYesNo(QWidget* parent, const std::string& text, int promptId) {
    return RuxMessageBox(parent, FromCp1252(text), QMessageBox::Yes | QMessageBox::No, QMessageBox::NoIcon, promptId) ==
           QMessageBox::Yes;
}

void CBoxMessageSink::ShowMessage(int stringId, const std::string& text) {
    ++m_shown;
    ShowEditorMessage(m_parent, text, stringId);
}

} // namespace rux
