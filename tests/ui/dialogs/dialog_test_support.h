// Helpers of the dialog tests: a program opened in an edit session, and answers to message boxes.
#pragma once

#include "editor/edit_script.h"

#include <QApplication>
#include <QMessageBox>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QWidget;

namespace rux::test {

// Program file bytes from rows: "P" a header, "{Name" a section ("{-Name" folded), "}" its end,
// anything else a text line.
std::string DialogProgram(const std::vector<std::string>& rows);

// A program in a temporary folder, opened as the editor opens one.
class CDialogProgram {
public:
    explicit CDialogProgram(const std::vector<std::string>& rows, bool readOnly = false,
                            CTargetLibrary* target = nullptr);
    CEditSession& Session() { return m_script.Session(); }
    CRUXDocument& Document() { return m_script.Document(); }
    std::vector<std::string> Lines();

private:
    QTemporaryDir m_dir;
    CEditScript m_script;
};

// Answers every message box that opens while it lives with `answer`, keeping the texts.
class CBoxAnswerer {
public:
    explicit CBoxAnswerer(QMessageBox::StandardButton answer = QMessageBox::Ok);
    ~CBoxAnswerer();
    const QStringList& Texts() const { return m_texts; }
    QStringList Titles() const { return m_titles; }
    void SetAnswer(QMessageBox::StandardButton answer) { m_answer = answer; }

private:
    QTimer m_timer;
    QMessageBox::StandardButton m_answer;
    QStringList m_texts;
    QStringList m_titles;
};

// Runs `step` on the application's modal dialog as soon as one is shown (for exec()).
void WhenModal(std::function<void(QWidget* dialog)> step);
// The same for the first modal dialog of type D, for a dialog opened from another modal one.
template <class D> void WhenShown(std::function<void(D&)> step) {
    auto* timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, step] {
        auto* dialog = dynamic_cast<D*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible()) return;
        timer->stop();
        timer->deleteLater();
        step(*dialog);
    });
    timer->start();
}

// Every visible child lies inside the dialog and is at least as large as it asks to be.
std::string LayoutProblems(QWidget* dialog);

} // namespace rux::test
