#include "shell/no_bracket_fb_list.h"

#include "shell/ini_file.h"
#include "shell/product_paths.h"

#include <optional>

namespace rux {

void CNoBracketFbList::Load(const CIniFile& isaLib) {
    m_names.clear();
    for (int n = 1;; ++n) {
        std::optional<std::string> name = isaLib.Find(kSection, std::to_string(n));
        if (!name) break;
        m_names.insert(ToUpperAscii(*name));
    }
}

void CNoBracketFbList::LoadFromProductDir() {
    Load(CIniFile(CProductPaths::Join(CProductPaths::ProductDir(), "isa.lib")));
}

bool CNoBracketFbList::IsBracketFb(std::string_view name) const {
    return m_names.find(ToUpperAscii(name)) == m_names.end();
}

std::string CNoBracketFbList::ToUpperAscii(std::string_view text) {
    std::string out(text);
    // Only ASCII letters change: block names are ASCII, and bytes of the code page above 127 must
    // not be reinterpreted by the C locale.
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return out;
}

} // namespace rux
