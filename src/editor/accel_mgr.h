// The keyboard shortcuts of the main frame: the menus' own accelerators plus the templates' keys.
#pragma once

#include "editor/shortcut_keys.h"

#include <functional>
#include <map>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace rux {

class CTplMgr;

// One shortcut: its text, flags, key and the command it runs.
struct CAccel {
    std::string text; // as FormatShortcut writes it
    int flags = kAccelVirtKey;
    int key = 0;
    int command = 0;
    CKeyCombo Combo() const { return {flags, key}; }
};

class CAccelMgr {
public:
    enum ETable { kMainMenu = 128, kProgramMenu = 129 };

    // A menu's table from the accelerators its commands' menu texts name after the tab, plus the
    // keys no menu entry shows (Insert toggles overwriting, Delete goes to the tree or the view). Of
    // two commands with one key the first keeps it. Replaces what the table held.
    void BuildTable(int menuId, std::span<const int> commands);
    // Adds every template's shortcut to the program menu's table. A key that is taken already (by a
    // menu command or an earlier template) stays with its owner: the templates' keys are the user's
    // own, checked when assigned, so a clash can only come from a file edited by hand, and a built-in
    // command must not vanish because of it. For the same reason a key that types (one without Ctrl
    // or Alt other than F1 to F24) is refused: it would take a character away from the program view.
    // Returns the ids of the templates whose key was refused.
    std::vector<int> ApplyTemplateShortcuts(const CTplMgr& templates);
    // Startup's order: the program menu's table with the templates, then the main menu's.
    void Load(std::span<const int> programMenuCommands, std::span<const int> mainMenuCommands,
              const CTplMgr& templates);

    // The entry that uses the combination a text names; null for an empty or keyless text.
    const CAccel* Lookup(int menuId, std::string_view text) const;
    const CAccel* Find(int menuId, const CKeyCombo& combo) const;
    // The key of a command in a table, or null.
    const CAccel* OfCommand(int menuId, int command) const;
    std::vector<CAccel> Entries(int menuId) const;

    // The command's entry in the menus the tables were built from, before the tab, without "&";
    // empty for a command no menu shows.
    std::string MenuText(int command) const;
    // "Currently assigned to:" for a text: "None", the menu text of the command that has the key,
    // or "An existing command" when that one shows in no menu.
    std::string AssignedTo(std::string_view text) const;
    // The same with the menu texts of a menu this manager did not build (the frame's, as it shows
    // them now); an empty function means this manager's own.
    std::string AssignedTo(std::string_view text, const std::function<std::string(int)>& menuText) const;
    // Assign in the Edit Shortcut Key dialog: 0 when the text may be given to the template (it names
    // the combination it had, however written, or no entry uses it and it can run a template), else
    // the message that refuses it.
    int CheckAssign(std::string_view current, std::string_view text) const;

    // Keys the program view takes as keystrokes (typing and indenting Tab, deleting): they belong in
    // the tables, so nothing else gets them, but a window-wide shortcut must not take them away from
    // the view.
    static bool IsViewKey(const CKeyCombo& combo);
    // Whether a key can run a template: Ctrl or Alt with any key, or a function key.
    static bool CanRunTemplate(const CKeyCombo& combo);

private:
    using Table = std::map<std::string, CAccel>;
    Table& TableOf(int menuId) { return menuId == kMainMenu ? m_mainMenu : m_programMenu; }
    const Table& TableOf(int menuId) const { return menuId == kMainMenu ? m_mainMenu : m_programMenu; }
    static bool Add(Table& table, const CKeyCombo& combo, int command);

    Table m_mainMenu;
    Table m_programMenu;
    std::map<int, std::string> m_menuTexts;
};

} // namespace rux
