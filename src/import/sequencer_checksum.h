// The checksum stamped on every block of generated indexer code.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace rux {

// CRC-16 with the Modbus parameters (reflected polynomial 0xA001, start 0xFFFF, no final XOR),
// returned with its two bytes swapped: the high byte is the low byte of the Modbus register, the
// order in which Modbus sends the two bytes. "123456789" gives 0x374B.
uint16_t SequencerChecksum(std::string_view bytes);

// "//CRC:0x%X": upper-case hexadecimal, no leading zeros.
std::string ChecksumLine(std::string_view bytes);

} // namespace rux
