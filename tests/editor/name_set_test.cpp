#include "editor/name_set.h"

#include <gtest/gtest.h>

#include <string>

namespace rux {
namespace {

TEST(NameSet, LookupIsExactAndSurvivesTheQuickRejection) {
    const std::string longName(70, 'L');
    CNameSet set = {"Speed%", "S", "#1.21", longName};
    const struct {
        std::string word;
        bool found;
    } cases[] = {
        {"Speed%", true},
        {"speed%", false},
        {"S", true},
        {"Sp", false},
        {"#1.21", true},
        {"#1.2", false},
        {longName, true},
        {std::string(71, 'L'), false},
        {"", false},
        {"Speed", false},
        {std::string(63, 'L'), false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(set.Contains(c.word), c.found) << c.word;

    set.Insert("");
    EXPECT_TRUE(set.Contains(""));
    set.Clear();
    EXPECT_FALSE(set.Contains("Speed%"));
    EXPECT_EQ(set.Size(), 0u);
}

} // namespace
} // namespace rux
