#include "shell/product_paths.h"

#include "target/product_directory.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace rux {

namespace {

std::string EnvOrEmpty(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? std::string(value) : std::string();
}

} // namespace

std::string CProductPaths::ProductDir() {
    const std::string dir = ProductDirectory();
    return dir.empty() ? std::string(".") : dir;
}

std::string CProductPaths::SettingsFile() {
    return Join(ProductDir(), "Torvel.ini");
}

std::string CProductPaths::HelpDir() {
    return Join(ProductDir(), "Help");
}

std::string CProductPaths::UserConfigDir() {
    // XDG says a relative value is invalid and must be ignored.
    std::string dir = EnvOrEmpty("XDG_CONFIG_HOME");
    if (!dir.empty() && dir.front() == '/') return dir;
    std::string home = EnvOrEmpty("HOME");
    return Join(home.empty() ? "/tmp" : home, ".config");
}

std::string CProductPaths::SystemConfigDir() {
    std::string dirs = EnvOrEmpty("XDG_CONFIG_DIRS");
    std::string first = dirs.substr(0, dirs.find(':'));
    if (!first.empty() && first.front() == '/') return first;
    return "/etc/xdg";
}

std::string CProductPaths::Join(std::string_view dir, std::string_view name) {
    if (dir.empty()) return std::string(name);
    if (name.empty()) return std::string(dir);
    std::string out(dir);
    if (out.back() != '/') out += '/';
    while (!name.empty() && name.front() == '/')
        name.remove_prefix(1);
    out += name;
    return out;
}

} // namespace rux
