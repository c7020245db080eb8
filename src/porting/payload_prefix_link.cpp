#include "porting/payload_prefix_link.h"

#include "document/ascii_text.h"
#include "document/rux_document.h"
#include "editor/edit_session.h"
#include "porting/porting_issue.h"

namespace rux {

bool CPayloadPrefixLink::SelectAt(const CPortingIssue& issue) {
    Release();
    const CItem* item = m_session.Document().Items().GetAt(issue.GetLine());
    if (!item || item->GetType() != kItemDiag || issue.GetColumn() < 1) return false;
    const auto* diagram = static_cast<const CDiag*>(item);
    if (diagram->GetEditor()) return false;
    m_session.Document().SetDiagramEditor(issue.GetLine(), this);
    m_diagram = diagram;
    m_diagramId = diagram->GetId();
    m_index = issue.GetLine();
    m_pos = static_cast<size_t>(issue.GetColumn() - 1);
    return true;
}

void CPayloadPrefixLink::Release() {
    // Edits may have moved the row since: the item is found by its id.
    if (m_diagram) {
        CRUXDocument& document = m_session.Document();
        const int index = document.FindItem(m_diagramId, m_index);
        if (index >= 0 && static_cast<const CDiag*>(document.Items().GetAt(index))->GetEditor() == this)
            document.SetDiagramEditor(index, nullptr);
    }
    m_diagram = nullptr;
    m_index = -1;
}

std::string CPayloadPrefixLink::GetSelectedElementText() const {
    if (!m_diagram) return {};
    const std::string& text = m_diagram->GetText();
    if (m_pos >= text.size() || text[m_pos] != '#') return {};
    const bool prefixed =
        m_pos >= 2 && EqualsNoCase(std::string_view(text).substr(m_pos - 2, 2), kPortPrefix);
    const size_t start = prefixed ? m_pos - 2 : m_pos;
    const size_t end = std::min(text.find_first_of(",;*() \t\r\n", m_pos), text.size());
    return text.substr(start, end - start);
}

bool CPayloadPrefixLink::Replace(std::string text) {
    if (!m_session.BeginEdit()) return false;
    m_session.ChangeText(m_index, std::move(text));
    m_session.EndEdit();
    return true;
}

bool CPayloadPrefixLink::AddPrefix(const std::string& prefix) {
    if (!m_diagram || m_pos >= m_diagram->GetText().size() || m_diagram->GetText()[m_pos] != '#')
        return false;
    std::string text = m_diagram->GetText();
    text.insert(m_pos, prefix);
    if (!Replace(std::move(text))) return false;
    m_pos += prefix.size();
    return true;
}

bool CPayloadPrefixLink::RemovePrefix(const std::string& prefix) {
    if (!m_diagram || m_pos < prefix.size() || m_pos >= m_diagram->GetText().size()) return false;
    std::string text = m_diagram->GetText();
    if (text[m_pos] != '#' ||
        !EqualsNoCase(std::string_view(text).substr(m_pos - prefix.size(), prefix.size()), prefix))
        return false;
    text.erase(m_pos - prefix.size(), prefix.size());
    if (!Replace(std::move(text))) return false;
    m_pos -= prefix.size();
    return true;
}

} // namespace rux
