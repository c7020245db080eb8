#include "editor/colour_class.h"

#include <gtest/gtest.h>

namespace rux {
namespace {

TEST(ColourClass, SelectionContrast) {
    const struct {
        ColourRef selection;
        ColourRef text;
    } cases[] = {
        {0x00FFFF, 0x000000},                                             // yellow, sum 510
        {0x800000, 0xFFFFFF},                                             // dark blue, sum 128
        {0x000000, 0xFFFFFF}, {0xFFFFFF, 0x000000}, {0x818181, 0x000000}, // sum 387: light
        {0x808181, 0xFFFFFF},                                             // sum 386: dark
        {0xFF00FF, 0x000000},                                             // magenta, 510
        {0x0000FF, 0xFFFFFF},                                             // red, 255
    };
    for (const auto& c : cases)
        EXPECT_EQ(SelectionTextColour(c.selection), c.text) << std::hex << c.selection;
}

} // namespace
} // namespace rux
