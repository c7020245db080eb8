// Function blocks that are called without brackets, read from isa.lib in the product directory.
#pragma once

#include <set>
#include <string>
#include <string_view>

namespace rux {

class CIniFile;

class CNoBracketFbList {
public:
    static constexpr const char* kSection = "NoBracketFBs";

    // Keys "1", "2", ... of section NoBracketFBs, up to the first missing or empty one; names are
    // upper-cased. A missing file gives an empty list. Replaces what was loaded before.
    void Load(const CIniFile& isaLib);
    // isa.lib in the product directory.
    void LoadFromProductDir();

    // True when the name, upper-cased, is not in the list.
    bool IsBracketFb(std::string_view name) const;
    const std::set<std::string>& Names() const { return m_names; }

    static std::string ToUpperAscii(std::string_view text);

private:
    std::set<std::string> m_names;
};

} // namespace rux
