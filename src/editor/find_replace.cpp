#include "editor/find_replace.h"

#include "document/diagram_item.h"
#include "document/item_list.h"
#include "document/rux_document.h"
#include "document/section_items.h"
#include "editor/edit_session.h"
#include "editor/find_replace_model.h"
#include "document/string_table.h"
#include "editor/go_to_line.h"
#include "editor/text_finder.h"

namespace rux {
namespace {

bool IsSearchedText(const CItem& item) {
    const int type = item.GetType();
    return type == kItemLine || type == kItemSectionHeader || type == kItemSectionFooter;
}

struct CSearchOutcome {
    bool found = false;
    int expandedAt = -1; // the item whose folded section was opened, or -1
};

// One pass from the caret in the model's direction. Within every item the text is searched
// forwards, in both directions: the direction only orders the items.
CSearchOutcome SearchOnce(CEditSession& session, const CFindReplaceModel& model, const CTextFinder& finder) {
    CSearchOutcome outcome;
    CRUXDocument& document = session.Document();
    const CObArrayEx& items = document.Items();
    const int size = items.GetSize();
    if (size == 0) return outcome;
    const CTextPos start = session.Caret();
    const int first = start.item < size ? start.item : size - 1;
    const int step = model.SearchDown() ? 1 : -1;
    for (int i = first; i >= 0 && i < size; i += step) {
        if (i == 0) continue; // the program header row holds no program text
        const CItem* item = items.GetAt(i);
        if (IsSearchedText(*item)) {
            const std::string_view text = item->GetText();
            const size_t from = i == first ? static_cast<size_t>(start.col - 1) : 0;
            const size_t pos = finder.Find(text, from); // nothing past the end of the text
            if (pos == std::string_view::npos) continue;
            if (RevealItem(document, i)) outcome.expandedAt = i;
            const int col = static_cast<int>(pos) + 1;
            session.Select({col, i}, {col + static_cast<int>(finder.Size()), i});
            outcome.found = true;
            return outcome;
        }
        if (item->GetType() == kItemDiag) {
            // With no diagram window bound the diagram is not searched: its payload is a drawing,
            // not text the user could see selected.
            if (!static_cast<const CDiag*>(item)->FindText(model.FindText(), model.MatchCase(), model.SearchDown()))
                continue;
            if (RevealItem(document, i)) outcome.expandedAt = i;
            // The caret rests on the diagram so that the next search asks it again from its
            // own current element before moving on.
            session.SetCaret({1, i});
            outcome.found = true;
            return outcome;
        }
    }
    return outcome;
}

CSearchOutcome Search(CEditSession& session, const CFindReplaceModel& model) {
    const CTextFinder finder(model.FindText(), model.MatchCase());
    CSearchOutcome outcome = SearchOnce(session, model, finder);
    if (!outcome.found && model.RestartFromTop()) {
        session.SetCaret({1, 1});
        outcome = SearchOnce(session, model, finder);
    }
    return outcome;
}

// Fills the result from a search; the command's transaction sends its records when it closes.
void Finish(CEditSession& session, const CFindReplaceModel& model, const CSearchOutcome& outcome,
            CFindResult& result) {
    result.found = outcome.found;
    if (!outcome.found) result.message = FormatString(IDS_FIND_FINISHED, {model.FindText()});
    session.ScrollCaretIntoView();
}

} // namespace

CFindResult FindNext(CEditSession& session, CFindReplaceModel& model) {
    CFindResult result;
    if (!model.CanFindNext()) {
        result.refused = true;
        return result;
    }
    model.SetLastButton(EFindButton::FindNext);
    model.RememberFindText();
    // A search that unfolds a section changes rows: a transaction of its own, with no undo.
    CRUXDocument& document = session.Document();
    document.BeginTransaction(&session);
    const CSearchOutcome outcome = Search(session, model);
    document.EndTransaction();
    Finish(session, model, outcome, result);
    return result;
}

CFindResult Replace(CEditSession& session, CFindReplaceModel& model) {
    CFindResult result;
    if (!model.CanReplace() || !session.CanEdit() || model.FindText().empty()) {
        result.refused = true;
        return result;
    }
    model.SetLastButton(EFindButton::Replace);
    model.RememberFindText();
    model.RememberReplaceText();

    CRUXDocument& document = session.Document();
    const CObArrayEx& items = document.Items();
    const CTextPos caret = session.Caret();
    const CTextPos from = session.SelectionStart();
    const CTextPos to = session.SelectionStop();
    const std::string& find = model.FindText();
    // Replacing is not undone; the replacement and a fold the search then opens are one
    // transaction, and both records reach the views.
    document.BeginTransaction(&session);
    if (from.item == caret.item && to.item == caret.item && caret.item < items.GetSize() &&
        static_cast<size_t>(to.col - from.col) == find.size()) {
        const CItem* item = items.GetAt(caret.item);
        const std::string& text = item->GetText();
        const size_t at = static_cast<size_t>(from.col - 1);
        if (IsSearchedText(*item) && at + find.size() <= text.size() &&
            CTextFinder(find, model.MatchCase()).Equals(std::string_view(text).substr(at, find.size()))) {
            std::string changed = text;
            changed.replace(at, find.size(), model.ReplaceText());
            document.SetItemText(caret.item, std::move(changed));
            model.AddReplaceCount(1);
            result.replaced = 1;
            // The search goes on after the inserted text, which is never searched again.
            session.SetCaret({from.col + static_cast<int>(model.ReplaceText().size()), caret.item});
        }
    }
    const CSearchOutcome outcome = Search(session, model);
    document.EndTransaction();
    Finish(session, model, outcome, result);
    return result;
}

CFindResult ReplaceAll(CEditSession& session, CFindReplaceModel& model) {
    CFindResult result;
    if (!model.CanReplaceAll() || !session.CanEdit() || model.FindText().empty()) {
        result.refused = true;
        return result;
    }
    model.SetLastButton(EFindButton::ReplaceAll);
    model.RememberFindText();
    model.RememberReplaceText();
    model.ResetReplaceCount();

    CRUXDocument& document = session.Document();
    const CObArrayEx& items = document.Items();
    long total = 0;
    // One transaction, not undone; every item that changed is a record of its own.
    document.BeginTransaction(&session);
    for (int i = 0; i < items.GetSize(); ++i)
        document.ModifyItem(i, [&](CItem& item) {
            const int count = item.ReplaceAll(model.FindText(), model.ReplaceText(), model.MatchCase());
            total += count;
            return count != 0;
        });
    // A header stores its text trimmed; its footer takes exactly that, so the two never part.
    if (total != 0)
        for (int i = 0; i < items.GetSize(); ++i) {
            const CItem* item = items.GetAt(i);
            if (item->GetType() == kItemSectionFooter)
                if (const CSectionHeader* header = item->GetSection(); header && item->GetText() != header->GetText())
                    document.SetItemText(i, header->GetText());
        }
    model.AddReplaceCount(total);
    result.replaced = total;
    result.found = total != 0;
    session.SetCaret(session.Caret());
    document.EndTransaction();
    session.ScrollCaretIntoView();
    result.message =
        FormatString(IDS_FIND_REPLACED, {model.FindText(), std::to_string(model.ReplaceCount())});
    return result;
}

} // namespace rux
