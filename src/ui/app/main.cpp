// ruxedit: the desktop editor.
#include "app/rux_app.h"

#include <QApplication>

#include <string>
#include <vector>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("RUX Editor");
    QApplication::setDesktopFileName("ruxedit");
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
    rux::CRUXApp editor;
    if (!editor.InitInstance(args)) return 1;
    return app.exec();
}
