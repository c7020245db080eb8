// A drive node in-process: parameters, motor model, values, persistence, and the programs it runs.
#include "node/node.h"
#include "node/parameters.h"

#include "support/temp_dir.h"
#ifdef RUX_HAVE_COMPILER
#include "core/build.h"
#include "core/compiler.h"
#include "document/program.h"
#include "image/image.h"
#endif

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

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

    // At 3 s per 1000 rpm, 2 ms take the speed 0.667 rpm either way: shown rounded at one decimal.
    for (const double reference : {1000.0, -1000.0}) {
        CNode slow("2", "KESTREL", kTasks, ShippedDefaults());
        ASSERT_EQ(slow.Write("#2.11", 3000), kStatusOk);
        ASSERT_EQ(slow.Write("#1.21", reference), kStatusOk);
        slow.Advance(2);
        slow.Read("#3.02", v);
        EXPECT_DOUBLE_EQ(v, reference > 0 ? 0.7 : -0.7);
    }
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

// A node running compiled programs in-process under virtual time: scheduling, values, the log,
// breakpoints, stepping, run-time errors, refused images and persistence with the program.
#ifdef RUX_HAVE_COMPILER
const std::vector<std::string> kKestrel = {"Initial", "Background", "Clock", "Event", "Event1",
                                           "Event2",  "Event3",     "Pos0",  "Pos1",  "Error"};
constexpr int kClock = 2;

struct CSection {
    std::string title;
    std::vector<std::string> lines;
};

std::string ProgramText(const std::vector<CSection>& sections, const std::string& type = "KESTREL") {
    std::string t = "$*TORVEL/RUX-V1\n#info=Ident\nType=" + type + "\nTarget=" + type +
                    "\nAddress=3\nDebug=1\nSource=1\nFloatingPoint=1\n#endinfo\n";
    for (const CSection& s : sections) {
        t += "#info=Section\nName=" + s.title + "\nState=open\n#endinfo\n";
        for (const std::string& l : s.lines)
            t += ":" + l + "\n";
        t += "#info=EndSection\nName=" + s.title + "\n#endinfo\n";
    }
    return t;
}

// The image of a program, built as the compiler builds it, with the program file embedded.
std::string ImageOf(const std::string& text) {
    CProgram program;
    EXPECT_TRUE(cmp::ProgramFromText(text, program));
    cmp::Options o = cmp::OptionsFor(program, RUX_SOURCE_DIR "/data");
    o.embedSource = true;
    o.source = text;
    cmp::Result r = cmp::Compile(cmp::ItemsOf(program), o);
    EXPECT_EQ(r.errors, 0) << (r.messages.empty() ? std::string() : cmp::FormatMessage("t.rux", r.messages[0]));
    const image::Bytes bytes = image::writeImage(r.image);
    return std::string(bytes.begin(), bytes.end());
}

// Item indices: 0 the header, 1 "Initial", 2..4 its lines, 5 its end, 6 "Clock", 7.. its lines.
const std::vector<CSection> kCounter = {
    {"Initial", {"\tCount% = 0", "\t#1.21 = 1000", "\tPRINT \"started\""}},
    {"Clock",
     {"\tCount% = Count% + 1", "\tIF Count% = 5 THEN", "\t\tPRINT \"five \", Count%", "\tENDIF",
      "\tIF #8.01 = 1 THEN", "\t\tZero% = 0", "\t\tBad% = 1 / Zero%", "\tENDIF"}},
};
constexpr int kPrintItem = 9;
constexpr int kEndifItem = 10;

double Value(const CNode& node, const std::string& symbol) {
    double v = -12345;
    EXPECT_EQ(node.Read(symbol, v), kStatusOk) << symbol;
    return v;
}

// A KESTREL node at address 3 and what it said about the last download.
class DriveProgram : public ::testing::Test {
protected:
    CNode node{"3", "KESTREL", kKestrel, ShippedDefaults()};
    std::string message;
    void Download(const std::vector<CSection>& sections) {
        ASSERT_EQ(node.Download(ImageOf(ProgramText(sections)), message), kStatusOk) << message;
    }
};

TEST_F(DriveProgram, ConsoleOutputIsLoggedALineAtATime) {
    Download({{"Initial", {"ANSIWRITE(121, 1500)", "PUTCHAR(72)", "PUTCHAR(73)", "r% = ANSIREAD(302) + ANSIREPLY(-7)",
                           "PUTCHAR(13)", "PUTCHAR(10)", "PUTCHAR(79)"}}});
    node.Advance(10);
    // Nothing answers on the simulated console; the unfinished "O" waits for its line end.
    EXPECT_EQ(node.TakeLog(), (std::vector<std::string>{"Console: W121=1500", "Console: HIR302"}));
    EXPECT_EQ(Value(node, "r%"), -7);
}

TEST_F(DriveProgram, RunsTheTasksOnTheNodesClock) {
    Download(kCounter);
    EXPECT_NE(node.ProgramId(), 0u);
    node.Advance(80);
    const double first = Value(node, "Count%");
    EXPECT_GE(first, 9);
    EXPECT_LE(first, 11);
    node.Advance(80);  // ten more Clock periods of 8 ms (#71.10)
    EXPECT_EQ(Value(node, "Count%"), first + 10);
    EXPECT_EQ(Value(node, "#1.21"), 1000);  // written by Initial
    EXPECT_NEAR(Value(node, "#3.02"), 80.0, 1.0);  // 160 ms along the 2 s per 1000 rpm ramp

    const std::vector<std::string> log = node.TakeLog();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0], "started");
    EXPECT_NE(log[1].find("five"), std::string::npos);
    EXPECT_NE(log[1].find('5'), std::string::npos);
    EXPECT_TRUE(node.TakeLog().empty());

    const CNodeStatus st = node.Status();
    EXPECT_EQ(st.programState, kProgramRunning);
    ASSERT_EQ(st.taskStates.size(), kKestrel.size());
    EXPECT_EQ(st.taskStates[0], kTaskCompleted);                     // Initial ran once
    EXPECT_TRUE(st.taskStates[kClock] == kTaskBlocked || st.taskStates[kClock] == kTaskRunning);
    EXPECT_EQ(st.taskStates[1], kTaskIllegal);                       // no Background in the program
    EXPECT_GE(st.cpuFree, 90);

    // Values by name, written while it runs.
    EXPECT_EQ(node.Write("Count%", 1000), kStatusOk);
    node.Advance(8);
    EXPECT_EQ(Value(node, "Count%"), 1001);
    EXPECT_EQ(node.Write("Count%", 1.5), kStatusValueRange);
    EXPECT_EQ(node.Write("Nothing%", 1), kStatusNotFound);

    // Stop, pause and start again.
    EXPECT_EQ(node.Stop(), kStatusOk);
    EXPECT_TRUE(node.IsStopped());
    const double stopped = Value(node, "Count%");
    node.Advance(80);
    EXPECT_EQ(Value(node, "Count%"), stopped);
    EXPECT_EQ(node.Status().taskStates[kClock], kTaskStopped);
    EXPECT_EQ(node.Status().programState, kProgramStopped);
    EXPECT_EQ(node.Run(), kStatusOk);  // from the beginning
    node.Advance(16);
    EXPECT_LE(Value(node, "Count%"), 3);
    EXPECT_EQ(node.Pause(), kStatusOk);
    const double paused = Value(node, "Count%");
    node.Advance(80);
    EXPECT_EQ(Value(node, "Count%"), paused);
    EXPECT_EQ(node.Resume(), kStatusOk);
    node.Advance(80);
    EXPECT_GT(Value(node, "Count%"), paused);
}

TEST_F(DriveProgram, BreakpointsAndSteppingByTaskId) {
    Download(kCounter);
    std::vector<std::vector<int32_t>> table(kKestrel.size(), std::vector<int32_t>(8, 0));
    table[kClock][3] = kPrintItem;
    table[kClock][4] = 6;  // the section title: no code, so the machine takes no slot for it
    ASSERT_EQ(node.SetBreakpoints(table), kStatusOk);
    std::vector<int32_t> list = node.Breakpoints(kClock);
    EXPECT_EQ(std::count(list.begin(), list.end(), kPrintItem), 1);
    EXPECT_EQ(std::count(list.begin(), list.end(), 6), 0);

    node.Advance(100);
    CNodeStatus st = node.Status();
    EXPECT_EQ(st.taskStates[kClock], kTaskSleeping);
    EXPECT_EQ(st.taskItems[kClock], kPrintItem);
    EXPECT_EQ(Value(node, "Count%"), 5);  // halted before the PRINT of the fifth run
    bool sawStop = false;
    for (const CNodeEvent& e : node.TakeEvents())
        if (e.kind == CNodeEvent::Step) {
            sawStop = true;
            EXPECT_EQ(e.taskId, kClock);
            EXPECT_EQ(e.item, kPrintItem);
            EXPECT_EQ(e.text, "2.09");
        }
    EXPECT_TRUE(sawStop);
    node.Advance(50);
    EXPECT_EQ(Value(node, "Count%"), 5);  // still halted

    // One line further, then run on.
    ASSERT_EQ(node.StepOn(kClock), kStatusOk);
    ASSERT_EQ(node.Step(kClock), kStatusOk);
    node.Advance(1);
    st = node.Status();
    EXPECT_EQ(st.taskStates[kClock], kTaskSleeping);
    EXPECT_EQ(st.taskItems[kClock], kEndifItem);
    ASSERT_EQ(node.SetBreakpoints({}), kStatusOk);
    ASSERT_EQ(node.StepOff(kClock), kStatusOk);
    node.Advance(80);
    EXPECT_NE(node.Status().taskStates[kClock], kTaskSleeping);
    EXPECT_GT(Value(node, "Count%"), 10);
    EXPECT_EQ(node.StepOn(99), kStatusBadArgument);
}

TEST_F(DriveProgram, RunTimeErrorStopsTheProgramAndIsLogged) {
    Download(kCounter);
    node.Advance(20);
    node.TakeLog();
    ASSERT_EQ(node.Write("#8.01", 1), kStatusOk);
    node.Advance(20);
    const CNodeStatus st = node.Status();
    EXPECT_EQ(st.programState, -1);  // division by zero
    EXPECT_EQ(st.taskStates[kClock], kTaskStopped);
    const std::vector<std::string> log = node.TakeLog();
    ASSERT_FALSE(log.empty());
    EXPECT_NE(log.back().find("Run-time error 1"), std::string::npos) << log.back();
    EXPECT_NE(log.back().find("Clock"), std::string::npos) << log.back();
    EXPECT_NE(log.back().find("line 13"), std::string::npos) << log.back();
    // A restart clears the error.
    node.Write("#8.01", 0);
    EXPECT_EQ(node.ResetProgram(), kStatusOk);
    node.Advance(20);
    EXPECT_EQ(node.Status().programState, kProgramRunning);
}

TEST_F(DriveProgram, ImagesTheNodeRefuses) {
    const std::string good = ImageOf(ProgramText(kCounter));
    struct Case {
        const char* name;
        std::string image;
    } cases[] = {
        {"empty", ""},
        {"garbage", std::string(200, 'x')},
        {"cut short", good.substr(0, good.size() / 2)},
        {"one byte changed", [&] {
             std::string s = good;
             s[s.size() - 3] ^= 0x40;
             return s;
         }()},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(node.Download(good, message), kStatusOk);
        EXPECT_EQ(node.Download(c.image, message), kStatusImageRefused) << c.name;
        EXPECT_FALSE(message.empty()) << c.name;
        EXPECT_FALSE(node.HasProgram()) << c.name;
        std::string source;
        EXPECT_EQ(node.Upload(source), kStatusNoProgram) << c.name;
    }
    // A node whose target has no Pos0 refuses a program with one.
    CNode small("4", "HOBBY", {"Initial", "Background", "Clock"}, ShippedDefaults());
    const std::string pos = ImageOf(ProgramText({{"Pos0", {"\tX% = 1"}}}));
    EXPECT_EQ(small.Download(pos, message), kStatusImageRefused);
    EXPECT_NE(message.find("Pos0"), std::string::npos) << message;
}

TEST(DriveProgramState, ProgramAndSourceSurviveARestart) {
    const test::CTempDir scratch;
    const std::string dir = scratch.File("state");
    const std::string text = ProgramText(kCounter);
    uint32_t id = 0;
    {
        CNode node("3", "KESTREL", kKestrel, ShippedDefaults());
        std::string message;
        ASSERT_EQ(node.Download(ImageOf(text), message), kStatusOk) << message;
        node.SetProgramName("counter");
        id = node.ProgramId();
        ASSERT_NE(id, 0u);
        ASSERT_TRUE(node.Save(dir));
    }
    CNode again("3", "KESTREL", kKestrel, ShippedDefaults());
    ASSERT_TRUE(again.Restore(dir));
    EXPECT_TRUE(again.HasProgram());
    EXPECT_EQ(again.ProgramId(), id);
    EXPECT_EQ(again.ProgramName(), "counter");
    std::string source;
    ASSERT_EQ(again.Upload(source), kStatusOk);
    EXPECT_EQ(source, text);
    again.Advance(40);
    EXPECT_GT(Value(again, "Count%"), 0);  // it was running, so it runs again
}
#endif

} // namespace
} // namespace rux::drive
