// Feeds arbitrary bytes to the ladder text reader, token by token and operand by operand.
#include "diagrams/ld_parser.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    rux::CLdParser parser;
    parser.Start(bytes);
    std::string token;
    size_t count = 0;
    while (parser.NextToken(token) != rux::CLdParser::kEnd) {
        if (token.size() > rux::CLdParser::kMaxToken || ++count > size + 1) std::abort();
    }
    rux::ScanLadderIdentifiers(bytes, [](std::string_view name) {
        if (name.empty()) std::abort();
    });
    return 0;
}
