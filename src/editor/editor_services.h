// The dialogs and windows an edit command may need, supplied by the user interface.
#pragma once

#include <string>

namespace rux {

class CDiag;
class CPar;

class CEditorServices {
public:
    virtual ~CEditorServices() = default;
    // The compiler library's function block editor on a header text; true when the user confirmed.
    virtual bool EditFunctionBlockHeader(std::string& text) = 0;
    // The task dialog on a section header text for a drive; true on OK.
    virtual bool EditTaskHeader(std::string& text, const std::string& drive) = 0;
    virtual void OpenNodeProperties(CPar& header) = 0;
    virtual void OpenDiagramEditor(CDiag& diagram) = 0;
    virtual void RebuildFunctionBlockMap() {}
};

// Does nothing and answers no: for a session without a window.
class CNoEditorServices : public CEditorServices {
public:
    bool EditFunctionBlockHeader(std::string&) override { return false; }
    bool EditTaskHeader(std::string&, const std::string&) override { return false; }
    void OpenNodeProperties(CPar&) override {}
    void OpenDiagramEditor(CDiag&) override {}
};

} // namespace rux
