// Variable (Ctrl+D): the Select variable dialog, and the chosen name typed in at the caret.
#pragma once

#include "frame/frame_extension.h"

namespace rux {

class CMainFrame;

class CVariableCommand final : public CFrameExtension {
public:
    explicit CVariableCommand(CMainFrame& frame) : m_frame(frame) {}
    bool OnUpdateCommand(CCmdUI& ui) override;
    bool OnCommand(int id) override;

private:
    CMainFrame& m_frame;
};

} // namespace rux
