#include "shell/profile_store.h"

#include "shell/product_paths.h"
#include "support/scoped_env.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace rux {
namespace {

using test::CScopedEnv;
using test::CTempDir;

TEST(ProductPaths, EnvironmentOverridesAndFallbacks) {
    {
        CScopedEnv home("RUXEDIT_HOME", "/srv/rux");
        EXPECT_EQ(CProductPaths::ProductDir(), "/srv/rux");
        EXPECT_EQ(CProductPaths::SettingsFile(), "/srv/rux/Torvel.ini");
        EXPECT_EQ(CProductPaths::HelpDir(), "/srv/rux/Help");
    }
    {
        CScopedEnv cfg("XDG_CONFIG_HOME", "/cfg");
        EXPECT_EQ(CProductPaths::UserConfigDir(), "/cfg");
    }
    {
        CScopedEnv cfg("XDG_CONFIG_HOME", "relative/dir");
        CScopedEnv home("HOME", "/home/ann");
        EXPECT_EQ(CProductPaths::UserConfigDir(), "/home/ann/.config");
    }
    {
        CScopedEnv dirs("XDG_CONFIG_DIRS", "/opt/xdg:/etc/xdg");
        EXPECT_EQ(CProductPaths::SystemConfigDir(), "/opt/xdg");
    }
    {
        CScopedEnv dirs("XDG_CONFIG_DIRS", nullptr);
        EXPECT_EQ(CProductPaths::SystemConfigDir(), "/etc/xdg");
    }
    struct Join {
        const char* a;
        const char* b;
        const char* out;
    } joins[] = {
        {"/a", "b", "/a/b"}, {"/a/", "b", "/a/b"}, {"/a", "/b", "/a/b"}, {"", "b", "b"}, {"/a", "", "/a"}};
    for (const Join& j : joins)
        EXPECT_EQ(CProductPaths::Join(j.a, j.b), j.out);
}

TEST(ProfileStore, ValuesSurviveFromOneRunToTheNext) {
    CTempDir dir;
    CScopedEnv cfg("XDG_CONFIG_HOME", dir.Path().c_str());
    {
        CProfileStore first = CProfileStore::UserProfile();
        EXPECT_EQ(first.FilePath(), dir.Path() + "/Orlenco/HALM2/H2RuxEdit.ini");
        EXPECT_EQ(first.GetString("Recent File List", "File1", ""), "");
        EXPECT_TRUE(first.WriteString("Recent File List", "File1", "/home/ann/line.rux"));
        EXPECT_TRUE(first.WriteInt("RUXCommandBars", "Count", 6));
        EXPECT_TRUE(first.SaveFramePlacement({0, 3, -1, -1, -8, -31, 10, 20, 1034, 788}));
    }
    CProfileStore second = CProfileStore::UserProfile();
    EXPECT_EQ(second.GetString("recent file list", "file1", ""), "/home/ann/line.rux");
    EXPECT_EQ(second.GetInt("RUXCommandBars", "Count", 0), 6);
    auto placement = second.LoadFramePlacement();
    ASSERT_TRUE(placement);
    EXPECT_EQ(placement->showCmd, 3u);
    EXPECT_EQ(placement->bottom, 788);
    EXPECT_EQ(CTempDir::Read(second.FilePath()),
              "[Recent File List]\nFile1=/home/ann/line.rux\n\n[RUXCommandBars]\n"
              "Count=6\n\n[Settings]\nWindow Position2=0,3,-1,-1,-8,-31,10,20,"
              "1034,788\n");
}

TEST(ProfileStore, MachineSettingSysCtrl) {
    CTempDir dir;
    CScopedEnv dirs("XDG_CONFIG_DIRS", dir.Path().c_str());
    struct Case {
        const char* content; // nullptr: no file
        int flag;
    } cases[] = {
        {nullptr, 0},
        {"[Settings]\n", 0},
        {"[Settings]\nSysCtrl=0\n", 0},
        {"[Settings]\nSysCtrl=1\n", 1},
        {"[settings]\nsysctrl=256\n", 1},
        {"[Other]\nSysCtrl=1\n", 0},
    };
    for (const Case& c : cases) {
        std::filesystem::remove(dir.File("Orlenco/HALM.ini"));
        if (c.content) dir.Write("Orlenco/HALM.ini", c.content);
        EXPECT_EQ(CProfileStore::ReadSystemControlFlag(), c.flag) << (c.content ? c.content : "(no file)");
    }
}

TEST(ProfileStore, UnwritableLocationIsReportedNotFatal) {
    CTempDir dir;
    dir.Write("blocker", "a file where a directory should be");
    CProfileStore store(dir.File("blocker"), CProfileStore::kProfileKey);
    EXPECT_FALSE(store.WriteInt("Settings", "X", 1));
    EXPECT_EQ(store.GetInt("Settings", "X", 5), 5);
}

} // namespace
} // namespace rux
