#include "document/library_name.h"

namespace rux {

bool IsValidLibraryName(std::string_view name) {
    if (name.empty()) return false;
    // Code page 1252 bytes: 0xA7 section sign, 0xA3 pound sign, 0xB5 micro sign.
    static constexpr std::string_view kExcluded = " \t_<>{}[]|!*#\\/\xA7$\xA3\xB5+-();&',.:=?@^~";
    const auto first = static_cast<unsigned char>(name.front());
    if (first < 'A') return false;
    for (size_t i = 0; i < name.size(); ++i) {
        const char c = name[i];
        if (kExcluded.find(c) != std::string_view::npos) return false;
        if (i == 0) continue;
        if (c == '%' && i + 1 == name.size()) continue;
        if (static_cast<unsigned char>(c) < '0') return false;
    }
    return true;
}

} // namespace rux
