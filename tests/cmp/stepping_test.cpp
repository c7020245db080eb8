// Single-stepping through compiled control flow: the lines a task stops at, in order. Each line
// that decides something (an ELSEIF or ELSE reached, a DO WHILE condition tested again) is a stop;
// a line the task only passes on its way out of a finished branch is not.
#include "vm/vm_support.h"

#include <gtest/gtest.h>

namespace rux::test {
namespace {

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

const SteppingCase kCases[] = {
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

INSTANTIATE_TEST_SUITE_P(ControlFlow, Stepping, ::testing::ValuesIn(kCases), CaseName);

} // namespace
} // namespace rux::test
