#include "shell/hook_menu.h"

#include "support/scoped_env.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

namespace rux {
namespace {

struct LastExecute {
    int executed, mode, command, hook, reserved1, reserved2;
    std::string context, text;
};

// Reads the test library's record of its last Execute call; dlopen hands back the copy CHookMenu loaded.
LastExecute ReadLastExecute() {
    std::string path = std::string(RUX_TEST_HOOK_DIR) + "/libHALMHook.so";
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
    EXPECT_NE(handle, nullptr);
    using Fn = void (*)(int*, int*, int*, int*, int*, int*, const char**, const char**);
    auto fn = reinterpret_cast<Fn>(dlsym(handle, "TestHook_LastExecute"));
    LastExecute r{};
    const char* context = "";
    const char* text = "";
    fn(&r.executed, &r.mode, &r.command, &r.hook, &r.reserved1, &r.reserved2, &context, &text);
    r.context = context;
    r.text = text;
    dlclose(handle);
    return r;
}

TEST(HookMenu, ItemsInLibraryOrderWithIdsFrom6000AndTheirMenus) {
    CHookMenu menu;
    ASSERT_TRUE(menu.Create(RUX_TEST_HOOK_DIR));
    ASSERT_EQ(menu.Items().size(), 3u);
    struct Row {
        int commandId, hookId;
        const char* text;
        int selMode;
    } rows[] = {{6000, 101, "Compare with drive", 0},
                {6001, 205, "Export symbols", 1},
                {6002, 309, "Open in viewer", 2}};
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(menu.Items()[i].commandId, rows[i].commandId);
        EXPECT_EQ(menu.Items()[i].hookId, rows[i].hookId);
        EXPECT_EQ(menu.Items()[i].text, rows[i].text);
        EXPECT_EQ(menu.Items()[i].selMode, rows[i].selMode);
    }
    EXPECT_TRUE(menu.IsHookCommand(6000));
    EXPECT_TRUE(menu.IsHookCommand(6002));
    EXPECT_FALSE(menu.IsHookCommand(6003));
    EXPECT_FALSE(menu.IsHookCommand(5999));

    // A context menu of a selection mode gets the items of that mode it does not have yet.
    struct Case {
        int selMode;
        std::set<int> present;
        std::vector<int> appended;
    } cases[] = {
        {0, {}, {6000, 6001, 6002}},
        {1, {}, {6001}},
        {2, {}, {6002}},
        {7, {}, {}},
        {0, {6001}, {6000, 6002}},
        {1, {6001}, {}},
        {0, {6000, 6001, 6002}, {}},
    };
    for (const Case& c : cases) {
        CHookMenu::Addition add = menu.ItemsToAppend(c.selMode, c.present);
        std::vector<int> ids;
        for (const auto& item : add.items)
            ids.push_back(item.commandId);
        EXPECT_EQ(ids, c.appended) << "mode " << c.selMode;
        EXPECT_EQ(add.separator, !c.appended.empty()) << "mode " << c.selMode;
    }
}

TEST(HookMenu, ExecuteAndUpdatePassTheProtocolArguments) {
    CHookMenu menu;
    menu.SetContext("prog.rux");
    ASSERT_TRUE(menu.Create(RUX_TEST_HOOK_DIR));
    int before = ReadLastExecute().executed;

    EXPECT_TRUE(menu.Execute(6002));
    LastExecute last = ReadLastExecute();
    EXPECT_EQ(last.executed, before + 1);
    EXPECT_EQ(last.context, "prog.rux");
    EXPECT_EQ(last.mode, 2);
    EXPECT_EQ(last.command, 6002);
    EXPECT_EQ(last.hook, 309);
    EXPECT_EQ(last.reserved1, 0);
    EXPECT_EQ(last.reserved2, 0);
    EXPECT_EQ(last.text, "");

    EXPECT_FALSE(menu.Execute(6003));
    EXPECT_EQ(ReadLastExecute().executed, before + 1);

    EXPECT_TRUE(menu.IsEnabled(6000));
    EXPECT_FALSE(menu.IsEnabled(6001));
    EXPECT_TRUE(menu.IsEnabled(6002));
    EXPECT_FALSE(menu.IsEnabled(6050));
}

TEST(HookMenu, NoMoreItemsThanTheRoutedIds) {
    CHookMenu menu;
    menu.SetContext("many");
    ASSERT_TRUE(menu.Create(RUX_TEST_HOOK_DIR));
    ASSERT_EQ(menu.Items().size(), 101u);
    EXPECT_EQ(menu.Items().back().commandId, 6100);
    // The library filled the whole 255-byte buffer without a terminator.
    EXPECT_EQ(menu.Items().back().text, std::string(255, 'x'));
    EXPECT_TRUE(menu.IsHookCommand(6100));
}

TEST(HookMenu, MissingLibraryOrEntryDropsTheMenu) {
    test::CTempDir empty;
    struct Case {
        std::string dir;
        int mode;
    } cases[] = {
        {empty.Path(), CHookMenu::kEditorMode},
        {RUX_TEST_HOOK_DIR, CHookMenu::kLiteMode}, // the lite library lacks its update entry
    };
    for (const Case& c : cases) {
        CHookMenu menu;
        EXPECT_FALSE(menu.Create(c.dir, c.mode)) << c.dir;
        EXPECT_FALSE(menu.IsLoaded());
        EXPECT_TRUE(menu.Items().empty());
        for (int id = 6000; id <= 6100; ++id)
            EXPECT_FALSE(menu.IsHookCommand(id));
        EXPECT_FALSE(menu.Execute(6000));
        EXPECT_FALSE(menu.IsEnabled(6000));
        EXPECT_TRUE(menu.ItemsToAppend(0, {}).items.empty());
    }
}

} // namespace
} // namespace rux
