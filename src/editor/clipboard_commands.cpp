// Copy, cut, paste, drag and drop, and the insertion of items, dates and files.
#include "document/diagram_item.h"
#include "document/header_item.h"
#include "document/item_list.h"
#include "document/line_input.h"
#include "document/output_stream.h"
#include "document/program_reader.h"
#include "document/rux_document.h"
#include "document/section_items.h"
#include "document/text_range.h"
#include "editor/clipboard.h"
#include "editor/edit_session.h"
#include "fileio/whole_file.h"

#include <algorithm>

namespace rux {
namespace {

std::unique_ptr<CLine> NewTextLine(std::string text) { return std::make_unique<CLine>(std::move(text)); }

} // namespace

CTextRange CEditSession::SelectionRange() const {
    const CTextPos s = SelectionStart(), e = SelectionStop();
    CTextRange range{s.item, s.col, e.item, e.col};
    // A row other than a text line at the very end of a selection is not covered by it when the
    // selection stops in front of it.
    const CItem* last = ItemAt(e.item);
    if (last && last->GetType() != kItemLine && e.col <= 1 && e.item > s.item) {
        range.endItem = e.item - 1;
        const CItem* before = ItemAt(range.endItem);
        range.endCol = before ? static_cast<int>(before->GetText().size()) + 1 : 1;
    }
    return range;
}

std::string CEditSession::SelectionFragment() const {
    std::string out(kProgramHeaderLine);
    out += "\r\n";
    if (!HasSelection())
        return out;
    CStringOstream stream(out);
    const CTextRange range = SelectionRange();
    const int last = std::min(range.endItem, m_doc.Items().GetSize() - 1);
    for (int i = range.startItem; i <= last; ++i)
        ItemAt(i)->WriteItem(i, stream, &range);
    return out;
}

std::string CEditSession::SelectionPlainText() const {
    std::string out;
    if (!HasSelection())
        return out;
    CStringOstream stream(out);
    const CTextRange range = SelectionRange();
    const int last = std::min(range.endItem, m_doc.Items().GetSize() - 1);
    for (int i = range.startItem; i <= last; ++i)
        ItemAt(i)->WriteText(i, stream, &range);
    // Lines are separated, not terminated.
    if (out.size() >= 2 && out.compare(out.size() - 2, 2, "\r\n") == 0)
        out.resize(out.size() - 2);
    return out;
}

void CEditSession::Copy() {
    if (HasSelection())
        m_clipboard.SetData(SelectionFragment(), SelectionPlainText());
}

// Cut puts on the clipboard what it takes away, in the form that a paste at the caret it leaves
// puts back: the head of the first row and the tail of the last row around the rows removed
// whole. Rows a deletion must leave (the program header, half of a section) are not taken, so they
// are not on the clipboard either.
void CEditSession::Cut() {
    if (!HasSelection() || !CanEdit())
        return;
    if (const CItem* first = ItemAt(SelectionStart().item); first && first->GetType() == kItemPar) {
        const CTextPos start{1, SelectionStart().item + 1};
        const CTextPos stop = SelectionStop();
        if (!(start < stop))
            return;
        m_anchor = start;
        m_end = m_caret = stop;
    }
    const CTextPos s = SelectionStart(), e = SelectionStop();
    const int size = m_doc.Items().GetSize();
    if (s.item == e.item || s.item >= size) {
        if (!IsTextLine(s.item))
            return; // a deletion leaves a single row that is not text as it is
        Copy();
        BeginEdit();
        DeleteSelectionInEdit();
        EndEdit();
        return;
    }
    const std::vector<char> removed = RemovedRows(s, e);
    const int last = std::min(e.item, size - 1);
    auto isRemoved = [&](int index) { return index <= last && removed[static_cast<size_t>(index - s.item)]; };
    const bool keptFirst = !isRemoved(s.item) && IsTextLine(s.item);
    const bool keptLast = e.item <= last && !isRemoved(e.item) && IsTextLine(e.item);
    ItemVector taken;
    if (keptFirst) {
        const std::string& text = ItemAt(s.item)->GetText();
        taken.push_back(NewTextLine(text.substr(std::min(static_cast<size_t>(s.col - 1), text.size()))));
    }
    for (int index = s.item; index <= last; ++index)
        if (isRemoved(index))
            taken.push_back(ItemAt(index)->Clone());
    bool caretAtEnd = false;
    if (keptLast) {
        const std::string& text = ItemAt(e.item)->GetText();
        taken.push_back(NewTextLine(text.substr(0, std::min(static_cast<size_t>(e.col - 1), text.size()))));
    } else if (!keptFirst) {
        // Whole rows only: an empty last line keeps what follows a line of its own when pasted
        // into it; at the end of the program the paste goes after the last line instead.
        const int next = e.item <= last && !isRemoved(e.item) ? e.item : last + 1;
        if (IsTextLine(next)) {
            taken.push_back(NewTextLine({}));
        } else if (next >= size && IsTextLine(s.item - 1)) {
            taken.insert(taken.begin(), NewTextLine({}));
            caretAtEnd = true;
        }
    }
    std::string fragment(kProgramHeaderLine);
    fragment += "\r\n";
    std::string plain;
    {
        CStringOstream out(fragment);
        CStringOstream text(plain);
        for (size_t i = 0; i < taken.size(); ++i) {
            taken[i]->WriteItem(static_cast<int>(i), out, nullptr);
            taken[i]->WriteText(static_cast<int>(i), text, nullptr);
        }
    }
    if (plain.size() >= 2 && plain.compare(plain.size() - 2, 2, "\r\n") == 0)
        plain.resize(plain.size() - 2);
    m_clipboard.SetData(fragment, plain);
    BeginEdit();
    DeleteSelectionInEdit();
    if (caretAtEnd) {
        const int end = m_doc.Items().GetSize() - 1;
        m_caret = {static_cast<int>(ItemAt(end)->GetText().size()) + 1, end};
        m_anchor = m_end = m_caret;
    }
    EndEdit();
}

bool CEditSession::CanPaste() const {
    return CanEdit() && (m_clipboard.GetFragment().has_value() || m_clipboard.GetPlainText().has_value());
}

void CEditSession::Paste() {
    if (!CanEdit())
        return;
    const std::optional<std::string> fragment = m_clipboard.GetFragment();
    const std::optional<std::string> text = m_clipboard.GetPlainText();
    const bool useFragment = fragment && StartsWithNoCase(*fragment, kProgramHeaderLine);
    if (!useFragment && !text)
        return;
    BeginEdit();
    if (HasSelection())
        DeleteSelectionInEdit();
    if (useFragment)
        InsertFragmentInEdit(*fragment);
    else
        InsertTextInEdit(*text);
    EndEdit();
}

void CEditSession::InsertFragmentInEdit(const std::string& fragment) {
    std::string_view body(fragment);
    const size_t lf = body.find('\n');
    body = lf == std::string_view::npos ? std::string_view() : body.substr(lf + 1);
    std::vector<std::string> titles;
    for (const auto& item : m_doc.Items())
        if (item->GetType() == kItemDiag)
            titles.push_back(static_cast<const CDiag&>(*item).GetTitle());
    CStrMemFile in(body);
    ItemVector items;
    ReadFragment(in, items, titles, m_doc.SectionIdCounter());
    if (items.empty())
        return;
    const bool onlyLines =
        std::all_of(items.begin(), items.end(), [](const auto& item) { return item->GetType() == kItemLine; });
    if (onlyLines) {
        // Plain lines go in as text, so a partial line pastes into the caret line as it was cut.
        std::string text;
        for (size_t i = 0; i < items.size(); ++i) {
            if (i)
                text += '\n';
            text += items[i]->GetText();
        }
        InsertTextInEdit(text);
        return;
    }
    if (MergeFragmentIntoLine(items))
        return;
    const int after = InsertItemsInEdit(std::move(items), m_caret.item);
    m_caret = {m_caret.col, after};
}

// A fragment pasted into a text line is text around items: its first line joins the text before the
// caret, its last line the text after it, and the items go between, so that pasting what was cut
// gives the program back as it was. Not where the block cannot stand at the caret (a section
// pasted inside a section goes below it, whole, as InsertItemsInEdit places it).
bool CEditSession::MergeFragmentIntoLine(ItemVector& items) {
    const CItem* line = ItemAt(m_caret.item);
    if (!line || line->GetType() != kItemLine || items.size() < 2)
        return false;
    const bool holdsSection = std::any_of(items.begin(), items.end(), [](const auto& item) {
        return item->GetType() == kItemSectionHeader;
    });
    const CSectionHeader* section = line->GetSection();
    if (holdsSection && section)
        return false;
    auto isPlainLine = [](const std::unique_ptr<CItem>& item) { return item->GetType() == kItemLine; };
    const bool firstText = isPlainLine(items.front());
    const bool lastText = isPlainLine(items.back());
    const std::string first = firstText ? items.front()->GetText() : std::string();
    const std::string last = lastText ? items.back()->GetText() : std::string();
    if (lastText) items.pop_back();
    if (firstText) items.erase(items.begin());

    const int index = m_caret.item;
    std::string text = line->GetText();
    const size_t at = static_cast<size_t>(m_caret.col - 1);
    if (at > text.size() && !first.empty()) text.append(at - text.size(), ' ');
    const std::string head = text.substr(0, std::min(at, text.size()));
    const std::string tail = text.substr(std::min(at, text.size()));
    if (head.size() + first.size() > CLine::kMaxText || last.size() + tail.size() > CLine::kMaxText) {
        // Too long to join: the outer lines stay lines of their own.
        if (lastText) items.push_back(NewTextLine(last));
        if (firstText) items.insert(items.begin(), NewTextLine(first));
        return false;
    }
    if (firstText || !head.empty()) {
        if (head + first != line->GetText()) ChangeText(index, head + first);
        const int after = InsertItemsInEdit(std::move(items), index + 1);
        if (lastText || !tail.empty()) {
            auto rest = NewTextLine(last + tail);
            rest->SetSection(section);
            InsertItem(after, std::move(rest));
            m_caret = {static_cast<int>(last.size()) + 1, after};
        } else {
            m_caret = {1, after};
        }
        return true;
    }
    // Nothing before the caret: the items go in front of the line, which then takes the last part.
    const int after = InsertItemsInEdit(std::move(items), index);
    if (last + tail != ItemAt(after)->GetText()) ChangeText(after, last + tail);
    m_caret = {static_cast<int>(last.size()) + 1, after};
    return true;
}

int CEditSession::InsertItemsInEdit(std::vector<std::unique_ptr<CItem>> items, int index) {
    const CObArrayEx& list = m_doc.Items();
    index = InsertIndexFor(std::clamp(index, 0, list.GetSize()));
    const bool holdsSection = std::any_of(items.begin(), items.end(), [](const auto& item) {
        return item->GetType() == kItemSectionHeader;
    });
    const CSectionHeader* around = index < list.GetSize() && list.GetAt(index)->GetType() != kItemSectionHeader
                                 ? list.GetAt(index)->GetSection()
                                 : nullptr;
    if (holdsSection && around) {
        // Sections never nest: a block that holds a section goes below the section it would land in.
        while (index < list.GetSize() &&
               !(list.GetAt(index)->GetType() == kItemSectionFooter && list.GetAt(index)->GetSection() == around))
            ++index;
        index = std::min(index + 1, list.GetSize());
        around = nullptr;
    }
    for (auto& item : items) {
        // Lines and diagrams that belong to no section join the section they are put into.
        if (around && item->GetSectionId() == 0 && item->GetType() != kItemSectionHeader &&
            item->GetType() != kItemSectionFooter)
            item->SetSection(around);
        InsertItem(index++, std::move(item));
    }
    return index;
}

void CEditSession::InsertItemsAtCaret(std::vector<std::unique_ptr<CItem>> items, CTextPos at, bool undo) {
    if (items.empty() || !CanEdit())
        return;
    m_caret = at;
    m_recordUndo = undo;
    if (!BeginEdit())
        return;
    const int index = InsertItemsInEdit(std::move(items), at.item);
    m_caret = {at.col, index};
    m_anchor = m_end = m_caret;
    EndEdit();
}

void CEditSession::DropAt(CTextPos at, const std::string* fragment, const std::string* plainText, bool move) {
    if (!CanEdit() || (!fragment && !plainText))
        return;
    const CTextPos s = SelectionStart(), e = SelectionStop();
    const bool moving = move && HasSelection();
    if (moving && at >= s && at <= e)
        return; // dropped onto the dragged selection itself
    auto insert = [&] {
        m_anchor = m_end = m_caret = at;
        if (fragment && StartsWithNoCase(*fragment, kProgramHeaderLine))
            InsertFragmentInEdit(*fragment);
        else if (plainText)
            InsertTextInEdit(*plainText);
    };
    BeginEdit();
    if (moving && at < s) {
        DeleteSelectionInEdit();
        insert();
    } else if (moving) {
        // Insert below first, so the dragged rows keep their indices while they are removed.
        insert();
        const CTextPos after = m_caret;
        m_anchor = s;
        m_end = m_caret = e;
        DeleteSelectionInEdit();
        m_caret = after.item < m_doc.Items().GetSize() ? after : m_caret;
    } else {
        insert();
    }
    m_anchor = m_end = m_caret;
    EndEdit();
}

void CEditSession::InsertDateTime() {
    const std::time_t now = m_clock ? m_clock() : std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    char buffer[128];
    const size_t n = std::strftime(buffer, sizeof buffer, "%d/%m/%y %H:%M:%S ", &local);
    InsertText(std::string_view(buffer, n));
}

bool CEditSession::InsertFile(const std::string& path) {
    // A folder would insert nothing and a FIFO would wait for a writer: only regular files.
    const CFileBytes file = ReadWholeFile(path);
    if (!file)
        return false;
    const std::string& bytes = file.bytes;
    if (!CanEdit())
        return true;
    ItemVector items;
    CStrMemFile in(bytes);
    std::string first;
    const bool program = in.ReadLine(first) && StartsWithNoCase(first, kProgramHeaderLine);
    const bool ruxName = path.size() >= 4 && EqualsNoCase(std::string_view(path).substr(path.size() - 4), ".rux");
    if (program) {
        ReadBlocks(in, items, m_doc.SectionIdCounter());
        // Only the program part: another program's header has no place here.
        std::erase_if(items, [](const auto& item) { return item->GetType() == kItemPar; });
    } else if (ruxName && m_doc.GetHeader()) {
        in.Rewind();
        ConvertTextProgram(in, items, m_doc.SectionIdCounter());
    } else {
        in.Rewind();
        std::string line;
        while (in.ReadLine(line)) {
            if (!line.empty() && line.back() == '\n')
                line.pop_back();
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            items.push_back(std::make_unique<CLine>(line));
        }
    }
    const CTextPos caret = m_caret;
    if (!items.empty())
        InsertItemsAtCaret(std::move(items), caret);
    SetCaret(caret);
    return true;
}

} // namespace rux
