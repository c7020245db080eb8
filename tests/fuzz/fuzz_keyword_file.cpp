// Feeds arbitrary bytes to the keyword-file reader and classifies every line of the same bytes.
#include "editor/keyword_table.h"
#include "editor/line_classifier.h"
#include "editor/name_set.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    rux::CKeywordTable table;
    table.AddFileText(bytes);
    table.AddBuiltIns();

    const rux::CNameSet identifiers = {"Speed%", "x", "#1.21"};
    std::vector<rux::CColourRun> runs;
    size_t pos = 0;
    unsigned n = 0;
    while (pos <= bytes.size()) {
        size_t end = bytes.find('\n', pos);
        if (end == std::string_view::npos) end = bytes.size();
        const std::string_view line = bytes.substr(pos, end - pos);
        // Vary flags and selection from line to line, with columns outside the line too.
        const int selStart = static_cast<int>(n % 7) - 2;
        const int selEnd = selStart + static_cast<int>(line.size() % 11);
        rux::ClassifyLine(line, selStart, selEnd, n % 8, &identifiers, table, runs);
        // The runs must tile the line exactly.
        uint32_t next = 0;
        for (const rux::CColourRun& run : runs) {
            if (run.offset != next || run.length == 0) std::abort();
            next += run.length;
        }
        if (next != line.size()) std::abort();
        if (table.IsKeyword(line) != table.IsKeyword(std::string(line))) std::abort();
        pos = end + 1;
        ++n;
    }
    return 0;
}
