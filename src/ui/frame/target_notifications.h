// The suite's notifications about the drives: every program view online or offline (1726, 1233, 1727)
// and the target's run-time reports for the Log tab (1424).
#pragma once

#include "frame/frame_extension.h"

namespace rux {

class CMainFrame;

class CTargetNotifications : public CFrameExtension {
public:
    explicit CTargetNotifications(CMainFrame& frame) : m_frame(frame) {}

    bool OnSuiteMessage(int number, const std::string& fileName, const std::string& lineData) override;
    bool OnUpdateCommand(CCmdUI&) override { return false; }
    bool OnCommand(int) override { return false; }

private:
    // Each program view whose online state differs gets the view's own Online/Offline command, which
    // decides (mode, node address, library build) whether it really switches; then the toolbars follow.
    void SetAllViewsOnline(bool online);

    CMainFrame& m_frame;
};

} // namespace rux
