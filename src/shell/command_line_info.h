// The switches and the program file with which the suite (or a user) starts the editor.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace rux {

enum EditorMode : int32_t { EditMode = 0, DebugMode = 1 };

class RUX_CCommandLineInfo {
public:
    // What the command line asks the application to do beyond setting switches.
    enum ShellCommand { FileNew, FileOpen };

    // Feeds one argument at a time: a switch (without its prefix) or a plain argument.
    void ParseParam(const std::string& param, bool isFlag);
    // Parses argv[1..argc-1] as the editor's command line.
    void Parse(int argc, const char* const* argv);
    void Parse(const std::vector<std::string>& args);

    // Whether an argument is a switch, and the switch text without its prefix. '-' always starts a
    // switch; '/' only when letters and digits follow, so that an absolute path such as
    // "/home/ann/line.rux" stays a file name while "/d" and "/O" stay switches.
    static bool SplitSwitch(const std::string& arg, std::string& flag);

    int32_t m_mode = EditMode;
    int32_t m_showOutput = 0;
    int32_t m_goToError = 0;
    ShellCommand m_shellCommand = FileNew;
    std::string m_fileName;
};

} // namespace rux
