// libHALM2Help.so: opens the user guide of the Help folder beside the editor, or the page of one
// help context: Help/Topics/Topics.ini names the topic of each context and the topic's page is
// Help/Topics/<topic>.html.
#include "h2help.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QSettings>
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

// The page of a context, empty when the map names none or its page is missing.
QString TopicPage(int32_t context) {
    if (context <= 0) return {};
    const QString folder = ProductDir() + "/Help/Topics";
    QSettings map(folder + "/Topics.ini", QSettings::IniFormat);
    map.beginGroup("Topics");
    for (const QString& topic : map.childKeys()) {
        if (map.value(topic).toString().trimmed().toInt() != context) continue;
        const QString page = folder + "/" + topic + ".html";
        if (!topic.contains('/') && QFileInfo::exists(page)) return page;
    }
    return {};
}

} // namespace

H2_API int32_t HALM2Help_Contents(H2HWND) try {
    return OpenGuide({});
} catch (...) {
    return 0;
}

H2_API int32_t HALM2Help_Index(H2HWND) try {
    return OpenGuide({});
} catch (...) {
    return 0;
}

H2_API int32_t HALM2Help_Search(H2HWND) try {
    return OpenGuide({});
} catch (...) {
    return 0;
}

H2_API int32_t HALM2Help_Main(int32_t context, H2HWND) try {
    if (const QString page = TopicPage(context); !page.isEmpty())
        return QDesktopServices::openUrl(QUrl::fromLocalFile(page)) ? 1 : 0;
    return OpenGuide(QString("ctx%1").arg(context));
} catch (...) {
    return 0;
}
