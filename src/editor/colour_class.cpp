#include "editor/colour_class.h"

#include <array>

namespace rux {
namespace {

constexpr std::array<CColourClassInfo, 11> kClasses = {{
    {kColourRungComment, "LD Rung Comment", "ColorRungCmt", 0x008000, 0x008000, false},
    {kColourFbHeader, "Function Block Headers", "ColorFB", 0x00FF00, 0x00FF00, false},
    {kColourSelectionBox, "LD Selection Box", "ColorSelbox", 0xC8C8C8, 0xC8C8C8, false},
    {kColourComment, "Comments", "ColorCmt", 0x7D7D7D, 0x007D00, false},
    {kColourIdentifier, "Identifier", "ColorIdt", 0, 0, false},
    {kColourKeyword, "KeyWords", "ColorKwd", 0, 0xC80000, false},
    {kColourText, "Text", "ColorTxt", 0, 0, false},
    {kColourError, "Errors", "ColorErr", 0x0000FF, 0x0000FF, false},
    {kColourReadOnly, "Read Only", "ColorRdo", 0, 0, false},
    {kColourSelection, "Selection", "ColorRUXSel", 0xFFFF00, 0xFFFF00, false},
    {kColourTaskManagerSelection, "Task Manager Selection", "ColorTMSel", 0, 0, true},
}};

// Below this sum of red, green and blue the selection counts as dark.
constexpr int kDarkSelectionSum = 387;

} // namespace

std::span<const CColourClassInfo> ColourClasses() {
    return kClasses;
}

const CColourClassInfo* FindColourClass(int number) {
    for (const CColourClassInfo& c : kClasses)
        if (c.number == number) return &c;
    return nullptr;
}

ColourRef SelectionTextColour(ColourRef selection) {
    const int sum = static_cast<int>(selection & 0xFF) + static_cast<int>((selection >> 8) & 0xFF) +
                    static_cast<int>((selection >> 16) & 0xFF);
    return sum < kDarkSelectionSum ? 0xFFFFFF : 0x000000;
}

} // namespace rux
