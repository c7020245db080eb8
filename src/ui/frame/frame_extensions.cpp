#include "frame/frame_extension.h"
#include "frame/target_notifications.h"
#include "frame/tree_menu_commands.h"

namespace rux {

std::vector<std::unique_ptr<CFrameExtension>> CreateFrameExtensions(CMainFrame& frame) {
    std::vector<std::unique_ptr<CFrameExtension>> extensions;
    // One line per feature, e.g.: extensions.push_back(std::make_unique<CPortingCommands>(frame));
    extensions.push_back(std::make_unique<CTreeMenuCommands>(frame));
    extensions.push_back(std::make_unique<CTargetNotifications>(frame));
    return extensions;
}

} // namespace rux
