#include "frame/frame_extension.h"

#include "frame/porting_commands.h"

namespace rux {

std::vector<std::unique_ptr<CFrameExtension>> CreateFrameExtensions(CMainFrame& frame) {
    std::vector<std::unique_ptr<CFrameExtension>> extensions;
    // One line per feature.
    extensions.push_back(std::make_unique<CPortingCommands>(frame));
    return extensions;
}

} // namespace rux
