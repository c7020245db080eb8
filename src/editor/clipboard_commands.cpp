// Copy, cut, paste, drag and drop, and the insertion of items, dates and files.
#include "document/diagram_item.h"
#include "document/item_list.h"
#include "document/line_input.h"
#include "document/output_stream.h"
#include "document/program_reader.h"
#include "document/rux_document.h"
#include "document/section_items.h"
#include "document/text_range.h"
#include "editor/clipboard.h"
#include "editor/edit_session.h"

#include <algorithm>
#include <fstream>
#include <sstream>

namespace rux {

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

void CEditSession::Cut() {
    if (!HasSelection() || !CanEdit())
        return;
    Copy();
    BeginEdit();
    DeleteSelectionInEdit();
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
    // A selection ends before its end column, so rows that were copied down to column 1 of the next
    // line end in that line's empty part: it is no row of its own.
    if (items.back()->GetType() == kItemLine && items.back()->GetText().empty())
        items.pop_back();
    const int after = InsertItemsInEdit(std::move(items), m_caret.item);
    m_caret = {m_caret.col, after};
}

int CEditSession::InsertItemsInEdit(std::vector<std::unique_ptr<CItem>> items, int index) {
    const CObArrayEx& list = m_doc.Items();
    index = std::clamp(index, 0, list.GetSize());
    const bool holdsSection = std::any_of(items.begin(), items.end(), [](const auto& item) {
        return item->GetType() == kItemSectionHeader;
    });
    CSectionHeader* around = index < list.GetSize() && list.GetAt(index)->GetType() != kItemSectionHeader
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
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return false;
    std::ostringstream content;
    content << file.rdbuf();
    const std::string bytes = content.str();
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
