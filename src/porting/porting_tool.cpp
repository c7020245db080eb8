#include "porting/porting_tool.h"

#include "document/item.h"
#include "document/message_sink.h"
#include "document/rux_document.h"
#include "document/string_table.h"
#include "editor/edit_session.h"
#include "porting/payload_prefix_link.h"
#include "porting/porting_rows.h"
#include "porting/porting_view.h"

#include <filesystem>

namespace rux {
namespace {

namespace fs = std::filesystem;

constexpr const char kOverviewPage[] = "PortingToolOverview.htm";
constexpr const char kNoHelpPage[] = "NoHelp.htm";

// The program view as the fixes see it: every selection and replacement is a command of the view.
class CHostPortingView final : public CPortingView {
public:
    CHostPortingView(CPortingToolHost& host, CRUXDocument& program, CEditSession& session)
        : m_host(host), m_program(program), m_session(session) {}
    void SelectRange(int fromCol, int fromLine, int toCol, int toLine) override {
        m_host.InView(m_program, [&](CEditSession& s) { s.Select({fromCol, fromLine}, {toCol, toLine}); });
    }
    bool ReplaceSelection(const std::string& text) override {
        if (!m_session.CanEdit()) return false;
        m_host.InView(m_program, [&](CEditSession& s) { s.InsertText(text); });
        return true;
    }
    bool AskYesNo(const std::string& question) override { return m_host.Ask(question, false); }

private:
    CPortingToolHost& m_host;
    CRUXDocument& m_program;
    CEditSession& m_session;
};

class CHostSink final : public CMessageSink {
public:
    explicit CHostSink(CPortingToolHost& host) : m_host(host) {}
    void ShowMessage(int id, const std::string& text) override { m_host.ShowMessage(id, text); }

private:
    CPortingToolHost& m_host;
};

bool IsPortingMark(int kind) {
    return kind >= kMarkState6 && kind <= kMarkState10;
}

const CItem* ItemOf(const CRUXDocument& program, int index) {
    return index >= 0 && index < program.Items().GetSize() ? program.Items().GetAt(index) : nullptr;
}

} // namespace

bool PortingHelpAvailable(const std::string& helpDir, EPortingCatalogue catalogue) {
    std::error_code ec;
    return fs::is_regular_file(fs::path(helpDir) / CatalogueHelpFolder(catalogue) / kOverviewPage, ec);
}

std::string PortingHelpFile(const std::string& helpDir, EPortingCatalogue catalogue,
                            const std::string& page) {
    const fs::path folder = fs::path(helpDir) / CatalogueHelpFolder(catalogue);
    std::error_code ec;
    // A topic is a page name of the folder; anything that leaves the folder is no topic of ours.
    const bool plain = !page.empty() && page.find_first_of("/\\") == std::string::npos && page != "..";
    if (plain && fs::is_regular_file(folder / page, ec)) return (folder / page).string();
    return (folder / kNoHelpPage).string();
}

CPortingTool::CPortingTool(CPortingToolHost& host, std::string catalogueDir, std::string helpDir)
    : m_host(host), m_catalogueDir(std::move(catalogueDir)), m_helpDir(std::move(helpDir)) {}

// --- commands -------------------------------------------------------------------------------

bool CPortingTool::Update(int command, bool& enabled) {
    switch (command) {
    case kCmdPortShowIssues:
        enabled = m_host.ActiveProgram() != nullptr;
        return true;
    case kCmdPortRefresh:
    case kCmdPortHelp:
        enabled = !m_path.empty();
        return true;
    case kCmdPortAddPrefix:
    case kCmdPortRemovePrefix:
    case kCmdPortAddAll:
    case kCmdPortRemoveAll:
    case kCmdPortIgnore:
        enabled = EditableProgram() != nullptr && m_model.Enabled(command);
        return true;
    default:
        return false;
    }
}

bool CPortingTool::Execute(int command) {
    bool enabled = false;
    if (!Update(command, enabled)) return false;
    if (!enabled) return true;
    switch (command) {
    case kCmdPortShowIssues:
        if (CRUXDocument* program = m_host.ActiveProgram()) Run(*program);
        break;
    case kCmdPortRefresh:
        Refresh();
        break;
    case kCmdPortAddPrefix:
    case kCmdPortRemovePrefix:
        FixSelected(false);
        break;
    case kCmdPortAddAll:
        FixAll(true);
        break;
    case kCmdPortRemoveAll:
        FixAll(false);
        break;
    case kCmdPortIgnore:
        Ignore();
        break;
    case kCmdPortHelp:
        m_showDetails = true;
        if (!m_details)
            m_details = PortingHelpAvailable(m_helpDir, m_list.Catalogue()) && m_host.CreateDetailsPane();
        if (!m_details) {
            m_host.ShowMessage(IDS_PORT_HELP_MISSING, LoadString(IDS_PORT_HELP_MISSING));
            break;
        }
        ShowHelp();
        m_host.ShowPanes(m_listWanted, true);
        break;
    default:
        break;
    }
    return true;
}

// --- scanning -------------------------------------------------------------------------------

void CPortingTool::Run(CRUXDocument& program) {
    const int sections = CountSections(program.Program());
    if (sections < 1 || sections > kPortMaxSections) {
        m_host.ShowMessage(IDS_PORT_TOO_MANY_SECTIONS, LoadString(IDS_PORT_TOO_MANY_SECTIONS));
        return;
    }
    Scan(program, ChooseCatalogue(program.GetType(), false));
}

void CPortingTool::Refresh() {
    if (m_path.empty()) return;
    CRUXDocument* program = Program();
    if (!program) {
        if (!m_host.Ask(LoadString(IDS_PORT_REOPEN), false)) return;
        if (!m_host.OpenProgram(m_path) || !(program = Program())) return;
    }
    Scan(*program, ChooseCatalogue(program->GetType(), true));
}

void CPortingTool::Scan(CRUXDocument& program, EPortingCatalogue catalogue) {
    // The pages belong to the catalogue: each scan checks that the ones it needs are there.
    m_details = PortingHelpAvailable(m_helpDir, catalogue) && m_host.CreateDetailsPane();
    if (!m_details) m_host.ShowMessage(IDS_PORT_HELP_MISSING, LoadString(IDS_PORT_HELP_MISSING));

    ClearMark();
    m_path = program.GetPathName();
    m_pointedAt = &program;
    CHostSink sink(m_host);
    const bool read = m_list.Scan(&program.Program(), catalogue, m_catalogueDir, sink);
    m_model.Fill(m_list); // keeps the selected position when the new list is long enough
    m_host.RowsChanged(true);
    // The page of the row selected again, or the overview when none is.
    ShowHelp();
    if (read && !m_list.IsEmpty()) {
        m_listWanted = true;
        m_host.ShowPanes(true, m_details && m_showDetails);
        return;
    }
    if (read) m_host.ShowMessage(IDS_PORT_NO_ISSUES, LoadString(IDS_PORT_NO_ISSUES));
    // Nothing to list: the details of nothing are not worth a pane either.
    m_listWanted = false;
    m_host.ShowPanes(false, false);
}

// --- the scanned program --------------------------------------------------------------------

CRUXDocument* CPortingTool::Program() {
    if (m_path.empty()) return nullptr;
    CRUXDocument* program = m_host.FindProgram(m_path);
    if (program && program != m_pointedAt) {
        // Reopened since the scan: the issues follow the new document.
        for (int i = 0; i < m_list.GetSize(); ++i)
            m_list.GetAt(i).SetDocument(&program->Program());
        m_pointedAt = program;
    }
    return program;
}

CRUXDocument* CPortingTool::ProgramReopened() {
    if (CRUXDocument* program = Program()) return program;
    if (m_path.empty() || !m_host.OpenProgram(m_path)) return nullptr;
    return Program();
}

CRUXDocument* CPortingTool::EditableProgram() {
    CRUXDocument* program = Program();
    if (!program) return nullptr;
    CEditSession* session = m_host.Session(*program);
    return session && session->CanEdit() ? program : nullptr;
}

void CPortingTool::ProgramClosing(CRUXDocument& program) {
    if (&program == m_pointedAt) {
        for (int i = 0; i < m_list.GetSize(); ++i)
            m_list.GetAt(i).SetDocument(nullptr);
        m_pointedAt = nullptr;
    }
    if (&program == m_markedProgram) {
        m_markedProgram = nullptr;
        m_markedItem = -1;
    }
}

void CPortingTool::ActiveProgramChanged(CRUXDocument* program) {
    if (m_path.empty() || !m_listWanted) return;
    const bool scanned = program && program->GetPathName() == m_path;
    m_host.ShowPanes(scanned, scanned && m_details && m_showDetails);
}

// --- going to an issue ----------------------------------------------------------------------

void CPortingTool::ShowHelp() {
    if (m_details) m_host.ShowHelpPage(PortingHelpFile(m_helpDir, m_list.Catalogue(), m_model.HelpPage()));
}

void CPortingTool::ClearMark() {
    CRUXDocument* program = m_markedProgram && m_markedProgram == Program() ? m_markedProgram : nullptr;
    m_markedProgram = nullptr;
    m_markedItem = -1;
    if (!program) return;
    // Edits may have moved the marked row: every mark of the tool's kinds goes.
    program->BeginTransaction();
    for (int i = 0; i < program->Items().GetSize(); ++i) {
        const CItem* item = program->Items().GetAt(i);
        if (item->HasStateMark() && IsPortingMark(item->GetStateMarkKind()))
            program->SetMark(i, item->GetStateMarkKind(), false);
    }
    program->EndTransaction();
}

void CPortingTool::Mark(CRUXDocument& program, CPortingIssue& issue) {
    // The old mark goes and the new one shows in one update of the views.
    program.BeginTransaction();
    ClearMark();
    if (ItemOf(program, issue.GetLine())) {
        program.SetMark(issue.GetLine(), PortingMarkerKind(issue), true);
        m_markedProgram = &program;
        m_markedItem = issue.GetLine();
    }
    program.EndTransaction();
}

void CPortingTool::SelectRow(int row) {
    m_model.Select(row);
    ShowHelp();
    CPortingIssue* issue = m_model.SelectedIssue();
    if (!issue) return;
    CRUXDocument* program = ProgramReopened();
    if (!program) return;
    Mark(*program, *issue);
    const int line = issue->GetLine();
    m_host.GoToItem(*program, line, std::max(issue->GetColumn(), 1));
    const CItem* item = ItemOf(*program, line);
    if (item && item->GetType() == kItemLine && issue->IsAt(item->GetText()))
        m_host.InView(*program, [&](CEditSession& s) {
            s.Select({issue->GetStart(), line}, {issue->GetEnd(), line});
        });
    if (!issue->IsInDiagram() ||
        !m_host.OpenDiagramCell(*program, line, issue->GetDiagramColumn(), issue->GetDiagramRow()))
        m_host.ActivateView(*program);
}

void CPortingTool::ClickHeader(int column) {
    m_model.ClickHeader(column);
    m_host.RowsChanged(false);
}

// --- fixes and Ignore -----------------------------------------------------------------------

void CPortingTool::OfferRefresh(int stringId, CRUXDocument& program) {
    if (m_host.Ask(LoadString(stringId), true)) Scan(program, EPortingCatalogue::Bittern);
}

void CPortingTool::FixSelected(bool ask) {
    CRUXDocument* program = EditableProgram();
    CPortingIssue* issue = m_model.SelectedIssue();
    if (!program || !issue || !ItemOf(*program, issue->GetLine())) return;
    CEditSession& session = *m_host.Session(*program);
    CHostPortingView view(m_host, *program, session);
    // No diagram window edits the payload here: the payload's own prefix operations stand in.
    CPayloadPrefixLink diagram(session);
    if (issue->IsInDiagram()) diagram.SelectAt(*issue);
    const bool fixed = issue->ApplyFix(&view, ask);
    diagram.Release();
    if (issue->IsInDiagram()) m_host.InView(*program, [](CEditSession&) {});
    if (fixed && m_markedItem == issue->GetLine()) Mark(*program, *issue); // the marker follows the state
    m_host.RowsChanged(false);
    if (!fixed && AsksToRefreshAfterFailedFix(program->GetType()))
        OfferRefresh(IDS_PORT_FIX_NOT_FOUND, *program);
}

void CPortingTool::FixAll(bool add) {
    CRUXDocument* program = EditableProgram();
    if (!program) return;
    bool icon2 = true, icon3 = true;
    if (m_list.CountToChange(add, kPortIconCaveats) > 0 && m_list.CountToChange(add, kPortIconConvert) > 0 &&
        !m_host.ChooseIcons(icon2, icon3))
        return;
    CEditSession& session = *m_host.Session(*program);
    CPayloadPrefixLink diagram(session);
    CPortingIssueList::CFixAllHooks hooks;
    hooks.choose = [&](bool& two, bool& three) {
        two = icon2;
        three = icon3;
        return true;
    };
    hooks.openCell = [&](CPortingIssue& issue) { diagram.SelectAt(issue); };
    // The questions were asked above; the fixes themselves ask nothing.
    CSessionPortingView direct(session, {});
    auto result = CPortingIssueList::EFixAll::Done;
    ClearMark();
    // One command, one undo step: every prefix of the run goes back with one Undo.
    m_host.InView(*program, [&](CEditSession& s) {
        if (!s.BeginEdit()) return;
        result = m_list.FixAll(add, direct, hooks);
        diagram.Release();
        s.EndEdit();
    });
    m_host.RowsChanged(false);
    if (result == CPortingIssueList::EFixAll::NotAllFound) OfferRefresh(IDS_PORT_FIX_ALL_NOT_FOUND, *program);
}

void CPortingTool::Ignore() {
    CRUXDocument* program = EditableProgram();
    CPortingIssue* issue = m_model.SelectedIssue();
    if (!program || !issue || !ItemOf(*program, issue->GetLine())) return;
    CHostPortingView view(m_host, *program, *m_host.Session(*program));
    CHostSink sink(m_host);
    if (m_list.Ignore(*issue, view, sink) != CPortingIssueList::EIgnore::Done) return;
    if (m_markedItem == issue->GetLine()) Mark(*program, *issue);
    m_host.RowsChanged(false);
}

} // namespace rux
