#include "document/lng_document.h"

#include "document/diagram_item.h"
#include "document/rux_document.h"

namespace rux {

CLngDocument::~CLngDocument() {
    Unbind();
}

void CLngDocument::Bind(CRUXDocument& program, const CDiag& item) {
    Unbind();
    m_program = &program;
    m_item = &item;
    m_itemId = item.GetId();
    program.AddDiagramDocument(this);
    UpdateTitle();
}

void CLngDocument::Unbind() {
    if (m_program) m_program->RemoveDiagramDocument(this);
    m_program = nullptr;
    m_item = nullptr;
}

bool CLngDocument::SaveDocument() {
    if (m_item && m_buildPayload && m_program) {
        // The item may have been deleted since the window opened, and its memory handed to another
        // item: only the id tells. A window whose item is gone is detached and writes nowhere.
        const int index = m_program->FindItem(m_itemId);
        if (index < 0 || m_program->Items().GetAt(index) != m_item) {
            Unbind();
        } else {
            std::string payload = m_buildPayload();
            // A diagram saved from its own window must still reach the disk with the program.
            if (payload != m_item->GetText())
                m_program->SetItemText(index, std::move(payload));
        }
    }
    m_modified = false;
    return true;
}

void CLngDocument::UpdateTitle() {
    if (!m_program || !m_item) {
        m_title.clear();
        return;
    }
    // The diagram window carries no modified mark of the program: its own state is shown apart.
    std::string title = m_program->GetTitle();
    if (title.ends_with(" *")) title.resize(title.size() - 2);
    m_title = title + " : " + m_item->GetTitle();
}

void CLngDocument::SetDebugMode(bool on) {
    m_debugMode = on;
    if (m_debugHandler) m_debugHandler(on);
}

} // namespace rux
