// The program view's Indexer menu: the import of the sequencing tool's generated code (32940) and
// the indexer's function block (32941), on the active program view.
#pragma once

#include "frame/frame_extension.h"

namespace rux {

class CMainFrame;
class CRUXView;

class CIndexerCommands final : public CFrameExtension {
public:
    explicit CIndexerCommands(CMainFrame& frame) : m_frame(frame) {}

    bool OnUpdateCommand(CCmdUI& ui) override;
    bool OnCommand(int id) override;

private:
    CRUXView* ActiveView() const;
    void Import(CRUXView& view);
    void AddFunctionBlock(CRUXView& view);

    CMainFrame& m_frame;
};

} // namespace rux
