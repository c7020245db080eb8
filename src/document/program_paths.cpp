#include "document/program_paths.h"

#include "document/item.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/stat.h>

namespace rux {
namespace {

bool ReadWholeFile(const std::string& path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

// Calls f for every line, its CR LF or LF removed.
template <class F> void ForEachLine(std::string_view text, F&& f) {
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        const size_t next = end == std::string_view::npos ? text.size() : end + 1;
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (!f(line)) return;
        start = next;
    }
}

bool IsFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

} // namespace

std::string FileNameOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string FileStemOf(const std::string& path) {
    std::string name = FileNameOf(path);
    const size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0) name.erase(dot);
    return name;
}

std::string FolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string ReplaceExtension(const std::string& path, std::string_view extension) {
    if (path.empty()) return {};
    const size_t slash = path.rfind('/');
    const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    const size_t dot = path.rfind('.');
    // A dot that starts the name (".hidden") or sits in a folder name is no extension.
    const bool hasExtension = dot != std::string::npos && dot > nameStart;
    return (hasExtension ? path.substr(0, dot) : path) + std::string(extension);
}

std::string DocumentPathOf(const std::string& path) {
    if (path.empty()) return path;
    std::error_code ec;
    const std::filesystem::path full = std::filesystem::weakly_canonical(std::filesystem::absolute(path, ec), ec);
    return ec ? path : full.string();
}

std::vector<std::string> ParseSymbolFile(std::string_view text) {
    std::vector<std::string> names;
    ForEachLine(text, [&](std::string_view line) {
        if (const size_t blank = line.find(' '); blank != std::string_view::npos)
            line = line.substr(0, blank);
        while (!line.empty() && IsBlank(line.back()))
            line.remove_suffix(1);
        if (!line.empty()) names.emplace_back(line);
        return true;
    });
    return names;
}

std::vector<std::string> ReadSymbolFile(const std::string& path) {
    std::string text;
    if (path.empty() || !ReadWholeFile(path, text)) return {};
    return ParseSymbolFile(text);
}

std::string ParseNodeLabel(std::string_view text, std::string_view programName) {
    std::string label;
    ForEachLine(text, [&](std::string_view line) {
        const size_t eq = line.find('=');
        if (eq == std::string_view::npos) return true;
        if (!EqualsNoCase(line.substr(eq + 1), programName)) return true;
        label = std::string(TrimBlanks(line.substr(0, eq)));
        return false;
    });
    return label;
}

std::string ProjectFolderOf(const std::string& programPath) {
    return programPath.empty() ? std::string() : FolderOf(programPath);
}

std::string NodeDatabaseName(const std::string& programPath) {
    return FileStemOf(programPath);
}

std::string NodeDatabasePath(const std::string& programPath) {
    const std::string folder = ProjectFolderOf(programPath);
    if (folder.empty()) return {};
    // The symbol library opens the same file as "HALM2.NAD"; on a file system that tells case
    // apart, either spelling is the node database.
    const std::string lower = folder + "/halm2.nad";
    if (IsFile(lower)) return lower;
    const std::string upper = folder + "/HALM2.NAD";
    return IsFile(upper) ? upper : lower;
}

std::string ReadNodeLabel(const std::string& programPath) {
    const std::string path = NodeDatabasePath(programPath);
    std::string text;
    if (path.empty() || !ReadWholeFile(path, text)) return {};
    return ParseNodeLabel(text, NodeDatabaseName(programPath));
}

} // namespace rux
