#include "editor/accel_mgr.h"

#include "document/string_table.h"
#include "editor/template_manager.h"
#include "shell/command_ids.h"

#include <algorithm>

namespace rux {
namespace {

// Keys that run a command without a menu entry that shows them.
struct CKeyOnly {
    CKeyCombo combo;
    int command;
};
constexpr CKeyOnly kKeysWithoutMenu[] = {
    {{kAccelVirtKey, kVkInsert}, ID_KEY_INSERT},
    {{kAccelVirtKey, kVkDelete}, ID_KEY_DELETE},
};

std::string WithoutAmpersands(std::string text) {
    std::erase(text, '&');
    return text;
}

} // namespace

bool CAccelMgr::Add(Table& table, const CKeyCombo& combo, int command) {
    CAccel accel{FormatShortcut(combo), combo.flags | kAccelVirtKey, combo.key, command};
    return table.emplace(ShortcutLookupKey(combo), std::move(accel)).second;
}

void CAccelMgr::BuildTable(int menuId, std::span<const int> commands) {
    Table& table = TableOf(menuId);
    table.clear();
    for (int command : commands) {
        const std::string_view text = LoadMenuString(command);
        const size_t tab = text.find('\t');
        m_menuTexts[command] = WithoutAmpersands(std::string(text.substr(0, tab)));
        if (tab == std::string_view::npos) continue;
        // "Del" names no key of the table: the view's Delete is the key-only entry below.
        if (const auto combo = ParseShortcut(text.substr(tab + 1))) Add(table, *combo, command);
    }
    for (const CKeyOnly& k : kKeysWithoutMenu)
        Add(table, k.combo, k.command);
}

std::vector<int> CAccelMgr::ApplyTemplateShortcuts(const CTplMgr& templates) {
    std::vector<int> refused;
    for (const CTplCat& category : templates.Categories())
        for (const CTpl& t : category.templates) {
            const int id = static_cast<int>(t.id);
            m_menuTexts[id] = t.name;
            const auto combo = ParseShortcut(t.shortcut);
            if (combo && !(CanRunTemplate(*combo) && Add(m_programMenu, *combo, id))) refused.push_back(id);
        }
    return refused;
}

void CAccelMgr::Load(std::span<const int> programMenuCommands, std::span<const int> mainMenuCommands,
                     const CTplMgr& templates) {
    // Ids of templates from an earlier load may name other templates now.
    std::erase_if(m_menuTexts, [](const auto& entry) { return CTplMgr::IsTemplateCommand(entry.first); });
    BuildTable(kProgramMenu, programMenuCommands);
    ApplyTemplateShortcuts(templates);
    BuildTable(kMainMenu, mainMenuCommands);
}

const CAccel* CAccelMgr::Find(int menuId, const CKeyCombo& combo) const {
    const Table& table = TableOf(menuId);
    const auto it = table.find(ShortcutLookupKey(combo));
    return it == table.end() ? nullptr : &it->second;
}

const CAccel* CAccelMgr::Lookup(int menuId, std::string_view text) const {
    const auto combo = ParseShortcut(text);
    return combo ? Find(menuId, *combo) : nullptr;
}

const CAccel* CAccelMgr::OfCommand(int menuId, int command) const {
    for (const auto& [key, accel] : TableOf(menuId))
        if (accel.command == command) return &accel;
    return nullptr;
}

std::vector<CAccel> CAccelMgr::Entries(int menuId) const {
    std::vector<CAccel> out;
    for (const auto& [key, accel] : TableOf(menuId))
        out.push_back(accel);
    return out;
}

std::string CAccelMgr::MenuText(int command) const {
    const auto it = m_menuTexts.find(command);
    return it == m_menuTexts.end() ? std::string() : it->second;
}

std::string CAccelMgr::AssignedTo(std::string_view text) const {
    return AssignedTo(text, nullptr);
}

std::string CAccelMgr::AssignedTo(std::string_view text,
                                  const std::function<std::string(int)>& menuTextOf) const {
    const CAccel* accel = Lookup(kProgramMenu, text);
    if (!accel) return LoadString(IDS_SHORTCUT_NONE);
    const std::string menuText = menuTextOf ? menuTextOf(accel->command) : MenuText(accel->command);
    return menuText.empty() ? std::string(LoadString(IDS_SHORTCUT_EXISTING_COMMAND)) : menuText;
}

int CAccelMgr::CheckAssign(std::string_view current, std::string_view text) const {
    // A file edited by hand may spell the template's own key "ctrl+shift+r"; the field writes it
    // "Ctrl+Shift+R", and that must not count as taken by the template itself.
    const auto combo = ParseShortcut(text);
    const bool unchanged = text == current || (combo && combo == ParseShortcut(current));
    if (unchanged) return 0;
    // Shift+Q would never run the template: the view takes it as a capital Q.
    if (combo && !CanRunTemplate(*combo)) return IDS_SHORTCUT_TYPES;
    return Lookup(kProgramMenu, text) ? IDS_SHORTCUT_ASSIGNED : 0;
}

bool CAccelMgr::IsViewKey(const CKeyCombo& combo) {
    const int modifiers = combo.flags & (kAccelControl | kAccelAlt | kAccelShift);
    return (combo.key == kVkTab && (modifiers & ~kAccelShift) == 0) ||
           (combo.key == kVkDelete && modifiers == 0);
}

bool CAccelMgr::CanRunTemplate(const CKeyCombo& combo) {
    return (combo.flags & (kAccelControl | kAccelAlt)) != 0 || (combo.key >= kVkF1 && combo.key < kVkF1 + 24);
}

} // namespace rux
