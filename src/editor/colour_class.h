// The colour classes a program line is painted with: numbers, names, settings keys and defaults.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace rux {

// The number of a class is the key of the colour table; 5 and 12 are not used.
enum EColourClass : uint8_t {
    kColourRungComment = 1,
    kColourSelectionBox = 2,
    kColourFbHeader = 3,
    kColourComment = 4,
    kColourIdentifier = 6,
    kColourKeyword = 7,
    kColourReadOnly = 8,
    kColourText = 9,
    kColourError = 10,
    kColourSelection = 11,
    kColourTaskManagerSelection = 13,
};

// Colours are 0xBBGGRR: red in the low byte.
using ColourRef = uint32_t;

struct CColourClassInfo {
    EColourClass number;
    std::string_view displayName;
    std::string_view iniKey; // in section kColourSection
    ColourRef whenAbsent;    // value used when the settings file lacks the key
    ColourRef defaultValue;  // value the colours dialog's "Default" restores
    // The task manager's selection follows the desktop's highlight colour; the two values above
    // are then only placeholders for the platform layer to replace.
    bool systemHighlight;
};

inline constexpr std::string_view kColourSection = "RUXCOLOR";

// The eleven classes in the order the colours dialog lists them.
std::span<const CColourClassInfo> ColourClasses();
// Null for a number that names no class.
const CColourClassInfo* FindColourClass(int number);

// Text drawn on the selection background: white on a dark selection, black on a light one.
ColourRef SelectionTextColour(ColourRef selection);

} // namespace rux
