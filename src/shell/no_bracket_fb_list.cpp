#include "shell/no_bracket_fb_list.h"

#include "document/ascii_text.h"

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

std::string CNoBracketFbList::ToUpperAscii(std::string_view text) { return UpperAsciiCopy(text); }

} // namespace rux
