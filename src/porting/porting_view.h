// The porting fixes on a program view's edit session: selections and replacements become the
// session's own undoable edits.
#pragma once

#include "porting/porting_issue.h"

#include <functional>

namespace rux {

class CEditSession;

class CSessionPortingView final : public CPortingView {
public:
    using Question = std::function<bool(const std::string&)>;
    CSessionPortingView(CEditSession& session, Question ask) : m_session(session), m_ask(std::move(ask)) {}

    void SelectRange(int fromCol, int fromLine, int toCol, int toLine) override;
    bool ReplaceSelection(const std::string& text) override;
    bool AskYesNo(const std::string& question) override { return m_ask ? m_ask(question) : false; }

private:
    CEditSession& m_session;
    Question m_ask;
};

} // namespace rux
