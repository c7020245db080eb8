#include "porting/porting_issues.h"

#include "document/ascii_text.h"
#include "document/diagram_item.h"
#include "document/program.h"
#include "document/string_table.h"
#include "porting/porting_search.h"
#include "porting/xml_reader.h"

#include <algorithm>

namespace rux {
namespace {

bool IsAlnum(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
bool IsScanSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// "%s": skips white space, then the run up to the next white space.
std::string_view ScanWord(std::string_view text) {
    size_t p = 0;
    while (p < text.size() && IsScanSpace(text[p]))
        ++p;
    size_t e = p;
    while (e < text.size() && !IsScanSpace(text[e]))
        ++e;
    return text.substr(p, e - p);
}

} // namespace

std::string ReadPointerText(std::string_view fromHash) {
    if (fromHash.empty() || fromHash[0] != '#') return {};
    const std::string_view word = ScanWord(fromHash.substr(1));
    const size_t percent = word.find('%');
    if (percent == std::string_view::npos) return {};
    const std::string_view run = word.substr(0, percent);
    if (!std::all_of(run.begin(), run.end(), IsAlnum)) return {};
    std::string pointer;
    pointer.reserve(run.size() + 2);
    pointer.push_back('#');
    pointer.append(run);
    pointer.push_back('%');
    return pointer;
}

// --- the shared search ---------------------------------------------------------------------

bool CPortingSearchIssue::Search(const Matcher& match, bool functionBlock) {
    if (!m_document) return false;
    const int count = m_document->Items().GetSize();
    CLocalScanItem local;
    for (int i = std::max(m_line, 0); i < count; ++i) {
        const CScanItem* item = nullptr;
        if (m_cache) {
            item = m_cache->Get(i);
        } else if (m_document->Items().GetAt(i)) {
            AnalyseItem(*m_document, i, local);
            item = &local.scan;
        }
        if (!item) continue;
        const size_t from = i == m_line ? static_cast<size_t>(std::max(m_column, 0)) : 0;
        if (from > item->Text().size()) continue;
        size_t pos = 0;
        int length = 0;
        if (match(i, *item, from, pos, length)) {
            Record(i, *item, pos, length, functionBlock);
            return true;
        }
    }
    return false;
}

void CPortingSearchIssue::Record(int index, const CScanItem& item, size_t pos, int length,
                                 bool functionBlock) {
    m_line = index;
    m_column = static_cast<int>(pos) + 1;
    m_length = length;
    m_location = LocationOf(item);
    DiagramPosition(item, pos, functionBlock, m_diagramColumn, m_diagramRow);
}

// --- function blocks -------------------------------------------------------------------------

std::string CPortingFunctionBlockIssue::GetDescription() const {
    return FormatPortingText(IDS_PORT_FB_BITTERN, m_name.c_str());
}

std::unique_ptr<CPortingIssue> CPortingFunctionBlockIssue::Clone() const {
    return std::unique_ptr<CPortingIssue>(new CPortingFunctionBlockIssue(*this));
}

bool CPortingFunctionBlockIssue::FindNext() {
    const std::string name = UpperAsciiCopy(m_name);
    if (name.empty()) return false;
    if (m_cache && m_document) {
        // One search through the whole program's text instead of one per item.
        int index = std::max(m_line, 0);
        size_t from = static_cast<size_t>(std::max(m_column, 0));
        size_t at = 0;
        while (m_cache->FindUpper(name, index, from, index, at)) {
            const CScanItem& item = *m_cache->Get(index);
            if (!InComment(item, at)) {
                Record(index, item, at, static_cast<int>(name.size()), true);
                return true;
            }
            from = at + 1;
        }
        return false;
    }
    return Search(
        [&](int, const CScanItem& item, size_t from, size_t& pos, int& length) {
            for (size_t at = item.upper.find(name, from); at != std::string::npos;
                 at = item.upper.find(name, at + 1)) {
                if (!InComment(item, at)) {
                    pos = at;
                    length = static_cast<int>(name.size());
                    return true;
                }
            }
            return false;
        },
        true);
}

bool CPortingFunctionBlockIssue::IsAt(const std::string& lineText) const {
    if (m_column < 1 || m_length < 0 || static_cast<size_t>(m_column - 1) > lineText.size()) return false;
    return EqualsNoCase(
        std::string_view(lineText).substr(static_cast<size_t>(m_column - 1), static_cast<size_t>(m_length)),
        m_name);
}

std::string CPortingAlbQFunctionBlockIssue::GetDescription() const {
    const char* detail = m_icon == kPortIconNoConvert ? LoadString(IDS_PORT_FB_ALBQ_UNSUPPORTED)
                         : m_icon == kPortIconSeeHelp ? LoadString(IDS_PORT_FB_ALBQ_ENCODER)
                                                      : "";
    return FormatPortingText(IDS_PORT_FB_ALBQ, m_name.c_str(), detail);
}

std::unique_ptr<CPortingIssue> CPortingAlbQFunctionBlockIssue::Clone() const {
    return std::unique_ptr<CPortingIssue>(new CPortingAlbQFunctionBlockIssue(*this));
}

namespace {

// The block name after an "X=" at `at`: up to the next "," (or the end of the row).
std::string_view NameAfterX(std::string_view upper, size_t at) {
    const size_t start = at + 2;
    const size_t end = std::min(upper.find_first_of(",\r\n", start), upper.size());
    return upper.substr(start, end - start);
}

} // namespace

bool CPortingAlbQFunctionBlockIssue::FindNext() {
    const std::string name = UpperAsciiCopy(m_name);
    if (name.empty()) return false;
    if (m_cache && m_document) {
        // The "X=" whose name matches is an "X=" + name followed by the end of the name.
        if (name.find_first_of(",\r\n") != std::string::npos) return false;
        const std::string needle = "X=" + name;
        int index = std::max(m_line, 0);
        size_t from = static_cast<size_t>(std::max(m_column, 0));
        size_t at = 0;
        while (m_cache->FindUpper(needle, index, from, index, at)) {
            const CScanItem& item = *m_cache->Get(index);
            if (NameAfterX(item.upper, at) == name && !InComment(item, at)) {
                Record(index, item, at, static_cast<int>(name.size()) + 2, true);
                return true;
            }
            from = at + 1;
        }
        return false;
    }
    return Search(
        [&](int, const CScanItem& item, size_t from, size_t& pos, int& length) {
            for (size_t at = item.upper.find("X=", from); at != std::string::npos;
                 at = item.upper.find("X=", at + 1)) {
                if (NameAfterX(item.upper, at) == name && !InComment(item, at)) {
                    pos = at;
                    length = static_cast<int>(name.size()) + 2;
                    return true;
                }
            }
            return false;
        },
        true);
}

bool CPortingAlbQFunctionBlockIssue::IsAt(const std::string& lineText) const {
    if (m_column < 1 || static_cast<size_t>(m_column - 1) + 2 > lineText.size()) return false;
    const std::string upper = UpperAsciiCopy(lineText);
    const size_t at = static_cast<size_t>(m_column - 1);
    return upper.compare(at, 2, "X=") == 0 && NameAfterX(upper, at) == UpperAsciiCopy(m_name);
}

// --- parameters ------------------------------------------------------------------------------

bool CPortingParameterIssue::Load(const CXMLReader& reader, CXMLNode element) {
    if (!CPortingIssue::Load(reader, element)) return false;
    return ScanMenuParameter(reader.AttributeText(element, "menu"), m_menu, m_parameter) == 2;
}

std::string CPortingParameterIssue::GetDescription() const {
    const char* convert = m_icon >= kPortIconNoConvert && m_icon <= kPortIconConvert
                              ? LoadString(IDS_PORT_PAR_CONVERT_1 + m_icon - 1)
                              : "";
    return FormatPortingText(IDS_PORT_PAR_BITTERN, m_menu, m_parameter, m_name.c_str(), convert);
}

std::string CPortingParameterIssue::GetLabel() const {
    return FormatPortingText(IDS_PORT_PAR_LABEL, m_menu, m_parameter, m_name.c_str());
}

std::unique_ptr<CPortingIssue> CPortingParameterIssue::Clone() const {
    return std::unique_ptr<CPortingIssue>(new CPortingParameterIssue(*this));
}

bool CPortingParameterIssue::MatchParameter(int, const CScanItem& item, size_t from, size_t& pos,
                                            int& length) const {
    const std::string_view text = item.Text();
    if (text.find(kPortIgnoreMarker, from) != std::string::npos) return false;
    for (size_t hash = text.find('#', from); hash != std::string::npos; hash = text.find('#', hash + 1)) {
        int menu = 0, parameter = 0;
        if (ReadParameterRef(item.upper.substr(hash), menu, parameter) && menu == m_menu &&
            parameter == m_parameter && !InComment(item, hash)) {
            pos = hash;
            length = ParameterRefLength(text, hash);
            return true;
        }
    }
    return false;
}

namespace {

int StateAt(std::string_view text, size_t hash) {
    return hash >= 2 && EqualsNoCase(text.substr(hash - 2, 2), kPortPrefix) ? kPortStateConverted
                                                                            : kPortStateOpen;
}

} // namespace

bool CPortingParameterIssue::FindNextByPass() {
    const bool found = Search([this](int index, const CScanItem& item, size_t from, size_t& pos,
                                     int& length) { return MatchParameter(index, item, from, pos, length); },
                              false);
    if (found)
        m_state = StateAt(m_document->Items().GetAt(m_line)->GetText(), static_cast<size_t>(m_column - 1));
    return found;
}

bool CPortingParameterIssue::FindNext() {
    if (!m_cache || !m_document) return FindNextByPass();
    // The index lists every reference to this parameter in program order; the rules of the pass
    // (ignored lines, comments) are applied to those places only.
    const auto& refs = m_cache->ParameterRefs(m_menu, m_parameter);
    const int line = std::max(m_line, 0);
    const size_t column = static_cast<size_t>(std::max(m_column, 0));
    auto it =
        std::lower_bound(refs.begin(), refs.end(), std::make_pair(line, column),
                         [](const CPortingScanCache::CRef& ref, const std::pair<int, size_t>& at) {
                             return ref.item < at.first || (ref.item == at.first && ref.pos < at.second);
                         });
    while (it != refs.end()) {
        const int index = it->item;
        const size_t from = index == line ? column : 0;
        const size_t marker = m_cache->LastIgnoreMarker(index);
        if (marker != std::string::npos && marker >= from) {
            while (it != refs.end() && it->item == index)
                ++it;
            continue;
        }
        const CScanItem* item = m_cache->Get(index);
        if (item && !InComment(*item, it->pos)) {
            Record(index, *item, it->pos, ParameterRefLength(item->Text(), it->pos), false);
            m_state = StateAt(item->Text(), it->pos);
            return true;
        }
        ++it;
    }
    return false;
}

bool CPortingParameterIssue::IsAt(const std::string& lineText) const {
    if (m_column < 1 || static_cast<size_t>(m_column - 1) >= lineText.size()) return false;
    int menu = 0, parameter = 0;
    return ReadParameterRef(
               UpperAsciiCopy(std::string_view(lineText).substr(static_cast<size_t>(m_column - 1))), menu,
               parameter) &&
           menu == m_menu && parameter == m_parameter;
}

int CPortingParameterIssue::GetState() {
    // Without its document (the program was closed) the line cannot be read again: the state stands.
    if (m_state == kPortStateIgnored && m_document) {
        const CItem* item = m_line >= 0 && m_line < m_document->Items().GetSize() ? m_document->Items().GetAt(m_line)
                                                                                : nullptr;
        if (!item || item->GetText().find(kPortIgnoreMarker) == std::string::npos) m_state = kPortStateOpen;
    }
    return m_state;
}

bool CPortingParameterIssue::ApplyFix(CPortingView* view, bool ask) {
    if ((m_icon != kPortIconCaveats && m_icon != kPortIconConvert) || !view) return true;
    const CItem* item = m_document ? m_document->Items().GetAt(m_line) : nullptr;
    if (!item) return false;
    if (item->GetType() == kItemDiag) return FixDiagram(*view, ask);
    if (item->GetType() != kItemLine) return false;
    return FixTextLine(*view, ask);
}

bool CPortingParameterIssue::FixTextLine(CPortingView& view, bool ask) {
    const std::string& text = m_document->Items().GetAt(m_line)->GetText();
    const size_t hash = static_cast<size_t>(m_column - 1);
    int menu = 0, parameter = 0;
    if (m_column < 1 || hash >= text.size() || text[hash] != '#' ||
        !ReadParameterNumbers(UpperAsciiCopy(std::string_view(text).substr(hash + 1)), menu, parameter) ||
        menu != m_menu || parameter != m_parameter)
        return false;
    switch (GetState()) {
    case kPortStateOpen:
        if (ask && !view.AskYesNo(FormatPortingText(IDS_PORT_ASK_ADD, GetLabel().c_str()))) return true;
        view.SelectRange(m_column, m_line, m_column + 1, m_line);
        if (!view.ReplaceSelection(std::string(kPortPrefix) + "#")) return false;
        SetState(kPortStateConverted);
        return true;
    case kPortStateConverted:
        // Only a prefix that is still there is taken away.
        if (hash < 2 || !EqualsNoCase(std::string_view(text).substr(hash - 2, 2), kPortPrefix)) return false;
        if (ask && !view.AskYesNo(FormatPortingText(IDS_PORT_ASK_REMOVE, GetLabel().c_str()))) return true;
        view.SelectRange(m_column - 2, m_line, m_column + 1, m_line);
        if (!view.ReplaceSelection("#")) return false;
        SetState(kPortStateOpen);
        return true;
    default:
        return true;
    }
}

bool CPortingParameterIssue::FixDiagram(CPortingView& view, bool ask) {
    const auto* diagram = static_cast<const CDiag*>(m_document->Items().GetAt(m_line));
    const std::string selected = UpperAsciiCopy(diagram->GetSelectedElementText());
    const int state = GetState();
    if (state == kPortStateIgnored) return true;
    std::string_view reference = selected;
    if (state == kPortStateConverted) {
        if (reference.substr(0, 2) != kPortPrefix) return false;
        reference.remove_prefix(2);
    }
    int menu = 0, parameter = 0;
    if (!ReadParameterRef(reference, menu, parameter) || menu != m_menu || parameter != m_parameter)
        return false;
    const int question = state == kPortStateOpen ? IDS_PORT_ASK_ADD : IDS_PORT_ASK_REMOVE;
    if (ask && !view.AskYesNo(FormatPortingText(question, GetLabel().c_str()))) return true;
    const bool done =
        state == kPortStateOpen ? diagram->AddPrefix(kPortPrefix) : diagram->RemovePrefix(kPortPrefix);
    if (!done) return false;
    SetState(state == kPortStateOpen ? kPortStateConverted : kPortStateOpen);
    return true;
}

std::string CPortingAlbQParameterIssue::GetDescription() const {
    return FormatPortingText(IDS_PORT_PAR_ALBQ, m_menu, m_parameter, m_name.c_str(), "");
}

std::unique_ptr<CPortingIssue> CPortingAlbQParameterIssue::Clone() const {
    return std::unique_ptr<CPortingIssue>(new CPortingAlbQParameterIssue(*this));
}

bool CPortingAlbQParameterIssue::ApplyFix(CPortingView*, bool) {
    return false;
}

// --- pointers --------------------------------------------------------------------------------

std::string CPortingPointerIssue::GetDescription() const {
    return FormatPortingText(IDS_PORT_POINTER, m_name.c_str());
}

std::unique_ptr<CPortingIssue> CPortingPointerIssue::Clone() const {
    return std::unique_ptr<CPortingIssue>(new CPortingPointerIssue(*this));
}

bool CPortingPointerIssue::FindNext() {
    std::string found;
    const bool ok = Search(
        [&](int, const CScanItem& item, size_t from, size_t& pos, int& length) {
            const std::string_view text = item.Text();
            if (text.find(kPortIgnoreMarker, from) != std::string::npos) return false;
            for (size_t hash = text.find('#', from); hash != std::string::npos;
                 hash = text.find('#', hash + 1)) {
                std::string pointer = ReadPointerText(text.substr(hash));
                if (!pointer.empty() && !InComment(item, hash)) {
                    pos = hash;
                    length = static_cast<int>(pointer.size());
                    found = std::move(pointer);
                    return true;
                }
            }
            return false;
        },
        false);
    if (ok) m_name = found;
    return ok;
}

bool CPortingPointerIssue::IsAt(const std::string& lineText) const {
    if (m_column < 1 || static_cast<size_t>(m_column - 1) >= lineText.size() ||
        lineText[static_cast<size_t>(m_column - 1)] != '#')
        return false;
    return ScanWord(std::string_view(lineText).substr(static_cast<size_t>(m_column))).find('%') !=
           std::string_view::npos;
}

// --- tasks -----------------------------------------------------------------------------------

std::string CPortingTaskIssue::GetDescription() const {
    return FormatPortingText(m_icon == kPortIconSeeHelp ? IDS_PORT_TASK_DIFFERS : IDS_PORT_TASK_MISSING,
                             m_name.c_str());
}

std::unique_ptr<CPortingIssue> CPortingTaskIssue::Clone() const {
    return std::unique_ptr<CPortingIssue>(new CPortingTaskIssue(*this));
}

bool CPortingTaskIssue::FindNext() {
    const std::string name = UpperAsciiCopy(m_name);
    if (name.empty()) return false;
    if (m_cache && m_document) {
        // Only the section headers are visited.
        const auto& headers = m_cache->Headers();
        const int line = std::max(m_line, 0);
        for (auto it = std::lower_bound(headers.begin(), headers.end(), line); it != headers.end(); ++it) {
            const CScanItem& item = *m_cache->Get(*it);
            const size_t from = *it == line ? static_cast<size_t>(std::max(m_column, 0)) : 0;
            if (from > item.text.size()) continue;
            for (size_t at = item.upper.find(name, from); at != std::string::npos;
                 at = item.upper.find(name, at + 1))
                if (!InComment(item, at)) {
                    Record(*it, item, at, static_cast<int>(name.size()), false);
                    return true;
                }
        }
        return false;
    }
    return Search(
        [&](int, const CScanItem& item, size_t from, size_t& pos, int& length) {
            if (item.type != kItemSectionHeader) return false;
            for (size_t at = item.upper.find(name, from); at != std::string::npos;
                 at = item.upper.find(name, at + 1)) {
                if (!InComment(item, at)) {
                    pos = at;
                    length = static_cast<int>(name.size());
                    return true;
                }
            }
            return false;
        },
        false);
}

} // namespace rux
