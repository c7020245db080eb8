// Reads the program file format (and older plain-text programs) into items.
#pragma once

#include "document/item.h"

#include <cstdint>
#include <memory>
#include <string>
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

    // Section ids come from the receiving document's counter. The target library (may be null)
    // supplies the type of a header that names none.
    CProgramReader(CStrFile& in, uint32_t& sectionIdCounter, CTargetLibrary* target)
        : m_in(in), m_sectionIds(sectionIdCounter), m_target(target) {}

    // The top-level loop, until end of input or the end-of-program line.
    CReadResult ReadTopLevel(ItemVector& items, EMode mode, const std::vector<std::string>* existingTitles = nullptr);

    // Every line, terminator stripped, becomes a text line.
    void ReadPlainText(ItemVector& items);

private:
    bool Next();
    void ReadHeaderBlock(ItemVector& items, bool keep);
    void ReadSection(ItemVector& items);
    // Appends a diagram when the block holds one; returns it or null.
    CItem* ReadDiagram(ItemVector& items, CItem* section);
    void ReadPayload(std::string& payload);
    void ReadIndexBlock(std::vector<int>* list);
    // Reads a "{" ... "}" text block; lines keep their LF, the final LF is removed.
    std::string ReadTextBlock();

    CStrFile& m_in;
    uint32_t& m_sectionIds;
    CTargetLibrary* m_target;
    std::string m_line;
};

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
