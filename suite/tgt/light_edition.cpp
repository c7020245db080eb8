#include "light_edition.h"

#include "ini_text.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string_view>

namespace rux::tgt {
namespace {

bool StartsWithNoCase(std::string_view line, std::string_view prefix) {
    return line.size() >= prefix.size() && EqualNoCase(line.substr(0, prefix.size()), prefix);
}

} // namespace

bool IsLightEditionFile(const std::string& programPath) {
    // Never open a FIFO or device: reading one could wait for ever.
    std::error_code ec;
    if (!std::filesystem::is_regular_file(programPath, ec)) return false;
    std::ifstream in(programPath, std::ios::binary);
    std::string line;
    const auto next = [&] {
        if (!std::getline(in, line)) return false;
        std::erase(line, '\r'); // the editor's reader drops every CR as well
        return true;
    };
    if (!next() || !StartsWithNoCase(line, "$*TORVEL/RUX-V1")) return false;
    bool inIdent = false;
    while (next()) {
        if (!inIdent) {
            inIdent = StartsWithNoCase(line, "#info=") && line.substr(6) == "Ident";
            continue;
        }
        if (StartsWithNoCase(line, "#endinfo")) return false;
        // As the editor reads the key: the value starts after the first 7 characters ("H2Lite=").
        if (StartsWithNoCase(line, "H2Lite")) return line.size() > 7 && std::atoi(line.c_str() + 7) != 0;
    }
    return false;
}

} // namespace rux::tgt
