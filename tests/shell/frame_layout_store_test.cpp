// The frame's layouts in the profile: chunked texts and the command bars' places, damaged or not.
#include "shell/frame_layout_store.h"

#include "shell/profile_store.h"
#include "support/scoped_env.h"

#include <gtest/gtest.h>

namespace rux {
namespace {

using test::CTempDir;

TEST(FrameLayoutStore, TextsComeBackWholeAndDamagedCountsGiveNone) {
    CTempDir dir;
    CProfileStore profile(dir.Path(), "Layouts");
    const std::string exact(2 * CFrameLayoutStore::kChunk, 'a');
    const std::string longer = exact + "tail";
    struct Row {
        const char* section;
        std::string text;
        int chunks;
    };
    const Row rows[] = {{"Exact", exact, 2}, {"Longer", longer, 3}, {"Short", "AAEC/w==", 1}, {"Empty", "", 0}};
    for (const Row& row : rows) CFrameLayoutStore::WriteText(profile, row.section, row.text);
    const CProfileStore reread(dir.Path(), "Layouts");
    for (const Row& row : rows) {
        EXPECT_EQ(CFrameLayoutStore::ReadText(reread, row.section), row.text) << row.section;
        EXPECT_EQ(reread.GetInt(row.section, "Chunks", -1), row.chunks) << row.section;
    }
    EXPECT_EQ(reread.GetString("Longer", "Data2", ""), "tail");
    EXPECT_EQ(CFrameLayoutStore::ReadText(reread, "Missing"), "");
    for (int chunks : {-1, CFrameLayoutStore::kMaxChunks + 1}) {
        profile.WriteInt("Short", "Chunks", chunks);
        EXPECT_EQ(CFrameLayoutStore::ReadText(profile, "Short"), "") << chunks;
    }
}

TEST(FrameLayoutStore, ToolbarPlacesRoundTripAndDamageKeepsBarsWhereTheyAre) {
    const CToolbarPlace places[] = {{4, false}, {8, true}, {1, false}};
    EXPECT_EQ(CFrameLayoutStore::FormatToolbarPlaces(places), "4,0,8,1,1,0");
    EXPECT_EQ(CFrameLayoutStore::FormatToolbarPlaces({}), "");
    struct Row {
        const char* text;
        std::vector<CToolbarPlace> places;
    };
    const Row rows[] = {
        {"4,0,8,1,1,0", {{4, false}, {8, true}, {1, false}}},
        {"4,0,8,1", {{4, false}, {8, true}, {}}},      // a bar added since
        {"4,0,8", {{4, false}, {}, {}}},               // half a pair
        {"4,0,8,1,1,0,2,1", {{4, false}, {8, true}, {1, false}}}, // a bar gone since
        {"3,0,0,1,16,0", {{}, {}, {}}},                // no area a bar docks in
        {"2,7,x,1,4x,0", {{2, true}, {}, {}}},         // not numbers
        {"", {{}, {}, {}}},
        {",,,", {{}, {}, {}}},
    };
    for (const Row& row : rows)
        EXPECT_EQ(CFrameLayoutStore::ParseToolbarPlaces(row.text, 3), row.places) << row.text;
}

} // namespace
} // namespace rux
