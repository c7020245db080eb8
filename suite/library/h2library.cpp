// Entry points of the library service: the library directory, creating and listing libraries.
#include "h2library.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

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

H2_API int32_t H2LIBRARY_SetDirectory(const char* directory) try {
    if (directory == nullptr || *directory == '\0') return 0;
    std::lock_guard lock(g_mutex);
    g_directory = directory;
    return 1;
} catch (...) {
    return 0;
}

// A library is a folder named after it holding "<name>.lib"; the file starts with one comment line
// so that a reader can tell an empty library from a damaged one.
H2_API int32_t H2LIBRARY_CreateLibrary(const char* name) try {
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
} catch (...) {
    return -2;
}

namespace {

// The target kind a library declares in the comment lines that open its file: a line
// "; TargetKind=N". 0 (or no such line) means the library serves every kind.
int DeclaredTargetKind(const fs::path& file) {
    FILE* in = std::fopen(file.c_str(), "rb");
    if (!in) return -1;
    int kind = 0;
    char line[512];
    while (std::fgets(line, sizeof line, in) && line[0] == ';') {
        const char* p = line + 1;
        while (*p == ' ' || *p == '\t') ++p;
        static const char key[] = "TargetKind=";
        if (std::strncmp(p, key, sizeof key - 1) == 0) {
            kind = std::atoi(p + sizeof key - 1);
            break;
        }
    }
    std::fclose(in);
    return kind;
}

} // namespace

// A library is a folder of the library directory that holds "<folder name>.lib".
H2_API int32_t H2LIBRARY_GetAvailableLibraries(H2LIBRARY_NameCallback add, void* context, int32_t targetKind) try {
    std::vector<std::string> names;
    {
        std::lock_guard lock(g_mutex);
        std::error_code ec;
        for (fs::directory_iterator it(Directory(), ec), end; !ec && it != end; it.increment(ec)) {
            if (!it->is_directory(ec)) continue;
            const std::string name = it->path().filename().string();
            const int kind = DeclaredTargetKind(it->path() / (name + ".lib"));
            if (kind < 0) continue;
            if (targetKind == 0 || kind == 0 || kind == targetKind) names.push_back(name);
        }
    }
    std::sort(names.begin(), names.end());
    if (add)
        for (const std::string& name : names) add(context, name.c_str());
    return static_cast<int32_t>(names.size());
} catch (...) {
    return 0;
}
