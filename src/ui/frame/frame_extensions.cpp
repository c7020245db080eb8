#include "frame/frame_extension.h"

namespace rux {

std::vector<std::unique_ptr<CFrameExtension>> CreateFrameExtensions(CMainFrame& frame) {
    std::vector<std::unique_ptr<CFrameExtension>> extensions;
    (void)frame;
    // One line per feature, e.g.: extensions.push_back(std::make_unique<CPortingCommands>(frame));
    return extensions;
}

} // namespace rux
