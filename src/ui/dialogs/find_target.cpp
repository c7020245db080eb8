#include "dialogs/find_target.h"

#include "editor/edit_session.h"

namespace rux {

CFindResult CSessionFindTarget::Run(EFindButton button, CFindReplaceModel& model) {
    CFindResult result;
    switch (button) {
    case EFindButton::FindNext: result = FindNext(m_session, model); break;
    case EFindButton::Replace: result = Replace(m_session, model); break;
    case EFindButton::ReplaceAll: result = ReplaceAll(m_session, model); break;
    case EFindButton::None: result.refused = true; break;
    }
    if (m_after) m_after();
    return result;
}

bool CSessionFindTarget::CanModify() const {
    return m_session.CanEdit();
}

} // namespace rux
