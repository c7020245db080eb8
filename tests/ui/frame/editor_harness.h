// An editor started as the user starts it, inside the test process, with a product directory, a
// profile and a runtime directory of its own.
#pragma once

#include "app/rux_app.h"
#include "document/item.h"
#include "document/item_list.h"
#include "document/rux_document.h"
#include "frame/main_frame.h"
#include "frame/message_box.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QString>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace rux::test {

class CEditorHarness {
public:
    CEditorHarness() {
        namespace fs = std::filesystem;
        fs::create_directories(Product());
        fs::create_directories(m_root + "/run");
        fs::permissions(m_root + "/run", fs::perms::owner_all);
        fs::create_directories(m_root + "/config");
        // Everything the build put beside the editor, except the settings file, which is this run's.
        for (const auto& entry : fs::directory_iterator(RUX_PRODUCT_DIR))
            if (entry.path().filename() != "Torvel.ini")
                fs::create_symlink(entry.path(), Product() + "/" + entry.path().filename().string());
        SetMessageBoxHandler([this](const QString& text, QMessageBox::StandardButtons, QMessageBox::Icon icon) {
            boxes.push_back(text);
            icons.push_back(icon);
            return answer;
        });
    }
    ~CEditorHarness() {
        app.reset();
        SetMessageBoxHandler({});
    }
    CEditorHarness(const CEditorHarness&) = delete;
    CEditorHarness& operator=(const CEditorHarness&) = delete;

    std::string Product() const { return m_root + "/product"; }
    // Puts another file beside the editor (a library it may load), before Start.
    void LinkIntoProduct(const std::string& path) const {
        std::filesystem::create_symlink(path, Product() + "/" + std::filesystem::path(path).filename().string());
    }
    std::string Root() const { return m_root; }
    std::string SettingsText() const { return Read(Product() + "/Torvel.ini"); }
    void WriteSettings(const std::string& text) const { Write(Product() + "/Torvel.ini", text); }

    // A copy of a program of the source tree in the scratch directory.
    std::string CopyProgram(const std::string& sourceRelative, const std::string& name) const {
        const std::string path = m_root + "/" + name;
        std::filesystem::copy_file(std::string(RUX_SOURCE_DIR) + "/" + sourceRelative, path,
                                   std::filesystem::copy_options::overwrite_existing);
        return path;
    }

    bool Start(const std::vector<std::string>& args) {
        app = std::make_unique<CRUXApp>();
        const bool ok = app->InitInstance(args);
        Settle();
        return ok;
    }
    CMainFrame& Frame() const { return *app->MainFrame(); }

    // Lets posted events and queued calls run.
    static void Settle(int ms = 50) {
        QElapsedTimer timer;
        timer.start();
        do QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        while (timer.elapsed() < ms);
    }
    // Processes events until the condition holds or the time is up.
    static bool WaitFor(const std::function<bool()>& condition, int ms = 5000) {
        QElapsedTimer timer;
        timer.start();
        while (!condition()) {
            if (timer.elapsed() > ms) return false;
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        }
        return true;
    }

    // Runs `rux` (or another program of the product) with the harness's environment; its exit code.
    int Rux(const QStringList& args, const QString& program = "rux") const {
        QProcess process;
        process.start(QString(RUX_PRODUCT_DIR) + "/" + program, args);
        // The bus answers only once the editor's handler ran, which needs this thread's event loop.
        process.waitForStarted();
        if (!WaitFor([&] { return process.state() == QProcess::NotRunning; }, 10000)) {
            process.kill();
            process.waitForFinished();
            return -1;
        }
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }

    static std::string Read(const std::string& path) { return ReadFileBytes(path); }
    static void Write(const std::string& path, const std::string& text) { WriteFileBytes(path, text); }

private:
    // The scratch folder and the variables that point the editor into it, before anything else.
    CTempDir m_dir;
    std::string m_root = m_dir.Path();
    CScopedEnv m_home{"RUXEDIT_HOME", m_root + "/product"};
    CScopedEnv m_runtime{"XDG_RUNTIME_DIR", m_root + "/run"};
    CScopedEnv m_config{"XDG_CONFIG_HOME", m_root + "/config"};

public:
    std::unique_ptr<CRUXApp> app;
    std::vector<QString> boxes;
    std::vector<QMessageBox::Icon> icons;
    QMessageBox::StandardButton answer = QMessageBox::Ok;
};

// The items of `document` that carry an error mark, in order.
inline std::vector<int> ErrorMarked(const CRUXDocument& document) {
    std::vector<int> marked;
    for (int i = 0; i < document.Items().GetSize(); ++i)
        if (document.Items()[i]->HasErrorMark()) marked.push_back(i);
    return marked;
}

} // namespace rux::test
