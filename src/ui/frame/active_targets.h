// The active program window's document and view as command targets of the frame's router: each
// answers only while a program window is active, and only for the commands it knows.
#pragma once

#include "shell/command_router.h"

namespace rux {

class CMainFrame;

// Save, Save As and Close of the active program.
class CActiveDocumentTarget : public CCommandTarget {
public:
    explicit CActiveDocumentTarget(CMainFrame& frame) : m_frame(frame) {}
    bool OnUpdateCommand(CCmdUI& ui) override;
    bool OnCommand(int id) override;

private:
    CMainFrame& m_frame;
};

// Everything the active program view handles itself.
class CActiveViewTarget : public CCommandTarget {
public:
    explicit CActiveViewTarget(CMainFrame& frame) : m_frame(frame) {}
    bool OnUpdateCommand(CCmdUI& ui) override;
    bool OnCommand(int id) override;

private:
    CMainFrame& m_frame;
};

} // namespace rux
