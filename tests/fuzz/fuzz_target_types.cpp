// Feeds arbitrary bytes to the reader of targets.ini and asks the table the questions the library asks.
#include "../../suite/tgt/target_table.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const rux::tgt::CTargetTable table = rux::tgt::CTargetTable::Parse(text);
    for (const rux::tgt::CTypeRule& rule : table.Rules()) {
        // Every rule names a type of the table, so every answer it gives can be looked up.
        if (table.FindType(rule.type) == nullptr) std::abort();
        const std::string type = table.TypeFromDriveAndTarget(rule.drive, rule.target);
        if (!type.empty() && table.FindType(type) == nullptr) std::abort();
    }
    for (const rux::tgt::CTargetType& t : table.Types()) {
        if (table.FindType(t.id) != &t) std::abort(); // ids are unique without regard to case
        for (size_t i = 0; i < t.tasks.size(); ++i)
            if (table.TaskName(t.id, int32_t(i)) != t.tasks[i]) std::abort();
    }
    return 0;
}
