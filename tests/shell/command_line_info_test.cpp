#include "shell/command_line_info.h"

#include <gtest/gtest.h>

namespace rux {
namespace {

TEST(CommandLineInfo, SwitchesAndFile) {
    struct Case {
        std::vector<std::string> args;
        int mode;
        int showOutput;
        int goToError;
        const char* file;
    } cases[] = {
        {{}, EditMode, 0, 0, ""},
        {{"/d"}, DebugMode, 0, 0, ""},
        {{"-D"}, DebugMode, 0, 0, ""},
        {{"/d", "/e"}, EditMode, 0, 0, ""},
        {{"-e", "-d"}, DebugMode, 0, 0, ""},
        {{"/E", "/D", "/e"}, EditMode, 0, 0, ""},
        {{"/o", "-G"}, EditMode, 1, 1, ""},
        {{"/x", "-debug", "/dd", "-"}, EditMode, 0, 0, ""},
        {{"/d", "line.rux"}, DebugMode, 0, 0, "line.rux"},
        {{"line.rux", "/o"}, EditMode, 1, 0, "line.rux"},
        {{"a.rux", "b.rux"}, EditMode, 0, 0, "a.rux"},
        // An absolute path is a file, not a switch.
        {{"/d", "/home/ann/Conveyor Line.rux"}, DebugMode, 0, 0, "/home/ann/Conveyor Line.rux"},
        {{"/line.rux"}, EditMode, 0, 0, "/line.rux"},
        {{"/O", "/G", "/D", "C:\\progs\\x.rux"}, DebugMode, 1, 1, "C:\\progs\\x.rux"},
    };
    for (const Case& c : cases) {
        RUX_CCommandLineInfo info;
        info.Parse(c.args);
        std::string label = ::testing::PrintToString(c.args);
        EXPECT_EQ(info.m_mode, c.mode) << label;
        EXPECT_EQ(info.m_showOutput, c.showOutput) << label;
        EXPECT_EQ(info.m_goToError, c.goToError) << label;
        EXPECT_EQ(info.m_fileName, c.file) << label;
        EXPECT_EQ(info.m_shellCommand,
                  *c.file ? RUX_CCommandLineInfo::FileOpen : RUX_CCommandLineInfo::FileNew)
            << label;
    }
}

TEST(CommandLineInfo, ArgvSkipsTheProgramName) {
    const char* argv[] = {"/opt/rux/ruxedit", "-d", "prog.rux"};
    RUX_CCommandLineInfo info;
    info.Parse(3, argv);
    EXPECT_EQ(info.m_mode, DebugMode);
    EXPECT_EQ(info.m_fileName, "prog.rux");
}

} // namespace
} // namespace rux
