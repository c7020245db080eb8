// Profile-file text read from memory: sections and keys compared without case, first match wins.
#pragma once

#include <algorithm>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace rux::tgt {

inline bool EqualNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
               return lower(x) == lower(y);
           });
}

inline std::string_view Trim(std::string_view s) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!s.empty() && blank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && blank(s.back()))
        s.remove_suffix(1);
    return s;
}

class CIniText {
public:
    struct CSection {
        std::string name;
        std::vector<std::pair<std::string, std::string>> keys;
    };

    // Lines before the first section header, lines without "=" and malformed headers are ignored, as
    // the classic profile functions do. Comment lines start with ";" or "#".
    static CIniText Parse(std::string_view text) {
        CIniText ini;
        CSection* current = nullptr;
        while (!text.empty()) {
            const size_t end = text.find('\n');
            std::string_view line = Trim(text.substr(0, end));
            text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
            if (line.empty() || line.front() == ';' || line.front() == '#') continue;
            if (line.front() == '[') {
                const size_t close = line.find(']');
                if (close == std::string_view::npos) {
                    current = nullptr;
                    continue;
                }
                ini.m_sections.push_back({std::string(Trim(line.substr(1, close - 1))), {}});
                current = &ini.m_sections.back();
                continue;
            }
            const size_t eq = line.find('=');
            if (current == nullptr || eq == std::string_view::npos) continue;
            current->keys.emplace_back(std::string(Trim(line.substr(0, eq))),
                                       std::string(Trim(line.substr(eq + 1))));
        }
        return ini;
    }

    // Null when the section or key is absent. A section may be split over several headers; the
    // first header's keys are searched first.
    const std::string* Find(std::string_view section, std::string_view key) const {
        for (const CSection& s : m_sections) {
            if (!EqualNoCase(s.name, section)) continue;
            for (const auto& [k, v] : s.keys)
                if (EqualNoCase(k, key)) return &v;
        }
        return nullptr;
    }

    std::string Get(std::string_view section, std::string_view key, std::string_view fallback = {}) const {
        const std::string* v = Find(section, key);
        return v ? *v : std::string(fallback);
    }

    bool Empty() const { return m_sections.empty(); }

private:
    std::vector<CSection> m_sections;
};

} // namespace rux::tgt
