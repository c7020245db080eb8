// The search rules every porting issue shares: what a scanned item looks like, comments, the
// patterns of parameter references and where a match lies inside a diagram.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace rux {

class CItem;
class CProgram;

// One item as the scan sees it.
struct CScanItem {
    const CItem* item = nullptr;
    int type = 0;        // the item's type code
    int diagramKind = 0; // for diagrams: FBD or QLD
    bool notes = false;  // inside (or the header of) a Notes section
    size_t commentStart = std::string::npos; // first ";" or "//" of a text row
    std::string upper;    // the text in upper case
    std::string location; // section title or "N/A", plus " - " and the title of a diagram
    const std::string& Text() const;
};

// Analyses each item once per scan, when an entry first asks for it.
class CPortingScanCache {
public:
    explicit CPortingScanCache(const CProgram& program);
    ~CPortingScanCache();
    CPortingScanCache(const CPortingScanCache&) = delete;
    CPortingScanCache& operator=(const CPortingScanCache&) = delete;

    // Null for an index without an item.
    const CScanItem* Get(int index);
    const CProgram& Program() const { return m_program; }

    // Positions of every "#" in the program that reads as a reference to a parameter: the
    // parameter entries look their number up here instead of walking the whole program.
    struct CRef {
        int item;
        size_t pos;
    };
    const std::vector<CRef>& ParameterRefs(int menu, int parameter);
    // Where "{PTOOL:Ignore}" starts last in the item's text (npos when it holds none).
    size_t LastIgnoreMarker(int index);

private:
    void IndexParameters();
    const CProgram& m_program;
    std::vector<std::unique_ptr<CScanItem>> m_items;
    std::vector<size_t> m_lastMarker;
    bool m_indexed = false;
    std::unordered_map<uint64_t, std::vector<CRef>> m_refs; // by menu and parameter
    std::vector<CRef> m_noRefs;
};

// Fills an item's analysis.
void AnalyseItem(const CProgram& program, int index, CScanItem& out);

// The first ";" or "//" of a text.
size_t CommentStart(std::string_view text);

// Whether a match at byte `pos` of the item lies in a comment.
bool InComment(const CScanItem& item, size_t pos);

// The diagram column and row of a match at byte `pos` of a diagram's payload; -1, -1 when the
// payload does not tell.
void DiagramPosition(const CScanItem& item, size_t pos, bool functionBlock, int& column, int& row);

// Reads "#%d.%d:" or, failing that, "#INT%d.%d:" at the start of an upper-cased text, as the C
// library's scanner would (blanks before a number, a sign). True when both numbers were read.
bool ReadParameterRef(std::string_view upper, int& menu, int& parameter);
// The same without the "#": "%d.%d:" or "INT%d.%d:".
bool ReadParameterNumbers(std::string_view upper, int& menu, int& parameter);
// Reads "%d.%d:" once; the number of values read (0 to 2).
int ScanMenuParameter(std::string_view text, int& menu, int& parameter);

// Length of a reference starting at its "#": up to the end of the digits after its first ".".
int ParameterRefLength(std::string_view text, size_t hash);

} // namespace rux
