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
    m_diagramId = diagram->GetId();
    m_index = issue.GetLine();
    m_pos = static_cast<size_t>(issue.GetColumn() - 1);
    return true;
}

const CDiag* CPayloadPrefixLink::Diagram() const {
    if (m_diagramId == 0) return nullptr;
    const CRUXDocument& document = m_session.Document();
    const int index = document.FindItem(m_diagramId, m_index);
    if (index < 0) return nullptr;
    const CItem* item = document.Items().GetAt(index);
    if (item->GetType() != kItemDiag || static_cast<const CDiag*>(item)->GetEditor() != this) return nullptr;
    m_index = index;
    return static_cast<const CDiag*>(item);
}

void CPayloadPrefixLink::Release() {
    if (Diagram()) m_session.Document().SetDiagramEditor(m_index, nullptr);
    m_diagramId = 0;
    m_index = -1;
}

std::string CPayloadPrefixLink::GetSelectedElementText() const {
    const CDiag* diagram = Diagram();
    if (!diagram) return {};
    const std::string& text = diagram->GetText();
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
    const CDiag* diagram = Diagram();
    if (!diagram || m_pos >= diagram->GetText().size() || diagram->GetText()[m_pos] != '#') return false;
    std::string text = diagram->GetText();
    text.insert(m_pos, prefix);
    if (!Replace(std::move(text))) return false;
    m_pos += prefix.size();
    return true;
}

bool CPayloadPrefixLink::RemovePrefix(const std::string& prefix) {
    const CDiag* diagram = Diagram();
    if (!diagram || m_pos < prefix.size() || m_pos >= diagram->GetText().size()) return false;
    std::string text = diagram->GetText();
    if (text[m_pos] != '#' ||
        !EqualsNoCase(std::string_view(text).substr(m_pos - prefix.size(), prefix.size()), prefix))
        return false;
    text.erase(m_pos - prefix.size(), prefix.size());
    if (!Replace(std::move(text))) return false;
    m_pos -= prefix.size();
    return true;
}

} // namespace rux
