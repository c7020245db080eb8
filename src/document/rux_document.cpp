#include "document/rux_document.h"

#include <algorithm>

namespace rux {

void CRUXDocument::SetModified(bool modified) {
    if (m_modified == modified)
        return;
    m_modified = modified;
    UpdateAllViews(kHintTitle);
}

void CRUXDocument::AddObserver(CDocumentObserver* observer) {
    if (observer && std::find(m_observers.begin(), m_observers.end(), observer) == m_observers.end())
        m_observers.push_back(observer);
}

void CRUXDocument::RemoveObserver(CDocumentObserver* observer) {
    m_observers.erase(std::remove(m_observers.begin(), m_observers.end(), observer), m_observers.end());
}

void CRUXDocument::UpdateAllViews(int hint, const CDocumentChange* change, CDocumentObserver* sender) {
    // Over a copy: an observer may detach itself while being told.
    const std::vector<CDocumentObserver*> observers = m_observers;
    for (CDocumentObserver* observer : observers)
        if (observer != sender)
            observer->OnUpdate(*this, hint, change);
}

void CRUXDocument::Reanalyse() {}

} // namespace rux
