// Fuzzes the settings-file reader and writer with arbitrary text held in memory.
#include "shell/ini_file.h"
#include "shell/window_placement.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

void Check(bool ok) {
    if (!ok) std::abort();
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i] >= 'A' && a[i] <= 'Z' ? static_cast<char>(a[i] + 32) : a[i];
        char y = b[i] >= 'A' && b[i] <= 'Z' ? static_cast<char>(b[i] + 32) : b[i];
        if (x != y) return false;
    }
    return true;
}

// Section and key names that occur in the text, found by a deliberately crude reading of it, so the
// checks below look at keys that exist and not only at ones the reader never finds.
std::vector<std::pair<std::string, std::string>> Names(std::string_view text) {
    std::vector<std::pair<std::string, std::string>> names;
    std::string section;
    std::size_t pos = 0;
    while (pos < text.size() && names.size() < 16) {
        std::size_t nl = text.find('\n', pos);
        std::string_view line = Trim(text.substr(pos, nl == text.npos ? text.npos : nl - pos));
        pos = nl == text.npos ? text.size() : nl + 1;
        if (!line.empty() && line.front() == '[' && line.find(']') != line.npos)
            section = std::string(Trim(line.substr(1, line.find(']') - 1)));
        else if (line.find('=') != line.npos)
            names.emplace_back(section, std::string(Trim(line.substr(0, line.find('=')))));
    }
    names.emplace_back("Editor", "AutoIndent");
    names.emplace_back("Settings", "Window Position2");
    return names;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    const rux::CIniFile ini = rux::CIniFile::FromText(text);
    auto names = Names(text);

    std::vector<std::optional<std::string>> before;
    for (const auto& [section, key] : names) {
        std::optional<std::string> value = ini.Find(section, key);
        if (value) {
            Check(!value->empty() && !IsBlank(value->front()) && !IsBlank(value->back()));
            Check(value->find('\n') == std::string::npos);
            Check(ini.GetString(section, key, "").size() < rux::CIniFile::kMaxValue);
            ini.GetInt(section, key, 0);
            if (auto placement = rux::CWindowPlacement::Parse(*value))
                Check(rux::CWindowPlacement::Parse(placement->Format()) == placement);
        } else {
            Check(ini.GetInt(section, key, 12345) == 12345);
        }
        before.push_back(std::move(value));
    }

    // A write must be readable back and must leave every other key as it was.
    for (std::size_t target = 0; target < names.size(); target += 3) {
        rux::CIniFile copy = ini;
        const auto& [section, key] = names[target];
        if (!copy.WriteString(section, key, "fuzz value 42")) continue;
        Check(copy.Find(section, key) == std::optional<std::string>("fuzz value 42"));
        for (std::size_t i = 0; i < names.size(); ++i) {
            bool same = EqualNoCase(Trim(names[i].first), Trim(section)) && EqualNoCase(names[i].second, key);
            if (!same) Check(copy.Find(names[i].first, names[i].second) == before[i]);
        }
    }
    return 0;
}
