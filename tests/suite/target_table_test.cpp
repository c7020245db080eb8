#include "../../suite/tgt/target_table.h"

#include <gtest/gtest.h>

namespace rux::tgt {
namespace {

TEST(TargetTable, TypesAndRules) {
    const CTargetTable table = CTargetTable::Parse("[Types]\n"
                                                   "Type1=Kestrel\n"
                                                   "Type2=OSPREY\n"
                                                   "Type3=kestrel\n" // listed twice: first wins
                                                   "Type5=LOST\n"    // after the gap: not read
                                                   "[KESTREL]\n"
                                                   "DisplayName=Kestrel\n"
                                                   "LibrarySupport=+1\n"
                                                   "CloneSupport=yes\n"
                                                   "Tasks= Initial ,,Clock,\n"
                                                   "[OSPREY]\n"
                                                   "ExtendedMemory=2\n"
                                                   "FixedPointParamOps=-1\n"
                                                   "[DriveTargets]\n"
                                                   "Rule1=VQ7Z*,*,osprey\n"
                                                   "Rule2=VQ5A,KA-01,KESTREL\n"
                                                   "Rule3=*,KA*,NOSUCH\n"    // unknown type: dropped
                                                   "Rule4=*,KA*\n"           // two fields: dropped
                                                   "Rule5=*,KA*,KESTREL,x\n" // four fields: dropped
                                                   "Rule6=*,,KESTREL\n"      // empty module id
                                                   "Rule8=*,*,OSPREY\n");
    ASSERT_EQ(table.Types().size(), 2u);
    ASSERT_EQ(table.Rules().size(), 3u);
    const CTargetType* k = table.FindType("KESTREL");
    ASSERT_NE(k, nullptr);
    EXPECT_EQ(k->id, "Kestrel");
    EXPECT_EQ(k->librarySupport, 1);
    EXPECT_EQ(k->cloneSupport, 0);
    EXPECT_EQ(k->tasks, (std::vector<std::string>{"Initial", "Clock"}));
    const CTargetType* o = table.FindType("osprey");
    ASSERT_NE(o, nullptr);
    EXPECT_TRUE(o->extendedMemory);
    EXPECT_EQ(o->fixedPointParamOps, -1);
    EXPECT_EQ(o->displayName, "");
    EXPECT_EQ(table.FindType("LOST"), nullptr);
    EXPECT_EQ(table.FindType(""), nullptr);

    const struct {
        const char* drive;
        const char* target;
        const char* type;
    } cases[] = {
        {"VQ7Z", "", "OSPREY"},  {"vq7z-1", "KA-01", "OSPREY"}, {"VQ5A", "ka-01", "Kestrel"},
        {"VQ5A-1", "KA-01", ""}, // exact drive pattern
        {"VQ5B", "", "Kestrel"}, {"VQ7", "KA-01", ""},          {"", "KA-01", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(table.TypeFromDriveAndTarget(c.drive, c.target), c.type) << c.drive << " / " << c.target;
    EXPECT_EQ(table.TaskId("kestrel", "CLOCK"), 1);
    EXPECT_EQ(table.TaskName("Kestrel", 1), "Clock");
    EXPECT_EQ(table.TaskName("Kestrel", 2), "");
}

TEST(TargetTable, PatternMatching) {
    const struct {
        const char* pattern;
        const char* value;
        bool match;
    } cases[] = {
        {"*", "", true},         {"*", "VQ5A", true},
        {"VQ7Z*", "VQ7Z", true}, {"VQ7Z*", "vq7z-04400", true},
        {"VQ7Z*", "VQ7", false}, {"VQ7Z", "VQ7Z1", false},
        {"", "", true},          {"", "X", false},
        {"**", "*", true},       {"**", "X", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CTargetTable::Matches(c.pattern, c.value), c.match) << c.pattern << " ~ " << c.value;
}

} // namespace
} // namespace rux::tgt
