#include "shell/profile_store.h"

#include "shell/product_paths.h"

#include <filesystem>
#include <system_error>

namespace rux {

namespace {

std::string KeyFile(std::string_view rootDir, std::string_view keyPath) {
    std::string relative(keyPath);
    for (char& c : relative)
        if (c == '\\') c = '/';
    return CProductPaths::Join(rootDir, relative) + ".ini";
}

} // namespace

CProfileStore::CProfileStore(std::string_view rootDir, std::string_view keyPath)
    : m_ini(KeyFile(rootDir, keyPath)) {}

CProfileStore CProfileStore::UserProfile() {
    return CProfileStore(CProductPaths::UserConfigDir(), kProfileKey);
}

CProfileStore CProfileStore::MachineSettings() {
    return CProfileStore(CProductPaths::SystemConfigDir(), kMachineKey);
}

int CProfileStore::GetInt(std::string_view section, std::string_view entry, int def) const {
    return m_ini.GetInt(section, entry, def);
}

std::string CProfileStore::GetString(std::string_view section, std::string_view entry,
                                     std::string_view def) const {
    return m_ini.GetString(section, entry, def);
}

bool CProfileStore::MakeParentDir() const {
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(m_ini.Path()).parent_path(), ec);
    return !ec;
}

bool CProfileStore::WriteInt(std::string_view section, std::string_view entry, int value) {
    return MakeParentDir() && m_ini.WriteInt(section, entry, value);
}

bool CProfileStore::WriteString(std::string_view section, std::string_view entry, std::string_view value) {
    return MakeParentDir() && m_ini.WriteString(section, entry, value);
}

std::optional<CWindowPlacement> CProfileStore::LoadFramePlacement() const {
    return CWindowPlacement::Parse(GetString(kFramePlacementSection, kFramePlacementEntry, ""));
}

bool CProfileStore::SaveFramePlacement(const CWindowPlacement& placement) {
    return WriteString(kFramePlacementSection, kFramePlacementEntry, placement.Format());
}

int32_t CProfileStore::ReadSystemControlFlag() {
    return MachineSettings().GetInt(kMachineSection, "SysCtrl", 0) != 0 ? 1 : 0;
}

} // namespace rux
