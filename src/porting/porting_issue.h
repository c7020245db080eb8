// One construct of a program that changes between drive generations, and the catalogue entry that
// describes it: the base of every porting issue.
#pragma once

#include <memory>
#include <string>

namespace rux {

class CProgram;
class CXMLReader;
class CXMLNode;
class CPortingIssue;
class CPortingScanCache;

// Icon values of the catalogue, and the two the list shows for converted and ignored issues.
enum EPortingIcon : int {
    kPortIconNoConvert = 1,
    kPortIconCaveats = 2,
    kPortIconConvert = 3,
    kPortIconConverted = 4,
    kPortIconSeeHelp = 5,
    kPortIconIgnored = 6,
};

enum EPortingState : int {
    kPortStateOpen = 0,
    kPortStateConverted = 1,
    kPortStateIgnored = 2,
};

// The prefix that makes a parameter behave as on the old drive, and the marker of ignored lines.
inline constexpr const char kPortPrefix[] = "B2";
inline constexpr const char kPortIgnoreMarker[] = "{PTOOL:Ignore}";

// What a fix needs of the program view: a selection, a replacement and a question.
class CPortingView {
public:
    virtual ~CPortingView() = default;
    // Columns from 1; the selection runs from (fromCol, fromLine) to (toCol, toLine).
    virtual void SelectRange(int fromCol, int fromLine, int toCol, int toLine) = 0;
    // Replaces the selection as one undoable edit; false when the program may not be edited.
    virtual bool ReplaceSelection(const std::string& text) = 0;
    // A Yes/No question; true for Yes.
    virtual bool AskYesNo(const std::string& question) = 0;
};

// Told whenever an issue's state is set, so that the list can move the other issues of the line.
class CPortingIssueObserver {
public:
    virtual ~CPortingIssueObserver() = default;
    virtual void IssueStateChanged(CPortingIssue& issue, int oldState) = 0;
};

class CPortingIssue {
public:
    CPortingIssue() = default;
    virtual ~CPortingIssue() = default;
    CPortingIssue& operator=(const CPortingIssue&) = delete;

    // --- virtual operations ---------------------------------------------------------------
    virtual std::string GetDescription() const = 0;
    virtual std::string GetLabel() const { return m_name; }
    virtual std::string GetHelpTopic() const { return m_helpTopic; }
    virtual bool IsConverted() const = 0;
    virtual std::unique_ptr<CPortingIssue> Clone() const = 0;
    // Searches the document from the stored line and column; on a match fills the position fields.
    virtual bool FindNext() = 0;
    // Reads the catalogue attributes; false when the entry is to be dropped.
    virtual bool Load(const CXMLReader& reader, CXMLNode element);
    virtual bool ApplyFix(CPortingView* view, bool ask);
    // Whether the match is still at the recorded column of the given line text.
    virtual bool IsAt(const std::string& lineText) const;
    virtual int GetStart() const { return m_column; }
    virtual int GetEnd() const { return m_column + m_length; }
    // Walks the fields in declaration order up to the first difference. Nothing depends on the
    // answer, which has always been true; it is kept so that callers see the same result.
    virtual bool Compare(const CPortingIssue& other) const;
    virtual int GetState();
    virtual void SetState(int state);

    // --- fields -----------------------------------------------------------------------------
    // A short name of the kind, used by the machine-readable reports ("parameter", "task", ...).
    virtual const char* KindName() const = 0;
    int GetLine() const { return m_line; }
    int GetColumn() const { return m_column; }
    int GetIcon() const { return m_icon; }
    int GetDiagramColumn() const { return m_diagramColumn; }
    int GetDiagramRow() const { return m_diagramRow; }
    bool IsInDiagram() const { return m_diagramColumn != -1 || m_diagramRow != -1; }
    int GetLength() const { return m_length; }
    const std::string& GetName() const { return m_name; }
    const std::string& GetLocation() const { return m_location; }
    const CProgram* GetDocument() const { return m_document; }
    // Which element of the catalogue (counted from 0 in document order) the issue came from.
    int GetCatalogueEntry() const { return m_entry; }
    void SetCatalogueEntry(int entry) { m_entry = entry; }
    // The state as stored, without the re-check of ignored lines.
    int StoredState() const { return m_state; }
    // The icon the list shows: converted and ignored issues have their own.
    int ShownIcon();
    // The status text of the list's tool tip and of the command line.
    std::string StatusText();

    void SetPosition(int line, int column) {
        m_line = line;
        m_column = column;
    }
    // Moves the recorded column without touching anything else (the list keeps columns in step
    // with edits of the line).
    void ShiftColumn(int delta) { m_column += delta; }
    void SetDocument(const CProgram* document) { m_document = document; }
    void SetObserver(CPortingIssueObserver* observer) { m_observer = observer; }
    // Lines analysed once per scan and shared by every catalogue entry; null outside a scan.
    void SetCache(CPortingScanCache* cache) { m_cache = cache; }

protected:
    CPortingIssue(const CPortingIssue& other);

    int m_line = 0;
    int m_column = 0;
    int m_icon = 0;
    int m_diagramColumn = -1;
    int m_diagramRow = -1;
    int m_length = -1;
    std::string m_name;
    std::string m_location;
    std::string m_helpTopic;
    int m_state = kPortStateOpen;
    int m_entry = -1;
    const CProgram* m_document = nullptr;
    CPortingIssueObserver* m_observer = nullptr;
    CPortingScanCache* m_cache = nullptr;
};

// The status text of an icon value; empty for values without one.
std::string PortingStatusText(int icon);

// printf-style formatting of a string table text.
std::string FormatPortingText(int id, ...);

} // namespace rux
