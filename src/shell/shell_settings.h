// The frame's plain keys in Torvel.ini: read-only opening, theme, toolbars, template limits, import box.
#pragma once

#include "shell/window_placement.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace rux {

class CIniFile;

struct CShellSettings {
    int32_t readOnly = 0;       // MAINDESK/RDONLY
    int32_t theme = 2;          // MAINDESK/Theme
    int32_t mainToolbar = 1;    // RUXToolbar/Main
    int32_t viewToolbar = 1;    // RUXToolbar/View
    int32_t maxCategories = 10; // RUXCat/MaxCat
    int32_t maxTemplates = 20;  // RUXCat/MaxTpl
    int32_t showImportInfo = 1; // RUXCONF/ShowQuodexImportInfoDlg

    // Every key that is missing or empty keeps the default above.
    static CShellSettings Load(const CIniFile& ini);
    // What the frame writes when it closes: toolbars, template limits and the import flag, with "%d".
    // RDONLY is only ever read, and the theme is stored when it is applied.
    void Save(CIniFile& ini) const;

    // Placement of a resizable dialog, section "Settings"; nothing when absent or malformed.
    static std::optional<CWindowPlacement> LoadDialogPlacement(const CIniFile& ini, std::string_view key);
    static void SaveDialogPlacement(CIniFile& ini, std::string_view key, const CWindowPlacement& placement);
};

} // namespace rux
