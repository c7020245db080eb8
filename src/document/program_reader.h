// Reads the program file format (and older plain-text programs) and hands what it finds to a sink.
#pragma once

#include "document/item.h"
#include "document/program_sink.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace rux {

class CStrFile;
class CTargetLibrary;

using ItemVector = std::vector<std::unique_ptr<CItem>>;

// What the top-level loop met besides items.
struct CReadResult {
    std::vector<int> bookmarks;
    std::vector<int> errorMarks;
    bool v3Fired = false; // a "$V3" line was turned into a comment
};

class CProgramReader {
public:
    enum class EMode {
        File,     // Load: bookmark blocks, the "$V3" rule on top-level text lines
        Blocks,   // inserting a program file: as Load, bookmark lists discarded
        Fragment, // private clipboard: no "$V3" rule, header discarded, unique diagram titles
    };

    // The target library (may be null) supplies the type of a header that names none.
    CProgramReader(CStrFile& in, CProgramSink& sink, CTargetLibrary* target) : m_in(in), m_sink(sink), m_target(target) {}

    // The top-level loop, until end of input or the end-of-program line.
    CReadResult ReadTopLevel(EMode mode, const std::vector<std::string>* existingTitles = nullptr);

    // Every line, terminator stripped, becomes a text line.
    void ReadPlainText();

private:
    bool Next();
    void ReadHeaderBlock(bool keep);
    void ReadSection();
    // Reads a diagram block; false when it holds no diagram.
    bool ReadDiagram(CDiagramRecord& diagram);
    void ReadPayload(std::string& payload);
    void ReadIndexBlock(std::vector<int>* list);
    // Reads a "{" ... "}" text block; lines keep their LF, the final LF is removed.
    std::string ReadTextBlock();

    CStrFile& m_in;
    CProgramSink& m_sink;
    CTargetLibrary* m_target;
    // The current line without its LF (m_lf: it had one), in the input's buffer or in m_scratch.
    std::string_view m_line;
    bool m_lf = false;
    std::string m_scratch;
};

// A whole program from the start of the input, as Load reads a file: the program file format when
// the first line is the program header line, else a plain-text program, every line a text line.
struct CProgramRead {
    bool format = false;
    CReadResult marks;
};
CProgramRead ReadProgram(CStrFile& in, CProgramSink& sink, CTargetLibrary* target);

// ReadProgram over a file. False when the file cannot be opened, is not a regular file (a folder,
// FIFO or device is refused without waiting on it) or fails part-way: the sink then holds only part
// of the file. errno and, when given, problem tell why.
bool ReadProgramFile(const std::string& path, CProgramSink& sink, CTargetLibrary* target, CProgramRead& read,
                     std::string* problem = nullptr);

// Turns a plain-text program into sections; header directive lines are dropped.
void ConvertTextProgram(CStrFile& in, ItemVector& items, uint32_t& sectionIdCounter);

// The private clipboard reader; the stream stands after the file header line.
void ReadFragment(CStrFile& in, ItemVector& items, const std::vector<std::string>& existingTitles,
                  uint32_t& sectionIdCounter);

// The top-level loop of Load on its own, with no bookmark lists.
void ReadBlocks(CStrFile& in, ItemVector& items, uint32_t& sectionIdCounter, CTargetLibrary* target = nullptr);

// Leading blanks, an optional sign and digits; anything else gives 0. Saturates at the int32 range.
int32_t ParseDecimal(std::string_view text);

inline constexpr std::string_view kProgramHeaderLine = "$*TORVEL/RUX-V1";

} // namespace rux
