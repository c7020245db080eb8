// Feeds arbitrary bytes to the program loader through a real file, then saves the result.
#include "core/build.h"
#include "core/program_source.h"
#include "same_source_items.h"
#include "document/header_item.h"
#include "document/program.h"
#include "document/program_file.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = "/tmp/rux_fuzz_load_" + std::to_string(::getpid()) + ".rux";
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(data, 1, size, f);
        std::fclose(f);
    } else {
        return 0;
    }
    // The compiler reads the same file into its own items first (Load may rewrite it): they must
    // be the document's, item for item, header included.
    rux::cmp::ProgramSource source;
    const bool sourceRead = rux::cmp::ReadProgramSource(path, source);
    rux::CProgram program;
    if (rux::Load(program, path) != sourceRead) std::abort();
    if (sourceRead) {
        if (program.HasFormat() != source.format) std::abort();
        if (!SameSourceItems(rux::cmp::ItemsOf(program), source.items)) std::abort();
        const rux::CPar* header = program.GetHeader();
        if (source.header.has_value() != (header != nullptr) || (header && !(*source.header == header->Header())))
            std::abort();
    }
    // Whatever was read must save and load back without trouble.
    rux::Save(program, path);
    rux::CProgram again;
    rux::Load(again, path);
    return 0;
}
