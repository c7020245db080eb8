// One view's editing state and commands: caret, selection, undo history and every edit command.
#pragma once

#include "document/document_observer.h"
#include "document/item.h"
#include "document/row_layout.h"
#include "editor/auto_indent.h"
#include "editor/text_position.h"
#include "editor/undo.h"

#include <ctime>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace rux {

class CClipboard;
class CEditorServices;
class CRUXDocument;
class CViewMetrics;
struct CTextRange;

struct CEditSettings {
    int tabSize = 2;        // TabSize: characters per tab stop and per indentation level
    bool insertTabs = false; // CvrtTab not 0: the Tab key inserts a tab character, else spaces
    bool autoIndent = true;  // AutoIndent option
};

enum class EKey { Home, End, PageUp, PageDown, Left, Right, Up, Down, Enter, Tab, Backspace, Delete, Insert };

// A session watches its document: every edit another view (or anything else) makes moves this
// session's caret, selection and undo positions with the text, as a text editor keeps its marks.
class CEditSession final : private CDocumentObserver, private CEditRecorder {
public:
    // The caret may stand in the free space after a line's text, up to this column (just past the
    // longest line the file reader takes back whole); typing there pads the line with blanks.
    static constexpr int kMaxColumn = 4094;

    // `overwrite` is the application's one overwrite flag, shared by every view.
    CEditSession(CRUXDocument& document, CViewMetrics& metrics, CClipboard& clipboard, bool& overwrite);
    ~CEditSession();
    CEditSession(const CEditSession&) = delete;
    CEditSession& operator=(const CEditSession&) = delete;

    // --- state ------------------------------------------------------------------------------
    CRUXDocument& Document() { return m_doc; }
    const CRUXDocument& Document() const { return m_doc; }
    CViewMetrics& Metrics() { return m_metrics; }
    // This view's rows under its metrics, kept up to date from the document's edit records.
    CRowLayout& Layout() { return m_layout; }
    const CRowLayout& Layout() const { return m_layout; }
    CTextPos Caret() const { return m_caret; }
    CTextPos Anchor() const { return m_anchor; }
    CTextPos SelectionEnd() const { return m_end; }
    bool HasSelection() const { return m_anchor != m_end; }
    CTextPos SelectionStart() const { return m_anchor < m_end ? m_anchor : m_end; }
    CTextPos SelectionStop() const { return m_anchor < m_end ? m_end : m_anchor; }
    // Caret pixel position in document coordinates; x never left of the margin.
    int CaretX() const { return m_caretX; }
    int CaretY() const;
    bool IsOverwrite() const { return m_overwrite; }

    void SetCaret(CTextPos pos);                // collapses the selection
    void Select(CTextPos anchor, CTextPos end); // caret at end
    bool CanEdit() const;
    bool IsOnline() const { return m_online; }
    void SetOnline(bool online) { m_online = online; }
    CEditSettings& Settings() { return m_settings; }
    CUndoHistory& History() { return m_history; }
    void SetClock(std::function<std::time_t()> clock) { m_clock = std::move(clock); }
    void SetIndentRole(IndentRoleFn role) { m_indentRole = role ? role : BuiltinIndentRole; }
    // "Ln %d, Col %d" for the status bar.
    std::string PositionText() const;

    // --- keyboard and mouse -----------------------------------------------------------------
    void KeyDown(EKey key, bool shift, bool ctrl);
    // Character input: printable bytes, bytes from 128, tab, CR and LF.
    void TypeChar(char c);
    // Puts the caret at a point of the client area; with shift only the selection end moves.
    void ClickAt(int x, int y, bool shift);
    // Selects the word around the caret (double-click on a text line); false on a delimiter.
    bool SelectWordAtCaret();

    // --- edit commands ------------------------------------------------------------------------
    void InsertText(std::string_view text); // a string at the caret; line breaks start new lines
    void SplitLine();
    void Backspace();
    void DeleteKey(); // Delete (117)
    void IncreaseIndent();
    void DecreaseIndent();
    void ApplyIndent();
    void ToggleCase();
    void SelectAll();
    void Copy();
    void Cut();
    void Paste();
    bool CanPaste() const;
    // A drop of clipboard-format data at a position; `move` from this view deletes the dragged
    // selection too, in the same undo group.
    void DropAt(CTextPos at, const std::string* fragment, const std::string* plainText, bool move);
    void InsertDateTime();
    // Inserts another file's content at the caret; false when it cannot be read.
    bool InsertFile(const std::string& path);
    void Undo();
    void Redo();
    bool CanUndo() const;
    bool CanRedo() const;

    // The one routine through which templates, sections, function blocks and diagrams enter a
    // program: one undo group (when `undo`), caret after the inserted block.
    void InsertItemsAtCaret(std::vector<std::unique_ptr<CItem>> items, CTextPos at, bool undo = true);

    // The two clipboard formats of the current selection.
    std::string SelectionFragment() const;
    std::string SelectionPlainText() const;

    // --- building blocks for commands outside this class -------------------------------------
    // Opens the command's document transaction and its undo group; false when editing is refused.
    bool BeginEdit();
    // Ends the command: the document lays out, marks modified, rebuilds identifiers and notifies
    // once; a command that changed nothing leaves no undo group and keeps Redo.
    void EndEdit();
    void ChangeText(int index, std::string text);
    // Inside an open edit: deletes the selection, moves the caret without ending the edit.
    void DeleteSelection() { DeleteSelectionInEdit(); }
    void SetCaretInEdit(CTextPos pos) { m_caret = m_anchor = m_end = pos; }
    void InsertItem(int index, std::unique_ptr<CItem> item);
    // Inside an open edit: inserts rows at index as the insertion routine does (unbound lines join
    // the section they land in; a block holding a section goes below that section). Returns the
    // index after them.
    int InsertItemsAt(int index, std::vector<std::unique_ptr<CItem>> items) {
        return InsertItemsInEdit(std::move(items), index);
    }
    void RemoveItem(int index);
    void ScrollCaretIntoView();
    // A double-click on the row of item `index` at document x: the item's own action (fold,
    // preview, word selection, header or properties dialog). Returns 1 when the item changed.
    int DoubleClickItem(int index, int x, CEditorServices& services);

private:
    void OnUpdate(CRUXDocument& document, int hint, const CDocumentChange* change) override;
    void OnEditRecord(CRUXDocument& document, const CDocumentChange& record, const void* source) override;
    void ItemChanging(int index, const CItem& item) override;
    void ItemInserted(int index, const CItem& item) override;
    void ItemsRemoved(int index, uint32_t before, std::vector<std::unique_ptr<CItem>>& items) override;
    CTextPos Clamp(CTextPos pos) const;
    void MoveCaret(EKey key, bool ctrl);
    void ApplyHistory(bool redo);
    // Backspace and Delete with a selection delete it; true when there was one.
    bool DeleteSelectionAsCommand();
    // The caret's text line when it may be edited, else null.
    const CItem* EditableCaretLine() const;
    void AfterMove(bool shift);
    void UpdateCaretX();
    int ColumnToX(const CItem* item, int col) const;
    int XToColumn(const CItem* item, int x) const;
    const CItem* ItemAt(int index) const;
    bool IsTextLine(int index) const;
    CTextRange SelectionRange() const;
    // Deletes the selection inside the open transaction; the caret goes to its start.
    void DeleteSelectionInEdit();
    void InsertTextInEdit(std::string_view text);
    void InsertCharInEdit(char c);
    void SplitLineInEdit();
    void InsertFragmentInEdit(const std::string& fragment);
    // Inserts rows at index inside the open transaction; returns the index after them.
    int InsertItemsInEdit(std::vector<std::unique_ptr<CItem>> items, int index);
    bool MergeFragmentIntoLine(std::vector<std::unique_ptr<CItem>>& items);
    std::vector<char> RemovedRows(CTextPos s, CTextPos e) const;
    // Where an item meant for `index` goes: never in front of the program header.
    int InsertIndexFor(int index) const;
    int HitTestRow(int y) const;
    void SetLineIndent(int index, std::function<std::string(std::string_view)> change);
    void SelectWholeLines(int first, int last);

    CRUXDocument& m_doc;
    CViewMetrics& m_metrics;
    CRowLayout m_layout;
    CClipboard& m_clipboard;
    bool& m_overwrite;
    CEditSettings m_settings;
    CUndoHistory m_history;
    std::function<std::time_t()> m_clock;
    IndentRoleFn m_indentRole = BuiltinIndentRole;

    CTextPos m_caret;
    CTextPos m_anchor;
    CTextPos m_end;
    int m_caretX;
    bool m_online = false;

    // Depth of the open command; the document keeps the transaction itself.
    int m_editDepth = 0;
    bool m_recordUndo = true;
    bool m_recordingGroup = false; // the open command has an undo group
};

} // namespace rux
