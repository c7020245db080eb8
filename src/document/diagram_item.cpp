#include "document/diagram_item.h"

#include "document/ascii_text.h"

#include "document/output_stream.h"
#include "document/text_range.h"
#include "document/view_metrics.h"

#include <algorithm>
#include <cstdint>
#include <string>

namespace rux {

int MulDiv(int a, int b, int c) {
    if (c == 0)
        return -1;
    const int64_t p = static_cast<int64_t>(a) * b;
    const int64_t half = (c < 0 ? -static_cast<int64_t>(c) : c) / 2;
    // Round half away from zero.
    const bool negative = (p < 0) != (c < 0);
    const int64_t ap = p < 0 ? -p : p;
    const int64_t ac = c < 0 ? -static_cast<int64_t>(c) : c;
    const int64_t q = (ap + half) / ac;
    const int64_t r = negative ? -q : q;
    if (r > INT32_MAX || r < INT32_MIN)
        return -1;
    return static_cast<int>(r);
}

int CDiag::GetZoom() const { return static_cast<int>(static_cast<int64_t>(m_height) * 100 / kBaseHeight); }

void CDiag::SetZoom(int percent) {
    // A file may hold any number here; sizes stay positive and small enough to lay out.
    percent = std::clamp(percent, 0, kMaxZoom);
    m_width = MulDiv(kBaseWidth, percent, 100);
    m_height = MulDiv(kBaseHeight, percent, 100);
}

void CDiag::WriteItem(int index, COstream& out, const CTextRange* range) const {
    if (range && !range->Contains(index))
        return;
    out << "#info=Diagram\r\nMetafile=0\r\nZoom=" << std::to_string(GetZoom()) << "\r\nDiagTitle=" << m_title
        << (m_open ? "\r\nState=open\r\n" : "\r\nState=close\r\n")
        << (m_kind == kDiagramQld ? "#info=QLD\r\n" : "#info=FBD\r\n") << m_text << "#endinfo\r\n#endinfo\r\n";
}

int CDiag::GetHeight(const CViewMetrics& metrics) const { return m_open ? m_height : metrics.LineHeight(); }

int CDiag::GetWidth(const CViewMetrics&) const { return m_width; }

CDoubleClickRequest CDiag::OnDoubleClick(int clickX, int, const CViewMetrics& metrics) const {
    if (clickX < CViewMetrics::kLeftMargin + 5 + metrics.LineHeight())
        return {EDoubleClick::ToggleFold};
    return {m_open ? EDoubleClick::OpenDiagram : EDoubleClick::Nothing};
}

std::unique_ptr<CItem> CDiag::Clone() const {
    auto clone = std::make_unique<CDiag>(m_kind);
    CopyBaseTo(*clone);
    clone->m_width = m_width;
    clone->m_height = m_height;
    clone->m_open = m_open;
    clone->m_title = m_title;
    return clone;
}

int CDiag::ReplaceAll(std::string_view find, std::string_view replacement, bool matchCase) {
    if (m_kind != kDiagramFbd && m_kind != kDiagramQld)
        return 0;
    return m_editor ? m_editor->ReplaceAll(find, replacement, matchCase) : 0;
}

bool CDiag::FindText(std::string_view text, bool matchCase, bool down) const {
    if (m_kind != kDiagramFbd && m_kind != kDiagramQld)
        return false;
    return m_editor && m_editor->FindText(text, matchCase, down);
}

std::string CDiag::Caption(const std::string& openWord, const std::string& editedWord) const {
    std::string caption = m_title;
    if (m_editor)
        caption += " (" + (m_editor->IsModified() ? editedWord : openWord) + ") ";
    if (!m_open)
        caption += "{...}";
    return caption;
}

std::string CDiag::GetSelectedElementText() const { return m_editor ? m_editor->GetSelectedElementText() : std::string(); }
bool CDiag::AddPrefix(const std::string& prefix) const { return m_editor && m_editor->AddPrefix(prefix); }
bool CDiag::RemovePrefix(const std::string& prefix) const { return m_editor && m_editor->RemovePrefix(prefix); }

std::string FreeDiagramTitle(const std::vector<const std::string*>& titles) {
    for (int n = 1;; ++n) {
        std::string candidate = "Diagram " + std::to_string(n);
        if (std::none_of(titles.begin(), titles.end(), [&](const std::string* t) { return EqualsNoCase(*t, candidate); }))
            return candidate;
    }
}

} // namespace rux
