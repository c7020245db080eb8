// Named styles (font, colours, tabs) in HALM.STY, which the user applies or saves the current look as.
#pragma once

#include "shell/ini_file.h"

#include <string>
#include <string_view>
#include <vector>

namespace rux {

class CSetting;

class CStyleFile {
public:
    static constexpr const char* kNameSection = "STYLE_NAME";

    explicit CStyleFile(CIniFile ini) : m_ini(std::move(ini)) {}
    // HALM.STY in the product directory.
    static CStyleFile ProductStyles();

    // Style1, Style2, ... up to the first missing key.
    std::vector<std::string> Names() const;
    // Reads the style's section into the settings; keys the style lacks leave their setting as it
    // was. Returns false when the name is empty or no key of its section is present.
    bool Apply(std::string_view name, CSetting& setting) const;
    // Writes the settings under the name: the numbered key that already holds the name (compared
    // without case, as the section names are) is reused, else the first free number is taken.
    // Returns false for an empty name or a failed write.
    bool SaveAs(std::string_view name, const CSetting& setting);

    const CIniFile& Ini() const { return m_ini; }

private:
    CIniFile m_ini;
};

} // namespace rux
