#include "import/sequencer_checksum.h"

#include <array>
#include <cstdio>

namespace rux {
namespace {

// The two classic Modbus tables: for each index, the high and the low byte of the register after
// eight shifts of (index) through the reflected polynomial.
struct CCrcTables {
    std::array<uint8_t, 256> high{};
    std::array<uint8_t, 256> low{};
};

constexpr CCrcTables MakeTables() {
    CCrcTables t;
    for (unsigned i = 0; i < 256; ++i) {
        unsigned crc = i;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? (crc >> 1) ^ 0xA001 : crc >> 1;
        // Kept byte-swapped, so the loop below works on the pair (hi, lo) in sending order.
        t.high[i] = static_cast<uint8_t>(crc & 0xFF);
        t.low[i] = static_cast<uint8_t>(crc >> 8);
    }
    return t;
}

constexpr CCrcTables kTables = MakeTables();

} // namespace

uint16_t SequencerChecksum(std::string_view bytes) {
    uint8_t hi = 0xFF;
    uint8_t lo = 0xFF;
    for (unsigned char b : bytes) {
        const uint8_t index = hi ^ b;
        hi = lo ^ kTables.high[index];
        lo = kTables.low[index];
    }
    return static_cast<uint16_t>((hi << 8) | lo);
}

std::string ChecksumLine(std::string_view bytes) {
    char buf[24];
    std::snprintf(buf, sizeof buf, "//CRC:0x%X", static_cast<unsigned>(SequencerChecksum(bytes)));
    return buf;
}

} // namespace rux
