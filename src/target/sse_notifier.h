// The suite notifier over the shared-message service (libSSE.so).
#pragma once

#include "sse.h"
#include "target/service_library.h"
#include "target/suite_notifier.h"

#include <memory>
#include <mutex>

namespace rux {

// The editor's name on the message bus.
inline constexpr const char* kEditorToolName = "RUX2EDIT";

class CSseNotifier final : public CSuiteNotifier {
public:
    // Takes the loaded library; a missing library or entry makes every call answer "not delivered".
    explicit CSseNotifier(std::unique_ptr<CServiceLibrary> library);
    // libSSE.so from the product directory.
    CSseNotifier();

    // Waits for the tool's receipt, at most SSE_RECEIPT_WAIT_MS: not for a user-interface thread
    // (CQueuedNotifier sends from a thread of its own).
    bool Notify(const std::string& tool, int message, const std::string& fileName) override;
    // Also puts line data ("line;start;end") to travel with the message.
    bool Notify(const std::string& tool, int message, const std::string& fileName,
                const std::string& lineData);
    // Sends the number alone: nothing is put, so what the user's tools last put stays as it was
    // (a process that put nothing sends an empty file name and no line data).
    bool SendOnly(const std::string& tool, int message);
    // Puts a file name and line data without sending, for a tool started afterwards to read (the
    // editor's go-to-error switch). False when the service or the user's shared record failed.
    bool Put(const std::string& fileName, const std::string& lineData);

    // Receiving: the callback runs on the service's thread and gets each message's file name and
    // line data with it.
    bool RegisterTool(const std::string& name, SSEMESSAGEPROC callback, void* context);
    void UnregisterTool(const std::string& name);
    // Inside a callback, what came with the message it handles; anywhere else, what any process of
    // the user last put. Empty when there is none.
    std::string PublishedFileName() const;
    std::string PublishedErrorLineData() const;

    // Tells the other tools that the editor (window class RUX2EDIT) changed the theme.
    void ThemeChanged(const std::string& windowClass);
    // Opens the suite's watch window on the programs of programDir at the node (none when empty);
    // false when the service is missing or did not open it.
    bool OpenWatchWindow(const std::string& programDir, const std::string& node);
    // Whether the suite says builds stop at the first warning; no when the service cannot say.
    bool WarningStopsBuild() const { return m_warningStopBuild && m_warningStopBuild() != 0; }

    bool IsLoaded() const { return m_library && m_library->IsLoaded(); }

private:
    template <class F> void Bind(F*& slot, const char* name) { slot = m_library->Entry<F>(name); }

    std::unique_ptr<CServiceLibrary> m_library;
    // The file name and line data are put for the next send: one put-and-send at a time.
    std::mutex m_sendMutex;
    decltype(&::SSEPutFileName) m_putFileName = nullptr;
    decltype(&::SSEPutErrorLineData) m_putErrorLineData = nullptr;
    decltype(&::SSESendMessage) m_sendMessage = nullptr;
    decltype(&::SSEGetFileName) m_getFileName = nullptr;
    decltype(&::SSEGetErrorLineData) m_getErrorLineData = nullptr;
    decltype(&::SSERegisterTool) m_registerTool = nullptr;
    decltype(&::SSEUnregisterTool) m_unregisterTool = nullptr;
    decltype(&::SSEThemeChanged) m_themeChanged = nullptr;
    decltype(&::SSE_WarningStopBuild) m_warningStopBuild = nullptr;
    decltype(&::SSEOpenWatchWindow) m_openWatchWindow = nullptr;
};

} // namespace rux
