// Builds large, realistic programs for the benchmarks: same seed, same bytes.
#pragma once

#include <string>

namespace rux {
class CProgram;
}

namespace rux::bench {

// Replaces the program's content with about `lines` items: a header, every kind of section,
// nested blocks, comments, drive parameters, labels, strings, FBD and QLD diagrams, bookmarks and
// folded sections. The program is in the program file format.
void GenerateProgram(CProgram& program, int lines, unsigned seed);

// The bytes Save would write for GenerateProgram(lines, seed).
std::string GenerateProgramFile(int lines, unsigned seed);

} // namespace rux::bench
