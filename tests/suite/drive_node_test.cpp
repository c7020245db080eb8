// A drive node in-process: parameters, motor model, values, persistence.
#include "node/node.h"
#include "node/parameters.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <string>

namespace rux::drive {
namespace {

const std::vector<std::string> kTasks = {"Initial", "Background", "Clock", "Event", "Error"};

CParameterDb ShippedDefaults() {
    CParameterDb db;
    int skipped = -1;
    EXPECT_TRUE(db.LoadDefaults(std::string(RUX_SOURCE_DIR) + "/data/drive_parameters.ini", &skipped));
    EXPECT_EQ(skipped, 0);
    return db;
}

TEST(DriveParameters, DefaultsLinesAreCheckedFieldByField) {
    struct Case {
        const char* line;
        bool taken;
        int menu, param;
        int32_t value, minimum, maximum;
        int decimals;
        bool readOnly;
        const char* name;
    } cases[] = {
        {"1.21=150,-400,400,1,rw,Preset 1", true, 1, 21, 150, -400, 400, 1, false, "Preset 1"},
        {" 3.02 = -5 , -10 , 10 , 0 , ro , Speed, filtered ", true, 3, 2, -5, -10, 10, 0, true, "Speed, filtered"},
        {"99.99=0,0,0,0,rw,", true, 99, 99, 0, 0, 0, 0, false, ""},
        {"100.01=0,0,1,0,rw,x", false, 0, 0, 0, 0, 0, 0, false, ""},
        {"1.100=0,0,1,0,rw,x", false, 0, 0, 0, 0, 0, 0, false, ""},
        {"1.5=5,0,1,0,rw,default above maximum", false, 0, 0, 0, 0, 0, 0, false, ""},
        {"1.6=0,2,1,0,rw,minimum above maximum", false, 0, 0, 0, 0, 0, 0, false, ""},
        {"1.7=0,0,1,0,wo,bad flag", false, 0, 0, 0, 0, 0, 0, false, ""},
        {"1.8=0,0,1,rw,missing decimals", false, 0, 0, 0, 0, 0, 0, false, ""},
        {"1.9=0,0,2147483648,0,rw,too big", false, 0, 0, 0, 0, 0, 0, false, ""},
        {"1.10=0x10,0,100,0,rw,hex", false, 0, 0, 0, 0, 0, 0, false, ""},
        {"1.11=0,0,1,7,rw,too many decimals", false, 0, 0, 0, 0, 0, 0, false, ""},
    };
    for (const Case& c : cases) {
        CParameterDb db;
        const int skipped = db.LoadDefaultsText(std::string("; comment\n[Parameters]\n") + c.line + "\r\n");
        EXPECT_EQ(skipped, c.taken ? 0 : 1) << c.line;
        if (!c.taken) continue;
        const CParameter* p = db.Find(c.menu, c.param);
        ASSERT_NE(p, nullptr) << c.line;
        EXPECT_EQ(p->value, c.value) << c.line;
        EXPECT_EQ(p->minimum, c.minimum) << c.line;
        EXPECT_EQ(p->maximum, c.maximum) << c.line;
        EXPECT_EQ(p->decimals, c.decimals) << c.line;
        EXPECT_EQ(p->readOnly, c.readOnly) << c.line;
        EXPECT_EQ(p->name, c.name) << c.line;
    }
    CParameterDb db;
    EXPECT_EQ(db.LoadDefaultsText("[Other]\n1.21=5,0,9,0,rw,not in the section\n"), 0);
    EXPECT_EQ(db.Get(1, 21), 0);
    // The header as any profile file reads it; a line without '=' is skipped; keys under a broken
    // header are in no section.
    EXPECT_EQ(db.LoadDefaultsText("[ parameters ] ; the defaults\n1.21=5,0,9,0,rw,x\n# 1.23=1,0,9,0,rw,z\n"
                                  "no equals\n[Parameters\n1.22=5,0,9,0,rw,y\n"),
              1);
    EXPECT_EQ(db.Get(1, 21), 5);
    EXPECT_EQ(db.Get(1, 22), 0);
    EXPECT_EQ(db.Get(1, 23), 0);
}

TEST(DriveParameters, ShippedFileDescribesTheParametersProgramsUse) {
    const CParameterDb db = ShippedDefaults();
    struct Case {
        int menu, param;
        int32_t value;
        bool readOnly;
    } cases[] = {{1, 21, 0, false}, {2, 11, 2000, false}, {2, 21, 2000, false}, {3, 2, 0, true},
                 {8, 3, 0, false},  {10, 1, 1, true},     {71, 10, 8, false},   {90, 10, 0, false},
                 {90, 13, 0, false}};
    for (const Case& c : cases) {
        const CParameter* p = db.Find(c.menu, c.param);
        ASSERT_NE(p, nullptr);
        EXPECT_FALSE(p->name.empty()) << c.menu << "." << c.param;
        EXPECT_EQ(p->value, c.value) << c.menu << "." << c.param;
        EXPECT_EQ(p->readOnly, c.readOnly) << c.menu << "." << c.param;
    }
}

TEST(DriveNode, ValuesByParameterSymbol) {
    CNode node("3", "KESTREL", kTasks, ShippedDefaults());
    struct Case {
        const char* symbol;
        double write;
        int32_t status;
        const char* readSymbol;
        double read;
    } cases[] = {
        {"#1.21", 1500, kStatusOk, "#1.21", 1500},
        {"#1.21", 1234.56, kStatusOk, "#INT1.21", 12346},  // one decimal, rounded
        {"#INT1.21", -200, kStatusOk, "#1.21", -20},
        {"B2#1.21", 15, kStatusOk, "#1.21", 15},
        {"#1.21", 4000.1, kStatusValueRange, "#1.21", 15},  // above the maximum, unchanged
        {"#3.02", 10, kStatusReadOnly, "#3.02", 0},
        {"#8.03", 1, kStatusOk, "#8.03", 1},
        {"#8.03", 2, kStatusValueRange, "#8.03", 1},
        {"#18.11.3", 1, kStatusOk, "#18.11", 8},
        {"#18.11.0", 1, kStatusOk, "#18.11", 9},
        {"#18.11.3", 0, kStatusOk, "#18.11.0", 1},
        {"#18.11.3", 5, kStatusValueRange, "#18.11", 1},
        {"#55.55", 7, kStatusOk, "#INT55.55", 7},  // not in the file: plain read-write
        {"#100.1", 1, kStatusNoSuchParam, "#1.21", 15},
        {"#1.100", 1, kStatusNoSuchParam, "#1.21", 15},
        {"#abc", 1, kStatusNoSuchParam, "#1.21", 15},
        {"Speed%", 1, kStatusNotFound, "#1.21", 15},  // no program
    };
    for (const Case& c : cases) {
        EXPECT_EQ(node.Write(c.symbol, c.write), c.status) << c.symbol << " = " << c.write;
        double v = -1;
        ASSERT_EQ(node.Read(c.readSymbol, v), kStatusOk) << c.readSymbol;
        EXPECT_DOUBLE_EQ(v, c.read) << c.symbol << " = " << c.write << ", then " << c.readSymbol;
    }
    double v = 0;
    EXPECT_EQ(node.Read("#100.00", v), kStatusNoSuchParam);
    EXPECT_EQ(node.Read("Speed%", v), kStatusNotFound);
}

TEST(DriveNode, SpeedFeedbackFollowsTheRamps) {
    CNode node("1", "KESTREL", kTasks, ShippedDefaults());
    ASSERT_EQ(node.Write("#2.11", 2000), kStatusOk);  // 2 s per 1000 rpm up
    ASSERT_EQ(node.Write("#2.21", 1000), kStatusOk);  // 1 s per 1000 rpm down
    ASSERT_EQ(node.Write("#1.21", 1000), kStatusOk);
    struct Step {
        uint32_t ms;
        double feedback;
        double running, atSpeed;
    } steps[] = {{0, 0, 0, 0}, {1, 0.5, 1, 0}, {999, 500, 1, 0}, {1000, 1000, 1, 1}, {500, 1000, 1, 1}};
    for (const Step& s : steps) {
        node.Advance(s.ms);
        double v = 0;
        node.Read("#3.02", v);
        EXPECT_NEAR(v, s.feedback, 0.05) << "at " << node.TimeMs() << " ms";
        node.Read("#10.02", v);
        if (s.ms > 0) {
            EXPECT_EQ(v, s.running) << "at " << node.TimeMs() << " ms";
        }
        node.Read("#10.03", v);
        if (s.ms > 0) {
            EXPECT_EQ(v, s.atSpeed) << "at " << node.TimeMs() << " ms";
        }
    }
    ASSERT_EQ(node.Write("#1.21", -200), kStatusOk);
    double v0 = -1;
    node.Advance(1000);  // down to 0 on the deceleration ramp...
    node.Read("#3.02", v0);
    EXPECT_NEAR(v0, 0, 0.05);
    node.Advance(400);  // ...then out to -200 on the acceleration ramp
    double v = 0;
    node.Read("#3.02", v);
    EXPECT_NEAR(v, -200, 0.05);
    node.Write("#1.21", 0);
    node.Advance(100);
    node.Read("#3.02", v);
    EXPECT_NEAR(v, -100, 0.05);
}

TEST(DriveNode, StatusWithoutAProgram) {
    CNode node("1", "KESTREL", kTasks, ShippedDefaults());
    node.Advance(20);
    const CNodeStatus st = node.Status();
    EXPECT_EQ(st.programState, kProgramStopped);
    EXPECT_EQ(st.cpuFree, 100);
    ASSERT_EQ(st.taskStates.size(), kTasks.size());
    for (int32_t s : st.taskStates)
        EXPECT_EQ(s, kTaskIllegal);
    std::string source;
    EXPECT_EQ(node.Upload(source), kStatusNoProgram);
    EXPECT_EQ(node.Run(), kStatusNoProgram);
    EXPECT_TRUE(node.IsStopped());
}

TEST(DriveNode, ParametersSurviveARestart) {
    const test::CTempDir scratch;
    const std::string dir = scratch.File("state");
    {
        CNode node("3", "KESTREL", kTasks, ShippedDefaults());
        node.Write("#1.21", 750);
        node.Write("#71.10", 4);
        node.Write("#20.21", -123456);
        ASSERT_TRUE(node.Save(dir));
    }
    CNode again("3", "KESTREL", kTasks, ShippedDefaults());
    ASSERT_TRUE(again.Restore(dir));
    double v = 0;
    for (const auto& [symbol, value] : {std::pair{"#1.21", 750}, {"#71.10", 4}, {"#20.21", -123456}, {"#2.11", 2000}}) {
        again.Read(symbol, v);
        EXPECT_EQ(v, value) << symbol;
    }
    // A drive reset goes back to the defaults.
    again.ResetDrive();
    again.Read("#1.21", v);
    EXPECT_EQ(v, 0);
}

TEST(DriveNode, DirectoryNamesOfAddresses) {
    EXPECT_EQ(NodeDirName("3"), "3");
    EXPECT_EQ(NodeDirName("line-A.7"), "line-A.7");
    EXPECT_EQ(NodeDirName("../x"), "x2e2e2f78");
    EXPECT_EQ(NodeDirName("a b"), "x612062");
    EXPECT_EQ(NodeDirName(""), "x");
}

} // namespace
} // namespace rux::drive
