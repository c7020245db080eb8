#include "support/scoped_env.h"
#include "support/temp_dir.h"
#include "target/group_mgr.h"
#include "target/library_service.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <stdexcept>

namespace rux {
namespace {

TEST(GroupLibrary, MembershipFollowsAddRemoveAndTheFileOnDisk) {
    test::CTempDir dir;
    test::CScopedEnv config("XDG_CONFIG_HOME", dir.File("cfg"));
    CServiceLibrary library("H2Group");
    ASSERT_TRUE(library.IsLoaded());
    auto* reg = library.Entry<decltype(::H2GROUP_RegisterClient)>("H2GROUP_RegisterClient");
    auto* add = library.Entry<decltype(::H2GROUP_AddToGroup)>("H2GROUP_AddToGroup");
    auto* remove = library.Entry<decltype(::H2GROUP_RemoveFromGroup)>("H2GROUP_RemoveFromGroup");
    auto* newGroup = library.Entry<decltype(::H2GROUP_NewGroup)>("H2GROUP_NewGroup");
    ASSERT_TRUE(reg && add && remove && newGroup);

    CGroupMgr groups;
    const std::string a = dir.File("a.rux");
    EXPECT_EQ(add("G1", a.c_str(), "RUX2EDIT"), 0) << "unregistered client";
    ASSERT_TRUE(groups.Register(nullptr, "RUX2EDIT"));
    EXPECT_FALSE(groups.IsFileInGroup(a));
    EXPECT_EQ(add("G1", a.c_str(), "RUX2EDIT"), 1);
    EXPECT_TRUE(groups.IsFileInGroup(dir.Path() + "/sub/../a.rux")) << "two spellings of one file";
    EXPECT_EQ(groups.GetFileGroup(a), "G1");
    EXPECT_TRUE(groups.FileChanged(nullptr, a));
    EXPECT_EQ(add("G2", a.c_str(), "RUX2EDIT"), 1);
    EXPECT_EQ(groups.GetFileGroup(a), "G2") << "a file belongs to one group";
    EXPECT_EQ(newGroup("G2", "RUX2EDIT"), 0);
    EXPECT_EQ(newGroup("G3", "RUX2EDIT"), 1);
    EXPECT_EQ(remove(a.c_str(), "RUX2EDIT"), 1);
    EXPECT_FALSE(groups.IsFileInGroup(a));
    EXPECT_EQ(groups.GetFileGroup(a), "");
    EXPECT_FALSE(groups.FileChanged(nullptr, a));
    const std::string text = test::ReadFileBytes(dir.File("cfg/rux/groups.txt"));
    EXPECT_NE(text.find("[G3]\n"), std::string::npos) << text;

    // A groups file that cannot be replaced is a failure, not a success that loses the change.
    std::filesystem::remove(dir.File("cfg/rux/groups.txt"));
    std::filesystem::create_directories(dir.File("cfg/rux/groups.txt"));
    EXPECT_EQ(add("G1", a.c_str(), "RUX2EDIT"), 0);
    EXPECT_EQ(newGroup("G4", "RUX2EDIT"), 0);
}

TEST(LibraryService, CreateAnswersSuccessExistingFolderAndFailedFile) {
    test::CTempDir dir;
    CServiceLibrary library("H2Library");
    auto* setDirectory = library.Entry<decltype(::H2LIBRARY_SetDirectory)>("H2LIBRARY_SetDirectory");
    auto* create = library.Entry<decltype(::H2LIBRARY_CreateLibrary)>("H2LIBRARY_CreateLibrary");
    ASSERT_TRUE(setDirectory && create);

    ASSERT_EQ(setDirectory(dir.File("Libs").c_str()), 1);
    EXPECT_EQ(create("Conv"), 1);
    EXPECT_TRUE(std::filesystem::is_regular_file(dir.File("Libs/Conv/Conv.lib")));
    EXPECT_EQ(create("Conv"), -1);
    EXPECT_EQ(create("a/b"), -2);
    // A file where the library directory should be: nothing can be created below it.
    test::WriteFileBytes(dir.File("NotADir"), "x");
    setDirectory(dir.File("NotADir").c_str());
    EXPECT_EQ(create("Conv"), -2);
    EXPECT_FALSE(std::filesystem::exists(dir.File("NotADir/Conv")));
}

TEST(LibraryService, ListsLibraryFoldersForATargetKind) {
    test::CTempDir dir;
    const auto lib = [&dir](const std::string& name, const std::string& text) {
        std::filesystem::create_directories(dir.File("Libs/" + name));
        test::WriteFileBytes(dir.File("Libs/" + name + "/" + name + ".lib"), text);
    };
    lib("Zeta", "; RUX function block library Zeta\n");
    lib("Alpha", "; RUX function block library Alpha\r\n;  TargetKind=2\r\n");
    lib("Mid", "; RUX function block library Mid\n; TargetKind=1\n");
    lib("Late", "; RUX function block library Late\n_x(){\n; TargetKind=2\n"); // too late to count
    std::filesystem::create_directories(dir.File("Libs/NoFile"));
    test::WriteFileBytes(dir.File("Libs/Loose.lib"), "; not in a folder\n");

    CServiceLibrary library("H2Library");
    auto* setDirectory = library.Entry<decltype(::H2LIBRARY_SetDirectory)>("H2LIBRARY_SetDirectory");
    auto* available = library.Entry<decltype(::H2LIBRARY_GetAvailableLibraries)>("H2LIBRARY_GetAvailableLibraries");
    ASSERT_TRUE(setDirectory && available);
    ASSERT_EQ(setDirectory(dir.File("Libs").c_str()), 1);
    struct {
        int kind;
        std::vector<std::string> names;
    } cases[] = {
        {0, {"Alpha", "Late", "Mid", "Zeta"}},
        {1, {"Late", "Mid", "Zeta"}},
        {2, {"Alpha", "Late", "Zeta"}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> names;
        const int count = available([](void* to, const char* name) { static_cast<std::vector<std::string>*>(to)->push_back(name); },
                                    &names, c.kind);
        EXPECT_EQ(names, c.names) << c.kind;
        EXPECT_EQ(count, static_cast<int>(c.names.size()));
    }
    EXPECT_EQ(available(nullptr, nullptr, 0), 4) << "counting needs no callback";
    EXPECT_EQ(available([](void*, const char*) { throw std::runtime_error("list full"); }, nullptr, 0), 0)
        << "a callback that throws fails the listing inside the library";
    setDirectory(dir.File("Missing").c_str());
    EXPECT_EQ(available(nullptr, nullptr, 0), 0);
}

TEST(LibraryService, TargetKindOfADrive) {
    EXPECT_EQ(LibraryTargetKind("ZR29"), 2);
    EXPECT_EQ(LibraryTargetKind("zr29"), 2);
    EXPECT_EQ(LibraryTargetKind("VQ5A"), 1);
    EXPECT_EQ(LibraryTargetKind(""), 1);
}

} // namespace
} // namespace rux
