#include "shell/command_line_info.h"

namespace rux {

namespace {

bool IsAlnum(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

} // namespace

bool RUX_CCommandLineInfo::SplitSwitch(const std::string& arg, std::string& flag) {
    if (arg.empty()) return false;
    // A lone "-" is an empty switch and so ignored, never a file name.
    if (arg[0] == '-') {
        flag = arg.substr(1);
        return true;
    }
    if (arg[0] != '/' || arg.size() < 2) return false;
    for (std::size_t i = 1; i < arg.size(); ++i)
        if (!IsAlnum(arg[i])) return false;
    flag = arg.substr(1);
    return true;
}

void RUX_CCommandLineInfo::ParseParam(const std::string& param, bool isFlag) {
    if (!isFlag) {
        // The first plain argument names the program to open; later ones have no meaning here.
        if (m_fileName.empty() && !param.empty()) {
            m_fileName = param;
            m_shellCommand = FileOpen;
        }
        return;
    }
    if (param.size() != 1) return;
    switch (param[0]) {
    case 'e':
    case 'E':
        m_mode = EditMode;
        break;
    case 'd':
    case 'D':
        m_mode = DebugMode;
        break;
    case 'o':
    case 'O':
        m_showOutput = 1;
        break;
    case 'g':
    case 'G':
        m_goToError = 1;
        break;
    default:
        break;
    }
}

void RUX_CCommandLineInfo::Parse(const std::vector<std::string>& args) {
    for (const std::string& arg : args) {
        std::string flag;
        if (SplitSwitch(arg, flag))
            ParseParam(flag, true);
        else
            ParseParam(arg, false);
    }
}

void RUX_CCommandLineInfo::Parse(int argc, const char* const* argv) {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i)
        args.emplace_back(argv[i] != nullptr ? argv[i] : "");
    Parse(args);
}

} // namespace rux
