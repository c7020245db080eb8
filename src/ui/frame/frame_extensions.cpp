#include "frame/frame_extension.h"

#include "frame/indexer_commands.h"

namespace rux {

std::vector<std::unique_ptr<CFrameExtension>> CreateFrameExtensions(CMainFrame& frame) {
    std::vector<std::unique_ptr<CFrameExtension>> extensions;
    // One line per feature, e.g.: extensions.push_back(std::make_unique<CPortingCommands>(frame));
    extensions.push_back(std::make_unique<CIndexerCommands>(frame));
    return extensions;
}

} // namespace rux
