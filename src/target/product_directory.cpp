#include "target/product_directory.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace rux {

std::string ProductDirectory() {
    if (const char* home = std::getenv("RUXEDIT_HOME"); home != nullptr && *home != '\0') return home;
    std::error_code ec;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : exe.parent_path().string();
}

} // namespace rux
