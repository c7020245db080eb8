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

    // Receiving: the callback runs on the service's thread and gets each message's file name and
    // line data with it.
    bool RegisterTool(const std::string& name, SSEMESSAGEPROC callback, void* context);
    void UnregisterTool(const std::string& name);
    // What came with the message whose callback runs on this thread; empty anywhere else.
    std::string HandledFileName() const;
    std::string HandledErrorLineData() const;

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
