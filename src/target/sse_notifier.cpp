#include "target/sse_notifier.h"

namespace rux {

CSseNotifier::CSseNotifier(std::unique_ptr<CServiceLibrary> library) : m_library(std::move(library)) {
    if (!m_library) return;
    Bind(m_putFileName, "SSEPutFileName");
    Bind(m_putErrorLineData, "SSEPutErrorLineData");
    Bind(m_sendMessage, "SSESendMessage");
    Bind(m_getFileName, "SSEGetFileName");
    Bind(m_getErrorLineData, "SSEGetErrorLineData");
    Bind(m_registerTool, "SSERegisterTool");
    Bind(m_unregisterTool, "SSEUnregisterTool");
    Bind(m_themeChanged, "SSEThemeChanged");
    Bind(m_warningStopBuild, "SSE_WarningStopBuild");
    Bind(m_openWatchWindow, "SSEOpenWatchWindow");
}

CSseNotifier::CSseNotifier() : CSseNotifier(std::make_unique<CServiceLibrary>("SSE")) {}

bool CSseNotifier::Notify(const std::string& tool, int message, const std::string& fileName) {
    return Notify(tool, message, fileName, {});
}

bool CSseNotifier::Notify(const std::string& tool, int message, const std::string& fileName,
                          const std::string& lineData) {
    if (!m_putFileName || !m_sendMessage) return false;
    std::lock_guard lock(m_sendMutex);
    m_putFileName(fileName.c_str());
    if (m_putErrorLineData) m_putErrorLineData(lineData.c_str());
    return m_sendMessage(tool.c_str(), message) != 0;
}

bool CSseNotifier::SendOnly(const std::string& tool, int message) {
    return m_sendMessage && m_sendMessage(tool.c_str(), message) != 0;
}

bool CSseNotifier::Put(const std::string& fileName, const std::string& lineData) {
    if (!m_putFileName || !m_putErrorLineData) return false;
    std::lock_guard lock(m_sendMutex);
    const bool file = m_putFileName(fileName.c_str()) != 0;
    return m_putErrorLineData(lineData.c_str()) != 0 && file;
}

bool CSseNotifier::RegisterTool(const std::string& name, SSEMESSAGEPROC callback, void* context) {
    return m_registerTool && m_registerTool(name.c_str(), callback, context) != 0;
}

void CSseNotifier::UnregisterTool(const std::string& name) {
    if (m_unregisterTool) m_unregisterTool(name.c_str());
}

void CSseNotifier::ThemeChanged(const std::string& windowClass) {
    if (m_themeChanged) m_themeChanged(windowClass.c_str());
}

bool CSseNotifier::OpenWatchWindow(const std::string& programDir, const std::string& node) {
    return m_openWatchWindow && m_openWatchWindow(programDir.c_str(), node.empty() ? nullptr : node.c_str()) != 0;
}

std::string CSseNotifier::PublishedFileName() const {
    char buffer[H2_MAX_PATH] = {};
    if (!m_getFileName || !m_getFileName(buffer, sizeof buffer)) return {};
    return buffer;
}

std::string CSseNotifier::PublishedErrorLineData() const {
    char buffer[SSE_ERRORLINE] = {};
    if (!m_getErrorLineData || !m_getErrorLineData(buffer, sizeof buffer)) return {};
    return buffer;
}

} // namespace rux
