// What the user's tools last put for a message, kept where every process of the user finds it.
#pragma once

#include <optional>
#include <string>

namespace rux::sse {

enum class CPutKind { FileName, LineData };

// Replaces the record of that kind in the bus directory (made when missing), in one rename, with a
// file only the user can read. False when the text is longer than a message may carry, the
// directory is not the user's own, or the write failed.
bool WriteSharedPut(CPutKind kind, const std::string& text);

// The text last put of that kind by any process of the user; none when nothing was put yet or the
// record is not the user's own.
std::optional<std::string> ReadSharedPut(CPutKind kind);

} // namespace rux::sse
