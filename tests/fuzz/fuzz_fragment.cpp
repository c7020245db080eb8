// Feeds arbitrary bytes to the private clipboard reader and to the plain-text conversion.
#include "document/line_input.h"
#include "document/program_reader.h"

#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    {
        rux::CStrMemFile in(bytes);
        rux::ItemVector items;
        uint32_t ids = 1;
        rux::ReadFragment(in, items, {"Diagram 1", "Ramp"}, ids);
    }
    {
        rux::CStrMemFile in(bytes);
        rux::ItemVector items;
        uint32_t ids = 1;
        rux::ConvertTextProgram(in, items, ids);
    }
    return 0;
}
