#include "shell/theme.h"

#include "shell/ini_file.h"
#include "shell/shell_settings.h"

#include <gtest/gtest.h>

namespace rux {
namespace {

TEST(Theme, MenuEntriesAndPaneThemes) {
    for (const CThemeEntry& e : CThemeTable::Entries())
        EXPECT_EQ(CThemeTable::FindByCommand(e.command), &e) << e.name;
    EXPECT_EQ(CThemeTable::FindByCommand(33037), nullptr);
    // The menu's looks share pane theme 1 for the first two; any other number is its own pane theme.
    const std::pair<int, int> panes[] = {{0, 1}, {1, 1}, {2, 2}, {3, 3},   {10, 19},
                                         {4, 4}, {9, 9}, {11, 11}, {19, 19}, {-1, -1}};
    for (const auto& [number, pane] : panes)
        EXPECT_EQ(CThemeTable::PaneTheme(number), pane) << number;
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
