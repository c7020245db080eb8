#include "shell/hook_menu.h"

#include "shell/product_paths.h"

#include <dlfcn.h>

namespace rux {

namespace {

template <typename Fn> Fn Resolve(void* handle, const char* name) {
    return reinterpret_cast<Fn>(dlsym(handle, name));
}

} // namespace

CHookMenu::~CHookMenu() {
    Release();
}

std::string CHookMenu::LibraryFileName(int mode) {
    return mode == kLiteMode ? "libHalmLiteHook.so" : "libHALMHook.so";
}

void CHookMenu::Release() {
    m_items.clear();
    m_execute = nullptr;
    m_update = nullptr;
    if (m_handle) {
        dlclose(m_handle);
        m_handle = nullptr;
    }
}

bool CHookMenu::Create(const std::string& directory, int mode) {
    Release();
    m_mode = mode;
    std::string path = CProductPaths::Join(directory, LibraryFileName(mode));
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) return false;

    auto getNb = Resolve<HALMHOOK_MenuGetNb_t>(handle, "HALMHOOK_MenuGetNb");
    auto getIds = Resolve<HALMHOOK_MenuGetIds_t>(handle, "HALMHOOK_MenuGetIds");
    auto getString = Resolve<HALMHOOK_MenuGetString_t>(handle, "HALMHOOK_MenuGetString");
    auto getSelMode = Resolve<HALMHOOK_MenuGetSelMode_t>(handle, "HALMHOOK_MenuGetSelMode");
    auto execute = Resolve<HALMHOOK_MenuExecute_t>(handle, "HALMHOOK_MenuExecute");
    auto update = Resolve<HALMHOOK_MenuUpdate_t>(handle, "HALMHOOK_MenuUpdate");
    if (!getNb || !getIds || !getString || !getSelMode || !execute || !update) {
        dlclose(handle);
        return false;
    }
    m_handle = handle;
    m_execute = execute;
    m_update = update;

    // Only ids 6000 to 6100 are routed to the hook, so more items than that could never be chosen.
    int n = getNb(m_context.c_str(), m_mode);
    if (n <= 0) return true;
    if (n > kLastId - kBaseId + 1) n = kLastId - kBaseId + 1;
    std::vector<int> ids(static_cast<std::size_t>(n), 0);
    getIds(m_context.c_str(), m_mode, ids.data(), n);
    for (int i = 0; i < n; ++i) {
        char buffer[kTextSize + 1] = {};
        getString(m_context.c_str(), m_mode, ids[i], buffer, kTextSize);
        buffer[kTextSize] = '\0'; // a library that fills the whole buffer must not run us off its end
        int selMode = getSelMode(m_context.c_str(), m_mode, ids[i]);
        m_items.push_back(Item{kBaseId + i, ids[i], buffer, selMode});
    }
    return true;
}

const CHookMenu::Item* CHookMenu::FindItem(int commandId) const {
    if (commandId < kBaseId || commandId > kLastId) return nullptr;
    std::size_t index = static_cast<std::size_t>(commandId - kBaseId);
    return index < m_items.size() ? &m_items[index] : nullptr;
}

bool CHookMenu::IsHookCommand(int commandId) const {
    return IsLoaded() && FindItem(commandId) != nullptr;
}

CHookMenu::Addition CHookMenu::ItemsToAppend(int selMode, const std::set<int>& idsInMenu) const {
    Addition add;
    for (const Item& item : m_items)
        if ((selMode == 0 || item.selMode == selMode) && !idsInMenu.count(item.commandId))
            add.items.push_back(item);
    add.separator = !add.items.empty();
    return add;
}

bool CHookMenu::Execute(int commandId) {
    const Item* item = IsLoaded() ? FindItem(commandId) : nullptr;
    if (!item) return false;
    m_execute(m_context.c_str(), m_mode, commandId, item->hookId, 0, "", 0);
    return true;
}

bool CHookMenu::IsEnabled(int commandId) const {
    const Item* item = IsLoaded() ? FindItem(commandId) : nullptr;
    return item && m_update(m_context.c_str(), m_mode, commandId, item->hookId, 0, "", 0) != 0;
}

} // namespace rux
