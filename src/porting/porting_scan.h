// The porting scan of a program against an issue catalogue, and the list of issues it yields
// with the commands that act on the whole list (fix all, ignore).
#pragma once

#include "porting/porting_issue.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace rux {

class CMessageSink;
class CProgram;
class CXMLReader;

enum class EPortingCatalogue { Bittern, AlbatrossQ };

// "Bittern2.xml" or "AlbatrossQ.xml".
const char* CatalogueFileName(EPortingCatalogue catalogue);
// "Bittern2Issues" or "AlbatrossQIssues".
const char* CatalogueRootName(EPortingCatalogue catalogue);
// The migration a program's target type calls for. A refresh of the list keeps to the narrower
// set of target types.
EPortingCatalogue ChooseCatalogue(const std::string& targetType, bool refresh);
// The help folder of a catalogue's pages under the help directory ("PortingTool" and
// "PortingAlbatrossQ").
const char* CatalogueHelpFolder(EPortingCatalogue catalogue);

// The porting tool works on programs of 1 to 400 sections.
inline constexpr int kPortMaxSections = 400;
int CountSections(const CProgram& program);

// A catalogue entry's issue for an element name of that catalogue; null for other names.
std::unique_ptr<CPortingIssue> NewCatalogueIssue(EPortingCatalogue catalogue, const std::string& elementName);

// The entries of a catalogue in document order, as the scan reads them; an entry the scan drops
// is kept as null so that the positions match GetCatalogueEntry. False when it cannot be read.
bool LoadCatalogue(EPortingCatalogue catalogue, const std::string& catalogueDir,
                   std::vector<std::unique_ptr<CPortingIssue>>& entries);

class CPortingIssueList final : public CPortingIssueObserver {
public:
    CPortingIssueList() = default;
    ~CPortingIssueList() override;
    CPortingIssueList(const CPortingIssueList&) = delete;
    CPortingIssueList& operator=(const CPortingIssueList&) = delete;

    // Replaces the list by a scan of the program against the catalogue found in `catalogueDir`.
    // False, with the catalogue's message shown, when the catalogue cannot be read.
    bool Scan(const CProgram* program, EPortingCatalogue catalogue, const std::string& catalogueDir,
              CMessageSink& messages);
    // The same with a catalogue already loaded.
    bool ScanCatalogue(const CProgram* program, EPortingCatalogue catalogue, const CXMLReader& reader,
                       CMessageSink& messages);
    // The "Show porting issues" command: the sections rule, the catalogue for the target type,
    // then the scan. False when the program was refused or the catalogue cannot be read.
    bool ScanForTarget(const CProgram& program, const std::string& targetType, const std::string& catalogueDir,
                       CMessageSink& messages, bool refresh = false);

    void Clear();
    int GetSize() const { return static_cast<int>(m_issues.size()); }
    CPortingIssue& GetAt(int index) const { return *m_issues.at(static_cast<size_t>(index)); }
    bool IsEmpty() const { return m_issues.empty(); }
    // Which catalogue the last scan used.
    EPortingCatalogue Catalogue() const { return m_catalogue; }
    // Whether any issue can take the prefix (icon 2 or 3): the window then offers the fixes.
    bool HasConvertible() const;
    // The issues by line and then column; issues at the same place keep their list order.
    std::vector<CPortingIssue*> InPositionOrder() const;
    // Issues whose line is `line`.
    int CountOnLine(int line) const;

    // --- commands on the list ----------------------------------------------------------------
    // How many issues of the icon "Add prefix to all" (add) or "Remove prefix from all" would change.
    int CountToChange(bool add, int icon) const;
    struct CFixAllHooks {
        // Both icons have issues to change: which to change; false for Cancel.
        std::function<bool(bool& icon2, bool& icon3)> choose;
        // Called before fixing an issue that lies in a diagram, to open and select its cell.
        std::function<void(CPortingIssue&)> openCell;
    };
    enum class EFixAll { Done, Cancelled, NotAllFound };
    EFixAll FixAll(bool add, CPortingView& view, const CFixAllHooks& hooks);

    enum class EIgnore { Done, Declined, NotALine, AlreadyIgnored, NotAllowed };
    // Whether Ignore is offered for the issue: icon 1, 2 or 3 and still open.
    static bool CanIgnore(CPortingIssue& issue);
    // Marks the issue's line as ignored: the question when the line holds more issues, the
    // messages when it cannot, one undoable replacement of the line otherwise.
    EIgnore Ignore(CPortingIssue& issue, CPortingView& view, CMessageSink& messages);

    // Columns of the issues of a line follow a prefix that was added or removed.
    void IssueStateChanged(CPortingIssue& issue, int oldState) override;

private:
    std::vector<std::unique_ptr<CPortingIssue>> m_issues;
    EPortingCatalogue m_catalogue = EPortingCatalogue::Bittern;
};

} // namespace rux
