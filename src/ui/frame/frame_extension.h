// A feature that adds its own commands and notifications to the main frame without the frame knowing
// its details: the porting tool, the indexer import, the build commands and the like.
#pragma once

#include "shell/command_router.h"

#include <memory>
#include <string>
#include <vector>

namespace rux {

class CMainFrame;

class CFrameExtension : public CCommandTarget {
public:
    // A notification of the suite, offered before the frame's own handling; true when it was handled.
    virtual bool OnSuiteMessage(int /*number*/, const std::string& /*fileName*/, const std::string& /*lineData*/) {
        return false;
    }
    // The frame writes its settings (when it closes, or when the suite asks): the feature writes its own.
    virtual void OnSaveSettings() {}
};

// Every feature's extension, created once the frame has its actions and panes. Add one line per feature
// in frame_extensions.cpp.
std::vector<std::unique_ptr<CFrameExtension>> CreateFrameExtensions(CMainFrame& frame);

} // namespace rux
