// The porting tool window's behaviour without widgets: running the scan for a program, going to an
// issue, the fixes, Ignore, Refresh and help, over a host that supplies the frame's panes, the
// program views and the message boxes.
#pragma once

#include "porting/porting_scan.h"
#include "porting/porting_window_model.h"

#include <functional>
#include <string>

namespace rux {

class CEditSession;
class CRUXDocument;

class CPortingToolHost {
public:
    virtual ~CPortingToolHost() = default;

    // --- programs ---------------------------------------------------------------------------
    virtual CRUXDocument* ActiveProgram() = 0;
    virtual CRUXDocument* FindProgram(const std::string& path) = 0;
    // Opens a closed program in a window of its own; null when it cannot be read.
    virtual CRUXDocument* OpenProgram(const std::string& path) = 0;
    // The session of the program's view; null when the program has no view.
    virtual CEditSession* Session(CRUXDocument& program) = 0;
    // Runs a change of the session as a command of the program's view (repaint, scroll bars,
    // status texts afterwards).
    virtual void InView(CRUXDocument& program, const std::function<void(CEditSession&)>& change) = 0;
    // Caret to the column of an item, unfolding its section, scrolled into view.
    virtual void GoToItem(CRUXDocument& program, int item, int column) = 0;
    // Brings the program view forward with the focus.
    virtual void ActivateView(CRUXDocument& program) = 0;
    // Opens the diagram of the item and selects the cell (column, row) in it; false when no diagram
    // window can be opened, and the program view is shown instead.
    virtual bool OpenDiagramCell(CRUXDocument& program, int item, int column, int row) = 0;

    // --- the user ---------------------------------------------------------------------------
    virtual void ShowMessage(int stringId, const std::string& text) = 0;
    // Yes/No or OK/Cancel; true for Yes and OK.
    virtual bool Ask(const std::string& text, bool okCancel) = 0;
    // The issue selection of "fix all" when both icons have issues to change; false for Cancel.
    virtual bool ChooseIcons(bool& icon2, bool& icon3) = 0;

    // --- the panes --------------------------------------------------------------------------
    // Creates the details pane on first use; false when it has no page viewer.
    virtual bool CreateDetailsPane() = 0;
    // Shows a help page file in the details pane.
    virtual void ShowHelpPage(const std::string& file) = 0;
    // Shows or hides the two panes.
    virtual void ShowPanes(bool list, bool details) = 0;
    // The rows, their icons, the toolbar or the selection changed: the list redraws from the model.
    // `refilled`: a scan replaced the rows, and the columns fit their new contents.
    virtual void RowsChanged(bool refilled) = 0;
};

// Whether the help pages of a catalogue are installed under the help folder: the folder with its
// overview page.
bool PortingHelpAvailable(const std::string& helpDir, EPortingCatalogue catalogue);
// The file that shows a help page: the page in the catalogue's folder, or "NoHelp.htm" there when
// the catalogue names a page that was not installed.
std::string PortingHelpFile(const std::string& helpDir, EPortingCatalogue catalogue, const std::string& page);

class CPortingTool {
public:
    // The catalogues are read from `catalogueDir`, the help pages from folders under `helpDir`.
    CPortingTool(CPortingToolHost& host, std::string catalogueDir, std::string helpDir);
    CPortingTool(const CPortingTool&) = delete;
    CPortingTool& operator=(const CPortingTool&) = delete;

    // Routed commands: whether the tool handles the id, and its enabled state.
    bool Update(int command, bool& enabled);
    bool Execute(int command);

    // "Show porting issues" for a program: the sections rule, the catalogue for its target, the
    // scan, the list and the panes.
    void Run(CRUXDocument& program);
    // Refresh: reopens a closed program after asking, then scans again.
    void Refresh();

    // --- list input --------------------------------------------------------------------------
    // A click or an arrow key selected a row: its help page, the margin mark, the caret and the
    // selection of the match in the program.
    void SelectRow(int row);
    // A right click selected a row: the context menu's commands act on it; nothing else moves.
    void PickRow(int row) { m_model.Select(row); }
    // Double-click and Enter: the fix of the selected issue, asking first.
    void FixSelected(bool ask);
    void ClickHeader(int column);

    // --- the frame ---------------------------------------------------------------------------
    // Another program became active (null: none): the panes follow whether it is the scanned one.
    void ActiveProgramChanged(CRUXDocument* program);
    // A program window is going away; issues must not reach into it any more.
    void ProgramClosing(CRUXDocument& program);
    // The user closed a pane: it stays closed until the next scan or Help.
    void ListPaneClosed() { m_listWanted = false; }
    void DetailsPaneClosed() { m_showDetails = false; }

    const CPortingListModel& Model() const { return m_model; }
    const CPortingIssueList& Issues() const { return m_list; }
    const std::string& ScannedPath() const { return m_path; }
    bool HasDetailsPane() const { return m_details; }
    bool ConvertibleToolbar() const { return m_list.HasConvertible(); }
    // The item that carries the tool's margin mark, -1 for none.
    int MarkedItem() const { return m_markedItem; }

private:
    // The scanned program when it is open, with the issues pointed at it; null otherwise.
    CRUXDocument* Program();
    // The same, reopening it without asking when it was closed.
    CRUXDocument* ProgramReopened();
    // The scanned program when it may be edited now.
    CRUXDocument* EditableProgram();
    void Scan(CRUXDocument& program, EPortingCatalogue catalogue);
    void ShowHelp();
    void Mark(CRUXDocument& program, CPortingIssue& issue);
    void ClearMark();
    void FixAll(bool add);
    void Ignore();
    void OfferRefresh(int stringId, CRUXDocument& program);

    CPortingToolHost& m_host;
    std::string m_catalogueDir;
    std::string m_helpDir;
    CPortingIssueList m_list;
    CPortingListModel m_model;
    std::string m_path;
    CRUXDocument* m_pointedAt = nullptr; // the document the issues refer to (maybe closed since)
    bool m_details = false;              // the details pane exists and has its pages
    bool m_showDetails = true;           // the details pane is to be shown with the list
    bool m_listWanted = false;           // the last scan found issues and the user kept the list
    CRUXDocument* m_markedProgram = nullptr;
    int m_markedItem = -1;
    int m_markedKind = 0;
};

} // namespace rux
