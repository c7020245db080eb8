#include "document/section_items.h"

#include "document/header_item.h"
#include "document/output_stream.h"
#include "document/text_range.h"
#include "document/view_metrics.h"

namespace rux {

int ClassifySectionKind(std::string_view name, bool functionBlock) {
    if (functionBlock)
        return kSectionFunctionBlock;
    static const struct {
        const char* name;
        int kind;
    } kinds[] = {
        {"initial", kSectionInitial}, {"speed", kSectionSpeed},     {"encoder", kSectionEncoder},
        {"error", kSectionError},     {"event", kSectionEvent},     {"event1", kSectionEvent12},
        {"event2", kSectionEvent12},  {"event3", kSectionEvent3},   {"pos0", kSectionPos0},
        {"pos1", kSectionPos1},       {"sr", kSectionSr},           {"background", kSectionBackground},
    };
    for (const auto& k : kinds)
        if (EqualsNoCase(name, k.name))
            return k.kind;
    return kSectionOther;
}

void CSectionHeader::SetText(std::string text) {
    const std::string_view trimmed = TrimBlanks(text);
    m_text.assign(trimmed);
    m_functionBlock = m_text.find('(') != std::string::npos;
    m_notes = !m_functionBlock && EqualsNoCase(m_text, "NOTES");
    std::string_view name = m_text;
    if (const size_t eq = name.find('='); eq != std::string_view::npos)
        name = name.substr(eq + 1);
    if (const size_t paren = name.find('('); paren != std::string_view::npos)
        name = name.substr(0, paren);
    m_shortName.assign(TrimBlanks(name));
    m_sectionKind = ClassifySectionKind(m_shortName, m_functionBlock);
}

void CSectionHeader::WriteItem(int index, COstream& out, const CTextRange* range) const {
    if (range && !range->Contains(index))
        return;
    out << "#info=Section\r\nName=" << m_text << "\r\n";
    if (m_functionBlock) {
        out << "HelpLink=" << m_helpLink << "\r\n";
        out << (m_libVisible ? "LibVisible=1\r\n" : "LibVisible=0\r\n");
        WriteTextBlock(out, "FBDescription=", m_fbDescription);
    }
    out << (m_expanded ? "State=open\r\n" : "State=close\r\n") << "#endinfo\r\n";
}

void CSectionHeader::WriteText(int index, COstream& out, const CTextRange* range) const {
    if (range && !range->Contains(index))
        return;
    out << m_text << (m_expanded ? "{\r\n" : "{...}\r\n");
}

CDoubleClickRequest CSectionHeader::OnDoubleClick(int clickX, int, const CViewMetrics& metrics) const {
    if (clickX < CViewMetrics::kLeftMargin + 5 + metrics.LineHeight())
        return {EDoubleClick::ToggleFold};
    return {EDoubleClick::RenameSection};
}

std::unique_ptr<CItem> CSectionHeader::Clone() const {
    auto clone = std::make_unique<CSectionHeader>();
    CopyBaseTo(*clone);
    clone->m_reserved = m_reserved;
    clone->m_expanded = m_expanded;
    clone->m_functionBlock = m_functionBlock;
    clone->m_notes = m_notes;
    clone->m_id = m_id;
    clone->m_sectionKind = m_sectionKind;
    clone->m_shortName = m_shortName;
    clone->m_helpLink = m_helpLink;
    clone->m_fbDescription = m_fbDescription;
    clone->m_libVisible = m_libVisible;
    return clone;
}

void CSectionFooter::WriteItem(int index, COstream& out, const CTextRange* range) const {
    if (range && !range->Contains(index))
        return;
    out << "#info=EndSection\r\nName=" << m_text << "\r\n#endinfo\r\n";
}

void CSectionFooter::WriteText(int index, COstream& out, const CTextRange* range) const {
    if (range && !range->Contains(index))
        return;
    out << "} //" << m_text << "\r\n";
}

std::unique_ptr<CItem> CSectionFooter::Clone() const {
    auto clone = std::make_unique<CSectionFooter>();
    CopyBaseTo(*clone);
    return clone;
}

} // namespace rux
