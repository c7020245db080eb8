#include "document/header_row.h"
#include "document/view_metrics.h"
#include "support/fake_target.h"

#include <gtest/gtest.h>

namespace rux {
namespace {

TEST(HeaderRow, FiveLabelledValuesWithTheDriveShownByTypeName) {
    test::CFakeTarget target;
    target.displayNames["KESTREL"] = "Kestrel KA Applications Module";
    CFixedPitchMetrics metrics;
    CRuxHeader h;
    h.Author = "R. Okafor";
    h.Company = "Acme";
    h.Title = "Infeed";
    h.Version = "2.1";
    h.Drive = "VQ5A";
    struct Case {
        const char* type;
        const char* drive;
    } cases[] = {{"KESTREL", "Kestrel KA Applications Module"}, {"UNKNOWN", "VQ5A"}, {"", "VQ5A"}};
    for (const auto& c : cases) {
        h.Type = c.type;
        const CHeaderRow row = ComposeHeaderRow(h, target, metrics);
        const std::pair<const char*, const char*> expected[] = {{"$AUTHOR", "R. Okafor"},
                                                                {"$COMPANY", "Acme"},
                                                                {"$TITLE", "Infeed"},
                                                                {"$VERSION", "2.1"},
                                                                {"$DRIVE", c.drive}};
        for (size_t i = 0; i < 5; ++i) {
            EXPECT_EQ(row.lines[i].label, expected[i].first) << i;
            EXPECT_EQ(row.lines[i].value, expected[i].second) << i;
        }
        // Eight characters of eight pixels, then ten pixels of space.
        EXPECT_EQ(row.valueX, 8 * 8 + 10);
    }
}

} // namespace
} // namespace rux
