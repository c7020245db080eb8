#include "document/program.h"

#include "document/header_item.h"

namespace rux {

void CProgram::Clear() {
    m_items.RemoveAll();
    m_nextSectionId = 1;
    m_format = false;
}

const CPar* CProgram::GetHeader() const {
    if (m_items.IsEmpty())
        return nullptr;
    const CItem* first = m_items.GetAt(0);
    return first->GetType() == kItemPar ? static_cast<const CPar*>(first) : nullptr;
}

} // namespace rux
