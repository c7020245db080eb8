// Entry points of the library service: the library directory and creating a library.
#include "h2library.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::mutex g_mutex;
std::string g_directory;

// Until the editor names one: "Libs" in the product directory.
std::string Directory() {
    if (!g_directory.empty()) return g_directory;
    if (const char* home = std::getenv("RUXEDIT_HOME"); home && *home) return std::string(home) + "/Libs";
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    return ec ? std::string("Libs") : (exe.parent_path() / "Libs").string();
}

} // namespace

H2_API int32_t H2LIBRARY_SetDirectory(const char* directory) {
    if (directory == nullptr || *directory == '\0') return 0;
    std::lock_guard lock(g_mutex);
    g_directory = directory;
    return 1;
}

// A library is a folder named after it holding "<name>.lib"; the file starts with one comment line
// so that a reader can tell an empty library from a damaged one.
H2_API int32_t H2LIBRARY_CreateLibrary(const char* name) {
    if (name == nullptr || *name == '\0' || std::string(name).find('/') != std::string::npos) return -2;
    std::lock_guard lock(g_mutex);
    const fs::path root = Directory();
    std::error_code ec;
    fs::create_directories(root, ec);
    const fs::path folder = root / name;
    if (::mkdir(folder.c_str(), 0777) != 0) return errno == EEXIST ? -1 : -2;
    const fs::path file = folder / (std::string(name) + ".lib");
    FILE* out = std::fopen(file.c_str(), "wbx");
    bool ok = out != nullptr;
    if (out) {
        ok = std::fprintf(out, "; RUX function block library %s\n", name) > 0;
        ok = (std::fclose(out) == 0) && ok;
    }
    if (!ok) {
        fs::remove(file, ec);
        fs::remove(folder, ec);
        return -2;
    }
    return 1;
}
