// The optional menu extension that a hook library adds to the editor's menus.
#pragma once

#include "shell/hook_menu_api.h"

#include <set>
#include <string>
#include <vector>

namespace rux {

class CHookMenu {
public:
    static constexpr int kBaseId = 6000;
    static constexpr int kLastId = 6100;
    static constexpr int kEditorMode = 2;
    static constexpr int kLiteMode = 3;
    static constexpr int kTextSize = 255;

    struct Item {
        int commandId;
        int hookId;
        std::string text;
        int selMode;
    };

    // What to append to a menu: a separator first when there are items at all.
    struct Addition {
        bool separator = false;
        std::vector<Item> items;
    };

    CHookMenu() = default;
    ~CHookMenu();
    CHookMenu(const CHookMenu&) = delete;
    CHookMenu& operator=(const CHookMenu&) = delete;

    // On Linux the library is lib<name>.so; the lite edition's name is taken for mode 3.
    static std::string LibraryFileName(int mode);

    // Loads the library from the directory and asks it for its items. A missing library or entry
    // leaves the menu empty without a word, as the menu is an optional extension.
    bool Create(const std::string& directory, int mode = kEditorMode);
    void Release();
    bool IsLoaded() const { return m_handle != nullptr; }

    // The context text passed with every call; empty unless a caller sets it.
    void SetContext(std::string context) { m_context = std::move(context); }
    const std::vector<Item>& Items() const { return m_items; }

    // Ids 6000 to 6100 that belong to an item of the loaded library.
    bool IsHookCommand(int commandId) const;
    // Items for a menu of that selection mode (every item for mode 0) whose ids the menu lacks.
    Addition ItemsToAppend(int selMode, const std::set<int>& idsInMenu) const;
    // Return false when the id is no hook command.
    bool Execute(int commandId);
    bool IsEnabled(int commandId) const;

private:
    const Item* FindItem(int commandId) const;

    void* m_handle = nullptr;
    int m_mode = kEditorMode;
    std::string m_context;
    std::vector<Item> m_items;
    HALMHOOK_MenuExecute_t m_execute = nullptr;
    HALMHOOK_MenuUpdate_t m_update = nullptr;
};

} // namespace rux
