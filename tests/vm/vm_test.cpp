// The virtual machine: statements and built-ins by their results, run-time errors at their lines,
// task timing under virtual time, breakpoints and stepping.
#include "vm/vm_support.h"

#include "image/bytecode.h"
#include "image/image.h"

#include <gtest/gtest.h>

#include <cmath>

namespace rux::test {
namespace {

struct IntCase {
    const char* expr;
    int32_t expected;
};

// Each expression is assigned to r% in Initial; nothing else runs.
const IntCase kIntCases[] = {
    {"7 / 2", 3},
    {"-7 / 2", -3},
    {"3 * 4 - 5", 7},
    {"2147483647 + 1", -2147483647 - 1},
    {"-2147483648 - 1", 2147483647},
    {"65536 * 65536", 0},
    {"-2147483648 / -1", -2147483647 - 1},
    {"12 AND 10", 8},
    {"12 OR 3", 15},
    {"(1 < 2) AND (3 > 2)", 1},
    {"(1 > 2) OR (3 < 2)", 0},
    {"2 <> 2", 0},
    {"2 >= 2", 1},
    {"1.5 <= 1", 0},
    {"-2.9", -2},
    {"2.9", 2},
    {"INT(-2.7)", -2},
    {"1e10", 2147483647}, // beyond the range a real saturates
    {"-1e10", -2147483647 - 1},
    {"16#FF", 255},
    {"16#FFFFFFFF", -1},
    {"0x1F", 31},
    {"2#1011", 11},
    {"8#17", 15},
    {"ABS(-5)", 5},
    {"SGN(-3.5)", -1},
    {"SGN(0)", 0},
    {"MIN(4, -2)", -2},
    {"MAX(4, -2)", 4},
    {"LIMIT(12, 0, 10)", 10},
    {"LIMIT(-3, 0, 10)", 0},
    {"BCD2BIN(16#1234)", 1234},
    {"BIN2BCD(1234)", 0x1234},
    {"BCD2SEG(16#12)", 0x3F3F065B}, // leading zeros show as 0
    {"1 + 2 * 3", 7},
    {"(1 + 2) * 3", 9},
    {"10 - 2 - 3", 5},
    {"100 / 10 / 5", 2},
    {"FLOAT(7) / 2 * 2", 7},
};

class IntExpressions : public ::testing::TestWithParam<IntCase> {};

TEST_P(IntExpressions, Result) {
    const IntCase& c = GetParam();
    VmRun r = RunSections({{"Initial", {std::string("r% = ") + c.expr}}}, 1);
    EXPECT_EQ(r.value("r%").i, c.expected) << c.expr;
}

INSTANTIATE_TEST_SUITE_P(Vm, IntExpressions, ::testing::ValuesIn(kIntCases));

struct RealCase {
    const char* expr;
    double expected;
};

const RealCase kRealCases[] = {
    {"7 / 2.0", 3.5},   {"7 / 2", 3.0},         {"SQR(16)", 4.0}, {"2e-3 * 1000", 2.0}, {"1.5e+2", 150.0},
    {"-1.25", -1.25},   {"ABS(-0.5)", 0.5},     {"MIN(1, 2.5)", 1.0}, {"MAX(1, 2.5)", 2.5},
    {"LIMIT(2.5, 0.0, 1.0)", 1.0},
    // Mixed kinds: any real argument makes the result real, whichever position it holds.
    {"LIMIT(3, 0, 2.5)", 2.5}, {"LIMIT(-1, 0.5, 2)", 0.5}, {"LIMIT(1.75, 0, 2)", 1.75}, {"LIMIT(7, 2, 3.5) * 2", 7.0},
    {"MIN(3, 2.5) + MAX(1.5, 1)", 4.0}, {"LIMIT(1 + 2, 1 + 0.25, FLOAT(2))", 2.0}, {"LIMIT 3, 0, 2.5", 2.5},
    {"EXP(0) + LN(1) + COS(0) + SIN(0) + TAN(0)", 2.0}, {"FLOAT(3) / 4", 0.75},
};

class RealExpressions : public ::testing::TestWithParam<RealCase> {};

TEST_P(RealExpressions, Result) {
    const RealCase& c = GetParam();
    VmRun r = RunSections({{"Initial", {std::string("r = ") + c.expr}}}, 1);
    EXPECT_DOUBLE_EQ(r.value("r").r, c.expected) << c.expr;
}

INSTANTIATE_TEST_SUITE_P(Vm, RealExpressions, ::testing::ValuesIn(kRealCases));

TEST(VmPrecision, SingleRoundsEveryRealDoubleDoesNot) {
    VmRun d = RunSections({{"Initial", {"r = 0.1", "s = r * 3"}}}, 1);
    EXPECT_EQ(d.value("r").r, 0.1);
    EXPECT_EQ(d.value("s").r, 0.1 * 3);
    VmRun s = RunSections({{"", {"$FLT single"}}, {"Initial", {"r = 0.1", "s = r * 3"}}}, 1);
    EXPECT_EQ(s.value("r").r, static_cast<double>(0.1f));
    EXPECT_EQ(s.value("s").r, static_cast<double>(static_cast<float>(static_cast<double>(0.1f) * 3)));
    EXPECT_NE(s.value("s").r, d.value("s").r);
    EXPECT_TRUE(s.machine->singlePrecision());
}

struct StatementCase {
    const char* name;
    std::vector<std::string> lines; // of Initial
    const char* var;
    int32_t expected;
};

const StatementCase kStatements[] = {
    {"IF true branch", {"x% = 5", "IF x% > 3 THEN", "r% = 1", "ELSE", "r% = 2", "ENDIF"}, "r%", 1},
    {"ELSEIF branch", {"x% = 2", "IF x% > 3 THEN", "r% = 1", "ELSEIF x% = 2 THEN", "r% = 3", "ELSE", "r% = 2", "ENDIF"}, "r%", 3},
    {"ELSE branch", {"x% = 0", "IF x% > 3 THEN", "r% = 1", "ELSEIF x% = 2 THEN", "r% = 3", "ELSE", "r% = 2", "ENDIF"}, "r%", 2},
    {"one-line IF", {"r% = 1", "IF r% = 1 THEN r% = 7"}, "r%", 7},
    {"one-line IF not taken", {"r% = 1", "IF r% = 2 THEN r% = 7"}, "r%", 1},
    {"real condition", {"c = 0.5", "IF c THEN r% = 4"}, "r%", 4},
    {"DO WHILE", {"r% = 0", "DO WHILE r% < 10", "r% = r% + 3", "LOOP"}, "r%", 12},
    {"DO LOOP with EXIT", {"r% = 0", "DO", "r% = r% + 1", "IF r% = 6 THEN EXIT", "LOOP"}, "r%", 6},
    {"FOR sums", {"r% = 0", "FOR i% = 1 TO 10", "r% = r% + i%", "LOOP"}, "r%", 55},
    {"FOR counts down", {"r% = 0", "FOR i% = 10 TO 1 STEP -3", "r% = r% * 10 + i%", "LOOP"}, "r%", 10741},
    {"FOR that never runs", {"r% = 9", "FOR i% = 5 TO 1", "r% = 0", "LOOP"}, "r%", 9},
    {"FOR variable after the loop", {"FOR i% = 1 TO 4", "LOOP", "r% = i%"}, "r%", 5},
    {"FOR to the largest integer ends", {"r% = 0", "FOR i% = 2147483646 TO 2147483647", "r% = r% + 1", "LOOP"}, "r%", 2},
    {"real FOR", {"r% = 0", "FOR x = 0 TO 1 STEP 0.25", "r% = r% + 1", "LOOP"}, "r%", 5},
    {"IF with more branches than a block holds in place",
     {"x% = 6", "r% = 0", "IF x% = 1 THEN", "r% = 1", "ELSEIF x% = 2 THEN", "r% = 2", "ELSEIF x% = 3 THEN", "r% = 3",
      "ELSEIF x% = 4 THEN", "r% = 4", "ELSEIF x% = 5 THEN", "r% = 5", "ELSEIF x% = 6 THEN", "r% = 6", "ELSE", "r% = 99",
      "ENDIF", "r% = r% + 100"},
     "r%", 106},
    {"loop with more EXITs than a block holds in place",
     {"r% = 0", "DO", "r% = r% + 1", "IF r% = 101 THEN EXIT", "IF r% = 102 THEN EXIT", "IF r% = 103 THEN EXIT",
      "IF r% = 104 THEN EXIT", "IF r% = 105 THEN EXIT", "IF r% = 7 THEN EXIT", "LOOP", "r% = r% * 10"},
     "r%", 70},
    {"EXIT leaves the inner loop", {"r% = 0", "FOR i% = 1 TO 3", "FOR j% = 1 TO 3", "IF j% = 2 THEN EXIT", "r% = r% + 1", "LOOP", "LOOP"}, "r%", 3},
    {"GOTO forward", {"r% = 1", "GOTO skip", "r% = 2", "skip:", "r% = r% + 10"}, "r%", 11},
    {"arrays", {"DIM a%[5]", "FOR i% = 0 TO 4", "a%[i%] = i% * i%", "LOOP", "r% = a%[2] + a%[4]"}, "r%", 20},
    {"CONST", {"CONST N% = 6", "r% = N% * 2"}, "r%", 12},
    {"an index that creates its variable", {"DIM a%[4]", "a%[j%] = 5", "r% = a%[k%] + a%[0]"}, "r%", 10},
    {"alias", {"$DEFINE TWICE 2 *", "r% = TWICE 21"}, "r%", 42},
    {"CRC of bytes", {"DIM b%[3]", "b%[0] = 1", "b%[1] = 2", "b%[2] = 3", "r% = CRC(b%, 3)"}, "r%", 0x6161},
    // 8 / 3 and -8 / 3: an integer average is truncated towards zero, neither rounded nor floored.
    {"AVERAGE of integers", {"DIM b%[4]", "b%[0] = 1", "b%[1] = 2", "b%[2] = 5", "r% = AVERAGE(b%, 3)"}, "r%", 2},
    {"AVERAGE of negative integers", {"DIM b%[3]", "b%[0] = -1", "b%[1] = -2", "b%[2] = -5", "r% = AVERAGE(b%, 3)"}, "r%", -2},
    {"no-bracket built-in", {"r% = LIMIT 15, 0, 10"}, "r%", 10},
    {"parameter round trip", {"#20.01 = 1234", "r% = #INT20.01"}, "r%", 1234},
    {"parameter bits", {"#20.02 = 0", "#20.02.3 = 1", "#20.02.0 = 1", "r% = #INT20.02 * 10 + #20.02.3"}, "r%", 91},
    {"parameter pointer", {"p% = 2003", "#p% = 77", "r% = #INT20.03 + #p%"}, "r%", 154},
    {"old-generation prefix", {"B2#20.04 = 5", "r% = #INT20.04"}, "r%", 5},
};

class Statements : public ::testing::TestWithParam<StatementCase> {};

TEST_P(Statements, Result) {
    const StatementCase& c = GetParam();
    VmRun r = RunSections({{"Initial", c.lines}}, 1);
    EXPECT_EQ(r.value(c.var).i, c.expected) << c.name;
}

INSTANTIATE_TEST_SUITE_P(Vm, Statements, ::testing::ValuesIn(kStatements), CaseName);

TEST(VmParameters, ScaledFormUsesTheDecimals) {
    VmRun r = RunSections({{"Initial", {"r = #1.21", "#1.22 = 2.345", "k% = #INT1.21", "p% = 123", "#p% = -2.345",
                                        "#1.24 = 0.125", "p% = 125", "#p% = -0.125"}}},
                          1, "FloatingPoint=1\nDebug=1\n", {}, [](TableHost& h) {
                              h.params[121] = {1505, 1, false};
                              h.params[122] = {0, 2, false};
                              h.params[123] = {0, 2, false};
                              h.params[124] = {0, 2, false};
                              h.params[125] = {0, 2, false};
                          });
    EXPECT_DOUBLE_EQ(r.value("r").r, 150.5);
    EXPECT_EQ(r.value("k%").i, 1505);
    EXPECT_EQ(r.host->params[122].raw, 235); // 2.345 at two decimals, rounded
    EXPECT_EQ(r.host->params[123].raw, -235); // through a pointer too, and away from zero
    // A value half-way between two steps goes away from zero, as a value written online does.
    EXPECT_EQ(r.host->params[124].raw, 13);
    EXPECT_EQ(r.host->params[125].raw, -13);
}

// Programs of several sections, run for a while: the variables they leave, the lines they print
// ("[time] Task: text"), and no run-time error.
struct ProgramCase {
    const char* name;
    std::vector<Sec> program;
    uint32_t ms;
    std::vector<std::pair<const char*, int32_t>> values;
    std::vector<std::string> printed = {};
    const char* header = "FloatingPoint=1\nDebug=1\n";
};

const ProgramCase kPrograms[] = {
    {"every call site keeps its own state",
     {{"(Out%) = _Count(Step%)", {"FBbody", "Last% = Last% + Step%", "Out% = Last%"}},
      {"Initial", {"FOR i% = 1 TO 3", "(a%) = _Count(1)", "(b%) = _Count(10)", "LOOP", "c% = _Count(100)"}}},
     1, {{"a%", 3}, {"b%", 30}, {"c%", 100}}},
    // Each instance's variables by name, as the watch reads them.
    {"nested blocks have instances per outer instance",
     {{"(Out%) = _Acc(In%)", {"FBbody", "Sum% = Sum% + In%", "Out% = Sum%"}},
      {"(Out%, Twice%) = _Pair(In%)", {"FBbody", "Out% = _Acc(In%)", "(Twice%) = _Acc(In% * 2)"}},
      {"Initial", {"FOR i% = 1 TO 2", "(a%, b%) = _Pair(1)", "(c%, d%) = _Pair(5)", "LOOP"}}},
     1,
     {{"a%", 2}, {"b%", 4}, {"c%", 10}, {"d%", 20}, {"_Pair.1._Acc.1.Sum%", 2}, {"_Pair.1._Acc.2.Sum%", 4},
      {"_Pair.2._Acc.1.Sum%", 10}, {"_Pair.2._Acc.2.In%", 10}, {"_Pair.2.Twice%", 20}}},
    {"blocks of a referenced library run", {{"Initial", {"a% = _IdxStep(1, 4)", "b% = _IdxStep(3, 4)"}}}, 1,
     {{"a%", 2}, {"b%", 0}}, {}, "FloatingPoint=1\nDebug=1\nRefLibs=IndexerLibrary\n"},
    {"PRINT lines carry time and task",
     {{"Initial", {"x% = 3", "PRINT \"x is \", x%, \", half \", x% / 2.0"}},
      {"Clock", {"n% = n% + 1", "IF n% = 2 THEN PRINT \"tick \", n%, \" at \", TIME"}}},
     20, {{"x%", 3}}, {"[0] Initial: x is 3, half 1.5", "[8] Clock: tick 2 at 8"}},
    {"REINIT restarts the program",
     {{"Initial", {"i% = i% + 1", "PRINT \"start \", i%"}}, {"Clock", {"c% = c% + 1", "IF c% = 2 THEN REINIT"}}}, 30,
     {{"i%", 1}}, {"[0] Initial: start 1", "[9] Initial: start 1", "[18] Initial: start 1", "[27] Initial: start 1"}},
    {"CALL and return", {{"Add:", {"r% = r% + 5"}}, {"Initial", {"r% = 1", "CALL Add:", "CALL Add:", "r% = r% * 2"}}}, 1,
     {{"r%", 22}}},
    {"Clock every 8 ms runs 125 times in a second", {{"Clock", {"n% = n% + 1"}}}, 1000, {{"n%", 125}}},
    {"Clock period follows its parameter", {{"Initial", {"#INT71.10 = 5"}}, {"Clock", {"n% = n% + 1"}}}, 1000,
     {{"n%", 200}}},
    {"position tasks every millisecond, Background once per slice",
     {{"Pos0", {"p% = p% + 1"}}, {"Background", {"b% = b% + 1"}}}, 250, {{"p%", 250}, {"b%", 250}}},
    {"DELAY suspends for its time", {{"Background", {"n% = n% + 1", "DELAY(100)"}}}, 1000, {{"n%", 10}}},
    {"Background yields at GOTO back jumps", {{"Background", {"top:", "n% = n% + 1", "GOTO top"}}}, 50, {{"n%", 50}}},
    // The trigger parameter is cleared when the task starts, so the event runs once.
    {"Event runs when triggered by its parameter",
     {{"Clock", {"c% = c% + 1", "IF c% = 5 THEN #90.11 = 1", "t% = #INT90.11"}}, {"Event1", {"e% = e% + 1"}}}, 200,
     {{"e%", 1}, {"t%", 0}}},
};

class Programs : public ::testing::TestWithParam<ProgramCase> {};

TEST_P(Programs, LeaveTheseValues) {
    const ProgramCase& c = GetParam();
    VmRun r = RunSections(c.program, c.ms, c.header);
    for (const auto& [name, value] : c.values) EXPECT_EQ(r.value(name).i, value) << c.name << ": " << name;
    EXPECT_EQ(r.host->printed, c.printed) << c.name;
    EXPECT_TRUE(r.host->errors.empty()) << c.name;
    // The scheduler counts what it ran: a Clock task's count equals its runs.
    if (const int clock = r.machine->taskIndex("clock"); clock >= 0 && c.values[0].first == std::string("n%")) {
        EXPECT_EQ(r.machine->task(clock).activations, static_cast<uint64_t>(c.values[0].second)) << c.name;
    }
}

INSTANTIATE_TEST_SUITE_P(Vm, Programs, ::testing::ValuesIn(kPrograms), CaseName);

struct ErrorCase {
    const char* name;
    std::vector<Sec> program;
    vm::RunError code;
    int item;
    const char* task;
};

const ErrorCase kErrors[] = {
    {"division by zero", {{"Initial", {"x% = 0", "y% = 5 / x%"}}}, vm::RunError::DivisionByZero, 3, "Initial"},
    {"real division by zero", {{"Initial", {"x = 0", "y = 5 / x"}}}, vm::RunError::DivisionByZero, 3, "Initial"},
    {"array index", {{"Initial", {"DIM a%[4]", "i% = 4", "a%[i%] = 1"}}}, vm::RunError::ArrayIndex, 4, "Initial"},
    {"negative array index", {{"Initial", {"DIM a[4]", "i% = -1", "x = a[i%]"}}}, vm::RunError::ArrayIndex, 4, "Initial"},
    {"zero FOR step", {{"Clock", {"s% = 0", "FOR i% = 1 TO 5 STEP s%", "LOOP"}}}, vm::RunError::ZeroForStep, 3, "Clock"},
    {"endless loop", {{"Background", {"DO", "x% = x% + 1", "LOOP"}}}, vm::RunError::TaskOverran, 4, "Background"},
    {"calls nested too deeply", {{"Deep:", {"CALL Deep:"}}, {"Initial", {"CALL Deep:"}}}, vm::RunError::StackOverflow, 2, "Initial"},
    {"square root of a negative", {{"Initial", {"x = -4", "y = SQR(x)"}}}, vm::RunError::MathDomain, 3, "Initial"},
    {"pointer outside the parameters", {{"Initial", {"p% = 12345", "#p% = 1"}}}, vm::RunError::BadPointer, 3, "Initial"},
    {"ANSI request for no parameter", {{"Initial", {"p% = 10000", "x% = ANSIREAD(p%)"}}}, vm::RunError::MathDomain, 3, "Initial"},
};

class RunTimeErrors : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(RunTimeErrors, CodeLineAndTask) {
    const ErrorCase& c = GetParam();
    VmRun r = RunSections(c.program, 20);
    ASSERT_EQ(r.host->errors.size(), 1u) << c.name;
    const vm::RunTimeError& e = r.host->errors[0];
    EXPECT_EQ(e.code, c.code) << c.name;
    EXPECT_EQ(e.item, c.item) << c.name;
    EXPECT_EQ(e.taskName, c.task) << c.name;
    EXPECT_TRUE(r.machine->stopped());
}

INSTANTIATE_TEST_SUITE_P(Vm, RunTimeErrors, ::testing::ValuesIn(kErrors), CaseName);

struct ConsoleCase {
    const char* name;
    std::vector<std::string> lines; // of Initial
    const char* input;              // waiting on the console before the run
    const char* output;             // what the program must have sent
    int32_t r;                      // r% afterwards
};

const ConsoleCase kConsole[] = {
    {"write request", {"r% = ANSIWRITE(121, -1500)"}, "", "W121=-1500\r", 0},
    {"read request", {"r% = ANSIREAD(302)"}, "", "R302\r", 0},
    {"requests as statements, in order", {"ANSIREAD(1)", "ANSIWRITE(9910, 7)", "r% = 3"}, "", "R1\rW9910=7\r", 3},
    {"reply waiting", {"r% = ANSIREPLY(-1)"}, "1500\r", "", 1500},
    {"negative reply, LF after CR skipped", {"a% = ANSIREPLY(0)", "b% = ANSIREPLY(0)", "r% = a% * 10 + b%"}, "-3\r\n4\r", "", -26},
    {"no reply yet", {"r% = ANSIREPLY(-1)"}, "", "", -1},
    {"reply without its CR is kept for the next call", {"a% = ANSIREPLY(-1)", "r% = a%"}, "12", "", -1},
    {"malformed reply is dropped", {"a% = ANSIREPLY(-1)", "b% = ANSIREPLY(-1)", "r% = a% * 100 + b%"}, "1x\r42\r", "", -58},
    {"reply beyond the integer range", {"r% = ANSIREPLY(-9)"}, "2147483648\r", "", -9},
    {"console characters", {"PUTCHAR(65)", "PUTKEY(66)", "r% = GETCHAR * 1000 + GETKEY"}, "xy", "AB", 120121},
};

class ConsoleFunctions : public ::testing::TestWithParam<ConsoleCase> {};

TEST_P(ConsoleFunctions, RequestsAndReplies) {
    const ConsoleCase& c = GetParam();
    VmRun r = RunSections({{"Initial", c.lines}}, 1, "FloatingPoint=1\nDebug=1\n", c.input);
    EXPECT_TRUE(r.host->errors.empty()) << c.name;
    EXPECT_EQ(r.host->consoleOut, c.output) << c.name;
    EXPECT_EQ(r.value("r%").i, c.r) << c.name;
}

INSTANTIATE_TEST_SUITE_P(Vm, ConsoleFunctions, ::testing::ValuesIn(kConsole));

TEST(VmConsole, PartialReplyCompletesOnALaterCall) {
    VmRun r = RunSections({{"Initial", {"a% = ANSIREPLY(-1)"}}, {"Clock", {"b% = ANSIREPLY(b%)"}}}, 1,
                          "FloatingPoint=1\nDebug=1\n", "12");
    EXPECT_EQ(r.value("a%").i, -1);
    r.host->consoleIn = "34\r";
    r.machine->step(20);
    EXPECT_EQ(r.value("b%").i, 1234);
}

TEST(VmErrors, MissingParameterIsReported) {
    VmRun r = RunSections({{"Initial", {"x% = #INT5.05"}}}, 1, "FloatingPoint=1\nDebug=1\n", {},
                          [](TableHost& h) { h.everyParameterExists = false; });
    ASSERT_EQ(r.host->errors.size(), 1u);
    EXPECT_EQ(r.host->errors[0].code, vm::RunError::BadParameter);
    EXPECT_EQ(r.host->errors[0].text, "bad parameter: #5.05 cannot be read");
}

TEST(VmErrors, ErrorTaskRunsOnceAfterAnError) {
    VmRun r = RunSections({{"Clock", {"n% = n% + 1", "IF n% = 3 THEN x% = n% / 0"}}, {"Error", {"PRINT \"stopped at \", n%"}}}, 100);
    ASSERT_EQ(r.host->errors.size(), 1u);
    EXPECT_EQ(r.host->errors[0].timeMs, 16u);
    EXPECT_EQ(r.host->printed, std::vector<std::string>{"[17] Error: stopped at 3"});
    EXPECT_EQ(r.value("n%").i, 3); // Clock ran no more
}

TEST(VmDebug, BreakpointStopsTheTaskAtItsLine) {
    const std::vector<Sec> program = {{"Clock", {"n% = n% + 1", "m% = m% + 1"}}};
    VmRun r = RunSections(program, 0);
    const int clock = r.machine->taskIndex("Clock");
    EXPECT_EQ(r.machine->setBreakpoint(clock, 3), 0);
    EXPECT_EQ(r.machine->setBreakpoint(clock, 99), -1); // no code there
    r.machine->step(20);
    ASSERT_EQ(r.host->breaks.size(), 1u);
    EXPECT_EQ(r.host->breaks[0], (std::pair<int, int>{2, 3}));
    EXPECT_EQ(r.machine->task(clock).state, vm::TaskState::Break);
    EXPECT_EQ(r.machine->task(clock).item, 3);
    EXPECT_EQ(r.value("n%").i, 1);
    EXPECT_EQ(r.value("m%").i, 0);
    r.machine->clearBreakpoints(clock);
    r.machine->resumeTask(clock);
    r.machine->step(1);
    EXPECT_EQ(r.value("m%").i, 1);
}

TEST(VmDebug, SteppingStopsAtEveryLine) {
    VmRun r = RunSections({{"Initial", {"a% = 1", "b% = 2", "c% = 3"}}}, 0);
    const int initial = r.machine->taskIndex("Initial");
    r.machine->setStepping(initial, true);
    r.machine->step(1);
    r.machine->stepTask(initial);
    r.machine->step(1);
    r.machine->stepTask(initial);
    r.machine->step(1);
    EXPECT_EQ(r.host->steps, (std::vector<std::pair<int, int>>{{0, 2}, {0, 3}, {0, 4}}));
    EXPECT_EQ(r.value("a%").i, 1);
    EXPECT_EQ(r.value("b%").i, 2);
    EXPECT_EQ(r.value("c%").i, 0);
}

TEST(VmVariables, ReadAndWriteByNameAndElement) {
    VmRun r = RunSections({{"Initial", {"DIM a%[3]", "a%[1] = 4", "x = 1.5"}}}, 1);
    vm::Value v;
    EXPECT_TRUE(r.machine->readVariable("a%[1]", v));
    EXPECT_EQ(v.i, 4);
    EXPECT_FALSE(r.machine->readVariable("a%[3]", v));
    EXPECT_FALSE(r.machine->readVariable("nothing", v));
    EXPECT_TRUE(r.machine->writeVariable("x", vm::Value::integer(7)));
    EXPECT_EQ(r.value("x").r, 7.0);
}

TEST(VmLoad, DamagedImagesAreRefusedWithAMessage) {
    const cmp::Result b = CompileSections({{"Initial", {"x% = 1"}}});
    image::Image img = b.image;
    image::Bytes bytes = image::writeImage(img);
    TableHost host;
    vm::Machine m(host);
    std::string message;
    image::Bytes flipped = bytes;
    flipped[flipped.size() / 2] ^= 0x40;
    EXPECT_FALSE(m.load(flipped.data(), flipped.size(), message));
    EXPECT_EQ(message, "image checksum does not match (file damaged)");
    EXPECT_FALSE(m.load(bytes.data(), 20, message));
    EXPECT_EQ(message, "image header is truncated");

    // Consistent containers whose code the verifier refuses.
    using O = image::Op;
    const std::pair<std::vector<uint8_t>, const char*> codes[] = {
        {{uint8_t(O::Jmp), 2, 0, 0, 0, uint8_t(O::End)}, "image code damaged at 0: jump into the middle of an instruction"},
        {{uint8_t(O::Ld), 99, 0, 0, 0, uint8_t(O::Pop), uint8_t(O::End)}, "image code damaged at 0: variable outside its frame"},
        {{uint8_t(O::PushI), 1, 0, 0, 0, uint8_t(O::End)},
         "image code damaged at 5: call, return or yield with values on the stack"},
    };
    image::Image bad = b.image;
    bad.lines.clear();
    for (const auto& [code, expected] : codes) {
        bad.code.assign(code.begin(), code.end());
        bytes = image::writeImage(bad);
        EXPECT_FALSE(m.load(bytes.data(), bytes.size(), message));
        EXPECT_EQ(message, expected);
    }
    EXPECT_FALSE(m.loaded());
}

TEST(ImageCrc, KnownValuesAndAnySplit) {
    // The long text runs through the 64- and 16-byte folding paths and their byte tails.
    std::string pattern(1000, '\0');
    for (std::size_t i = 0; i < pattern.size(); ++i) pattern[i] = static_cast<char>((i * 37 + 11) & 0xFF);
    const std::pair<std::string, uint32_t> known[] = {
        {"", 0u}, {"a", 0xE8B7BE43u}, {"123456789", 0xCBF43926u},
        {"The quick brown fox jumps over the lazy dog", 0x414FA339u}, {pattern, 0xC3905A1Du}};
    for (const auto& [text, crc] : known) {
        const auto* d = reinterpret_cast<const uint8_t*>(text.data());
        EXPECT_EQ(image::crc32(d, text.size()), crc) << text;
        // Continuing from a part gives the whole, wherever the text is cut.
        for (std::size_t cut = 0; cut <= text.size(); ++cut)
            EXPECT_EQ(image::crc32(d + cut, text.size() - cut, image::crc32(d, cut)), crc) << text << " cut at " << cut;
    }
}

// Every field comes back from the file as written: names of every length up to the longest the
// format keeps (each copied in words with an overlapping last one), lines, blocks and tasks.
TEST(ImageFile, WrittenFieldsReadBack) {
    image::Image img;
    img.targetType = "KESTREL";
    img.globalCells = 300;
    img.code = {uint8_t(image::Op::End)};
    img.tasks.push_back({3, "Clock", 0});
    img.blocks.push_back({"_Ramp", 0, 7, 2, 1});
    std::string names;
    for (std::size_t n = 1; n <= 40; ++n)
        for (std::size_t k = 0; k < n; ++k) names += static_cast<char>('a' + (n * 7 + k * 3) % 26);
    for (std::size_t n = 1, at = 0; n <= 40; at += n, ++n)
        img.addSymbol(std::string_view(names).substr(at, n), static_cast<uint32_t>(n), 3, static_cast<uint32_t>(n % 3 + 1));
    for (uint32_t k = 0; k < 5; ++k) img.lines.push_back({0, 0x01020304u * k});
    const image::Bytes bytes = image::writeImage(img);
    image::Image back;
    std::string message;
    ASSERT_TRUE(image::readImage(bytes.data(), bytes.size(), back, message)) << message;
    ASSERT_EQ(back.symbols.size(), img.symbols.size());
    for (std::size_t k = 0; k < img.symbols.size(); ++k) {
        EXPECT_EQ(back.symbols[k].name, img.symbols[k].name) << k;
        EXPECT_EQ(back.symbols[k].address, img.symbols[k].address) << k;
        EXPECT_EQ(back.symbols[k].elements, img.symbols[k].elements) << k;
    }
    ASSERT_EQ(back.lines.size(), img.lines.size());
    for (std::size_t k = 0; k < img.lines.size(); ++k) EXPECT_EQ(back.lines[k].item, img.lines[k].item) << k;
    ASSERT_EQ(back.blocks.size(), 1u);
    EXPECT_EQ(back.blocks[0].name, "_Ramp");
    EXPECT_EQ(back.blocks[0].frameSize, 7u);
    ASSERT_EQ(back.tasks.size(), 1u);
    EXPECT_EQ(back.tasks[0].name, "Clock");
    EXPECT_EQ(back.tasks[0].taskId, 3);
    EXPECT_EQ(back.globalCells, 300u);
}

TEST(VmLoad, ProgramIdIsTheCrcWithoutItsField) {
    cmp::Result b = CompileSections({{"Initial", {"x% = 1"}}});
    const image::Bytes bytes = image::writeImage(b.image);
    image::Bytes zeroed = bytes;
    for (std::size_t i = image::kProgramIdOffset; i < image::kProgramIdOffset + 4; ++i) zeroed[i] = 0;
    const uint32_t id = image::crc32(zeroed.data(), zeroed.size());
    EXPECT_EQ(b.image.programId, id);
    EXPECT_EQ(bytes[8] | (bytes[9] << 8) | (bytes[10] << 16) | (static_cast<uint32_t>(bytes[11]) << 24), id);
}

// Single-stepping through compiled control flow: the lines a task stops at, in order. Each line
// that decides something (an ELSEIF or ELSE reached, a DO WHILE condition tested again) is a stop;
// a line the task only passes on its way out of a finished branch is not.
struct SteppingCase {
    const char* name;
    std::vector<std::string> lines; // the Initial task; its first line is item 2
    std::vector<int> stops;         // items, in order
};

void PrintTo(const SteppingCase& c, std::ostream* os) { *os << c.name; }

// Items of the IF program: 2 x% = ..., 3 IF, 4 y% = 1, 5 ELSEIF, 6 y% = 2, 7 ELSE, 8 y% = 3, 9 ENDIF, 10 PRINT.
std::vector<std::string> IfProgram(int x) {
    return {"x% = " + std::to_string(x), "IF x% = 1 THEN", "y% = 1", "ELSEIF x% = 2 THEN", "y% = 2", "ELSE", "y% = 3",
            "ENDIF", "PRINT y%"};
}

const SteppingCase kSteppingCases[] = {
    {"then branch skips the ELSEIF line", IfProgram(1), {2, 3, 4, 10}},
    {"false IF stops at the ELSEIF it tests", IfProgram(2), {2, 3, 5, 6, 10}},
    {"false ELSEIF stops at the ELSE", IfProgram(3), {2, 3, 5, 7, 8, 9, 10}},
    {"DO WHILE stops at its condition every round",
     {"n% = 0", "DO WHILE n% < 2", "n% = n% + 1", "LOOP", "PRINT n%"},
     {2, 3, 4, 5, 3, 4, 5, 3, 6}},
    {"DO loop comes back to its DO line",
     {"n% = 2", "DO", "n% = n% - 1", "IF n% = 0 THEN EXIT", "LOOP", "PRINT n%"},
     {2, 3, 4, 5, 6, 3, 4, 5, 7}},
};

class Stepping : public ::testing::TestWithParam<SteppingCase> {};

TEST_P(Stepping, StopsAtTheseLines) {
    const SteppingCase& c = GetParam();
    VmRun r = RunSections({{"Initial", c.lines}}, 0);
    ASSERT_TRUE(r.machine->loaded());
    const int initial = r.machine->taskIndex("Initial");
    r.machine->setStepping(initial, true);
    r.machine->step(1);
    for (int guard = 0; guard < 100 && r.host->printed.empty(); ++guard) {
        r.machine->stepTask(initial);
        r.machine->step(1);
    }
    std::vector<int> stops;
    for (const auto& [task, item] : r.host->steps) stops.push_back(item);
    EXPECT_EQ(stops, c.stops) << c.name;
    EXPECT_EQ(r.host->printed.size(), 1u) << c.name;
}

INSTANTIATE_TEST_SUITE_P(ControlFlow, Stepping, ::testing::ValuesIn(kSteppingCases), CaseName);

} // namespace
} // namespace rux::test
