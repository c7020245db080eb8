#include "dialog_test_support.h"

#include "document/item_list.h"
#include "support/edit_harness.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QApplication>
#include <QFile>
#include <QLayout>
#include <QWidget>

#include <stdexcept>

namespace rux::test {

std::string DialogProgram(const std::vector<std::string>& rows) {
    std::string out = ProgramBytes(rows);
    const size_t author = out.find("#info=Ident\r\nAUTHOR=a\r\n");
    if (author != std::string::npos) out.insert(author + 23, "TITLE=Line\r\n");
    return out;
}

CDialogProgram::CDialogProgram(const std::vector<std::string>& rows, bool readOnly, CTargetLibrary* target) {
    const QString path = m_dir.filePath(QStringLiteral("dialog.rux"));
    QFile file(path);
    const std::string bytes = DialogProgram(rows);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes.data(), qint64(bytes.size())) != qint64(bytes.size()))
        throw std::runtime_error("cannot write the test program");
    file.close();
    CDocumentServices services;
    services.target = target;
    if (!m_script.Open(path.toStdString(), {}, readOnly, services))
        throw std::runtime_error("cannot open the test program");
}

std::vector<std::string> CDialogProgram::Lines() {
    return ItemTexts(Document());
}

CBoxAnswerer::CBoxAnswerer(QMessageBox::StandardButton answer) : m_answer(answer) {
    m_timer.setInterval(5);
    QObject::connect(&m_timer, &QTimer::timeout, [this] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<QMessageBox*>(widget);
            if (!box || !box->isVisible() || box->property("answered").toBool()) continue;
            box->setProperty("answered", true);
            m_texts << box->text();
            m_titles << box->windowTitle();
            if (QAbstractButton* button = box->button(m_answer))
                button->click();
            else
                box->reject();
        }
    });
    m_timer.start();
}

CBoxAnswerer::~CBoxAnswerer() {
    m_timer.stop();
}

void WhenModal(std::function<void(QWidget* dialog)> step) {
    WhenShown<QWidget>([step](QWidget& dialog) { step(&dialog); });
}

std::string LayoutProblems(QWidget* dialog) {
    std::string problems;
    const QRect inside = dialog->rect();
    for (QWidget* child : dialog->findChildren<QWidget*>()) {
        if (!child->isVisibleTo(dialog) || child->isWindow()) continue;
        // What a list or text box shows scrolls inside it; only the box itself must fit.
        bool scrolled = false;
        // So does the edit field inside a spin or combo box, which the box sizes itself.
        for (QWidget* up = child->parentWidget(); up && up != dialog; up = up->parentWidget())
            scrolled = scrolled || qobject_cast<QAbstractScrollArea*>(up) || qobject_cast<QAbstractSpinBox*>(up) ||
                       qobject_cast<QComboBox*>(up);
        if (scrolled) continue;
        const QRect box(child->mapTo(dialog, QPoint(0, 0)), child->size());
        const QSize wanted = child->minimumSizeHint();
        const std::string name = child->metaObject()->className() + std::string(" ") +
                                 child->objectName().toStdString();
        if (!inside.contains(box)) problems += name + " outside the dialog; ";
        if (wanted.isValid() && (child->width() < wanted.width() || child->height() < wanted.height()))
            problems += name + " smaller than it needs; ";
    }
    return problems;
}

} // namespace rux::test
