// The templates' commands: each template id inserts that template at the caret of the active view;
// Template Viewer... opens the viewer over the application's templates.
#pragma once

#include "frame/frame_extension.h"

namespace rux {

class CMainFrame;
class CRUXView;

class CTemplateCommands final : public CFrameExtension {
public:
    explicit CTemplateCommands(CMainFrame& frame) : m_frame(frame) {}

    bool OnUpdateCommand(CCmdUI& ui) override;
    bool OnCommand(int id) override;

private:
    CRUXView* ActiveView() const;
    bool ActiveViewTakesText() const;
    void ShowViewer();

    CMainFrame& m_frame;
};

} // namespace rux
