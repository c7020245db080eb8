// A window's saved placement as the ten-number text kept in the settings.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace rux {

struct CWindowPlacement {
    uint32_t flags = 0;
    uint32_t showCmd = 0;
    int32_t minX = 0, minY = 0;
    int32_t maxX = 0, maxY = 0;
    int32_t left = 0, top = 0, right = 0, bottom = 0;

    bool operator==(const CWindowPlacement&) const = default;

    // Exactly ten comma-separated decimal numbers, blanks allowed around each, the first two without
    // a sign. Anything else (empty, nine or eleven numbers, stray text) gives nothing, and the window
    // keeps the placement the UI would give it anyway.
    static std::optional<CWindowPlacement> Parse(std::string_view text);
    // "%u,%u,%d,%d,%d,%d,%d,%d,%d,%d".
    std::string Format() const;
};

} // namespace rux
