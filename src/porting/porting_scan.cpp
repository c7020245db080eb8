#include "porting/porting_scan.h"

#include "document/ascii_text.h"
#include "document/message_sink.h"
#include "document/program.h"
#include "document/string_table.h"
#include "porting/porting_issues.h"
#include "porting/porting_search.h"
#include "porting/xml_reader.h"
#include "shell/product_paths.h"

#include <algorithm>

namespace rux {

const char* CatalogueFileName(EPortingCatalogue catalogue) {
    return catalogue == EPortingCatalogue::AlbatrossQ ? "AlbatrossQ.xml" : "Bittern2.xml";
}

const char* CatalogueRootName(EPortingCatalogue catalogue) {
    return catalogue == EPortingCatalogue::AlbatrossQ ? "AlbatrossQIssues" : "Bittern2Issues";
}

const char* CatalogueHelpFolder(EPortingCatalogue catalogue) {
    return catalogue == EPortingCatalogue::AlbatrossQ ? "PortingAlbatrossQ" : "PortingTool";
}

EPortingCatalogue ChooseCatalogue(const std::string& targetType, bool refresh) {
    static const char* const kFirstRun[] = {"OSPREY", "GOSHAWK", "HARRIER", "PEREGRINE", "HOBBY"};
    static const char* const kRefresh[] = {"HARRIER", "PEREGRINE", "HOBBY"};
    const auto has = [&](const auto& names) {
        return std::any_of(std::begin(names), std::end(names),
                           [&](const char* n) { return targetType == n; });
    };
    return (refresh ? has(kRefresh) : has(kFirstRun)) ? EPortingCatalogue::AlbatrossQ
                                                      : EPortingCatalogue::Bittern;
}

int CountSections(const CProgram& program) {
    int count = 0;
    for (const auto& item : program.Items())
        count += item && item->GetType() == kItemSectionHeader;
    return count;
}

std::unique_ptr<CPortingIssue> NewCatalogueIssue(EPortingCatalogue catalogue, const std::string& name) {
    if (catalogue == EPortingCatalogue::AlbatrossQ) {
        if (name == "Fb") return std::make_unique<CPortingAlbQFunctionBlockIssue>();
        if (name == "Pr") return std::make_unique<CPortingAlbQParameterIssue>();
        return nullptr;
    }
    if (name == "Tsk") return std::make_unique<CPortingTaskIssue>();
    if (name == "Fb") return std::make_unique<CPortingFunctionBlockIssue>();
    if (name == "Pr") return std::make_unique<CPortingParameterIssue>();
    if (name == "Ptr") return std::make_unique<CPortingPointerIssue>();
    return nullptr;
}

CPortingIssueList::~CPortingIssueList() = default;

void CPortingIssueList::Clear() {
    m_issues.clear();
}

bool CPortingIssueList::Scan(const CProgram* program, EPortingCatalogue catalogue, const std::string& catalogueDir,
                             CMessageSink& messages) {
    CXMLReader reader;
    if (program && !reader.Load(CProductPaths::Join(catalogueDir, CatalogueFileName(catalogue))))
        program = nullptr; // reported below as the catalogue's message
    return ScanCatalogue(program, catalogue, reader, messages);
}

bool CPortingIssueList::ScanCatalogue(const CProgram* program, EPortingCatalogue catalogue,
                                      const CXMLReader& reader, CMessageSink& messages) {
    Clear();
    m_catalogue = catalogue;
    const int failure =
        catalogue == EPortingCatalogue::AlbatrossQ ? IDS_PORT_ALBQ_FILE : IDS_PORT_BITTERN_FILE;
    if (!program || reader.ElementName(reader.DocumentElement()) != CatalogueRootName(catalogue)) {
        messages.ShowMessage(failure, LoadString(failure));
        return false;
    }
    CPortingScanCache cache(*program);
    const CXMLNode root = reader.DocumentElement();
    int entry = -1;
    for (CXMLNode node = reader.FirstChild(root); node; node = reader.NextSibling(node)) {
        std::unique_ptr<CPortingIssue> issue = NewCatalogueIssue(catalogue, reader.ElementName(node));
        if (!issue) continue;
        issue->SetCatalogueEntry(++entry);
        issue->SetDocument(program);
        issue->SetPosition(0, 0);
        issue->SetCache(&cache);
        if (!issue->Load(reader, node)) continue;
        // Each match is kept and a clone searches on from it: one issue per occurrence.
        while (issue->FindNext()) {
            std::unique_ptr<CPortingIssue> next = issue->Clone();
            m_issues.push_back(std::move(issue));
            issue = std::move(next);
        }
    }
    for (auto& issue : m_issues) {
        issue->SetCache(nullptr);
        issue->SetObserver(this);
    }
    return true;
}

bool LoadCatalogue(EPortingCatalogue catalogue, const std::string& catalogueDir,
                   std::vector<std::unique_ptr<CPortingIssue>>& entries) {
    entries.clear();
    CXMLReader reader;
    if (!reader.Load(CProductPaths::Join(catalogueDir, CatalogueFileName(catalogue))) ||
        reader.ElementName(reader.DocumentElement()) != CatalogueRootName(catalogue))
        return false;
    for (CXMLNode node = reader.FirstChild(reader.DocumentElement()); node; node = reader.NextSibling(node)) {
        std::unique_ptr<CPortingIssue> issue = NewCatalogueIssue(catalogue, reader.ElementName(node));
        if (!issue) continue;
        issue->SetCatalogueEntry(static_cast<int>(entries.size()));
        if (issue->Load(reader, node))
            entries.push_back(std::move(issue));
        else
            entries.push_back(nullptr);
    }
    return true;
}

bool CPortingIssueList::ScanForTarget(const CProgram& program, const std::string& targetType,
                                      const std::string& catalogueDir, CMessageSink& messages, bool refresh) {
    const int sections = CountSections(program);
    if (sections < 1 || sections > kPortMaxSections) {
        Clear();
        messages.ShowMessage(IDS_PORT_TOO_MANY_SECTIONS, LoadString(IDS_PORT_TOO_MANY_SECTIONS));
        return false;
    }
    return Scan(&program, ChooseCatalogue(targetType, refresh), catalogueDir, messages);
}

bool CPortingIssueList::HasConvertible() const {
    return std::any_of(m_issues.begin(), m_issues.end(), [](const auto& issue) {
        return issue->GetIcon() == kPortIconCaveats || issue->GetIcon() == kPortIconConvert;
    });
}

std::vector<CPortingIssue*> CPortingIssueList::InPositionOrder() const {
    std::vector<CPortingIssue*> order;
    order.reserve(m_issues.size());
    for (const auto& issue : m_issues)
        order.push_back(issue.get());
    std::stable_sort(order.begin(), order.end(), [](const CPortingIssue* a, const CPortingIssue* b) {
        return a->GetLine() != b->GetLine() ? a->GetLine() < b->GetLine() : a->GetColumn() < b->GetColumn();
    });
    return order;
}

int CPortingIssueList::CountOnLine(int line) const {
    return static_cast<int>(std::count_if(m_issues.begin(), m_issues.end(),
                                          [&](const auto& issue) { return issue->GetLine() == line; }));
}

void CPortingIssueList::IssueStateChanged(CPortingIssue& changed, int oldState) {
    const int newState = changed.StoredState();
    int delta = 0;
    if (oldState == kPortStateOpen && newState == kPortStateConverted)
        delta = 2;
    else if (oldState == kPortStateConverted && newState == kPortStateOpen)
        delta = -2;
    if (delta == 0) return;
    const int line = changed.GetLine();
    const int column = changed.GetColumn();
    for (auto& issue : m_issues)
        if (issue->GetLine() == line && issue->GetColumn() >= column &&
            issue->GetDocument() == changed.GetDocument())
            issue->ShiftColumn(delta);
}

int CPortingIssueList::CountToChange(bool add, int icon) const {
    return static_cast<int>(std::count_if(m_issues.begin(), m_issues.end(), [&](const auto& issue) {
        return issue->GetIcon() == icon && issue->IsConverted() != add;
    }));
}

CPortingIssueList::EFixAll CPortingIssueList::FixAll(bool add, CPortingView& view,
                                                     const CFixAllHooks& hooks) {
    bool icon2 = true, icon3 = true;
    if (CountToChange(add, kPortIconCaveats) > 0 && CountToChange(add, kPortIconConvert) > 0 &&
        hooks.choose && !hooks.choose(icon2, icon3))
        return EFixAll::Cancelled;
    bool failed = false;
    for (auto& issue : m_issues) {
        const int icon = issue->GetIcon();
        if (issue->IsConverted() == add ||
            !((icon == kPortIconCaveats && icon2) || (icon == kPortIconConvert && icon3)))
            continue;
        if (issue->IsInDiagram() && hooks.openCell) hooks.openCell(*issue);
        if (!issue->ApplyFix(&view, false)) failed = true;
    }
    return failed ? EFixAll::NotAllFound : EFixAll::Done;
}

bool CPortingIssueList::CanIgnore(CPortingIssue& issue) {
    const int icon = issue.GetIcon();
    return icon >= kPortIconNoConvert && icon <= kPortIconConvert && issue.GetState() == kPortStateOpen;
}

CPortingIssueList::EIgnore CPortingIssueList::Ignore(CPortingIssue& issue, CPortingView& view,
                                                     CMessageSink& messages) {
    if (!CanIgnore(issue) || !issue.GetDocument()) return EIgnore::NotAllowed;
    const int line = issue.GetLine();
    const int count = CountOnLine(line);
    if (count > 1 && !view.AskYesNo(FormatPortingText(IDS_PORT_IGNORE_ALL_ON_LINE, count, line)))
        return EIgnore::Declined;
    const CItem* item = issue.GetDocument()->Items().GetAt(line);
    if (!item || item->GetType() != kItemLine) {
        messages.ShowMessage(IDS_PORT_IGNORE_NOT_LINE, LoadString(IDS_PORT_IGNORE_NOT_LINE));
        return EIgnore::NotALine;
    }
    const std::string text = item->GetText();
    if (text.empty() || text.find(kPortIgnoreMarker) != std::string::npos) {
        messages.ShowMessage(IDS_PORT_IGNORE_ALREADY, LoadString(IDS_PORT_IGNORE_ALREADY));
        return EIgnore::AlreadyIgnored;
    }
    std::string marked = text;
    if (marked.find("//") == std::string::npos) marked += "\t//";
    marked += std::string(" ") + kPortIgnoreMarker;
    view.SelectRange(1, line, static_cast<int>(text.size()) + 1, line);
    if (!view.ReplaceSelection(marked)) return EIgnore::NotAllowed;
    for (auto& other : m_issues)
        if (other->GetLine() == line && other->GetDocument() == issue.GetDocument())
            other->SetState(kPortStateIgnored);
    return EIgnore::Done;
}

} // namespace rux
