// The program document: a program with its file, its states and the questions other parts ask of it.
#pragma once

#include "document/document_observer.h"
#include "document/identifier_set.h"
#include "document/program.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace rux {

class CGroupMgr;
class CItem;
class CLngDocument;
class CMessageSink;
class CNodePropertiesForm;
class CSuiteNotifier;
class CTargetLibrary;
class CDiag;
class CDiagramEditorLink;
class CPar;

// What a program document reaches around itself. Every pointer may be null: the matching step is
// then skipped, as when the suite's library is missing.
struct CDocumentServices {
    CTargetLibrary* target = nullptr;
    CSuiteNotifier* notifier = nullptr;
    CGroupMgr* groups = nullptr;
    CMessageSink* messages = nullptr;
    // Debug trace output; nothing is traced without one.
    std::function<void(const std::string&)> trace;
    // Called with the path after each successful save: the host tells the suite's group library,
    // passing its own window where the library wants one.
    std::function<void(const std::string& path)> saved;
};

// Records an item in the current undo group before it changes: (item index, action kind).
using RecordActionHook = std::function<void(int index, int kind)>;

class CRUXDocument {
public:
    CRUXDocument() = default;
    explicit CRUXDocument(CDocumentServices services) : m_services(std::move(services)) {}
    ~CRUXDocument();

    // Read only: items change through the primitives below, which tell every view.
    const CProgram& Program() const { return m_program; }
    const CObArrayEx& Items() const { return m_program.Items(); }
    // The header item when the first item is one.
    const CPar* GetHeader() const { return m_program.GetHeader(); }
    // Set when the program is in the program file format.
    bool HasFormat() const { return m_program.HasFormat(); }
    // Section ids handed out to new sections, and the counter a reader of pasted or imported
    // sections advances. Neither changes a row.
    uint32_t TakeSectionId() { return m_program.TakeSectionId(); }
    uint32_t& SectionIdCounter() { return m_program.SectionIdCounter(); }

    // Takes a program built aside (a generator, a conversion, a test) in place of the current one,
    // as opening a file does: the diagram windows of the old items let go, the identifiers are
    // rebuilt when next asked for and every view hears kHintAll. Not inside a transaction
    // (std::logic_error). The modified flag and the path stay.
    void AdoptProgram(CProgram&& program);

    void SetServices(CDocumentServices services) { m_services = std::move(services); }
    const CDocumentServices& Services() const { return m_services; }

    const std::string& GetPathName() const { return m_path; }
    void SetPathName(std::string path);

    // --- open and save -------------------------------------------------------------------
    // Refuses a light-edition file (message 62074), loads, titles untitled diagrams, rebuilds the
    // referenced libraries and the identifier set. False when the file cannot be read.
    bool OpenDocument(const std::string& path);
    // Why the last OpenDocument could not read the file, in words (empty when it was refused for
    // the light edition, which shows its own message).
    const std::string& OpenError() const { return m_openError; }
    // Not modified: nothing is written and the save succeeds. Otherwise the open diagram windows
    // write back, the suite hears 1738, the file is replaced, the host hears of it (`saved`) and
    // the modified flag is cleared. A failed save leaves the old file and the flag as they were.
    bool SaveDocument();
    // Why the last SaveDocument failed, in words (empty after a success).
    const std::string& SaveError() const { return m_saveError; }
    // Closes every diagram document of the program.
    void CloseDocument();

    bool IsModified() const { return m_modified; }
    // Tells the observers when the state flips, since the title shows it.
    void SetModified(bool modified);
    bool IsReadOnly() const { return m_readOnly; }
    void SetReadOnly(bool readOnly) { m_readOnly = readOnly; }

    // --- title ---------------------------------------------------------------------------
    const std::string& GetTitle() const { return m_title; }
    // The same title for the screen, in UTF-8: the file name as the system spells it and the
    // program's own texts converted from their code page.
    std::string GetDisplayTitle() const { return ComposeTitle(true); }
    // Recomposes the title whatever it is given, as the framework's title setter would; the
    // diagram documents follow.
    void SetTitle(const std::string& ignored = {});

    // --- observers -----------------------------------------------------------------------
    void AddObserver(CDocumentObserver* observer);
    void RemoveObserver(CDocumentObserver* observer);
    // Sends one update to every observer but `sender`.
    void UpdateAllViews(int hint, const CDocumentChange* change = nullptr,
                        CDocumentObserver* sender = nullptr);

    // --- edit primitives and transactions --------------------------------------------------
    // Every change of the program's items goes through these. A transaction brackets one command;
    // nested ones join the outermost, whose opener (`source`, told to observers) and `recorder`
    // (told of every primitive first) count. The outermost end re-links sections when needed,
    // marks the document modified, rebuilds the identifiers and sends the records
    // in order (each view lays itself out once from them), then one update with their sum.
    // Returns whether anything changed.
    void BeginTransaction(const void* source = nullptr, CEditRecorder* recorder = nullptr);
    bool EndTransaction();
    bool InTransaction() const { return m_transactionDepth > 0; }
    // Outside a transaction each primitive is one of its own. Indices are checked (std::out_of_range).
    // Inserts a batch at index (capped at the count).
    void InsertItems(int index, std::vector<std::unique_ptr<CItem>> items);
    // Takes count items out in one step. The transaction's recorder may keep them (an undo group
    // holds the removed items themselves); the rest are handed to the caller.
    std::vector<std::unique_ptr<CItem>> RemoveItems(int index, int count);
    // Takes several runs out in one step (ascending and apart, in today's indices): one record per
    // run, the lowest last, as if each had been removed on its own from the bottom up. Hands back
    // what the recorder did not keep, all runs' items in one list.
    std::vector<std::unique_ptr<CItem>> RemoveItems(const std::vector<CObArrayEx::CRun>& runs);
    void SetItemText(int index, std::string text);
    // Puts a snapshot's content back: the header record of a program header, else the text.
    void RestoreItemContent(int index, const CItem& snapshot);
    // Changes an item in place (a header record, a diagram payload, a flag): the recorder sees the
    // item before `change` runs; a record is made when `change` answers that it changed the item.
    bool ModifyItem(int index, const std::function<bool(CItem&)>& change);
    // The item changed itself (its own dialog, a diagram window): the record only; whoever made
    // the change recorded it for undo before.
    void NoteItemChanged(int index);
    // --- item state: folds, previews, marks ------------------------------------------------
    // None of these is an undo step. Each names exactly the rows it changed, and makes no record
    // when the item already was in that state. False then, true when it changed the item.
    // Folds or unfolds the section whose header stands at `header`; the record spans the section,
    // header to footer. The file keeps the fold, so the user's fold modifies the document; a
    // section a search or a jump opens to show a line (`byUser` false) does not.
    bool SetExpanded(int header, bool expanded, bool byUser = true);
    // Shows a diagram's preview or collapses it to one row; the file keeps the state.
    bool SetDiagramOpen(int index, bool open);
    // Sets or clears one mark of a row (EMarkKind; kind 2 is breakpoint flag A), or flips it as the
    // item's own ToggleMark does. Bookmarks are saved with the program, so changing one modifies
    // the document; the other marks live in memory only.
    bool SetMark(int index, int kind, bool on);
    bool ToggleMark(int index, int kind);
    // Binds a diagram window to its item, or lets it go (null): the row's caption shows it.
    bool SetDiagramEditor(int index, CDiagramEditorLink* editor);
    // Links every item to the header whose section id it carries now rather than at the end of the
    // transaction, for a command that looks for sections among rows it has just inserted. The rows
    // whose link changed are one record.
    void RelinkSections();
    // Index of the item with this id, looking at `hint` first; -1 when no item has it.
    int FindItem(uint32_t id, int hint = 0) const;

    // --- identifiers ---------------------------------------------------------------------
    // Rebuilds the identifier set after the program's content changed. Runs after every edit, so
    // only items whose text changed since the last call are scanned again.
    void Reanalyse();
    // The same after one edit that says what it changed: only the changed items are scanned.
    void Reanalyse(const CDocumentChange& change);
    // A program just opened is scanned when its identifiers are first asked for, not while it
    // opens: a view whose identifier colour is the text colour never needs them to paint. Edits
    // before that leave the set to be built whole then.
    const CIdentifierSet& Identifiers() const;
    bool IdentifiersBuilt() const { return !m_identifiersPending; }

    // --- header --------------------------------------------------------------------------
    // Empty when item 0 is not a header.
    std::string GetLibrary() const;
    std::string GetTarget() const;
    std::string GetType() const;
    // RefLibs split at ";", empty names skipped, in reverse order; empty for a library program.
    const std::vector<std::string>& ReferencedLibraries() const { return m_referencedLibraries; }
    // Whether the header's type can build libraries (asked when the program was opened).
    bool SupportsLibraries() const { return m_supportsLibraries; }
    // Stores the node description and pushes the header to the suite.
    void SetDescription(const std::string& text);
    // The Properties dialog closed with OK: records the header in the undo group, writes the form
    // back and pushes the header to the suite. Nothing happens for a read-only form.
    void AcceptNodeProperties(const CNodePropertiesForm& form, const RecordActionHook& recordAction = {});
    // Adds a library to the header's references (after those already there), recording the header
    // in the undo group first, and pushes the header to the suite. False without a header.
    bool AddReferencedLibrary(const std::string& name, const RecordActionHook& recordAction = {});
    // Undo or redo put an earlier header back: the suite hears of it as of any header change.
    void HeaderRestored() { PushHeader(); }

    // --- derived paths and files ---------------------------------------------------------
    std::string GetBinaryPath() const;
    std::string GetSymbolPath() const;
    std::string GetNodeLabel() const;

    // --- diagrams and debug mode ---------------------------------------------------------
    std::string NewDiagramTitle() const;
    void AddDiagramDocument(CLngDocument* document);
    void RemoveDiagramDocument(CLngDocument* document);
    const std::vector<CLngDocument*>& DiagramDocuments() const { return m_diagramDocuments; }
    void SetDebugMode(bool on);
    bool IsDebugMode() const { return m_debugMode; }
    // The names of the symbol file, loaded when debug mode is switched on.
    const std::vector<std::string>& Symbols() const { return m_symbols; }

private:
    // Changes the state of the item at `index` in place (no content change, no undo): the record
    // names rows `first` to `last`; `structural` when rows showed, hid or changed their height.
    bool ChangeItemState(int index, int first, int last, bool structural, bool modifies,
                         const std::function<bool(CItem&)>& change);
    // The header item, for the document's own changes of it.
    CPar* MutableHeader();
    void RebuildReferencedLibraries();
    // Title, tree entry and suite after the header changed.
    void PushHeader();
    std::string ComposeTitle(bool display = false) const;

    // Changed only by the primitives, the document's own header changes and AdoptProgram.
    CProgram m_program;
    CDocumentServices m_services;
    std::string m_path;
    std::string m_title;
    bool m_modified = false;
    std::string m_saveError;
    std::string m_openError;
    bool m_readOnly = false;
    bool m_debugMode = false;
    bool m_supportsLibraries = false;
    void Record(const CDocumentChange& record, bool structural);

    std::vector<CDocumentObserver*> m_observers;
    // The open transaction.
    int m_transactionDepth = 0;
    const void* m_source = nullptr;
    CEditRecorder* m_recorder = nullptr;
    std::vector<CDocumentChange> m_records;
    bool m_structural = false;
    bool m_relink = false;
    bool m_contentChanged = false;
    bool m_modifies = false;
    // Which section a remaining item belongs to may have changed (the identifiers then rescan all).
    bool m_membership = false;
    std::vector<CLngDocument*> m_diagramDocuments;
    std::vector<std::string> m_referencedLibraries;
    std::vector<std::string> m_symbols;
    mutable CIdentifierSet m_identifiers;
    mutable bool m_identifiersPending = false;
};

} // namespace rux
