// Where the editor finds its own files and where it keeps the user's and the machine's settings.
#pragma once

#include <string>
#include <string_view>

namespace rux {

class CProductPaths {
public:
    // The directory of the executable, unless RUXEDIT_HOME names another one. Every file that ships
    // beside the editor (Torvel.ini, isa.lib, HALM.STY, Help/, Libs/) is looked up here.
    static std::string ProductDir();
    // Torvel.ini in the product directory.
    static std::string SettingsFile();
    // Help/ in the product directory.
    static std::string HelpDir();
    // $XDG_CONFIG_HOME, else ~/.config: the home of the per-user profile.
    static std::string UserConfigDir();
    // The first entry of $XDG_CONFIG_DIRS, else /etc/xdg: the home of machine-wide suite settings.
    static std::string SystemConfigDir();

    // Joins a directory and a name with exactly one '/' between them; an empty one yields the other.
    static std::string Join(std::string_view dir, std::string_view name);
};

} // namespace rux
