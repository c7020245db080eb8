// The indexer code import (the sequencer's generated code taken into the program between marker
// comments) and the command that adds the indexer's function block and its directive.
#pragma once

#include <string>

namespace rux {

class CEditSession;
class CIndexerUDFBForm;
class CLibraryService;
class CSequencerClipboardFormat;

// The directive that names the indexer's function block, with the blank that ends it.
inline constexpr const char* kIndexRoutineDirective = "$INDEXROUTINE ";
// The library the generated code calls into.
inline constexpr const char* kIndexerLibrary = "IndexerLibrary";
// The text shown after an import, in the product's data directory.
inline constexpr const char* kImportInformationFile = "QuodexImportInformation.txt";

// What the two commands ask of the user; the editor shows boxes and dialogs, a script answers
// from its queue.
class CIndexerPrompts {
public:
    virtual ~CIndexerPrompts() = default;
    virtual void ShowMessage(const std::string& text) = 0;
    // A Yes/No question; true for Yes.
    virtual bool AskYesNo(const std::string& text) = 0;
    // The information dialog; true when its check box ("do not show again") was ticked.
    virtual bool ShowImportInformation(const std::string& text) = 0;
    // The function block name dialog on the form. OK closes it only when the form accepts the name
    // (the form's message is shown otherwise); true on OK, false on Cancel.
    virtual bool AskFunctionBlockName(CIndexerUDFBForm& form) = 0;
};

// The section title of the indexer function block called `name`.
std::string IndexerFunctionBlockTitle(const std::string& name);

struct CIndexerImportSettings {
    // The frame's "Show Quodex import information" flag; the information dialog may clear it.
    bool* showInformation = nullptr;
    // Where the information text lies (the product directory).
    std::string dataDirectory;
};

// Import (command 32940) of the blocks read into `blocks`. One transaction and one undo group for
// every change. Returns whether the import happened.
bool ImportIndexerCode(CEditSession& session, const CSequencerClipboardFormat& blocks,
                       CIndexerPrompts& prompts, CLibraryService& libraries,
                       const CIndexerImportSettings& settings);

// Add indexer function block (command 32941): the block after the Alias section and the directive
// at the top, in one undo group. Returns whether they were added.
bool AddIndexerFunctionBlock(CEditSession& session, CIndexerPrompts& prompts, const std::string& productDir);

} // namespace rux
