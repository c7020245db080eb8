// Programs for the compiler and virtual machine tests, written section by section.
#pragma once

#include "core/compiler.h"
#include "image/image.h"

#include <cctype>
#include <string>
#include <vector>

namespace rux::test {

struct Sec {
    std::string title;
    std::vector<std::string> lines;
};

// A program file: the header (Type KESTREL unless `header` names another) and the sections.
// Item indices: 0 is the header; each section takes one item for its title, one per line, one for
// its end, in order; FirstLine() tells where a section's first line lands.
std::string ProgramText(const std::vector<Sec>& sections, const std::string& header = "FloatingPoint=1\nDebug=1\n");
int FirstLine(const std::vector<Sec>& sections, std::size_t section);

// Reads the text with the core's reader and compiles it with the options of the shipped data files.
cmp::Result CompileText(const std::string& programText, const std::string& fileName = "t.rux");
cmp::Result CompileSections(const std::vector<Sec>& sections, const std::string& header = "FloatingPoint=1\nDebug=1\n");

// Every message as the compiler formats it, with the summary last.
std::vector<std::string> MessageLines(const cmp::Result& r, const std::string& fileName = "t.rux");

// The image as text: header facts, tasks, blocks, then each instruction with its offset, and the
// item of every line where one starts.
std::string Disassemble(const image::Image& img);

// The name of a parameterised case as the test runner shows it: its `name` with every character
// that may not stand in a test name made '_'.
inline constexpr auto CaseName = [](const auto& info) {
    std::string n;
    for (const char* p = info.param.name; *p; ++p) n += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
    return n;
};

} // namespace rux::test
