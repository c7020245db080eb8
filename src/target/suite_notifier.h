// Numbered notifications to the suite's other tools, with a file name beside each.
#pragma once

#include <string>

namespace rux {

// Message numbers the editor sends.
enum ESuiteMessage : int {
    kMsgHeaderChanged = 1729,
    kMsgDocumentSaving = 1738,
    kMsgBuildSucceeded = 1739,
    kMsgOpenFolder = 1740,
    kMsgDownloaded = 1741,
    kMsgUploaded = 1742,
    kMsgRuntimeReport = 1752,
};

inline constexpr const char* kSuiteMainTool = "Z2ADAZ";
inline constexpr const char* kSuiteWatchTool = "H2WATCHAPP";

class CSuiteNotifier {
public:
    virtual ~CSuiteNotifier() = default;
    // Puts the file name, then sends the message; true when the tool received it, or, for a
    // notifier that sends from a thread of its own, when the message was queued.
    virtual bool Notify(const std::string& tool, int message, const std::string& fileName) = 0;
};

class CNoSuiteNotifier final : public CSuiteNotifier {
public:
    bool Notify(const std::string&, int, const std::string&) override { return false; }
};

} // namespace rux
