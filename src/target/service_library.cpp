#include "target/service_library.h"

#include "target/product_directory.h"

#include <dlfcn.h>
#include <filesystem>

namespace rux {
namespace {

bool EndsWithNoCase(std::string_view s, std::string_view suffix) {
    if (s.size() < suffix.size()) return false;
    for (size_t i = 0; i < suffix.size(); ++i) {
        const char c = s[s.size() - suffix.size() + i];
        const char lower = c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
        if (lower != suffix[i]) return false;
    }
    return true;
}

} // namespace

std::string CServiceLibrary::FileNameFor(std::string_view name) {
    if (name.ends_with(".so") || name.find(".so.") != std::string_view::npos) return std::string(name);
    if (EndsWithNoCase(name, ".dll")) name.remove_suffix(4);
    return "lib" + std::string(name) + ".so";
}

CServiceLibrary::CServiceLibrary(std::string_view suiteName, const std::string& directory) {
    if (suiteName.empty()) return;
    const std::string file = FileNameFor(suiteName);
    const std::string dir = directory.empty() ? ProductDirectory() : directory;
    // RTLD_LOCAL keeps each library's symbols to itself, so two libraries never bind to each other's.
    if (!dir.empty()) {
        const std::string full = (std::filesystem::path(dir) / file).string();
        std::error_code ec;
        if (std::filesystem::exists(full, ec)) m_handle = ::dlopen(full.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (m_handle != nullptr) m_path = full;
    }
    if (m_handle == nullptr) {
        m_handle = ::dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (m_handle != nullptr) m_path = file;
    }
}

CServiceLibrary::~CServiceLibrary() {
    if (m_handle != nullptr) ::dlclose(m_handle);
}

void* CServiceLibrary::Resolve(const char* entry) const {
    if (m_handle == nullptr || entry == nullptr) return nullptr;
    return ::dlsym(m_handle, entry);
}

} // namespace rux
