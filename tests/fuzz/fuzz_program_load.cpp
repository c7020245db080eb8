// Feeds arbitrary bytes to the program loader through a real file, then saves the result.
#include "document/program.h"
#include "document/program_file.h"

#include <cstdint>
#include <cstdio>
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
    rux::CProgram program;
    rux::Load(program, path);
    // Whatever was read must save and load back without trouble.
    rux::Save(program, path);
    rux::CProgram again;
    rux::Load(again, path);
    return 0;
}
