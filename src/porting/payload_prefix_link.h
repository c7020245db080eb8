// Adds and removes the parameter prefix inside a diagram's payload when no diagram window is
// open, as the command line needs: it stands in for the window and selects the element of one
// reference, and its prefix operations are undoable edits of the program's session.
#pragma once

#include "document/diagram_item.h"

namespace rux {

class CEditSession;
class CPortingIssue;

class CPayloadPrefixLink final : public CDiagramEditorLink {
public:
    explicit CPayloadPrefixLink(CEditSession& session) : m_session(session) {}
    ~CPayloadPrefixLink() override { Release(); }
    CPayloadPrefixLink(const CPayloadPrefixLink&) = delete;
    CPayloadPrefixLink& operator=(const CPayloadPrefixLink&) = delete;

    // Binds to the diagram of the issue and selects the reference at its column; false when the
    // issue does not lie in a diagram or another window is bound to it.
    bool SelectAt(const CPortingIssue& issue);
    // Unbinds from the diagram.
    void Release();

    bool IsModified() const override { return false; }
    void Activate() override {}
    // The selected reference: from its prefix, when it has one, to the end of its word.
    std::string GetSelectedElementText() const override;
    bool AddPrefix(const std::string& prefix) override;
    bool RemovePrefix(const std::string& prefix) override;
    int ReplaceAll(std::string_view, std::string_view, bool) override { return 0; }

private:
    // The bound diagram as it stands now, found again by its id: edits may have moved or deleted
    // it since, and a pointer kept from the binding could not tell. Null once it is gone.
    const CDiag* Diagram() const;
    bool Replace(std::string text);
    CEditSession& m_session;
    uint32_t m_diagramId = 0; // 0: not bound
    mutable int m_index = -1; // where the diagram stood last: the search starts there
    size_t m_pos = 0; // the reference's "#" in the payload
};

} // namespace rux
