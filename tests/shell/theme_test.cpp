#include "shell/theme.h"

#include "shell/ini_file.h"
#include "shell/shell_settings.h"

#include <gtest/gtest.h>

namespace rux {
namespace {

TEST(Theme, MenuEntriesAndPaneThemes) {
    struct Row {
        int command;
        const char* name;
        int number;
        int pane;
    } rows[] = {
        {33036, "Zinc", 0, 1}, {33035, "Titanium", 1, 1}, {33034, "Cobalt", 2, 2}, {33033, "Tungsten", 3, 3}};
    ASSERT_EQ(CThemeTable::Entries().size(), std::size(rows));
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        const CThemeEntry& e = CThemeTable::Entries()[i];
        EXPECT_EQ(e.command, rows[i].command);
        EXPECT_STREQ(e.name, rows[i].name);
        EXPECT_EQ(e.number, rows[i].number);
        EXPECT_EQ(CThemeTable::PaneTheme(e.number), rows[i].pane);
        EXPECT_EQ(CThemeTable::FindByCommand(rows[i].command), &e);
    }
    EXPECT_EQ(CThemeTable::FindByCommand(33037), nullptr);
    struct Other {
        int number, pane;
    } others[] = {{10, 19}, {4, 4}, {9, 9}, {11, 11}, {19, 19}, {-1, -1}};
    for (const Other& o : others)
        EXPECT_EQ(CThemeTable::PaneTheme(o.number), o.pane) << o.number;
}

TEST(Theme, StoredInMaindesk) {
    CIniFile ini = CIniFile::FromText("[MAINDESK]\nRDONLY=1\n");
    EXPECT_EQ(CThemeTable::Load(ini), 2);
    CThemeTable::Store(ini, 0); // choosing "Zinc"
    EXPECT_EQ(ini.Text(), "[MAINDESK]\nRDONLY=1\nTheme=0\n");
    EXPECT_EQ(CThemeTable::Load(ini), 0);
}

TEST(ShellSettings, DefaultsAndWhatTheFrameWritesBack) {
    CShellSettings d = CShellSettings::Load(CIniFile::FromText("[RUXCat]\n[MAINDESK]\nTheme=\n"));
    EXPECT_EQ(d.readOnly, 0);
    EXPECT_EQ(d.theme, 2);
    EXPECT_EQ(d.mainToolbar, 1);
    EXPECT_EQ(d.viewToolbar, 1);
    EXPECT_EQ(d.maxCategories, 10);
    EXPECT_EQ(d.maxTemplates, 20);
    EXPECT_EQ(d.showImportInfo, 1);

    CIniFile ini =
        CIniFile::FromText("[MAINDESK]\nRDONLY=1\nTheme=10\n[RUXToolbar]\nMain=0\n[RUXCat]\nMaxTpl=5\n");
    CShellSettings s = CShellSettings::Load(ini);
    EXPECT_EQ(s.readOnly, 1);
    EXPECT_EQ(s.theme, 10);
    EXPECT_EQ(s.mainToolbar, 0);
    EXPECT_EQ(s.maxTemplates, 5);
    s.viewToolbar = 0;
    s.showImportInfo = 0;
    s.Save(ini);
    EXPECT_EQ(ini.Text(), "[MAINDESK]\nRDONLY=1\nTheme=10\n[RUXToolbar]\nMain=0\nView=0\n[RUXCat]\nMaxTpl=5\n"
                          "MaxCat=10\n\n[RUXCONF]\nShowQuodexImportInfoDlg=0\n");
}

} // namespace
} // namespace rux
