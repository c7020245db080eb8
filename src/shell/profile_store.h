// Settings files that stand in for the registry: the editor's profile key and the suite's machine key.
#pragma once

#include "shell/ini_file.h"
#include "shell/window_placement.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace rux {

// A registry key becomes one settings file: the key path, with its parts as directories, plus
// ".ini" under a configuration directory; each subkey of the key is a section and each value a
// key of that section. So the profile value "Recent File List\File1" of Orlenco\HALM2\H2RuxEdit
// lives in <user config>/Orlenco/HALM2/H2RuxEdit.ini, section [Recent File List], key File1.
class CProfileStore {
public:
    static constexpr const char* kProfileKey = "Orlenco\\HALM2\\H2RuxEdit";
    // The suite's machine key Software\Orlenco\HALM\Settings: "Software" is what the configuration
    // directory already is, and "Settings" is the section.
    static constexpr const char* kMachineKey = "Orlenco\\HALM";
    static constexpr const char* kMachineSection = "Settings";
    static constexpr const char* kFramePlacementSection = "Settings";
    static constexpr const char* kFramePlacementEntry = "Window Position2";

    CProfileStore(std::string_view rootDir, std::string_view keyPath);
    // The editor's profile under the user's configuration directory.
    static CProfileStore UserProfile();
    // The suite's machine-wide settings under the system configuration directory.
    static CProfileStore MachineSettings();

    const std::string& FilePath() const { return m_ini.Path(); }

    int GetInt(std::string_view section, std::string_view entry, int def) const;
    std::string GetString(std::string_view section, std::string_view entry, std::string_view def) const;
    // Creates the directories on the way as needed; a failure is reported but changes nothing.
    bool WriteInt(std::string_view section, std::string_view entry, int value);
    bool WriteString(std::string_view section, std::string_view entry, std::string_view value);

    std::optional<CWindowPlacement> LoadFramePlacement() const;
    bool SaveFramePlacement(const CWindowPlacement& placement);

    // 1 when the machine setting SysCtrl is non-zero, else 0 (also when the file or value is missing).
    static int32_t ReadSystemControlFlag();

private:
    bool MakeParentDir() const;

    CIniFile m_ini;
};

} // namespace rux
