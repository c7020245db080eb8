#include "frame/build_commands.h"
#include "frame/dialog_commands.h"
#include "frame/focus_keeper.h"
#include "frame/frame_extension.h"
#include "frame/indexer_commands.h"
#include "frame/porting_commands.h"
#include "frame/print_command.h"
#include "frame/program_commands.h"
#include "frame/target_notifications.h"
#include "frame/template_commands.h"
#include "frame/tree_menu_commands.h"
#include "frame/variable_command.h"
#include "frame/watch_command.h"

namespace rux {

std::vector<std::unique_ptr<CFrameExtension>> CreateFrameExtensions(CMainFrame& frame) {
    std::vector<std::unique_ptr<CFrameExtension>> extensions;
    // One line per feature, e.g.: extensions.push_back(std::make_unique<CPortingCommands>(frame));
    extensions.push_back(std::make_unique<CBuildCommands>(frame));
    extensions.push_back(std::make_unique<CDialogCommands>(frame));
    extensions.push_back(std::make_unique<CProgramCommands>(frame));
    extensions.push_back(std::make_unique<CTemplateCommands>(frame));
    extensions.push_back(std::make_unique<CIndexerCommands>(frame));
    extensions.push_back(std::make_unique<CPortingCommands>(frame));
    extensions.push_back(std::make_unique<CTreeMenuCommands>(frame));
    extensions.push_back(std::make_unique<CTargetNotifications>(frame));
    extensions.push_back(std::make_unique<CFocusCommands>(frame));
    extensions.push_back(std::make_unique<CPrintCommand>(frame));
    extensions.push_back(std::make_unique<CVariableCommand>(frame));
    extensions.push_back(std::make_unique<CWatchCommand>(frame));
    return extensions;
}

} // namespace rux
