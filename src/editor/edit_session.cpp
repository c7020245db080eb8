#include "editor/edit_session.h"

#include "document/header_item.h"
#include "document/item_list.h"
#include "document/line_item.h"
#include "document/rux_document.h"
#include "document/section_items.h"
#include "document/text_range.h"
#include "document/view_metrics.h"
#include "editor/clipboard.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

namespace rux {

CEditSession::CEditSession(CRUXDocument& document, CViewMetrics& metrics, CClipboard& clipboard, bool& overwrite)
    : m_doc(document), m_metrics(metrics), m_layout(document.Items(), metrics), m_clipboard(clipboard), m_overwrite(overwrite),
      m_caretX(CViewMetrics::kLeftMargin) {
    m_doc.AddObserver(this);
}

CEditSession::~CEditSession() { m_doc.RemoveObserver(this); }

void CEditSession::OnUpdate(CRUXDocument&, int hint, const CDocumentChange* change) {
    // The transaction's records have all arrived: the rows they name are measured once.
    if (hint == kHintAll)
        m_layout.Rebuild();
    else
        m_layout.Flush();
    if (!change || m_editDepth > 0)
        return;
    // After another view's records: a position in rows cut at the end of the list goes to the
    // last row.
    const int last = std::max(0, m_doc.Items().GetSize() - 1);
    for (CTextPos* pos : {&m_caret, &m_anchor, &m_end})
        if (pos->item > last)
            *pos = {1, last};
    UpdateCaretX();
}

void CEditSession::OnEditRecord(CRUXDocument&, const CDocumentChange& record, const void* source) {
    m_layout.Apply(record);
    if (source == this)
        return;
    // A position in a removed row goes to the start of the cut; columns stay and are clamped to
    // the line when next used.
    for (CTextPos* pos : {&m_caret, &m_anchor, &m_end})
        if (MapItemIndex(pos->item, record))
            pos->col = 1;
    m_history.Remap(record);
}

// --- state ------------------------------------------------------------------------------------

const CItem* CEditSession::ItemAt(int index) const {
    const CObArrayEx& items = m_doc.Items();
    return index >= 0 && index < items.GetSize() ? items.GetAt(index) : nullptr;
}

bool CEditSession::IsTextLine(int index) const {
    const CItem* item = ItemAt(index);
    return item && item->GetType() == kItemLine;
}

bool CEditSession::CanEdit() const { return !m_doc.IsReadOnly() && !m_online; }
bool CEditSession::CanUndo() const { return CanEdit() && m_history.CanUndo(); }
bool CEditSession::CanRedo() const { return CanEdit() && m_history.CanRedo(); }

int CEditSession::CaretY() const {
    return ItemAt(m_caret.item) ? m_layout.TopOf(m_caret.item) : 0;
}

// Positions from outside (a click, a script, a dialog) are kept inside the program.
CTextPos CEditSession::Clamp(CTextPos pos) const {
    const int size = m_doc.Items().GetSize();
    pos.item = std::clamp(pos.item, 0, size > 0 ? size - 1 : 0);
    pos.col = std::clamp(pos.col, 1, kMaxColumn);
    return pos;
}

void CEditSession::SetCaret(CTextPos pos) {
    m_caret = m_anchor = m_end = Clamp(pos);
    UpdateCaretX();
}

void CEditSession::Select(CTextPos anchor, CTextPos end) {
    SetCaret(end);
    m_anchor = Clamp(anchor);
}

std::string CEditSession::PositionText() const {
    char buf[48];
    std::snprintf(buf, sizeof buf, "Ln %d, Col %d", m_caret.item, m_caret.col);
    return buf;
}

int CEditSession::ColumnToX(const CItem* item, int col) const {
    if (!item || item->GetType() != kItemLine)
        return CViewMetrics::kLeftMargin;
    const std::string_view text = item->GetText();
    const size_t inText = std::min(static_cast<size_t>(col - 1), text.size());
    int x = CViewMetrics::kLeftMargin + m_metrics.TextWidth(text.substr(0, inText));
    if (static_cast<size_t>(col - 1) > text.size()) {
        const int64_t beyond = static_cast<int64_t>(col - 1) - static_cast<int64_t>(text.size());
        x = static_cast<int>(std::min<int64_t>(INT32_MAX, x + beyond * m_metrics.TextWidth(" ")));
    }
    return x;
}

int CEditSession::XToColumn(const CItem* item, int x) const {
    if (!item || item->GetType() != kItemLine)
        return 1;
    const int rel = x - CViewMetrics::kLeftMargin;
    if (rel <= 0)
        return 1;
    const std::string_view text = item->GetText();
    const int full = m_metrics.TextWidth(text);
    if (rel >= full) {
        const int space = std::max(1, m_metrics.TextWidth(" "));
        const int64_t col = static_cast<int64_t>(text.size()) + 1 + (static_cast<int64_t>(rel) - full + space / 2) / space;
        return static_cast<int>(std::min<int64_t>(col, kMaxColumn));
    }
    // Widths of prefixes grow with their length: find the character the point falls in.
    size_t lo = 0, hi = text.size(); // width(lo) <= rel < width(hi)
    while (hi - lo > 1) {
        const size_t mid = (lo + hi) / 2;
        if (m_metrics.TextWidth(text.substr(0, mid)) <= rel)
            lo = mid;
        else
            hi = mid;
    }
    const int left = m_metrics.TextWidth(text.substr(0, lo));
    const int right = m_metrics.TextWidth(text.substr(0, hi));
    return static_cast<int>(rel - left < right - rel ? lo : hi) + 1;
}

void CEditSession::UpdateCaretX() { m_caretX = ColumnToX(ItemAt(m_caret.item), m_caret.col); }

int CEditSession::HitTestRow(int y) const {
    const CObArrayEx& items = m_doc.Items();
    if (items.IsEmpty())
        return -1;
    if (y < 0)
        return items.IsVisible(0) ? 0 : items.NextVisible(0);
    return m_layout.RowAt(y);
}

void CEditSession::ScrollCaretIntoView() {
    if (!ItemAt(m_caret.item))
        return;
    const int y = m_layout.TopOf(m_caret.item);
    const int height = m_metrics.LineHeight();
    int sx = m_metrics.ScrollX(), sy = m_metrics.ScrollY();
    const int cw = m_metrics.ClientWidth(), ch = m_metrics.ClientHeight();
    if (y < sy)
        sy = y;
    else if (y + height > sy + ch)
        sy = std::max(0, y + height - ch);
    if (m_caretX < sx + CViewMetrics::kLeftMargin)
        sx = std::max(0, m_caretX - CViewMetrics::kLeftMargin);
    else if (m_caretX > sx + cw)
        sx = m_caretX - cw + 2 * CViewMetrics::kLeftMargin;
    if (sx != m_metrics.ScrollX() || sy != m_metrics.ScrollY())
        m_metrics.SetScroll(sx, sy);
}

// --- caret movement ---------------------------------------------------------------------------

void CEditSession::KeyDown(EKey key, bool shift, bool ctrl) {
    switch (key) {
    case EKey::Insert:
        m_overwrite = !m_overwrite;
        return;
    case EKey::Enter:
        if (m_overwrite) {
            // Enter never splits a line in overwrite mode: it goes to the start of the next row.
            if (shift && !HasSelection())
                m_anchor = m_caret;
            m_caretX = CViewMetrics::kLeftMargin;
            MoveCaret(EKey::Down, false);
            AfterMove(shift);
        } else {
            SplitLine();
        }
        return;
    case EKey::Tab:
        if (ctrl)
            return;
        if (HasSelection()) {
            if (shift)
                DecreaseIndent();
            else
                IncreaseIndent();
        } else {
            TypeChar('\t');
        }
        return;
    case EKey::Backspace:
        if (shift && !HasSelection()) {
            // As for the moving keys: the anchor stays where the caret was and the selection end
            // follows the caret.
            const CTextPos anchor = m_caret;
            Backspace();
            if (!HasSelection()) {
                m_anchor = Clamp(anchor);
                m_end = m_caret;
            }
        } else {
            Backspace();
        }
        return;
    case EKey::Delete:
        DeleteKey();
        return;
    default:
        break;
    }
    if (shift && !HasSelection())
        m_anchor = m_caret;
    MoveCaret(key, ctrl);
    AfterMove(shift);
}

void CEditSession::AfterMove(bool shift) {
    if (shift)
        m_end = m_caret;
    else
        m_anchor = m_end = m_caret;
    ScrollCaretIntoView();
}

void CEditSession::MoveCaret(EKey key, bool ctrl) {
    const CObArrayEx& items = m_doc.Items();
    if (items.IsEmpty())
        return;
    const CItem* item = ItemAt(m_caret.item);
    const bool onText = item && item->GetType() == kItemLine;
    const int length = item ? static_cast<int>(item->GetText().size()) : 0;
    auto moveTo = [&](int index, int col) {
        m_caret = {col < 1 ? 1 : col, index};
        UpdateCaretX();
    };
    auto endOf = [&](int index) {
        const CItem* it = ItemAt(index);
        return it && it->GetType() == kItemLine ? static_cast<int>(it->GetText().size()) + 1 : 1;
    };
    switch (key) {
    case EKey::Home:
        if (ctrl)
            moveTo(0, 1);
        else
            moveTo(m_caret.item, 1);
        break;
    case EKey::End:
        if (ctrl)
            moveTo(items.GetSize() - 1, 1);
        else if (onText) {
            moveTo(m_caret.item, length + 1);
        }
        break;
    case EKey::Left:
        if (!onText)
            break;
        if (m_caret.col > 1) {
            if (ctrl) {
                const std::string_view text = item->GetText();
                size_t p = std::min(static_cast<size_t>(m_caret.col - 1), text.size());
                while (p > 0 && IsWordDelimiter(text[p - 1]))
                    --p;
                while (p > 0 && !IsWordDelimiter(text[p - 1]))
                    --p;
                moveTo(m_caret.item, static_cast<int>(p) + 1);
            } else {
                moveTo(m_caret.item, m_caret.col - 1);
            }
        } else if (const int prev = items.PreviousVisible(m_caret.item); prev >= 0) {
            moveTo(prev, endOf(prev));
        }
        break;
    case EKey::Right:
        if (!onText)
            break;
        if (m_caret.col <= length) {
            if (ctrl) {
                const std::string_view text = item->GetText();
                size_t p = static_cast<size_t>(m_caret.col - 1);
                while (p < text.size() && !IsWordDelimiter(text[p]))
                    ++p;
                while (p < text.size() && IsWordDelimiter(text[p]))
                    ++p;
                moveTo(m_caret.item, static_cast<int>(p) + 1);
            } else {
                moveTo(m_caret.item, m_caret.col + 1);
            }
        } else if (const int next = items.NextVisible(m_caret.item); next >= 0) {
            moveTo(next, 1);
        }
        break;
    case EKey::Up:
    case EKey::Down: {
        const int target = key == EKey::Up ? items.PreviousVisible(m_caret.item) : items.NextVisible(m_caret.item);
        if (target >= 0)
            m_caret = {XToColumn(ItemAt(target), m_caretX), target}; // the x stays where it was
        break;
    }
    case EKey::PageUp:
    case EKey::PageDown: {
        const int page = m_metrics.ClientHeight();
        const int scrollY = m_metrics.ScrollY();
        int target;
        if (ctrl) {
            // Within the page on screen: its first row, or its last fully shown row.
            target = key == EKey::PageUp ? HitTestRow(scrollY) : HitTestRow(scrollY + page - m_metrics.LineHeight());
        } else {
            const int maxScroll = std::max(0, m_layout.TotalHeight() - page);
            const int newScroll = key == EKey::PageUp ? std::max(0, scrollY - page)
                                                      : std::min(std::max(scrollY, maxScroll), scrollY + page);
            const int offset = CaretY() - scrollY;
            m_metrics.SetScroll(m_metrics.ScrollX(), newScroll);
            const int first = HitTestRow(newScroll);
            target = key == EKey::PageUp ? first : HitTestRow(newScroll + offset);
        }
        if (target < 0)
            target = items.PreviousVisible(items.GetSize());
        if (target >= 0)
            m_caret = {XToColumn(ItemAt(target), m_caretX), target};
        break;
    }
    default:
        break;
    }
}

void CEditSession::ClickAt(int x, int y, bool shift) {
    if (m_doc.Items().IsEmpty())
        return;
    const int docX = std::max(CViewMetrics::kLeftMargin, x + m_metrics.ScrollX());
    int row = HitTestRow(y + m_metrics.ScrollY());
    if (row < 0)
        row = m_doc.Items().PreviousVisible(m_doc.Items().GetSize());
    if (row < 0)
        return;
    if (shift && !HasSelection())
        m_anchor = m_caret;
    m_caret = {XToColumn(ItemAt(row), docX), row};
    UpdateCaretX();
    if (shift)
        m_end = m_caret;
    else
        m_anchor = m_end = m_caret;
}

bool CEditSession::SelectWordAtCaret() {
    const CItem* item = ItemAt(m_caret.item);
    if (!item || item->GetType() != kItemLine)
        return false;
    int from = 0, to = 0;
    if (!WordAroundColumn(item->GetText(), m_caret.col, from, to))
        return false;
    Select({from, m_caret.item}, {to, m_caret.item});
    return true;
}

// --- the transaction --------------------------------------------------------------------------

bool CEditSession::BeginEdit() {
    if (!CanEdit())
        return false;
    if (m_editDepth++ == 0) {
        m_recordingGroup = m_recordUndo;
        m_doc.BeginTransaction(this, m_recordUndo ? this : nullptr);
        if (m_recordUndo)
            m_history.BeginUndoGroup(m_caret);
    }
    return true;
}

void CEditSession::EndEdit() {
    if (m_editDepth == 0 || --m_editDepth > 0)
        return;
    m_recordUndo = true;
    // The views repaint from the caret as the command leaves it: set it before they hear.
    const int size = m_doc.Items().GetSize();
    if (m_caret.item >= size)
        m_caret = {1, std::max(0, size - 1)};
    UpdateCaretX();
    if (!m_doc.EndTransaction()) {
        m_history.DropEmptyHead();
        return;
    }
    if (m_recordingGroup)
        m_history.SealHead(m_doc);
    UpdateCaretX();
    ScrollCaretIntoView();
}

void CEditSession::ItemChanging(int index, const CItem& item) {
    if (CUndo* group = m_history.Current())
        group->RecordAction(kUndoChanged, item, m_caret.col, index);
}

void CEditSession::ItemInserted(int index, const CItem& item) {
    if (CUndo* group = m_history.Current())
        group->RecordAction(kUndoInserted, item, m_caret.col, index);
}

void CEditSession::ItemsRemoved(int index, uint32_t before, std::vector<std::unique_ptr<CItem>>& items) {
    if (CUndo* group = m_history.Current())
        group->KeepRemoved(index, before, items, m_caret.col);
}

void CEditSession::ChangeText(int index, std::string text) {
    if (!ItemAt(index))
        return;
    m_doc.SetItemText(index, std::move(text));
}

void CEditSession::InsertItem(int index, std::unique_ptr<CItem> item) {
    std::vector<std::unique_ptr<CItem>> one;
    one.push_back(std::move(item));
    m_doc.InsertItems(std::clamp(index, 0, m_doc.Items().GetSize()), std::move(one));
}

void CEditSession::RemoveItem(int index) {
    if (!ItemAt(index))
        return;
    m_doc.RemoveItems(index, 1); // the removed item is deleted here
}

// --- undo and redo ----------------------------------------------------------------------------

void CEditSession::Undo() { ApplyHistory(false); }
void CEditSession::Redo() { ApplyHistory(true); }

void CEditSession::ApplyHistory(bool redo) {
    if (!CanEdit())
        return;
    CTextPos caret;
    const CPar* par = m_doc.GetHeader();
    const CRuxHeader header = par ? par->Header() : CRuxHeader();
    // The history records its own inverse: the transaction has no recorder.
    m_doc.BeginTransaction(this, nullptr);
    const bool applied = redo ? m_history.Redo(m_doc, m_caret, caret) : m_history.Undo(m_doc, m_caret, caret);
    if (applied)
        m_caret = m_anchor = m_end = Clamp(caret);
    const bool changed = m_doc.EndTransaction();
    if (!applied)
        return;
    // The node file and the referenced libraries follow the header back.
    if (const CPar* now = m_doc.GetHeader(); now && now == par && !(now->Header() == header))
        m_doc.HeaderRestored();
    SetCaret(caret);
    // Undoing always marks the document modified: the history keeps no unmodified point.
    if (!changed)
        m_doc.SetModified(true);
    ScrollCaretIntoView();
}

} // namespace rux
