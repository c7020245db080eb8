#include "group_file.h"

#include "fileio/safe_file.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace rux::grp {

std::string GroupFilePath() {
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg)
        return std::string(xdg) + "/rux/groups.txt";
    const char* home = std::getenv("HOME");
    return std::string(home && *home ? home : ".") + "/.config/rux/groups.txt";
}

std::string NormalisePath(const std::string& path) {
    std::error_code ec;
    fs::path p = fs::absolute(path, ec);
    if (ec) p = path;
    const fs::path canonical = fs::weakly_canonical(p, ec);
    return (ec ? p.lexically_normal() : canonical).string();
}

// "[name]" opens a group; every other non-empty line not starting with "#" is a file of it.
CGroups ReadGroups(const std::string& path) {
    CGroups groups;
    std::ifstream in(path, std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        if (line.front() == '[' && line.back() == ']' && line.size() >= 2)
            groups.emplace_back(line.substr(1, line.size() - 2), std::vector<std::string>{});
        else if (!groups.empty())
            groups.back().second.push_back(NormalisePath(line)); // the file may be edited by hand
    }
    return groups;
}

bool WriteGroups(const std::string& path, const CGroups& groups) {
    std::error_code ec;
    fs::create_directories(fs::path(path).parent_path(), ec);
    std::string text = "# File groups of the tool suite: [group], then one file per line\n";
    for (const auto& [name, files] : groups) {
        text += '[' + name + "]\n";
        for (const auto& file : files)
            text += file + '\n';
    }
    return rux::WriteFileSafely(path, text).ok;
}

} // namespace rux::grp
