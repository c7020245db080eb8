#include "import/indexer_import.h"

#include "document/header_item.h"
#include "document/item_list.h"
#include "document/line_item.h"
#include "document/rux_document.h"
#include "document/section_items.h"
#include "document/string_table.h"
#include "editor/edit_session.h"
#include "editor/program_tree.h"
#include "editor/section_commands.h"
#include "import/indexer_fb_form.h"
#include "import/sequencer_clipboard_format.h"
#include "import/upgrade_address.h"
#include "target/library_service.h"
#include "fileio/whole_file.h"

#include <cstdlib>

namespace rux {
namespace {

using ItemList = CSequencerClipboardFormat::ItemList;

// The keys in the order their markers are checked and cleared.
constexpr const char* kMarkerKeys[] = {"ALIAS", "JOG",          "INITIAL",        "BACKGROUND",
                                       "POS0",  "INITIAL_TASK", "BACKGROUND_TASK"};
// The sections whose fold state the import leaves as it found it.
constexpr const char* kFoldSections[] = {"Alias", "Initial", "Background", "Pos0"};

constexpr const char* kInitialTitle = "_SequencerInitial ()";
constexpr const char* kBackgroundTitle = "_SequencerBackground ()";
constexpr const char* kInitialCall = "_SequencerInitial()";
constexpr const char* kBackgroundCall = "_SequencerBackground()";

bool IsTextLine(const CItem* item) {
    return item->GetType() == kItemLine;
}

int FindSectionHeader(const CObArrayEx& items, std::string_view title) {
    for (int i = 0; i < items.GetSize(); ++i)
        if (items.GetAt(i)->GetType() == kItemSectionHeader && items.GetAt(i)->GetText() == title) return i;
    return -1;
}

// The footer that closes the section of that title.
int FindSectionFooter(const CObArrayEx& items, std::string_view title) {
    const int header = FindSectionHeader(items, title);
    if (header < 0) return -1;
    const CItem* h = items.GetAt(header);
    for (int i = header + 1; i < items.GetSize(); ++i) {
        const CItem* item = items.GetAt(i);
        if (item->GetType() == kItemSectionFooter && item->GetSection() == h) return i;
        if (item->GetType() == kItemSectionHeader)
            break; // a section left open: its end is where the next one starts
    }
    return -1;
}

int FindLineContaining(const CObArrayEx& items, int from, std::string_view text) {
    for (int i = std::max(0, from); i < items.GetSize(); ++i)
        if (IsTextLine(items.GetAt(i)) && items.GetAt(i)->GetText().find(text) != std::string::npos) return i;
    return -1;
}

int FindLineEqual(const CObArrayEx& items, std::string_view text) {
    for (int i = 0; i < items.GetSize(); ++i)
        if (IsTextLine(items.GetAt(i)) && items.GetAt(i)->GetText() == text) return i;
    return -1;
}

struct CMarkers {
    int start = -1;
    int end = -1;
};

CMarkers FindMarkers(const CObArrayEx& items, const std::string& key) {
    return {FindLineEqual(items, CSequencerClipboardFormat::StartMarker(key)),
            FindLineEqual(items, CSequencerClipboardFormat::EndMarker(key))};
}

// Both markers, the start first, in one section (or both outside every section).
bool EnclosesBlock(const CObArrayEx& items, const CMarkers& m) {
    return m.start >= 0 && m.end > m.start &&
           items.GetAt(m.start)->GetSection() == items.GetAt(m.end)->GetSection();
}

bool MarkersInPlace(const CObArrayEx& items, const CMarkers& m) {
    return (m.start < 0 && m.end < 0) || EnclosesBlock(items, m);
}

int IndexOf(const CObArrayEx& items, const CItem* item) {
    for (int i = 0; i < items.GetSize(); ++i)
        if (items.GetAt(i) == item) return i;
    return -1;
}

// The word after the directive on its line.
std::string DirectiveName(const std::string& line) {
    size_t at = line.find(kIndexRoutineDirective);
    if (at == std::string::npos) return {};
    at += std::string_view(kIndexRoutineDirective).size();
    while (at < line.size() && (line[at] == ' ' || line[at] == '\t'))
        ++at;
    size_t end = at;
    while (end < line.size() && line[end] != ' ' && line[end] != '\t' && line[end] != ';')
        ++end;
    return line.substr(at, end - at);
}

std::unique_ptr<CItem> EmptyLine() {
    return std::make_unique<CLine>();
}

// One import run: the session's open transaction and the items it works on.
class CImportRun {
public:
    CImportRun(CEditSession& session, const CSequencerClipboardFormat& blocks, CIndexerPrompts& prompts)
        : m_session(session), m_items(session.Document().Items()), m_blocks(blocks), m_prompts(prompts) {}

    void ClearBetweenMarkers() {
        for (const char* key : kMarkerKeys) {
            m_session.Document().RelinkSections();
            const CMarkers m = FindMarkers(m_items, key);
            if (!EnclosesBlock(m_items, m)) continue;
            if (const int header = SectionHeaderOf(m_session.Document(), m.start);
                header >= 0 && header != m.start)
                SetFold(header, true);
            for (int n = m.end - m.start - 1; n > 0; --n)
                m_session.RemoveItem(m.start + 1);
        }
        m_session.Document().RelinkSections();
    }

    // The shaped lines of a block as items; empty when the key has no text.
    ItemList Block(const std::string& key, const char* call = nullptr) const {
        std::vector<std::string> lines;
        if (!m_blocks.BlockLines(key, lines)) return {};
        if (call) lines.push_back(call);
        return LinesToItems(lines);
    }

    ItemList RoutineBlock(const std::string& key, const std::string& title, bool functionBlock) {
        ItemList items = Block(key);
        if (!items.empty())
            CSequencerClipboardFormat::Routine(title, items, m_session.Document().SectionIdCounter(),
                                               functionBlock);
        return items;
    }

    void EnsureSection(const char* title) {
        if (FindSectionHeader(m_items, title) >= 0) return;
        auto header = std::make_unique<CSectionHeader>(title);
        header->SetId(m_session.Document().TakeSectionId());
        auto footer = std::make_unique<CSectionFooter>(header->GetText());
        footer->SetSection(header.get());
        m_session.InsertItem(m_items.GetSize(), std::move(header));
        m_session.InsertItem(m_items.GetSize(), std::move(footer));
        m_session.Document().RelinkSections();
    }

    // The item after the indexer function block's section, else after the Alias section.
    int RoutinePosition() const {
        if (const int directive = FindLineContaining(m_items, 0, kIndexRoutineDirective); directive >= 0) {
            const std::string title =
                IndexerFunctionBlockTitle(DirectiveName(m_items.GetAt(directive)->GetText()));
            if (const int footer = FindSectionFooter(m_items, title); footer >= 0) return footer + 1;
        }
        const int footer = FindSectionFooter(m_items, "Alias");
        return footer >= 0 ? footer + 1 : m_items.GetSize();
    }

    // A section's own first lines: a block meant for a task or the Alias section belongs inside
    // it, where the task runs it, not in front of its header.
    int SectionStart(const char* title) const {
        const int header = FindSectionHeader(m_items, title);
        return header >= 0 ? header + 1 : m_items.GetSize();
    }

    // Step 11: just before the background loop's "goto top:", or the start of the section.
    int BackgroundTaskPosition() {
        const int header = FindSectionHeader(m_items, "Background");
        if (header >= 0) {
            const int top = FindLineContaining(m_items, header + 1, "top:");
            const int jump = top >= 0 ? FindLineContaining(m_items, top + 1, "goto top:") : -1;
            const CSectionHeader* section = jump >= 0 ? m_items.GetAt(jump)->GetSection() : nullptr;
            if (section && section->GetText() == "Background") return jump;
        }
        m_prompts.ShowMessage(LoadString(IDS_IMPORT_NO_TOP_LABELS));
        return SectionStart("Background");
    }

    // Between the key's markers when they are there; otherwise wrapped in markers at the default
    // position. The position is asked only when it is needed, since asking may warn.
    template <class Position> void Insert(const std::string& key, ItemList items, Position position) {
        if (items.empty()) return;
        m_session.Document().RelinkSections();
        if (const CMarkers m = FindMarkers(m_items, key); EnclosesBlock(m_items, m)) {
            m_session.InsertItemsAt(m.start + 1, std::move(items));
            return;
        }
        CSequencerClipboardFormat::Wrap(key, items);
        int at = position();
        while (at < m_items.GetSize() && m_items.GetAt(at)->GetType() == kItemPar)
            ++at;
        // Lines go in front of a text line; anything else (a header, a footer, a diagram, the end
        // of the program) first gets an empty line to stand in front of.
        if (at >= m_items.GetSize() || !IsTextLine(m_items.GetAt(at)))
            m_session.InsertItemsAt(at, Single(EmptyLine()));
        m_session.InsertItemsAt(at, std::move(items));
    }

    void RememberFolds() {
        for (const char* title : kFoldSections) {
            const int header = FindSectionHeader(m_items, title);
            m_folds.push_back(header < 0 ||
                              static_cast<const CSectionHeader*>(m_items.GetAt(header))->IsExpanded());
        }
    }

    void RestoreFolds() {
        for (size_t i = 0; i < std::size(kFoldSections); ++i)
            if (const int header = FindSectionHeader(m_items, kFoldSections[i]); header >= 0)
                SetFold(header, m_folds[i]);
    }

    void ReferenceLibrary(CLibraryService& libraries) {
        CRUXDocument& document = m_session.Document();
        const CPar* header = document.GetHeader();
        // A program without a header keeps no references, and a library references none.
        if (!header || !header->Header().Library.empty()) return;
        for (const std::string& name : document.ReferencedLibraries())
            if (EqualsNoCase(name, kIndexerLibrary)) return;
        std::vector<std::string> available;
        libraries.GetAvailableLibraries(available, LibraryTargetKind(header->Header().Drive));
        for (const std::string& name : available)
            if (EqualsNoCase(name, kIndexerLibrary)) {
                // Inside the import's edit: the header is recorded for undo by the transaction.
                document.AddReferencedLibrary(kIndexerLibrary);
                return;
            }
        m_prompts.ShowMessage(FormatString(IDS_IMPORT_NO_LIBRARY, {kIndexerLibrary}));
    }

private:
    static ItemList Single(std::unique_ptr<CItem> item) {
        ItemList list;
        list.push_back(std::move(item));
        return list;
    }

    // Fold states are kept in the file, so they count as part of the edit; they are not undone.
    void SetFold(int header, bool expanded) { m_session.Document().SetExpanded(header, expanded); }

    CEditSession& m_session;
    const CObArrayEx& m_items;
    const CSequencerClipboardFormat& m_blocks;
    CIndexerPrompts& m_prompts;
    std::vector<bool> m_folds;
};

bool ReadFile(const std::string& path, std::string& text) {
    CFileBytes file = ReadWholeFile(path);
    text = std::move(file.bytes);
    return file.ok;
}

} // namespace

std::string IndexerFunctionBlockTitle(const std::string& name) {
    return "(Output%) = " + name + " (CurrentType%, CurrentItem%)";
}

bool ImportIndexerCode(CEditSession& session, const CSequencerClipboardFormat& blocks,
                       CIndexerPrompts& prompts, CLibraryService& libraries,
                       const CIndexerImportSettings& settings) {
    if (!session.CanEdit() || blocks.IsEmpty()) return false;
    const long version = std::strtol(blocks.Value("Version").c_str(), nullptr, 10);
    if (version != 2) {
        prompts.ShowMessage(
            std::string(LoadString(version < 2 ? IDS_IMPORT_OLDER_VERSION : IDS_IMPORT_NEWER_VERSION)) + " " +
            kUpgradeAddress);
        return false;
    }
    const CObArrayEx& items = session.Document().Items();
    session.Document().RelinkSections();
    CImportRun run(session, blocks, prompts);
    run.RememberFolds();
    for (const char* key : kMarkerKeys) {
        const CMarkers m = FindMarkers(items, key);
        if (MarkersInPlace(items, m)) continue;
        const std::string question =
            FormatString(IDS_IMPORT_MARKERS_MISPLACED, {CSequencerClipboardFormat::StartMarker(key),
                                                        CSequencerClipboardFormat::EndMarker(key)});
        if (!prompts.AskYesNo(question)) return false;
    }

    if (!session.BeginEdit()) return false;
    run.ClearBetweenMarkers();

    ItemList alias = run.Block("ALIAS");
    ItemList initial = run.RoutineBlock("INITIAL", kInitialTitle, true);
    ItemList jog = run.RoutineBlock("JOG", blocks.Value("JOG_SUBROUTINE_NAME") + ":", false);
    ItemList background = run.RoutineBlock("BACKGROUND", kBackgroundTitle, true);
    ItemList pos0 = run.Block("POS0");
    ItemList initialTask = run.Block("INITIAL_TASK", kInitialCall);
    ItemList backgroundTask = run.Block("BACKGROUND_TASK", kBackgroundCall);

    run.EnsureSection("Alias");
    run.EnsureSection("Initial");
    run.EnsureSection("Background");
    if (!pos0.empty()) run.EnsureSection("Pos0");

    const auto routine = [&run] { return run.RoutinePosition(); };
    run.Insert("BACKGROUND", std::move(background), routine);
    run.Insert("INITIAL", std::move(initial), routine);
    run.Insert("JOG", std::move(jog), routine);
    run.Insert("ALIAS", std::move(alias), [&run] { return run.SectionStart("Alias"); });
    run.Insert("POS0", std::move(pos0), [&run] { return run.SectionStart("Pos0"); });
    run.Insert("INITIAL_TASK", std::move(initialTask), [&run] { return run.SectionStart("Initial"); });
    run.Insert("BACKGROUND_TASK", std::move(backgroundTask), [&run] { return run.BackgroundTaskPosition(); });
    session.Document().RelinkSections();
    run.RestoreFolds();
    run.ReferenceLibrary(libraries);

    session.SetCaretInEdit({1, 0});
    session.EndEdit();
    session.Document().SetModified(true);

    if (settings.showInformation && *settings.showInformation) {
        std::string text;
        if (ReadFile(settings.dataDirectory + "/" + kImportInformationFile, text) &&
            prompts.ShowImportInformation(text))
            *settings.showInformation = false;
    }
    return true;
}

namespace {

// The directive as a word of its own: at the start of the line or after a blank.
bool HoldsDirective(const std::string& text) {
    return text.rfind(kIndexRoutineDirective, 0) == 0 ||
           text.find(std::string(" ") + kIndexRoutineDirective) != std::string::npos;
}

// A section of that title, or a function block of that name.
int FindFunctionBlock(const CObArrayEx& items, const std::string& name, const std::string& title) {
    for (int i = 0; i < items.GetSize(); ++i) {
        if (items.GetAt(i)->GetType() != kItemSectionHeader) continue;
        const auto* header = static_cast<const CSectionHeader*>(items.GetAt(i));
        if (header->GetText() == title || header->GetText() == name ||
            (header->IsFunctionBlock() && header->GetShortName() == name))
            return i;
    }
    return -1;
}

} // namespace

bool AddIndexerFunctionBlock(CEditSession& session, CIndexerPrompts& prompts, const std::string& productDir) {
    if (!session.CanEdit()) return false;
    const CObArrayEx& items = session.Document().Items();
    for (int i = 0; i < items.GetSize(); ++i) {
        const CItem* item = items.GetAt(i);
        if (IsTextLine(item) && HoldsDirective(item->GetText())) {
            session.Select({1, i}, {static_cast<int>(item->GetText().size()) + 1, i});
            prompts.ShowMessage(FormatString(IDS_INDEXER_DIRECTIVE_USED, {kIndexRoutineDirective}));
            return false;
        }
    }

    CIndexerUDFBForm form;
    std::string title;
    while (true) {
        if (!prompts.AskFunctionBlockName(form)) return false;
        title = IndexerFunctionBlockTitle(form.Name());
        const int existing = FindFunctionBlock(items, form.Name(), title);
        if (existing < 0) break;
        session.Select({1, existing}, {1, existing + 1});
        prompts.ShowMessage(FormatString(IDS_INDEXER_FB_EXISTS, {form.Name()}));
    }

    if (!session.BeginEdit()) return false;
    session.Document().RelinkSections();
    const int first = items.GetSize() > 0 && items.GetAt(0)->GetType() == kItemPar ? 1 : 0;
    const int aliasFooter = FindSectionFooter(items, "Alias");
    const int at = aliasFooter >= 0 ? aliasFooter + 1 : first;

    // The same rows as a new user-defined function block: an empty line, the header, the body of
    // udfb.tpl, the footer and two empty lines.
    ItemList block;
    block.push_back(EmptyLine());
    auto header = std::make_unique<CSectionHeader>(title);
    header->SetId(session.Document().TakeSectionId());
    CSectionHeader* h = header.get();
    block.push_back(std::move(header));
    for (const std::string& line : SectionTemplate(productDir, "udfb")) {
        block.push_back(std::make_unique<CLine>(line));
        block.back()->SetSection(h);
    }
    block.push_back(std::make_unique<CSectionFooter>(h->GetText()));
    block.back()->SetSection(h);
    block.push_back(EmptyLine());
    block.push_back(EmptyLine());
    session.InsertItemsAt(at, std::move(block));

    // The directive first, then the empty line that sets it off from what follows.
    ItemList directive;
    directive.push_back(std::make_unique<CLine>(kIndexRoutineDirective + form.Name()));
    directive.push_back(EmptyLine());
    session.InsertItemsAt(first, std::move(directive));

    session.Document().RelinkSections();
    session.SetCaretInEdit({1, IndexOf(items, h)});
    session.EndEdit();
    return true;
}

} // namespace rux
