#include "target/watch_window.h"

#include "document/header_item.h"
#include "document/item_list.h"
#include "document/program_paths.h"
#include "document/rux_document.h"
#include "editor/edit_session.h"
#include "target/sse_notifier.h"

namespace rux {

bool IsOnlineProgram(const CEditSession& session) {
    if (!session.IsOnline()) return false;
    const CObArrayEx& items = session.Document().Items();
    return !items.IsEmpty() && items.GetAt(0)->GetType() == kItemPar;
}

std::string NodeAddressText(const CRUXDocument& document) {
    const CObArrayEx& items = document.Items();
    if (items.IsEmpty() || items.GetAt(0)->GetType() != kItemPar) return {};
    const int32_t address = static_cast<const CPar*>(items.GetAt(0))->Header().Address;
    return address == 0 ? std::string() : std::to_string(address);
}

bool OpenWatchWindow(CSseNotifier& bus, const CRUXDocument& document, const std::string& node) {
    return bus.OpenWatchWindow(FolderOf(document.GetPathName()), node);
}

} // namespace rux
