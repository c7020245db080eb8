// Entry points of the file-group library.
#include "h2group.h"

#include "group_file.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <set>
#include <string>

using namespace rux::grp;

namespace {

std::mutex g_mutex;
std::set<std::string> g_clients;

bool Registered(const char* client) {
    return client && g_clients.count(client) != 0;
}

std::string Text(const char* s) {
    return s ? s : "";
}

// The group holding the file, or groups.end().
CGroups::iterator FindFile(CGroups& groups, const std::string& file) {
    return std::find_if(groups.begin(), groups.end(), [&](const auto& g) {
        return std::find(g.second.begin(), g.second.end(), file) != g.second.end();
    });
}

} // namespace

H2_API int32_t H2GROUP_RegisterClient(H2HWND, const char* client) try {
    if (client == nullptr || *client == '\0') return 0;
    std::lock_guard lock(g_mutex);
    g_clients.insert(client);
    return 1;
} catch (...) {
    return 0;
}

H2_API void H2GROUP_UnregisterClient(const char* client) try {
    std::lock_guard lock(g_mutex);
    if (client) g_clients.erase(client);
} catch (...) {
}

H2_API int32_t H2GROUP_LoadGroups(const char* client) try {
    std::lock_guard lock(g_mutex);
    return Registered(client) ? 1 : 0;
} catch (...) {
    return 0;
}

H2_API int32_t H2GROUP_EditGroups(H2HWND, const char*) {
    return 0;
}

H2_API int32_t H2GROUP_NewGroup(const char* group, const char* client) try {
    std::lock_guard lock(g_mutex);
    if (!Registered(client) || Text(group).empty()) return 0;
    const std::string file = GroupFilePath();
    CGroups groups = ReadGroups(file);
    if (std::any_of(groups.begin(), groups.end(), [&](const auto& g) { return g.first == group; })) return 0;
    groups.emplace_back(group, std::vector<std::string>{});
    return WriteGroups(file, groups) ? 1 : 0;
} catch (...) {
    return 0;
}

H2_API int32_t H2GROUP_AddToGroup(const char* group, const char* path, const char* client) try {
    std::lock_guard lock(g_mutex);
    if (!Registered(client) || Text(group).empty() || Text(path).empty()) return 0;
    const std::string file = GroupFilePath();
    const std::string normal = NormalisePath(path);
    CGroups groups = ReadGroups(file);
    for (auto& g : groups)
        std::erase(g.second, normal);
    auto it = std::find_if(groups.begin(), groups.end(), [&](const auto& g) { return g.first == group; });
    if (it == groups.end()) it = groups.insert(groups.end(), {group, {}});
    it->second.push_back(normal);
    return WriteGroups(file, groups) ? 1 : 0;
} catch (...) {
    return 0;
}

H2_API int32_t H2GROUP_RemoveFromGroup(const char* path, const char* client) try {
    std::lock_guard lock(g_mutex);
    if (!Registered(client) || Text(path).empty()) return 0;
    const std::string file = GroupFilePath();
    CGroups groups = ReadGroups(file);
    auto it = FindFile(groups, NormalisePath(path));
    if (it == groups.end()) return 0;
    std::erase(it->second, NormalisePath(path));
    return WriteGroups(file, groups) ? 1 : 0;
} catch (...) {
    return 0;
}

H2_API int32_t H2GROUP_IsFileInGroup(const char* path, const char* client) try {
    std::lock_guard lock(g_mutex);
    if (!Registered(client) || Text(path).empty()) return 0;
    CGroups groups = ReadGroups(GroupFilePath());
    return FindFile(groups, NormalisePath(path)) != groups.end() ? 1 : 0;
} catch (...) {
    return 0;
}

H2_API int32_t H2GROUP_GetFileGroup(const char* path, const char* client, char* buffer, int32_t bufferSize) try {
    if (buffer == nullptr || bufferSize <= 0) return 0;
    buffer[0] = '\0';
    std::lock_guard lock(g_mutex);
    if (!Registered(client) || Text(path).empty()) return 0;
    CGroups groups = ReadGroups(GroupFilePath());
    auto it = FindFile(groups, NormalisePath(path));
    if (it == groups.end()) return 0;
    const size_t n = std::min(it->first.size(), static_cast<size_t>(bufferSize - 1));
    std::memcpy(buffer, it->first.data(), n);
    buffer[n] = '\0';
    return 1;
} catch (...) {
    return 0;
}

H2_API int32_t H2GROUP_FileChanged(H2HWND, const char* path, const char* client) try {
    std::lock_guard lock(g_mutex);
    if (!Registered(client) || Text(path).empty()) return 0;
    CGroups groups = ReadGroups(GroupFilePath());
    return FindFile(groups, NormalisePath(path)) != groups.end() ? 1 : 0;
} catch (...) {
    return 0;
}
