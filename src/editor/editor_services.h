// The questions an edit command may put to the user, and the windows it may open, supplied by the
// user interface. Every question returns the user's answer; nothing in the program changes while
// it is asked, and the command applies the answer afterwards as one edit.
#pragma once

#include <optional>
#include <string>

namespace rux {

class CDiag;
class CNodePropertiesForm;

class CEditorServices {
public:
    virtual ~CEditorServices() = default;
    // The compiler library's function block editor on a header text: the new text, or nothing
    // when the user did not confirm.
    virtual std::optional<std::string> AskFunctionBlockHeader(const std::string& text) = 0;
    // The task dialog on a section header text for a drive: its text on OK, else nothing.
    virtual std::optional<std::string> AskTaskHeader(const std::string& text, const std::string& drive) = 0;
    // The Properties dialog on a form filled from the program header; true on OK, with the
    // user's values in the form.
    virtual bool AskNodeProperties(CNodePropertiesForm& form) = 0;
    virtual void OpenDiagramEditor(const CDiag& diagram) = 0;
    virtual void RebuildFunctionBlockMap() {}
};

// Does nothing and answers no: for a session without a window.
class CNoEditorServices : public CEditorServices {
public:
    std::optional<std::string> AskFunctionBlockHeader(const std::string&) override { return std::nullopt; }
    std::optional<std::string> AskTaskHeader(const std::string&, const std::string&) override { return std::nullopt; }
    bool AskNodeProperties(CNodePropertiesForm&) override { return false; }
    void OpenDiagramEditor(const CDiag&) override {}
};

} // namespace rux
