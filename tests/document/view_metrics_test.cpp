#include "document/line_item.h"
#include "document/view_metrics.h"

#include <gtest/gtest.h>

namespace rux {
namespace {

TEST(FixedPitchMetrics, TabsAdvanceToTheNextStop) {
    CFixedPitchMetrics m(640, 480, 4);
    struct Case {
        const char* text;
        int width;
    } cases[] = {
        {"", 0}, {"a", 8}, {"\t", 32}, {"a\t", 32}, {"abcd\t", 64}, {"\t\t", 64}, {"abc\tx", 40},
    };
    for (const auto& c : cases)
        EXPECT_EQ(m.TextWidth(c.text), c.width) << '"' << c.text << '"';
    // A text row is as wide as its text and the margins on both sides.
    EXPECT_EQ(CLine("\t\tab").GetWidth(m), 64 + 16 + 40);
}

} // namespace
} // namespace rux
