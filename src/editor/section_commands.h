// Folding, and the commands that put new program elements into a program: sections, tasks,
// user-defined function blocks, diagrams, variables and function block calls.
#pragma once

#include <string>
#include <vector>

namespace rux {

class CDiag;
class CEditSession;
class CTargetLibrary;
class CSectionHeader;

// The function block header editor of the compiler library.
class CFunctionBlockEditor {
public:
    virtual ~CFunctionBlockEditor() = default;
    // Edits (or, for a new block, asks for) a header text; true when the user confirmed.
    virtual bool Edit(std::string& header, int capability, int maxParamIn, int maxParamOut) = 0;
};

// F8: folds or unfolds the section whose header holds the caret, or shows or hides the preview of
// the diagram there. True when something changed.
bool ToggleFold(CEditSession& session);
void ExpandAll(CEditSession& session);
void MinimizeAll(CEditSession& session);

// The body lines of a new section: `<name>.tpl` from the product directory, else "default.tpl",
// else none.
std::vector<std::string> SectionTemplate(const std::string& productDir, const std::string& name);

// Inserts an empty line, the section, its template body, its footer and two empty lines at the
// caret (above the section header the caret is on).
void InsertSection(CEditSession& session, const std::string& name, const std::string& productDir);

// MaxParamIn and MaxParamOut of a target type from DRVDEF.HDW (256 each when absent).
struct CFbLimits {
    int maxParamIn = 256;
    int maxParamOut = 256;
};
CFbLimits FunctionBlockLimits(const std::string& productDir, const std::string& targetType);
// The capability value passed to the function block editor: 1 when the type cannot be asked.
int FunctionBlockCapability(CTargetLibrary& target, const std::string& targetType);

// Asks the editor for a header and inserts a new user-defined function block. False when nothing
// was inserted (refused, cancelled, or no editor).
bool InsertUserFunctionBlock(CEditSession& session, CFunctionBlockEditor& editor, CTargetLibrary& target,
                             const std::string& productDir);

// Inserts a new diagram of the kind (1 LD/FBD, 2 quick ladder) and an empty line into the section
// the caret is in or on; returns the diagram for its window to open, or null when refused.
const CDiag* InsertDiagram(CEditSession& session, int kind);

// A function block chosen for a call.
struct CFbCallSpec {
    std::string name;
    std::vector<std::string> outputs;
    std::vector<std::string> inputs;
    // Blocks with a variable number of inputs: how many unnamed inputs the call starts with.
    bool variableInputs = false;
    int variableCount = 0;
};
// The call line: "out1, out2 = Name(in1, in2)".
std::string FunctionBlockCallText(const CFbCallSpec& block, const std::string& outputPart);
// Inserts the call line for the block at the caret as one undo group.
void InsertFunctionBlockCall(CEditSession& session, const CFbCallSpec& block);

} // namespace rux
