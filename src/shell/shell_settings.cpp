#include "shell/shell_settings.h"

#include "shell/ini_file.h"
#include "shell/theme.h"

namespace rux {

CShellSettings CShellSettings::Load(const CIniFile& ini) {
    CShellSettings s;
    s.readOnly = ini.GetInt("MAINDESK", "RDONLY", s.readOnly);
    s.theme = CThemeTable::Load(ini);
    s.mainToolbar = ini.GetInt("RUXToolbar", "Main", s.mainToolbar);
    s.viewToolbar = ini.GetInt("RUXToolbar", "View", s.viewToolbar);
    s.maxCategories = ini.GetInt("RUXCat", "MaxCat", s.maxCategories);
    s.maxTemplates = ini.GetInt("RUXCat", "MaxTpl", s.maxTemplates);
    s.showImportInfo = ini.GetInt("RUXCONF", "ShowQuodexImportInfoDlg", s.showImportInfo);
    return s;
}

void CShellSettings::Save(CIniFile& ini) const {
    ini.WriteInt("RUXToolbar", "Main", mainToolbar);
    ini.WriteInt("RUXToolbar", "View", viewToolbar);
    ini.WriteInt("RUXCat", "MaxCat", maxCategories);
    ini.WriteInt("RUXCat", "MaxTpl", maxTemplates);
    ini.WriteInt("RUXCONF", "ShowQuodexImportInfoDlg", showImportInfo);
}

std::optional<CWindowPlacement> CShellSettings::LoadDialogPlacement(const CIniFile& ini,
                                                                    std::string_view key) {
    return CWindowPlacement::Parse(ini.GetString("Settings", key, ""));
}

void CShellSettings::SaveDialogPlacement(CIniFile& ini, std::string_view key,
                                         const CWindowPlacement& placement) {
    ini.WriteString("Settings", key, placement.Format());
}

} // namespace rux
