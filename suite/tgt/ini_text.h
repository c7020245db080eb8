// targets.ini read from memory: sections and keys compared without case, first match wins.
#pragma once

#include "ini/ini_lines.h"

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace rux::tgt {

using ini::EqualNoCase;
using ini::Trim;

class CIniText {
public:
    struct CSection {
        std::string name;
        std::vector<std::pair<std::string, std::string>> keys;
    };

    // Hand-edited data files take "#" comments as well as ";" ones.
    static constexpr ini::CDialect kDialect{";#", true};

    // Keys before the first header or after a broken one, and lines without "=", are skipped.
    static CIniText Parse(std::string_view text) {
        CIniText ini;
        ini::CLineReader reader(text, kDialect);
        ini::CLine line;
        while (reader.Next(line)) {
            if (line.kind == ini::ELineKind::Section)
                ini.m_sections.push_back({std::string(line.name), {}});
            else if (line.kind == ini::ELineKind::Key && line.inSection)
                ini.m_sections.back().keys.emplace_back(std::string(line.name), std::string(line.value));
        }
        return ini;
    }

    // Null when the section or key is absent; an empty value is an empty text, not an absent one. A
    // section may be split over several headers; the first header's keys are searched first.
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
