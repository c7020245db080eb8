// Print (Ctrl+P) in a program view: the print files beside the editor, then the print library.
#pragma once

#include "frame/frame_extension.h"

namespace rux {

class CMainFrame;

class CPrintCommand final : public CFrameExtension {
public:
    explicit CPrintCommand(CMainFrame& frame) : m_frame(frame) {}
    bool OnUpdateCommand(CCmdUI& ui) override;
    bool OnCommand(int id) override;

private:
    CMainFrame& m_frame;
};

} // namespace rux
