#include "porting/porting_view.h"

#include "editor/edit_session.h"

namespace rux {

void CSessionPortingView::SelectRange(int fromCol, int fromLine, int toCol, int toLine) {
    m_session.Select({fromCol, fromLine}, {toCol, toLine});
}

bool CSessionPortingView::ReplaceSelection(const std::string& text) {
    if (!m_session.CanEdit()) return false;
    m_session.InsertText(text);
    return true;
}

} // namespace rux
