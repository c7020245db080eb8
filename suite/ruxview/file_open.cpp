// libH2RUXVIEW.so: the suite's file chooser.
#include "h2ruxview.h"

#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>

#include <cstring>

namespace {

QString StartFolder(const char* path) {
    QString text = QString::fromLocal8Bit(path);
    if (text.startsWith("-i ")) text = text.mid(3).trimmed();
    if (text.isEmpty()) return {};
    const QFileInfo info(text);
    return info.isDir() ? info.absoluteFilePath() : info.absolutePath();
}

} // namespace

H2_API int32_t H2FileOpen(H2HWND owner, char* path, int32_t* value, int32_t mode) try {
    if (!path || !qApp) return 0;
    if (value) *value = 0;
    auto* parent = static_cast<QWidget*>(owner);
    QFileDialog dialog(parent, mode == 1 ? QObject::tr("Open") : QObject::tr("Insert File"), StartFolder(path));
    dialog.setFileMode(QFileDialog::ExistingFile);
    // Qt's own dialog, so that the read-only box can sit in it on every desktop.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    if (mode == 1)
        dialog.setNameFilters({QObject::tr("RUX programs (*.rux *.RUX)"), QObject::tr("Text files (*.txt)"),
                               QObject::tr("All files (*)")});
    else
        dialog.setNameFilters({QObject::tr("All files (*)"), QObject::tr("RUX programs (*.rux *.RUX)")});
    QCheckBox* readOnly = nullptr;
    if (mode == 1) {
        if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout())) {
            readOnly = new QCheckBox(QObject::tr("Open as &read-only"), &dialog);
            grid->addWidget(readOnly, grid->rowCount(), 0, 1, -1);
        }
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return 0;
    const QByteArray chosen = dialog.selectedFiles().first().toLocal8Bit();
    if (chosen.size() >= H2_MAX_PATH) return 0;
    std::memcpy(path, chosen.constData(), static_cast<size_t>(chosen.size()) + 1);
    if (value && readOnly) *value = readOnly->isChecked() ? 1 : 0;
    return 1;
} catch (...) {
    return 0;
}
