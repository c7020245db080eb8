#include "porting/porting_search.h"

#include "document/ascii_text.h"
#include "document/diagram_item.h"
#include "document/program.h"
#include "document/section_items.h"
#include "porting/porting_issue.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <iterator>

namespace rux {
namespace {

bool IsScanSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// "%d": blanks, an optional sign, at least one digit. Values beyond an int saturate.
bool ScanInt(std::string_view text, size_t& pos, int& value) {
    size_t p = pos;
    while (p < text.size() && IsScanSpace(text[p]))
        ++p;
    bool negative = false;
    if (p < text.size() && (text[p] == '+' || text[p] == '-')) negative = text[p++] == '-';
    if (p >= text.size() || !IsDigit(text[p])) return false;
    long long v = 0;
    while (p < text.size() && IsDigit(text[p])) {
        if (v < INT_MAX) v = v * 10 + (text[p] - '0');
        ++p;
    }
    v = std::min<long long>(v, INT_MAX);
    value = static_cast<int>(negative ? -v : v);
    pos = p;
    return true;
}

uint64_t PairBit(char a, char b) {
    return uint64_t{1} << ((static_cast<unsigned char>(a) * 31u + static_cast<unsigned char>(b)) & 63u);
}

uint64_t PairBits(std::string_view text) {
    uint64_t bits = 0;
    for (size_t i = 1; i < text.size(); ++i)
        bits |= PairBit(text[i - 1], text[i]);
    return bits;
}

uint64_t RefKey(int menu, int parameter) {
    return (static_cast<uint64_t>(static_cast<uint32_t>(menu)) << 32) | static_cast<uint32_t>(parameter);
}

} // namespace

int ScanMenuParameter(std::string_view text, int& menu, int& parameter) {
    size_t pos = 0;
    if (!ScanInt(text, pos, menu)) return 0;
    if (pos >= text.size() || text[pos] != '.') return 1;
    ++pos;
    return ScanInt(text, pos, parameter) ? 2 : 1;
}

bool ReadParameterNumbers(std::string_view upper, int& menu, int& parameter) {
    if (ScanMenuParameter(upper, menu, parameter) == 2) return true;
    return upper.substr(0, 3) == "INT" && ScanMenuParameter(upper.substr(3), menu, parameter) == 2;
}

bool ReadParameterRef(std::string_view upper, int& menu, int& parameter) {
    return !upper.empty() && upper[0] == '#' && ReadParameterNumbers(upper.substr(1), menu, parameter);
}

int ParameterRefLength(std::string_view text, size_t hash) {
    size_t dot = text.find('.', hash);
    if (dot == std::string_view::npos) return static_cast<int>(text.size() - hash);
    size_t end = dot + 1;
    while (end < text.size() && IsDigit(text[end]))
        ++end;
    return static_cast<int>(end - hash);
}

size_t CommentStart(std::string_view text) {
    for (size_t p = text.find_first_of(";/"); p != std::string_view::npos;
         p = text.find_first_of(";/", p + 1))
        if (text[p] == ';' || (p + 1 < text.size() && text[p + 1] == '/')) return p;
    return std::string_view::npos;
}

void AnalyseItem(const CProgram& program, int index, CLocalScanItem& out) {
    AnalyseItem(program, index, out.scan);
    out.upper = UpperAsciiCopy(out.scan.text);
    out.scan.upper = out.upper;
}

void AnalyseItem(const CProgram& program, int index, CScanItem& out) {
    const CItem* item = program.Items().GetAt(index);
    out.item = item;
    out.text = item->GetText();
    out.type = item->GetType();
    out.section =
        out.type == kItemSectionHeader ? static_cast<const CSectionHeader*>(item) : item->GetSection();
    out.notes = out.section && out.section->IsNotes();
    if (out.type == kItemDiag) {
        out.diagramKind = static_cast<const CDiag*>(item)->GetKind();
        out.commentStart = std::string::npos;
    } else {
        out.diagramKind = 0;
        out.commentStart = CommentStart(item->GetText());
    }
}

std::string LocationOf(const CScanItem& item) {
    std::string location = item.section ? item.section->GetText() : std::string("N/A");
    if (item.type == kItemDiag) location += " - " + static_cast<const CDiag*>(item.item)->GetTitle();
    return location;
}

bool InComment(const CScanItem& item, size_t pos) {
    if (item.notes) return true;
    const std::string_view text = item.Text();
    // The comment's index is held against the match's column, which counts from 1: a comment that
    // starts right after the match's first character hides the match as well.
    if (item.type != kItemDiag) return item.commentStart != std::string::npos && item.commentStart <= pos + 1;
    if (item.diagramKind == kDiagramQld) {
        const size_t lineStart = pos == 0 ? 0 : text.rfind('\n', pos - 1);
        const size_t from = (pos == 0 || lineStart == std::string::npos) ? 0 : lineStart + 1;
        return (from < text.size() && text[from] == '(') || (from + 1 < text.size() && text[from + 1] == '*');
    }
    // FBD: the element the match belongs to starts at the last "@" before it.
    if (pos == 0) return false;
    const size_t at = text.rfind('@', pos - 1);
    if (at == std::string::npos) return false;
    return text.substr(at, pos - at).find("@TXT") != std::string_view::npos;
}

void DiagramPosition(const CScanItem& item, size_t pos, bool functionBlock, int& column, int& row) {
    column = row = -1;
    if (item.type != kItemDiag) return;
    const std::string_view before = item.Text().substr(0, pos);
    if (item.diagramKind != kDiagramQld) {
        const size_t at = before.rfind('@');
        if (at == std::string_view::npos) return;
        const size_t colon = before.find(':', at);
        if (colon == std::string_view::npos) return;
        // ":%d,P=(%d,%d)"
        std::string_view t = before.substr(colon + 1);
        size_t p = 0;
        int id = 0, c = 0, r = 0;
        if (!ScanInt(t, p, id) || t.substr(p, 4) != ",P=(") return;
        p += 4;
        if (!ScanInt(t, p, c) || p >= t.size() || t[p] != ',') return;
        ++p;
        if (!ScanInt(t, p, r)) return;
        column = c;
        row = r;
        return;
    }
    // A pair "[%d,%d]" after a literal head; 0, 0 when it does not read.
    auto readPair = [](std::string_view t, int& a, int& b) {
        a = b = 0;
        size_t p = 0;
        int x = 0, y = 0;
        if (!ScanInt(t, p, x) || p >= t.size() || t[p] != ',') return;
        ++p;
        if (!ScanInt(t, p, y)) return;
        a = x;
        b = y;
    };
    int a = 0, b = 0, c = 0, d = 0;
    const size_t sor = before.rfind("SOR");
    if (sor != std::string_view::npos) {
        // "SOR  [": the blanks of the pattern match any run of white space.
        size_t p = sor + 3;
        while (p < before.size() && IsScanSpace(before[p]))
            ++p;
        if (p < before.size() && before[p] == '[') readPair(before.substr(p + 1), a, b);
    }
    const size_t bracket = before.rfind('[');
    if (bracket != std::string_view::npos) readPair(before.substr(bracket + 1), c, d);
    if (functionBlock) {
        column = a + 1 + c;
        row = b + d;
        return;
    }
    const std::string_view t = bracket == std::string_view::npos ? before : before.substr(bracket);
    int n = 0, k = 0;
    const size_t semicolon = t.find(';');
    if (semicolon == std::string_view::npos) {
        const size_t paren = t.find('(');
        if (paren != std::string_view::npos)
            n = static_cast<int>(std::count(t.begin() + static_cast<std::ptrdiff_t>(paren), t.end(), ','));
    } else {
        n = static_cast<int>(std::count(t.begin() + static_cast<std::ptrdiff_t>(semicolon), t.end(), ','));
        k = 2;
    }
    column = a + c + k;
    row = b + d + n;
}

CPortingScanCache::CPortingScanCache(const CProgram& program) : m_program(program) {
    const CObArrayEx& items = program.Items();
    const int count = items.GetSize();
    size_t total = 0;
    for (const auto& item : items)
        total += item->GetText().size() + 1;
    m_upper.reserve(total);
    m_items.resize(static_cast<size_t>(count));
    m_starts.resize(static_cast<size_t>(count) + 1);
    m_pairs.resize(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        CScanItem& scan = m_items[static_cast<size_t>(i)];
        m_starts[static_cast<size_t>(i)] = m_upper.size();
        AnalyseItem(program, i, scan);
        const size_t at = m_upper.size();
        m_upper += scan.text;
        for (size_t k = at; k < m_upper.size(); ++k)
            m_upper[k] = UpperAscii(m_upper[k]);
        m_pairs[static_cast<size_t>(i)] = PairBits(std::string_view(m_upper).substr(at));
        m_upper += '\0';
        if (scan.type == kItemSectionHeader) m_headers.push_back(i);
    }
    m_starts[static_cast<size_t>(count)] = m_upper.size();
    // The views go in only now: the buffer no longer moves.
    for (int i = 0; i < count; ++i)
        m_items[static_cast<size_t>(i)].upper = std::string_view(m_upper).substr(
            m_starts[static_cast<size_t>(i)], m_items[static_cast<size_t>(i)].text.size());
}

CPortingScanCache::~CPortingScanCache() = default;

const CScanItem* CPortingScanCache::Get(int index) const {
    if (index < 0 || index >= static_cast<int>(m_items.size())) return nullptr;
    return &m_items[static_cast<size_t>(index)];
}

bool CPortingScanCache::FindUpper(std::string_view needle, int line, size_t from, int& item,
                                  size_t& pos) const {
    const int count = static_cast<int>(m_items.size());
    if (needle.empty()) return false;
    const uint64_t bits = PairBits(needle);
    for (int i = std::max(line, 0); i < count; ++i) {
        if ((m_pairs[static_cast<size_t>(i)] & bits) != bits) continue;
        const std::string_view upper = m_items[static_cast<size_t>(i)].upper;
        const size_t start = i == line ? from : 0;
        if (start > upper.size()) continue;
        const size_t hit = upper.find(needle, start);
        if (hit != std::string_view::npos) {
            item = i;
            pos = hit;
            return true;
        }
    }
    return false;
}

void CPortingScanCache::IndexParameters() {
    m_indexed = true;
    const int count = static_cast<int>(m_items.size());
    m_lastMarker.assign(m_items.size(), std::string::npos);
    for (int i = 0; i < count; ++i) {
        const CScanItem& scan = m_items[static_cast<size_t>(i)];
        const std::string_view text = scan.text;
        size_t hash = text.find('#');
        if (hash == std::string::npos) continue;
        m_lastMarker[static_cast<size_t>(i)] = text.rfind(kPortIgnoreMarker);
        for (; hash != std::string::npos; hash = text.find('#', hash + 1)) {
            int menu = 0, parameter = 0;
            if (ReadParameterRef(scan.upper.substr(hash), menu, parameter))
                m_refs[RefKey(menu, parameter)].push_back({i, hash});
        }
    }
}

const std::vector<CPortingScanCache::CRef>& CPortingScanCache::ParameterRefs(int menu, int parameter) {
    if (!m_indexed) IndexParameters();
    const auto it = m_refs.find(RefKey(menu, parameter));
    return it == m_refs.end() ? m_noRefs : it->second;
}

size_t CPortingScanCache::LastIgnoreMarker(int index) {
    if (!m_indexed) IndexParameters();
    return index >= 0 && static_cast<size_t>(index) < m_lastMarker.size()
               ? m_lastMarker[static_cast<size_t>(index)]
               : std::string::npos;
}

} // namespace rux
