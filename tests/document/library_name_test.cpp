#include "document/library_name.h"

#include <gtest/gtest.h>

namespace rux {
namespace {

TEST(LibraryName, Rule) {
    struct Case {
        const char* name;
        bool valid;
    } cases[] = {
        {"Lib1", true},     {"L", true},        {"lib%", true},     {"Z9z", true},    {"", false},
        {"1Lib", false},    {"My_Lib", false},  {"My Lib", false},  {"Li%b", false},  {"%", false},
        {"Lib-1", false},   {"Lib.1", false},   {"Lib$", false},    {"@Lib", false},  {"Lib\xA7", false},
        {"Lib\xA3", false}, {"Lib\xB5", false}, {"\xC4rger", true}, {"Lib\t", false}, {"L~", false},
        {"Lib!", false},    {"L#", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsValidLibraryName(c.name), c.valid) << c.name;
}

} // namespace
} // namespace rux
