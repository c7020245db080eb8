#include "target_data.h"

#include <cstdlib>
#include <dlfcn.h>
#include <fstream>
#include <iterator>
#include <mutex>
#include <sys/stat.h>

namespace rux::tgt {

std::string DataDirectory() {
    if (const char* home = std::getenv("RUXEDIT_HOME"); home != nullptr && *home != '\0') return home;
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&DataDirectory), &info) != 0 && info.dli_fname != nullptr) {
        const std::string self = info.dli_fname;
        const size_t slash = self.find_last_of('/');
        if (slash != std::string::npos) return self.substr(0, slash);
    }
    return ".";
}

std::shared_ptr<const CTargetTable> CurrentTargetTable() {
    static std::mutex mutex;
    static std::shared_ptr<const CTargetTable> table;
    static std::string loadedPath;
    static struct timespec loadedTime {};
    static off_t loadedSize = -1;

    const std::string path = DataDirectory() + "/targets.ini";
    struct stat st {};
    const bool exists = ::stat(path.c_str(), &st) == 0;
    const off_t size = exists ? st.st_size : -1;

    const std::lock_guard lock(mutex);
    if (table && path == loadedPath && size == loadedSize && st.st_mtim.tv_sec == loadedTime.tv_sec &&
        st.st_mtim.tv_nsec == loadedTime.tv_nsec)
        return table;
    std::string text;
    if (exists) {
        std::ifstream in(path, std::ios::binary);
        text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    table = std::make_shared<const CTargetTable>(CTargetTable::Parse(text));
    loadedPath = path;
    loadedSize = size;
    loadedTime = exists ? st.st_mtim : timespec{};
    return table;
}

} // namespace rux::tgt
