// Where the message bus keeps its sockets and how one message travels.
#pragma once

#include <cstdint>
#include <string>

namespace rux::sse {

// One Unix-domain socket per registered tool, in the user's runtime directory:
// $XDG_RUNTIME_DIR/rux-sse/<TOOL>, or /tmp/rux-sse-<uid>/<TOOL> without one.
std::string BusDirectory();
std::string ToolSocketPath(const std::string& tool);
// Tool names become file names: letters, digits, "_", "-" and "." only, at most 64 bytes.
bool IsValidToolName(const std::string& tool);

struct CBusMessage {
    int32_t number = 0;
    std::string fileName;
    std::string lineData;
};

// Sends to the tool's socket and waits for its receipt; true when it came.
bool SendToTool(const std::string& tool, const CBusMessage& message);

// Wire format, little-endian as the host: "RSSE", number, file length, line-data length, the bytes.
// The receiver answers one byte, 1, once it has read the message and has room to queue it (before the
// tool handles it).
inline constexpr uint32_t kWireMagic = 0x45535352; // "RSSE"
inline constexpr uint32_t kMaxWireText = 4096;

} // namespace rux::sse
