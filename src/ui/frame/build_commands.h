// The frame's build commands: Build code, Build and download, Show build errors, the tree's build
// entries, and the walk through the Build tab's messages.
#pragma once

#include "frame/frame_extension.h"
#include "target/build_controller.h"

#include <memory>

namespace rux {

class CMainFrame;
class CRUXView;
class CThreadedCompiler;

class CBuildCommands final : public CFrameExtension, private CBuildHost {
public:
    explicit CBuildCommands(CMainFrame& frame);
    ~CBuildCommands() override;

    bool OnUpdateCommand(CCmdUI& ui) override;
    bool OnCommand(int id) override;

    bool IsBuildRunning() const { return m_controller.IsRunning(); }

private:
    // --- CBuildHost --------------------------------------------------------------------------
    void SetMessageText(const std::string& text) override;
    void SetWaitCursor(bool on) override;
    void SetBuildRunning(bool on) override;
    void ShowBuildTab(const std::string& programPath) override;
    void AddBuildLine(const std::string& line) override;
    bool ShowResultBox(const std::string& text, bool clean) override;
    bool WarningStopsBuild() override;

    // The active program view, or null.
    CRUXView* ActiveView() const;
    bool CanBuild(bool online) const;
    void Build();
    void RunForTreeSelection(int viewCommand);
    void GoToMessage(int row);

    CMainFrame& m_frame;
    std::unique_ptr<CThreadedCompiler> m_compiler;
    CBuildController m_controller;
};

} // namespace rux
