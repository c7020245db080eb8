// Typing, line splitting and deleting.
#include "document/header_item.h"
#include "document/item_list.h"
#include "document/line_item.h"
#include "document/rux_document.h"
#include "document/section_items.h"
#include "document/view_metrics.h"
#include "editor/edit_session.h"

#include <algorithm>

static_assert(rux::CEditSession::kMaxColumn == rux::CLine::kMaxText + 1);

namespace rux {
namespace {

// The section a new text line joins when it is inserted at `index`: the one of the item it is
// put in front of, unless that item opens a section (the line then stands before the section).
const CSectionHeader* SectionForInsertAt(const CObArrayEx& items, int index) {
    if (index < 0 || index >= items.GetSize())
        return nullptr;
    const CItem* item = items.GetAt(index);
    return item->GetType() == kItemSectionHeader ? nullptr : item->GetSection();
}

std::unique_ptr<CLine> NewLine(std::string text, const CSectionHeader* section) {
    auto line = std::make_unique<CLine>(std::move(text));
    line->SetSection(section);
    return line;
}

// Splits text at CR LF, LF or a lone CR.
std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n')
            continue;
        lines.push_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    lines.push_back(text.substr(start));
    return lines;
}

} // namespace

// The header is the first item, so whatever would go in front of it goes right after it.
int CEditSession::InsertIndexFor(int index) const {
    const CItem* item = ItemAt(index);
    return item && item->GetType() == kItemPar ? index + 1 : index;
}

void CEditSession::TypeChar(char c) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (c == '\t') {
        if (m_overwrite) {
            // Overwrite mode: Tab only moves, to just past the next tab of the line.
            const CItem* item = ItemAt(m_caret.item);
            if (!item || item->GetType() != kItemLine)
                return;
            const std::string& text = item->GetText();
            const size_t from = std::min(static_cast<size_t>(m_caret.col - 1), text.size());
            const size_t tab = text.find('\t', from);
            SetCaret({static_cast<int>(tab == std::string::npos ? text.size() : tab + 1) + 1, m_caret.item});
            ScrollCaretIntoView();
            return;
        }
        if (HasSelection())
            return;
        if (m_settings.insertTabs)
            InsertText("\t");
        else
            InsertText(std::string(static_cast<size_t>(std::max(1, m_settings.tabSize)), ' '));
        return;
    }
    if (c == '\r' || c == '\n') {
        KeyDown(EKey::Enter, false, false);
        return;
    }
    if (u < 32 || u == 127)
        return;
    if (!BeginEdit())
        return;
    if (HasSelection())
        DeleteSelectionInEdit();
    InsertCharInEdit(c);
    EndEdit();
}

void CEditSession::InsertCharInEdit(char c) {
    const CItem* item = ItemAt(m_caret.item);
    if (!item || item->GetType() != kItemLine) {
        const int index = InsertIndexFor(std::min(m_caret.item, m_doc.Items().GetSize()));
        InsertItem(index, NewLine(std::string(1, c), SectionForInsertAt(m_doc.Items(), index)));
        m_caret = {2, index};
        return;
    }
    std::string text = item->GetText();
    const size_t at = static_cast<size_t>(m_caret.col - 1);
    // Typing never makes a line longer than the file reader takes back whole.
    if (!(m_overwrite && at < text.size()) && std::max(at, text.size()) + 1 > CLine::kMaxText)
        return;
    if (at < text.size()) {
        if (m_overwrite)
            text[at] = c;
        else
            text.insert(at, 1, c);
    } else {
        text.append(at - text.size(), ' ');
        text.push_back(c);
    }
    ChangeText(m_caret.item, std::move(text));
    ++m_caret.col;
}

void CEditSession::InsertText(std::string_view text) {
    if (text.empty() || !BeginEdit())
        return;
    if (HasSelection())
        DeleteSelectionInEdit();
    InsertTextInEdit(text);
    EndEdit();
}

// Cuts each line into pieces the reader reads back whole. `caret` is an offset into the last line;
// it comes back as the piece it falls in (counted from the end) and the column in that piece.
static std::vector<std::string> BreakLongLines(const std::vector<std::string>& lines, size_t caret, int& caretPiece,
                                        int& caretCol) {
    constexpr size_t kMax = CLine::kMaxText;
    std::vector<std::string> pieces;
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        const size_t count = line.empty() ? 1 : (line.size() + kMax - 1) / kMax;
        const size_t first = pieces.size();
        for (size_t k = 0; k < count; ++k)
            pieces.push_back(line.substr(k * kMax, kMax));
        if (i + 1 == lines.size()) {
            const size_t piece = std::min(caret / kMax, count - 1);
            caretPiece = static_cast<int>(first + piece);
            caretCol = static_cast<int>(caret - piece * kMax) + 1;
        }
    }
    return pieces;
}

// In insert mode the string goes in before the caret; a line that would grow past what the file
// reader takes back whole is broken into several. In overwrite mode with the caret inside the text,
// only the string's first character replaces the one at the caret (a line break never goes into a
// line), the line keeps its length and the caret moves on by the string's length.
void CEditSession::InsertTextInEdit(std::string_view text) {
    if (text.empty() && IsTextLine(m_caret.item))
        return; // nothing to insert into the line, and no padding for it either
    const std::vector<std::string_view> split = SplitLines(text);
    const CObArrayEx& items = m_doc.Items();
    const CItem* item = ItemAt(m_caret.item);
    int caretPiece = 0, caretCol = 1;
    if (!item || item->GetType() != kItemLine) {
        int index = InsertIndexFor(std::min(m_caret.item, items.GetSize()));
        const CSectionHeader* section = SectionForInsertAt(items, index);
        const std::vector<std::string> lines(split.begin(), split.end());
        const std::vector<std::string> pieces = BreakLongLines(lines, lines.back().size(), caretPiece, caretCol);
        const int first = index;
        for (const auto& piece : pieces)
            InsertItem(index++, NewLine(piece, section));
        m_caret = {caretCol, first + caretPiece};
        return;
    }
    std::string current = item->GetText();
    const size_t at = static_cast<size_t>(m_caret.col - 1);
    if (m_overwrite && at < current.size()) {
        if (!text.empty() && text[0] != '\r' && text[0] != '\n' && current[at] != text[0]) {
            current[at] = text[0];
            ChangeText(m_caret.item, std::move(current));
        }
        m_caret.col = static_cast<int>(std::min<size_t>(at + 1 + text.size(), kMaxColumn));
        return;
    }
    if (at > current.size())
        current.append(at - current.size(), ' ');
    const std::string tail = current.substr(at);
    current.erase(at);
    std::vector<std::string> lines(split.begin(), split.end());
    lines.front().insert(0, current);
    const size_t caret = lines.back().size();
    lines.back() += tail;
    const std::vector<std::string> pieces = BreakLongLines(lines, caret, caretPiece, caretCol);
    const CSectionHeader* section = item->GetSection();
    const int first = m_caret.item;
    if (pieces.front() != item->GetText())
        ChangeText(first, pieces.front());
    int index = first + 1;
    for (size_t i = 1; i < pieces.size(); ++i)
        InsertItem(index++, NewLine(pieces[i], section));
    m_caret = {caretCol, first + caretPiece};
}

void CEditSession::SplitLine() {
    if (!BeginEdit())
        return;
    if (HasSelection())
        DeleteSelectionInEdit();
    SplitLineInEdit();
    EndEdit();
}

void CEditSession::SplitLineInEdit() {
    const CObArrayEx& items = m_doc.Items();
    const CItem* item = ItemAt(m_caret.item);
    if (!item) {
        InsertItem(items.GetSize(), NewLine({}, nullptr));
        m_caret = {1, items.GetSize() - 1};
        return;
    }
    const int index = m_caret.item;
    if (item->GetType() == kItemSectionHeader && static_cast<const CSectionHeader*>(item)->IsExpanded()) {
        InsertItem(index + 1, NewLine({}, static_cast<const CSectionHeader*>(item)));
        m_caret = {1, index + 1};
        return;
    }
    if (item->GetType() != kItemLine) {
        // Below the header, a diagram, a footer or a folded section: a new line at the next row.
        const CSectionHeader* section = item->GetType() == kItemSectionFooter ? nullptr : item->GetSection();
        int at = items.NextVisible(index);
        if (at < 0) {
            at = items.GetSize();
            section = nullptr;
        }
        InsertItem(at, NewLine({}, section));
        m_caret = {1, at};
        return;
    }

    const std::string text = item->GetText();
    const size_t cut = std::min(static_cast<size_t>(m_caret.col - 1), text.size());
    std::string kept = text.substr(0, cut);
    std::string rest = text.substr(cut);
    // The line keeps the text before the caret; openers are then searched above the new line.
    ChangeText(index, kept);
    int col = 1;
    if (m_settings.autoIndent) {
        const int tab = std::max(1, m_settings.tabSize);
        const int width = IndentWidth(kept, tab);
        const std::string first(FirstWord(kept));
        const std::string_view next = FirstWord(rest);
        int newIndent = width;
        switch (m_indentRole(first)) {
        case 1:
            newIndent = width + tab;
            break;
        case 2: {
            const bool matchesIf = EqualsNoCase(first, "ELSE") || EqualsNoCase(first, "ELSEIF");
            const int keptIndent = matchesIf ? MatchingOpenerWidth(items, index - 1, EOpener::If, tab)
                                             : std::max(0, width - tab);
            ChangeText(index, Reindent(kept, keptIndent, tab));
            newIndent = keptIndent + tab;
            break;
        }
        case 3: {
            const EOpener opener = EqualsNoCase(first, "LOOP") ? EOpener::Loop : EOpener::If;
            const int keptIndent = MatchingOpenerWidth(items, index - 1, opener, tab);
            ChangeText(index, Reindent(kept, keptIndent, tab));
            newIndent = keptIndent;
            break;
        }
        default:
            if (EqualsNoCase(next, "LOOP"))
                newIndent = MatchingOpenerWidth(items, index, EOpener::Loop, tab);
            else if (EqualsNoCase(next, "ELSE") || EqualsNoCase(next, "ELSEIF") || EqualsNoCase(next, "ENDIF"))
                newIndent = MatchingOpenerWidth(items, index, EOpener::If, tab);
            break;
        }
        rest = Reindent(rest, newIndent, tab);
        col = static_cast<int>(LeadingBlanks(rest)) + 1;
    }
    InsertItem(index + 1, NewLine(std::move(rest), item->GetSection()));
    m_caret = {col, index + 1};
}

const CItem* CEditSession::EditableCaretLine() const {
    const CItem* item = ItemAt(m_caret.item);
    return item && item->GetType() == kItemLine && CanEdit() ? item : nullptr;
}

bool CEditSession::DeleteSelectionAsCommand() {
    if (!HasSelection())
        return false;
    if (BeginEdit()) {
        DeleteSelectionInEdit();
        EndEdit();
    }
    return true;
}

void CEditSession::Backspace() {
    if (DeleteSelectionAsCommand())
        return;
    const CItem* item = EditableCaretLine();
    if (!item)
        return;
    const int index = m_caret.item;
    const std::string& text = item->GetText();
    if (m_caret.col > 1) {
        if (static_cast<size_t>(m_caret.col - 1) > text.size()) {
            // In the free space after the text there is nothing to remove: just step left.
            SetCaret({m_caret.col - 1, index});
            return;
        }
        BeginEdit();
        std::string changed = text;
        changed.erase(static_cast<size_t>(m_caret.col - 2), 1);
        ChangeText(index, std::move(changed));
        --m_caret.col;
        EndEdit();
        return;
    }
    const CItem* above = ItemAt(index - 1);
    if (above && above->GetType() == kItemSectionHeader)
        return;
    if (above && above->GetType() == kItemLine && above->GetSection() == item->GetSection()) {
        if (above->GetText().size() + text.size() > CLine::kMaxText)
            return; // the joined line could not be read back whole
        BeginEdit();
        const int joint = static_cast<int>(above->GetText().size()) + 1;
        ChangeText(index - 1, above->GetText() + text);
        RemoveItem(index);
        m_caret = {joint, index - 1};
        EndEdit();
        return;
    }
    if (!text.empty())
        return;
    BeginEdit();
    const int previous = m_doc.Items().PreviousVisible(index);
    RemoveItem(index);
    if (previous >= 0) {
        const CItem* prev = ItemAt(previous);
        m_caret = {prev->GetType() == kItemLine ? static_cast<int>(prev->GetText().size()) + 1 : 1, previous};
    } else {
        m_caret = {1, 0};
    }
    EndEdit();
}

void CEditSession::DeleteKey() {
    if (DeleteSelectionAsCommand())
        return;
    const CItem* item = EditableCaretLine();
    if (!item)
        return;
    const int index = m_caret.item;
    const std::string& text = item->GetText();
    if (static_cast<size_t>(m_caret.col - 1) < text.size()) {
        BeginEdit();
        std::string changed = text;
        changed.erase(static_cast<size_t>(m_caret.col - 1), 1);
        ChangeText(index, std::move(changed));
        EndEdit();
        return;
    }
    const CItem* below = ItemAt(index + 1);
    if (!below || below->GetType() != kItemLine || below->GetSection() != item->GetSection())
        return;
    if (text.size() + below->GetText().size() > CLine::kMaxText)
        return; // the joined line could not be read back whole
    BeginEdit();
    ChangeText(index, text + below->GetText());
    RemoveItem(index + 1);
    EndEdit();
}

// Which rows from s to e (counted from s.item) a deletion takes away whole. Two kinds of rows stay
// although selected: the program header, and a section's opening or closing row whose partner
// is not removed as well, so that no section is ever left open.
std::vector<char> CEditSession::RemovedRows(CTextPos s, CTextPos e) const {
    const CObArrayEx& items = m_doc.Items();
    const int size = items.GetSize();
    const int last = std::min(e.item, size - 1);
    if (s.item < 0 || s.item > last)
        return {};
    // Every index below lies in 0..size-1: the rows are read without a check each.
    const CObArrayEx::const_iterator row = items.begin();
    std::vector<char> whole(static_cast<size_t>(last - s.item + 1), 0);
    for (int index = s.item; index <= last; ++index) {
        const CItem* item = row[index];
        const int type = item->GetType();
        const bool text = type == kItemLine;
        const int length = static_cast<int>(item->GetText().size());
        bool covered = true;
        if (index == e.item)
            covered = text ? (length > 0 && e.col > length) : e.col > 1;
        else if (index == s.item)
            covered = !text || s.col == 1;
        whole[static_cast<size_t>(index - s.item)] = covered && type != kItemPar;
    }
    auto removed = [&](int index) {
        return index >= s.item && index <= last && whole[static_cast<size_t>(index - s.item)];
    };
    for (int index = s.item; index <= last; ++index) {
        if (!removed(index))
            continue;
        const CItem* item = row[index];
        const int type = item->GetType();
        if (type == kItemSectionHeader) {
            int footer = index + 1;
            while (footer < size && !(row[footer]->GetType() == kItemSectionFooter && row[footer]->GetSection() == item))
                ++footer;
            if (footer < size && !removed(footer))
                whole[static_cast<size_t>(index - s.item)] = 0;
        } else if (type == kItemSectionFooter && item->GetSection()) {
            int header = index - 1;
            while (header >= 0 && row[header] != item->GetSection())
                --header;
            if (header >= 0 && !removed(header))
                whole[static_cast<size_t>(index - s.item)] = 0;
        }
    }
    return whole;
}

// Rows wholly inside the selection are removed one by one (RemovedRows); the first and last rows
// keep their unselected parts, joined into one line when nothing stays between them.
void CEditSession::DeleteSelectionInEdit() {
    const CTextPos s = SelectionStart();
    const CTextPos e = SelectionStop();
    m_anchor = m_end = m_caret = s;
    const CObArrayEx& items = m_doc.Items();
    if (s.item >= items.GetSize())
        return;
    if (s.item == e.item) {
        const CItem* item = ItemAt(s.item);
        if (item->GetType() != kItemLine)
            return;
        const std::string& text = item->GetText();
        const size_t from = std::min(static_cast<size_t>(s.col - 1), text.size());
        const size_t to = std::min(static_cast<size_t>(e.col - 1), text.size());
        if (from < to) {
            std::string changed = text;
            changed.erase(from, to - from);
            ChangeText(s.item, std::move(changed));
        }
        return;
    }
    const int last = std::min(e.item, items.GetSize() - 1);
    const std::vector<char> whole = RemovedRows(s, e);
    auto removed = [&](int index) {
        return index >= s.item && index <= last && whole[static_cast<size_t>(index - s.item)];
    };
    // The first row's kept head and the last row's kept tail become one line again when nothing
    // stays between them, as the text was one run before the rows between were taken out.
    bool join = e.item <= last && !removed(s.item) && !removed(e.item) && IsTextLine(s.item) &&
                IsTextLine(e.item) && ItemAt(s.item)->GetSection() == ItemAt(e.item)->GetSection();
    for (int index = s.item + 1; join && index < e.item; ++index)
        join = removed(index);
    // The last row's tail is cut first, then every run of whole rows goes in one step (the rows
    // behind them move up once), then the first row's head: each at the index it has now.
    if (last == e.item && !removed(last) && e.col > 1 && IsTextLine(last)) {
        const std::string& text = ItemAt(last)->GetText();
        ChangeText(last, text.substr(std::min(static_cast<size_t>(e.col - 1), text.size())));
    }
    std::vector<CObArrayEx::CRun> runs;
    for (int index = s.item; index <= last; ++index) {
        if (!removed(index))
            continue;
        if (!runs.empty() && runs.back().first + runs.back().count == index)
            ++runs.back().count;
        else
            runs.push_back({index, 1});
    }
    m_doc.RemoveItems(runs);
    if (!removed(s.item) && IsTextLine(s.item) &&
        static_cast<size_t>(s.col - 1) < ItemAt(s.item)->GetText().size())
        ChangeText(s.item, ItemAt(s.item)->GetText().substr(0, static_cast<size_t>(s.col - 1)));
    // A selection that began in the free space after a line's text: what was cut continues right
    // after that text, so the caret goes there and a paste does not pad the line first.
    // A first row removed whole leaves the caret at the start of what now follows.
    if (removed(s.item))
        m_caret.col = 1;
    else if (IsTextLine(s.item) && static_cast<size_t>(m_caret.col - 1) > ItemAt(s.item)->GetText().size())
        m_caret.col = static_cast<int>(ItemAt(s.item)->GetText().size()) + 1;
    if (join) {
        const std::string& head = ItemAt(s.item)->GetText();
        const std::string& tail = ItemAt(s.item + 1)->GetText();
        if (head.size() + tail.size() <= CLine::kMaxText) {
            ChangeText(s.item, head + tail);
            RemoveItem(s.item + 1);
        }
    }
    if (m_caret.item >= items.GetSize())
        m_caret = {1, std::max(0, items.GetSize() - 1)};
    else if (ItemAt(m_caret.item) && ItemAt(m_caret.item)->GetType() != kItemLine)
        m_caret.col = 1;
    m_anchor = m_end = m_caret;
}

} // namespace rux
