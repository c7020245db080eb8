// What the Find/Replace dialog drives: the active program view, behind a small interface.
#pragma once

#include "editor/find_replace.h"
#include "editor/find_replace_model.h"

#include <functional>

namespace rux {

class CEditSession;

class CFindTarget {
public:
    virtual ~CFindTarget() = default;
    // Runs the command of one button on the view; the view repaints and keeps the caret visible.
    virtual CFindResult Run(EFindButton button, CFindReplaceModel& model) = 0;
    // Whether the view lets the dialog change its program (not read-only, not online).
    virtual bool CanModify() const = 0;
};

// A view's edit session as a target. `after` runs after every command, for the view to repaint
// the selection and scroll, which a search that moves only the selection does not announce.
class CSessionFindTarget final : public CFindTarget {
public:
    explicit CSessionFindTarget(CEditSession& session, std::function<void()> after = {})
        : m_session(session), m_after(std::move(after)) {}

    CFindResult Run(EFindButton button, CFindReplaceModel& model) override;
    bool CanModify() const override;

private:
    CEditSession& m_session;
    std::function<void()> m_after;
};

} // namespace rux
