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

class CSectionHeader;

// One item as the scan sees it.
struct CScanItem {
    const CItem* item = nullptr;
    std::string_view text;                   // the item's text
    std::string_view upper;                  // the same in upper case
    const CSectionHeader* section = nullptr; // the enclosing section (a header is its own)
    size_t commentStart = std::string::npos; // first ";" or "//" of a text row
    int type = 0;                            // the item's type code
    int diagramKind = 0;                     // for diagrams: FBD or QLD
    bool notes = false;                      // inside (or the header of) a Notes section
    const std::string_view& Text() const { return text; }
};

// An item analysed on its own, outside a scan's cache: it keeps its upper-cased text.
struct CLocalScanItem {
    CScanItem scan;
    std::string upper;
};

// Where a match in the item lies: the section title or "N/A", plus " - " and the title of a
// diagram.
std::string LocationOf(const CScanItem& item);

// Analyses every item once per scan; the entries of the catalogue share it.
class CPortingScanCache {
public:
    explicit CPortingScanCache(const CProgram& program);
    ~CPortingScanCache();
    CPortingScanCache(const CPortingScanCache&) = delete;
    CPortingScanCache& operator=(const CPortingScanCache&) = delete;

    // Null for an index without an item.
    const CScanItem* Get(int index) const;
    int GetSize() const { return static_cast<int>(m_items.size()); }
    const CProgram& Program() const { return m_program; }
    // The indices of the section headers, in order.
    const std::vector<int>& Headers() const { return m_headers; }

    // The next place at or after byte `from` of item `line` where the upper-cased text of an
    // item holds `needle` (which must not be empty); false when there is none.
    bool FindUpper(std::string_view needle, int line, size_t from, int& item, size_t& pos) const;

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
    std::vector<CScanItem> m_items;
    std::string m_upper;          // every item's upper-cased text, each followed by a NUL
    std::vector<size_t> m_starts; // where each item's text starts in m_upper
    // For each item, one bit per hash of every pair of adjacent upper-cased bytes: an item whose
    // bits do not cover a needle's cannot hold it, and most items are passed over on that alone.
    std::vector<uint64_t> m_pairs;
    std::vector<int> m_headers;
    std::vector<size_t> m_lastMarker;
    bool m_indexed = false;
    std::unordered_map<uint64_t, std::vector<CRef>> m_refs; // by menu and parameter
    std::vector<CRef> m_noRefs;
};

// Fills an item's analysis but for `upper`, which is left to the caller.
void AnalyseItem(const CProgram& program, int index, CScanItem& out);
// The same with the upper-cased text.
void AnalyseItem(const CProgram& program, int index, CLocalScanItem& out);

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
