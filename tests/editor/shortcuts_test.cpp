#include "document/string_table.h"
#include "editor/accel_mgr.h"
#include "editor/shortcut_capture.h"
#include "editor/shortcut_keys.h"
#include "editor/template_manager.h"
#include "editor/template_menu.h"
#include "shell/command_ids.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <optional>

namespace rux {
namespace {

TEST(ShortcutText, ParsesInAnyCaseAndWritesCtrlAltShiftKey) {
    struct Row {
        const char* text;
        std::optional<CKeyCombo> combo;
        const char* formatted;
    };
    const Row rows[] = {
        {"ctrl+shift+f5", CKeyCombo{13, 116}, "Ctrl+Shift+F5"},
        {"SHIFT+CTRL+F3", CKeyCombo{13, 114}, "Ctrl+Shift+F3"},
        {"shift+alt+ctrl+a", CKeyCombo{29, 65}, "Ctrl+Alt+Shift+A"},
        {"F7", CKeyCombo{1, 118}, "F7"},
        {"Ctrl+Hyper+C", CKeyCombo{9, 67}, "Ctrl+C"}, // an unknown part is skipped
        {"numpad3", CKeyCombo{1, 99}, "NUMPAD3"},
        {"Alt+prior", CKeyCombo{17, 33}, "Alt+PRIOR"},
        {"Ctrl+0", CKeyCombo{9, 48}, "Ctrl+0"},
        {"vk_oem_clear", CKeyCombo{1, 254}, "VK_OEM_CLEAR"},
        {"Ctrl+Shift", std::nullopt, ""}, // modifiers alone name no key
        {"Del", std::nullopt, ""},
        {"", std::nullopt, ""},
    };
    for (const Row& row : rows) {
        const auto combo = ParseShortcut(row.text);
        EXPECT_EQ(combo, row.combo) << row.text;
        if (combo) {
            EXPECT_EQ(FormatShortcut(*combo), row.formatted) << row.text;
        }
    }
    EXPECT_EQ(ShortcutLookupKey({12, 116}), "13:116") << "the virtual-key flag is always part of the key";
}

TEST(ShortcutText, KeyNameTableGoesBothWays) {
    EXPECT_EQ(KeyNameCount(), 120);
    int named = 0;
    for (int code = 0; code < 256; ++code) {
        const std::string_view name = KeyName(code);
        if (name.empty()) continue;
        ++named;
        EXPECT_EQ(KeyCode(name), code) << name;
    }
    EXPECT_EQ(named, 120);
    const std::pair<int, const char*> spots[] = {{1, "VK_LBUTTON"}, {8, "BACK"},        {13, "RETURN"},
                                                 {34, "NEXT"},      {47, "VK_HELP"},    {57, "9"},
                                                 {90, "Z"},         {96, "NUMPAD0"},    {111, "DIVIDE"},
                                                 {135, "F24"},      {145, "VK_SCROLL"}, {246, "VK_ATTN"}};
    for (const auto& [code, name] : spots)
        EXPECT_EQ(KeyName(code), name) << code;
    EXPECT_EQ(KeyName(0), "");
    EXPECT_EQ(KeyName(136), "") << "F25 does not exist";
    EXPECT_EQ(KeyCode("Hyper"), 0);
}

// The program menu's table from real menu texts, then templates' keys merged in.
TEST(AccelMgr, MenuKeysTemplatesAndTheAssignCheck) {
    test::CTempDir root;
    root.Write("Templates/A/Ramp.txt", "Shortcut=ctrl+shift+r\ntpl_begin\nx\ntpl_end");
    root.Write("Templates/A/Steal copy.txt", "Shortcut=Ctrl+C\ntpl_begin\nx\ntpl_end");
    root.Write("Templates/B/Ramp again.txt", "Shortcut=Ctrl+Shift+R\ntpl_begin\nx\ntpl_end");
    root.Write("Templates/B/Nonsense.txt", "Shortcut=Hyper+Q+\ntpl_begin\nx\ntpl_end"); // types a Q
    root.Write("Templates/B/Function key.txt", "Shortcut=Shift+F4\ntpl_begin\nx\ntpl_end");
    CTplMgr templates(root.File("Templates"), CIniFile::FromText(""));
    templates.Load();
    const int ramp = 7000, steal = 7001, function = 7002, nonsense = 7003, again = 7004;

    // Copy, Reset drive ("Shift+Ctrl+F3"), Increase Indent ("Tab"), Delete ("Del"), Build and the
    // tree's Build, which names the same key.
    const int program[] = {ID_EDIT_COPY,   ID_RESET_DRIVE, ID_EDIT_INCREASE_INDENT,
                           ID_EDIT_DELETE, ID_BUILD,       ID_TREE_BUILD};
    const int main[] = {ID_FILE_OPEN};
    CAccelMgr accels;
    accels.BuildTable(CAccelMgr::kProgramMenu, program);
    EXPECT_EQ(accels.ApplyTemplateShortcuts(templates), (std::vector<int>{steal, nonsense, again}));
    accels.BuildTable(CAccelMgr::kMainMenu, main);

    struct Row {
        int table;
        const char* text;
        int command; // 0: no entry
    };
    const Row rows[] = {
        {CAccelMgr::kProgramMenu, "ctrl+c", ID_EDIT_COPY}, // the built-in keeps its key
        {CAccelMgr::kProgramMenu, "Ctrl+Shift+F3", ID_RESET_DRIVE},
        {CAccelMgr::kProgramMenu, "Ctrl+B", ID_BUILD}, // the first of two keeps it
        {CAccelMgr::kProgramMenu, "Tab", ID_EDIT_INCREASE_INDENT},
        {CAccelMgr::kProgramMenu, "Delete", ID_KEY_DELETE}, // "Del" names no key; the key is the frame's
        {CAccelMgr::kProgramMenu, "Insert", ID_KEY_INSERT},
        {CAccelMgr::kProgramMenu, "Ctrl+Shift+R", ramp}, // the first template keeps it
        {CAccelMgr::kProgramMenu, "Shift+F4", function},
        {CAccelMgr::kProgramMenu, "Q", 0}, // a key that types is no template's
        {CAccelMgr::kProgramMenu, "", 0},
        {CAccelMgr::kMainMenu, "Ctrl+O", ID_FILE_OPEN},
        {CAccelMgr::kMainMenu, "Ctrl+Shift+R", 0}, // templates live in the program menu only
        {CAccelMgr::kMainMenu, "Ctrl+C", 0},
    };
    for (const Row& row : rows) {
        const CAccel* accel = accels.Lookup(row.table, row.text);
        EXPECT_EQ(accel ? accel->command : 0, row.command) << row.table << " " << row.text;
    }
    EXPECT_EQ(accels.Lookup(CAccelMgr::kProgramMenu, "ctrl+shift+f3")->text, "Ctrl+Shift+F3");
    EXPECT_EQ(accels.OfCommand(CAccelMgr::kProgramMenu, ID_TREE_BUILD), nullptr);

    // "Currently assigned to:" and Assign.
    EXPECT_EQ(accels.AssignedTo("Ctrl+C"), "Copy");
    EXPECT_EQ(accels.AssignedTo("ctrl+shift+r"), "Ramp");
    EXPECT_EQ(accels.AssignedTo("Insert"), "An existing command");
    EXPECT_EQ(accels.AssignedTo("F7"), "None");
    EXPECT_STREQ(LoadString(accels.CheckAssign("", "Ctrl+C")), "This shortcut is already assigned.");
    EXPECT_EQ(accels.CheckAssign("Ctrl+Shift+R", "Ctrl+Shift+R"), 0) << "unchanged";
    EXPECT_EQ(accels.CheckAssign("Ctrl+Shift+R", "F7"), 0);
    EXPECT_EQ(accels.CheckAssign("F7", ""), 0) << "cleared";
    EXPECT_EQ(accels.CheckAssign("ctrl+shift+r", "Ctrl+Shift+R"), 0)
        << "the template's own key, written anew";
    EXPECT_EQ(accels.CheckAssign("Hyper", "Ctrl+C"), IDS_SHORTCUT_ASSIGNED) << "no key before is no key";
    // The capture field takes Shift with a letter; the view would type it, so Assign says why not.
    EXPECT_STREQ(LoadString(accels.CheckAssign("F7", "Shift+Q")),
                 "This key types in the program. Use it with Ctrl or Alt, or choose a function key.");
    EXPECT_EQ(accels.CheckAssign("", "Shift+Space"), IDS_SHORTCUT_TYPES);
    EXPECT_EQ(accels.CheckAssign("shift+q", "Shift+Q"), 0) << "a hand-edited key kept as it was";
    EXPECT_EQ(accels.CheckAssign("", "Shift+F9"), 0);
    const auto frameMenu = [](int command) {
        return command == ID_EDIT_COPY ? std::string("Copy here") : std::string();
    };
    EXPECT_EQ(accels.AssignedTo("Ctrl+C", frameMenu), "Copy here");
    EXPECT_EQ(accels.AssignedTo("ctrl+shift+r", frameMenu), "An existing command");
    EXPECT_EQ(accels.AssignedTo("Shift+F9", frameMenu), "None");

    // The menu names a key only where it runs the template.
    const auto menu = BuildTemplateMenu(templates, 10, 20, &accels);
    ASSERT_EQ(menu.size(), 2u);
    EXPECT_EQ(menu[0].entries[0].caption, "Ramp\tctrl+shift+r");
    EXPECT_EQ(menu[0].entries[1].caption, "Steal copy");
    EXPECT_EQ(menu[1].entries[0].caption, "Function key\tShift+F4");
    EXPECT_EQ(menu[1].entries[1].caption, "Nonsense");
    EXPECT_EQ(menu[1].entries[2].caption, "Ramp again");

    const std::pair<const char*, bool> viewKeys[] = {{"Tab", true},           {"Shift+Tab", true},
                                                     {"Delete", true},        {"Ctrl+Tab", false},
                                                     {"Shift+Delete", false}, {"F2", false}};
    for (const auto& [text, isView] : viewKeys)
        EXPECT_EQ(CAccelMgr::IsViewKey(*ParseShortcut(text)), isView) << text;
}

// The shortcut field, press by press: each row starts from the text the dialog opens with.
TEST(ShortcutCapture, TakesModifiersThenOneKeyAndLeavesTheDialogItsKeys) {
    constexpr int C = kAccelControl, A = kAccelAlt, S = kAccelShift;
    constexpr int kQ = 'Q', kF5 = 116, kF7 = 118, kF24 = 135, kReturn = 13, kEscape = 27, kOemSemicolon = 186;
    struct Key {
        bool down;
        int key;
        int flags; // held as the event reports them
    };
    auto D = [](int key, int flags) { return Key{true, key, flags}; };
    auto U = [](int key, int flags) { return Key{false, key, flags}; };
    struct Row {
        const char* start;
        std::vector<Key> keys;
        const char* shown;
        std::optional<CKeyCombo> combo;
        bool lastTaken; // of the last press
    };
    const Row rows[] = {
        {"", {D(kF5, C | S)}, "Ctrl+Shift+F5", CKeyCombo{13, kF5}, true},
        {"", {D(kVkControl, 0), D(kVkShift, C), D(kF5, C | S)}, "Ctrl+Shift+F5", CKeyCombo{13, kF5}, true},
        // Written in the order Ctrl, Alt, whatever the order of the presses.
        {"", {D(kVkMenu, 0), D(kVkControl, A)}, "Ctrl+Alt+", std::nullopt, true},
        {"", {D(kVkControl, 0), U(kVkControl, C)}, "", std::nullopt, true}, // let go before any key
        {"", {D(kVkShift, 0), D(kVkControl, S), U(kVkShift, C | S)}, "Ctrl+", std::nullopt, true},
        {"", {D(kVkControl, 0), D('C', C), U('C', C), U(kVkControl, C)}, "Ctrl+C", CKeyCombo{9, 'C'}, true},
        {"", {D(kQ, 0)}, "", std::nullopt, true}, // a key that types
        {"", {D(kQ, S)}, "Shift+Q", CKeyCombo{5, kQ}, true},
        {"", {D(kF7, 0)}, "F7", CKeyCombo{1, kF7}, true},
        {"", {D(kF24, 0)}, "F24", CKeyCombo{1, kF24}, true},
        {"", {D(kF5 + 1, A)}, "Alt+F6", CKeyCombo{17, kF5 + 1}, true},
        {"", {D(kOemSemicolon, C)}, "", std::nullopt, true}, // no name to show it by
        {"Ctrl+C", {D(kQ, 0)}, "", std::nullopt, true},      // starts over, then refused
        {"Ctrl+C", {D(kVkShift, 0)}, "Shift+", CKeyCombo{9, 'C'}, true}, // replaced once a key comes
        {"Ctrl+C", {D(kVkShift, 0), D(kVkTab, S)}, "Ctrl+C", CKeyCombo{9, 'C'}, false},
        {"Ctrl+C", {D(kVkShift, 0), U(kVkShift, S)}, "Ctrl+C", CKeyCombo{9, 'C'}, true},
        {"Ctrl+C", {D(kVkShift, 0), D(kF7, S)}, "Shift+F7", CKeyCombo{5, kF7}, true},
        {"Ctrl+C", {D(kF7, 0)}, "F7", CKeyCombo{1, kF7}, true},
        {"Ctrl+C", {U(kVkControl, 0)}, "Ctrl+C", CKeyCombo{9, 'C'}, false},
        {"Ctrl+C", {D(kVkTab, 0)}, "Ctrl+C", CKeyCombo{9, 'C'}, false},
        {"Ctrl+C", {D(kVkTab, S)}, "Ctrl+C", CKeyCombo{9, 'C'}, false}, // Shift+Tab moves back
        {"Ctrl+C", {D(kReturn, C)}, "Ctrl+C", CKeyCombo{9, 'C'}, false},
        {"Ctrl+C", {D(kEscape, 0)}, "Ctrl+C", CKeyCombo{9, 'C'}, false},
        {"Ctrl+C", {D(kVkDelete, 0)}, "Ctrl+C", CKeyCombo{9, 'C'}, false},
        {"Ctrl+C", {D(kVkDelete, C)}, "Ctrl+DELETE", CKeyCombo{9, kVkDelete}, true},
        {"ctrl+shift+f5", {}, "Ctrl+Shift+F5", CKeyCombo{13, kF5}, false},
        {"Hyper+", {}, "", std::nullopt, false},
        {"Hyper+", {D(kVkControl, 0)}, "Ctrl+", std::nullopt, true},
    };
    for (const Row& row : rows) {
        CShortcutCapture capture;
        capture.Reset(row.start);
        bool taken = false;
        for (const Key& k : row.keys) {
            if (!k.down) {
                capture.KeyUp(k.key, k.flags);
                continue;
            }
            taken = capture.KeyDown(k.key, k.flags) == CShortcutCapture::kTaken;
            EXPECT_EQ(CShortcutCapture::Takes(k.key, k.flags), taken) << row.start << " " << k.key;
        }
        const std::string what =
            std::string(row.start) + " then " + std::to_string(row.keys.size()) + " keys";
        EXPECT_EQ(capture.Text(), row.shown) << what;
        EXPECT_EQ(capture.Combo(), row.combo) << what;
        EXPECT_EQ(capture.Shortcut(), row.combo ? FormatShortcut(*row.combo) : "") << what;
        EXPECT_EQ(taken, row.lastTaken) << what;
    }
}

} // namespace
} // namespace rux
