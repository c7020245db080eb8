// What the header row of a program shows: five labels with their values, and where values start.
#pragma once

#include "document/header_record.h"

#include <array>
#include <string>

namespace rux {

class CTargetLibrary;
class CViewMetrics;

struct CHeaderRowLine {
    std::string label;
    std::string value;
};

struct CHeaderRow {
    std::array<CHeaderRowLine, 5> lines;
    // Left edge of the value column, in pixels from the left edge of the label column.
    int valueX = 0;
};

// "$DRIVE" shows the display name of the header's Type, or the Drive when the target library has none.
CHeaderRow ComposeHeaderRow(const CRuxHeader& header, CTargetLibrary& target, const CViewMetrics& metrics);

} // namespace rux
