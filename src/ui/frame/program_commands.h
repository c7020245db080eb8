// Program view commands that live outside the view: bookmarks, folding, the Notes and Alias sections.
#pragma once

#include "frame/frame_extension.h"

namespace rux {

class CMainFrame;
class CRUXView;

class CProgramCommands final : public CFrameExtension {
public:
    explicit CProgramCommands(CMainFrame& frame);

    bool OnUpdateCommand(CCmdUI& ui) override;
    bool OnCommand(int id) override;

private:
    CRUXView* ActiveView() const;

    CMainFrame& m_frame;
};

} // namespace rux
