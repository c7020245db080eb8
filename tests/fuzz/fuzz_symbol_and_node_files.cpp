// Feeds arbitrary bytes to the symbol-file and node-database readers, and to the identifier scan
// that every program line and diagram payload goes through. The first line of the input is the
// program's name for the node database; the rest is the file.
#include "document/identifier_scan.h"
#include "document/program_paths.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    for (const std::string& name : rux::ParseSymbolFile(bytes))
        if (name.empty() || name.find(' ') != std::string::npos || name.find('\n') != std::string::npos)
            std::abort(); // a symbol never holds a blank or a line break, and is never empty

    const size_t lf = bytes.find('\n');
    const std::string_view program = lf == std::string_view::npos ? bytes : bytes.substr(0, lf);
    const std::string_view file = lf == std::string_view::npos ? std::string_view() : bytes.substr(lf + 1);
    const std::string label = rux::ParseNodeLabel(file, program);
    if (label.size() > file.size()) std::abort();

    size_t words = 0;
    auto count = [&](std::string_view word) {
        if (word.empty() || !rux::IsIdentifierStart(word.front()) || word.data() < bytes.data() ||
            word.data() + word.size() > bytes.data() + bytes.size())
            std::abort(); // every word is a non-empty slice of the input that starts like a name
        ++words;
    };
    rux::ScanLineIdentifiers(bytes, count);
    rux::ScanFbdIdentifiers(bytes, count);
    return static_cast<int>(words & 0);
}
