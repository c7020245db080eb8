// libHALM2Help.so: opens the user guide of the Help folder beside the editor.
#include "h2help.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

#include <cstdlib>
#include <dlfcn.h>

namespace {

// The product directory: RUXEDIT_HOME, else the folder this library was loaded from.
QString ProductDir() {
    if (const char* home = std::getenv("RUXEDIT_HOME"); home && *home) return QString::fromLocal8Bit(home);
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&HALM2Help_Contents), &info) && info.dli_fname)
        return QFileInfo(QString::fromLocal8Bit(info.dli_fname)).absolutePath();
    return QDir::currentPath();
}

int32_t OpenGuide(const QString& anchor) {
    const QString guide = ProductDir() + "/Help/rux_editor_guide.html";
    if (!QFileInfo::exists(guide)) return 0;
    QUrl url = QUrl::fromLocalFile(guide);
    if (!anchor.isEmpty()) url.setFragment(anchor);
    return QDesktopServices::openUrl(url) ? 1 : 0;
}

} // namespace

H2_API int32_t HALM2Help_Contents(H2HWND) {
    return OpenGuide({});
}

H2_API int32_t HALM2Help_Index(H2HWND) {
    return OpenGuide({});
}

H2_API int32_t HALM2Help_Search(H2HWND) {
    return OpenGuide({});
}

H2_API int32_t HALM2Help_Main(int32_t context, H2HWND) {
    return OpenGuide(QString("ctx%1").arg(context));
}
