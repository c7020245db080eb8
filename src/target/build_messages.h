// The Build tab's lines as places in programs, and the walk from one reported place to the next.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace rux {

enum class EBuildSeverity { kNone, kError, kWarning };

// One line of the build output read as a place. A line that names no place has line -1.
struct CBuildMessage {
    std::string file; // as the compiler wrote it: the program's file name, with or without directory
    int line = -1;    // item index
    int start = -1;   // first column, counted from 1; -1 when absent
    int end = -1;     // column after the last character; -1 when absent
    EBuildSeverity severity = EBuildSeverity::kNone;

    bool HasPlace() const { return line >= 0; }
    bool operator==(const CBuildMessage&) const = default;
};

// "FILE(LINE[,START[-END]]): text", leading blanks skipped. A start without an end is a one-column
// place (end = start). The severity is the word after the colon ("error" or "warning"). Anything
// else names no place.
CBuildMessage ParseBuildMessage(std::string_view text);

// The build results stored beside a program: the lines of its error file with their line ends
// removed, empty lines skipped. Empty when the program has no error file.
std::vector<std::string> ReadBuildResults(const std::string& programPath);

// The Build tab's content and the message the user was last sent to.
//
// Next and previous do not wrap: the last message is the end of the walk, so that the user sees
// that every message has been visited instead of being taken silently back to the first one.
class CBuildMessageList {
public:
    // Empties the list and forgets the program.
    void Clear();
    void Add(std::string line);
    // The program whose build the list shows; its directory completes bare file names.
    void SetProgramPath(std::string path) { m_programPath = std::move(path); }
    const std::string& ProgramPath() const { return m_programPath; }
    // The file a row's place is in, as the jump should name it. The compiler names the program
    // without its directory; when that file lies beside the built program the full path is given,
    // so that a program closed since the build opens again. Otherwise the name as written.
    std::string LocationFile(int row) const;

    int Count() const { return static_cast<int>(m_lines.size()); }
    const std::string& Text(int row) const { return m_lines.at(static_cast<size_t>(row)); }
    const CBuildMessage& Message(int row) const { return m_messages.at(static_cast<size_t>(row)); }

    // The row the user was last sent to (picked, or reached by next/previous); -1 before any.
    int Current() const { return m_current; }
    // Out-of-range rows give -1. A row without a place is still a position to walk on from.
    void SetCurrent(int row);

    // The first row after (before) the current one that names a place; -1 when there is none.
    // Without a current row, next starts at the top and previous finds nothing.
    int FindNext() const;
    int FindPrevious() const;

private:
    std::vector<std::string> m_lines;
    std::vector<CBuildMessage> m_messages;
    std::string m_programPath;
    int m_current = -1;
};

} // namespace rux
