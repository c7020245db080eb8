// Block indentation, Apply Indent, Toggle case and Select all.
#include "document/item_list.h"
#include "document/line_item.h"
#include "document/rux_document.h"
#include "document/section_items.h"
#include "editor/edit_session.h"

#include <algorithm>

namespace rux {

void CEditSession::SelectWholeLines(int first, int last) {
    const CItem* item = ItemAt(last);
    const int endCol = item && item->GetType() == kItemLine ? static_cast<int>(item->GetText().size()) + 1 : 1;
    m_anchor = {1, first};
    m_caret = m_end = {endCol, last};
    UpdateCaretX();
}

void CEditSession::SetLineIndent(int index, std::function<std::string(std::string_view)> change) {
    if (!IsTextLine(index))
        return;
    // A line that would outgrow what the file reader takes back whole keeps its indentation.
    std::string text = change(ItemAt(index)->GetText());
    if (text.size() <= CLine::kMaxText)
        ChangeText(index, std::move(text));
}

void CEditSession::IncreaseIndent() {
    const CTextPos s = SelectionStart(), e = SelectionStop();
    if (!HasSelection() || s.item == e.item || !BeginEdit())
        return;
    const int last = std::min(e.item, m_doc.Items().GetSize() - 1);
    for (int i = s.item; i <= last; ++i)
        SetLineIndent(i, [](std::string_view text) {
            std::string indented(1, '\t');
            return indented.append(text);
        });
    SelectWholeLines(s.item, last);
    EndEdit();
}

void CEditSession::DecreaseIndent() {
    const CTextPos s = SelectionStart(), e = SelectionStop();
    if (!HasSelection() || s.item == e.item || !BeginEdit())
        return;
    const int tab = std::max(1, m_settings.tabSize);
    const int last = std::min(e.item, m_doc.Items().GetSize() - 1);
    for (int i = s.item; i <= last; ++i)
        SetLineIndent(i, [tab](std::string_view text) {
            return Reindent(text, std::max(0, IndentWidth(text, tab) - tab), tab);
        });
    SelectWholeLines(s.item, last);
    EndEdit();
}

void CEditSession::ApplyIndent() {
    if (!HasSelection() || !BeginEdit())
        return;
    const CTextPos s = SelectionStart(), e = SelectionStop();
    const int last = std::min(e.item, m_doc.Items().GetSize() - 1);
    int counter = 0;
    for (int i = s.item; i <= last; ++i) {
        const CItem* item = ItemAt(i);
        if (item->GetType() == kItemSectionHeader) {
            counter = 1;
            continue;
        }
        if (item->GetType() != kItemLine)
            continue;
        const std::string_view text = item->GetText();
        const std::string_view body = text.substr(LeadingBlanks(text));
        int level = counter;
        const CSectionHeader* section = item->GetSection();
        if (section && !EqualsNoCase(section->GetText(), "Notes") && !EqualsNoCase(section->GetText(), "Alias"))
            level = std::max(level, 1);
        const std::string_view first = FirstWord(body);
        const bool oneLineLoop = EqualsNoCase(first, "DO") && EqualsNoCase(LastWord(body), "LOOP");
        if (!oneLineLoop) {
            switch (m_indentRole(first)) {
            case 1:
                ++counter;
                break;
            case 2:
                level = std::max(0, level - 1);
                break;
            case 3:
                level = std::max(0, level - 1);
                counter = std::max(0, counter - 1);
                break;
            default:
                break;
            }
        }
        std::string indented = std::string(static_cast<size_t>(level), '\t') + std::string(body);
        if (indented.size() <= CLine::kMaxText)
            ChangeText(i, std::move(indented));
    }
    const CTextPos caret = m_caret;
    SelectWholeLines(s.item, last);
    m_caret = caret;
    UpdateCaretX();
    EndEdit();
}

void CEditSession::ToggleCase() {
    if (!HasSelection() || !BeginEdit())
        return;
    const CTextPos s = SelectionStart(), e = SelectionStop();
    const CObArrayEx& items = m_doc.Items();
    const int last = std::min(e.item, items.GetSize() - 1);
    for (int i = s.item; i <= last; ++i) {
        if (!IsTextLine(i) || !items.IsVisible(i))
            continue;
        std::string text = ItemAt(i)->GetText();
        const size_t from = i == s.item ? std::min(static_cast<size_t>(s.col - 1), text.size()) : 0;
        const size_t to = i == e.item ? std::min(static_cast<size_t>(e.col - 1), text.size()) : text.size();
        bool changed = false;
        for (size_t k = from; k < to; ++k) {
            char& c = text[k];
            if (c >= 'a' && c <= 'z')
                c = static_cast<char>(c - 32);
            else if (c >= 'A' && c <= 'Z')
                c = static_cast<char>(c + 32);
            else
                continue;
            changed = true;
        }
        if (changed)
            ChangeText(i, std::move(text));
    }
    EndEdit();
}

void CEditSession::SelectAll() {
    const CObArrayEx& items = m_doc.Items();
    if (items.IsEmpty())
        return;
    const int last = items.GetSize() - 1;
    const CItem* item = items.GetAt(last);
    const bool hasText = item->GetType() == kItemLine || item->GetType() == kItemSectionHeader ||
                         item->GetType() == kItemSectionFooter;
    m_anchor = {1, 0};
    m_caret = m_end = {hasText ? static_cast<int>(item->GetText().size()) + 1 : 1, last};
    UpdateCaretX();
}

} // namespace rux
