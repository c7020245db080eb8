// The kinds of porting issue: function blocks, parameters, parameter pointers and tasks of the
// Bittern migration, function blocks and parameters of the Albatross Q migration.
#pragma once

#include "porting/porting_issue.h"

#include <cstddef>
#include <functional>

namespace rux {

struct CScanItem;

// The shared search loop: every item from the stored line on, the stored column within the first.
class CPortingSearchIssue : public CPortingIssue {
protected:
    CPortingSearchIssue() = default;
    CPortingSearchIssue(const CPortingSearchIssue&) = default;
    // Looks for a match in one item from byte `from`; on success sets pos and length.
    using Matcher =
        std::function<bool(int index, const CScanItem& item, size_t from, size_t& pos, int& length)>;
    bool Search(const Matcher& match, bool functionBlock);
    // Records a match: position, length, location and, inside a diagram, the diagram cell.
    void Record(int index, const CScanItem& item, size_t pos, int length, bool functionBlock);
};

class CPortingFunctionBlockIssue : public CPortingSearchIssue {
public:
    CPortingFunctionBlockIssue() = default;
    std::string GetDescription() const override;
    bool IsConverted() const override { return false; }
    std::unique_ptr<CPortingIssue> Clone() const override;
    bool FindNext() override;
    bool IsAt(const std::string& lineText) const override;
    const char* KindName() const override { return "functionBlock"; }

protected:
    CPortingFunctionBlockIssue(const CPortingFunctionBlockIssue&) = default;
};

// The Albatross Q blocks are found by their "X=" name in diagram elements and text. The match
// is the "X=", so it spans "X=" and the name; IsAt checks the same span.
class CPortingAlbQFunctionBlockIssue : public CPortingSearchIssue {
public:
    CPortingAlbQFunctionBlockIssue() = default;
    std::string GetDescription() const override;
    bool IsConverted() const override { return false; }
    std::unique_ptr<CPortingIssue> Clone() const override;
    bool FindNext() override;
    bool IsAt(const std::string& lineText) const override;
    const char* KindName() const override { return "albatrossFunctionBlock"; }

protected:
    CPortingAlbQFunctionBlockIssue(const CPortingAlbQFunctionBlockIssue&) = default;
};

// A drive parameter reference "#m.pp" (or "#INTm.pp"), found for one menu and parameter.
class CPortingParameterIssue : public CPortingSearchIssue {
public:
    CPortingParameterIssue() = default;
    std::string GetDescription() const override;
    std::string GetLabel() const override;
    bool IsConverted() const override { return m_state == kPortStateConverted; }
    std::unique_ptr<CPortingIssue> Clone() const override;
    bool FindNext() override;
    bool Load(const CXMLReader& reader, CXMLNode element) override;
    bool ApplyFix(CPortingView* view, bool ask) override;
    bool IsAt(const std::string& lineText) const override;
    int GetState() override;
    const char* KindName() const override { return "parameter"; }

    int GetMenu() const { return m_menu; }
    int GetParameter() const { return m_parameter; }

    // The search without the scan's index: one pass over the program. The scan's results are
    // the same; tests compare the two.
    bool FindNextByPass();

protected:
    CPortingParameterIssue(const CPortingParameterIssue&) = default;
    bool MatchParameter(int index, const CScanItem& item, size_t from, size_t& pos, int& length) const;
    bool FixTextLine(CPortingView& view, bool ask);
    bool FixDiagram(CPortingView& view, bool ask);

    int m_menu = 0;
    int m_parameter = 0;
};

class CPortingAlbQParameterIssue : public CPortingParameterIssue {
public:
    CPortingAlbQParameterIssue() = default;
    std::string GetDescription() const override;
    std::unique_ptr<CPortingIssue> Clone() const override;
    bool ApplyFix(CPortingView* view, bool ask) override;
    const char* KindName() const override { return "albatrossParameter"; }

protected:
    CPortingAlbQParameterIssue(const CPortingAlbQParameterIssue&) = default;
};

// A parameter pointer "#Name%"; its name becomes the pointer text that was found.
class CPortingPointerIssue : public CPortingSearchIssue {
public:
    CPortingPointerIssue() = default;
    std::string GetDescription() const override;
    bool IsConverted() const override { return false; }
    std::unique_ptr<CPortingIssue> Clone() const override;
    bool FindNext() override;
    bool IsAt(const std::string& lineText) const override;
    const char* KindName() const override { return "pointer"; }

protected:
    CPortingPointerIssue(const CPortingPointerIssue&) = default;
};

class CPortingTaskIssue : public CPortingSearchIssue {
public:
    CPortingTaskIssue() = default;
    std::string GetDescription() const override;
    bool IsConverted() const override { return false; }
    std::unique_ptr<CPortingIssue> Clone() const override;
    bool FindNext() override;
    const char* KindName() const override { return "task"; }
    // A slot kept for the task kind; nothing uses it yet.
    virtual int GetExtra() const { return m_extra; }

protected:
    CPortingTaskIssue(const CPortingTaskIssue&) = default;
    int m_extra = 0;
};

// The pointer text at the start of a text ("#", letters and digits, "%"), as "#%s" reads it;
// empty when there is none.
std::string ReadPointerText(std::string_view fromHash);

} // namespace rux
