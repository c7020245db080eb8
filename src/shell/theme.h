// Theme numbers: the four menu entries, the pane theme each drives, and where the choice is stored.
#pragma once

#include <cstdint>
#include <span>

namespace rux {

class CIniFile;

struct CThemeEntry {
    int command;
    const char* name;
    int32_t number;
    int32_t paneTheme;
};

class CThemeTable {
public:
    static constexpr int32_t kDefaultTheme = 2;

    // Zinc, Titanium, Cobalt, Tungsten in menu order.
    static std::span<const CThemeEntry> Entries();
    static const CThemeEntry* FindByCommand(int command);
    // The pane theme for a stored theme number. Numbers outside the menu pass through unchanged,
    // except 10, whose docking panes have their own theme 19.
    static int32_t PaneTheme(int32_t number);

    // MAINDESK/Theme, 2 when absent.
    static int32_t Load(const CIniFile& ini);
    static void Store(CIniFile& ini, int32_t number);
};

} // namespace rux
