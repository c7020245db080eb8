// libH2About.so: the about box of the suite's tools.
#include "h2about.h"

#include <QApplication>
#include <QIcon>
#include <QMessageBox>

H2_API void H2AboutEx(H2HWND owner, const char* module, int32_t systemControl) try {
    if (!qApp) return;
    QString text = QObject::tr("<h3>RUX Editor</h3><p>Version %1</p>"
                               "<p>The program editor for RUX drive programs: tasks, sections, function "
                               "blocks and diagrams; build, download and debug on the drive.</p>")
                       .arg(RUX_VERSION);
    text += QObject::tr("<p><small>Module %1").arg(QString::fromLatin1(module ? module : "").toHtmlEscaped());
    if (systemControl) text += QObject::tr(", system control");
    text += "</small></p>";
    QMessageBox box(static_cast<QWidget*>(owner));
    box.setWindowTitle(QObject::tr("About RUX Editor"));
    box.setIconPixmap(QIcon(":/icons/ruxedit.svg").pixmap(64, 64));
    box.setText(text);
    box.exec();
} catch (...) {
}
