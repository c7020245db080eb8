#include "shell/theme.h"

#include "shell/ini_file.h"

namespace rux {

namespace {

constexpr CThemeEntry kThemes[] = {
    {33036, "Zinc", 0, 1},
    {33035, "Titanium", 1, 1},
    {33034, "Cobalt", 2, 2},
    {33033, "Tungsten", 3, 3},
};

} // namespace

std::span<const CThemeEntry> CThemeTable::Entries() {
    return kThemes;
}

const CThemeEntry* CThemeTable::FindByCommand(int command) {
    for (const CThemeEntry& e : kThemes)
        if (e.command == command) return &e;
    return nullptr;
}

int32_t CThemeTable::PaneTheme(int32_t number) {
    for (const CThemeEntry& e : kThemes)
        if (e.number == number) return e.paneTheme;
    return number == 10 ? 19 : number;
}

int32_t CThemeTable::Load(const CIniFile& ini) {
    return ini.GetInt("MAINDESK", "Theme", kDefaultTheme);
}

void CThemeTable::Store(CIniFile& ini, int32_t number) {
    ini.WriteLong("MAINDESK", "Theme", number);
}

} // namespace rux
