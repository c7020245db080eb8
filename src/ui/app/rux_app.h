// The application: single instance, start-up from the command line, the document template, the
// application's own commands, and writing the options back at exit.
#pragma once

#include "app/doc_template.h"
#include "editor/accel_mgr.h"
#include "editor/template_manager.h"
#include "frame/message_box.h"
#include "shell/command_line_info.h"
#include "shell/command_router.h"
#include "shell/ini_file.h"
#include "shell/no_bracket_fb_list.h"
#include "shell/option_mgr.h"
#include "shell/profile_store.h"
#include "shell/single_instance.h"

#include <QObject>
#include <QStringList>

#include <memory>
#include <string>
#include <vector>

namespace rux {

class CGroupMgr;
class CMainFrame;
class CQueuedNotifier;
class CSseNotifier;
class CTargetLibrary;

class CRUXApp : public QObject, public CCommandTarget {
    Q_OBJECT
public:
    static constexpr int kRecentFiles = 4;

    CRUXApp();
    ~CRUXApp() override;

    // The start-up sequence; false when the editor must exit (a second instance, a frame that could
    // not be created, a command line that names a file that cannot be opened).
    bool InitInstance(const std::vector<std::string>& args);
    // Whether InitInstance found another editor running (and brought it forward).
    bool WasSecondInstance() const { return m_secondInstance; }

    CMainFrame* MainFrame() const { return m_frame.get(); }
    COptionMgr& Options() { return m_options; }
    CIniFile& Settings() { return m_settings; }
    CProfileStore& Profile() { return m_profile; }
    // The message bus: registering, receiving, and sending where a caller may wait for the receipt.
    CSseNotifier& Notifier() { return *m_notifier; }
    // Sending from the user-interface thread: queued, never waited for.
    CQueuedNotifier& Sender() { return *m_sender; }
    CMultiDocTemplateEx& ProgramTemplate() { return m_programTemplate; }
    const RUX_CCommandLineInfo& CommandLine() const { return m_commandLine; }
    int32_t SystemControlFlag() const { return m_systemControlFlag; }
    bool IsBracketFb(std::string_view name) const { return m_noBracketFbs.IsBracketFb(name); }
    const QStringList& RecentFiles() const { return m_recentFiles; }
    CTplMgr& Templates() { return m_templates; }
    const CAccelMgr& Accelerators() const { return m_accels; }
    // Reads the templates again, rebuilds both shortcut tables with their keys and has the frame
    // rebuild its Templates menu and its keys (start-up, and after every change to the templates).
    void LoadTemplatesAndShortcuts();

    // Opens a program, or activates it when it is open already. Null when it cannot be read.
    CRUXDocument* OpenDocumentFile(const std::string& path);
    CDocumentServices DocumentServices();

    // Set for the duration of a build: no second build, and the frame will not close.
    bool IsBuildRunning() const { return m_buildRunning; }
    void SetBuildRunning(bool on) { m_buildRunning = on; }

    // Writes the recent-file list to the profile (the frame calls it when it closes).
    void SaveRecentFiles();

    // --- CCommandTarget: about, open, print setup, help, recent files, exit -------------------
    bool OnUpdateCommand(CCmdUI& ui) override;
    bool OnCommand(int id) override;

private:
    void AddRecentFile(const QString& path);
    void LoadRecentFiles();
    void FileOpen();
    void PrintSetup();
    void CallHelp(const char* entry);
    void About();

    RUX_CCommandLineInfo m_commandLine;
    COptionMgr m_options;
    CNoBracketFbList m_noBracketFbs;
    CTplMgr m_templates;
    CAccelMgr m_accels;
    CSingleInstanceLock m_instanceLock;
    int32_t m_systemControlFlag = 0;
    CIniFile m_settings;
    CProfileStore m_profile;
    CMultiDocTemplateEx m_programTemplate;
    std::unique_ptr<CSseNotifier> m_notifier;
    std::unique_ptr<CQueuedNotifier> m_sender;
    std::unique_ptr<CTargetLibrary> m_target;
    std::unique_ptr<CGroupMgr> m_groups;
    CBoxMessageSink m_messages;
    std::unique_ptr<CMainFrame> m_frame;
    QStringList m_recentFiles;
    bool m_secondInstance = false;
    bool m_buildRunning = false;
    bool m_started = false;
};

} // namespace rux
