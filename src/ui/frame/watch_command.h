// Watch window (Ctrl+W) of an online program view: the suite's watch tool on the program and node.
#pragma once

#include "frame/frame_extension.h"

namespace rux {

class CMainFrame;

class CWatchCommand final : public CFrameExtension {
public:
    explicit CWatchCommand(CMainFrame& frame) : m_frame(frame) {}
    // Enabled as the Run commands are: only while the active view is online on a program.
    bool OnUpdateCommand(CCmdUI& ui) override;
    bool OnCommand(int id) override;

private:
    CMainFrame& m_frame;
};

} // namespace rux
