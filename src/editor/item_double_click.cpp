// A double-click on an item row: the item says what it asks for; questions go to the user before
// anything changes, and the answer is applied as one edit of the session.
#include "document/diagram_item.h"
#include "document/header_item.h"
#include "document/item_list.h"
#include "document/rux_document.h"
#include "document/section_items.h"
#include "editor/edit_session.h"
#include "editor/editor_services.h"
#include "editor/node_properties_command.h"
#include "editor/section_commands.h"

#include <optional>

namespace rux {
namespace {

// The dialog holds no item: the header is looked up again by its id once the user has answered,
// since the program may have changed meanwhile (another view, the suite); a header that has gone
// takes no new text.
bool RenameSection(CEditSession& session, int index, CEditorServices& services) {
    if (!session.CanEdit())
        return false;
    CRUXDocument& document = session.Document();
    const CItem* row = document.Items().GetAt(index);
    const auto& header = static_cast<const CSectionHeader&>(*row);
    const uint32_t id = row->GetId();
    const bool functionBlock = header.IsFunctionBlock();
    std::optional<std::string> answer;
    if (functionBlock) {
        answer = services.AskFunctionBlockHeader(header.GetText());
    } else {
        const CPar* par = document.GetHeader();
        const std::string drive = par ? par->Header().Drive : std::string();
        answer = services.AskTaskHeader(header.GetText(), drive.empty() ? std::string("DEFAULT") : drive);
    }
    if (!answer)
        return false;
    index = document.FindItem(id, index);
    if (index < 0)
        return false;
    const CObArrayEx& items = document.Items();
    const CItem* renamed = items.GetAt(index);
    // The header stores its text trimmed: an answer that trims to its text changes nothing.
    if (TrimBlanks(*answer) == renamed->GetText() || !session.BeginEdit())
        return false;
    session.ChangeText(index, *answer);
    // The footer takes the header's text as the header stores it (trimmed).
    const std::string& text = renamed->GetText();
    for (int i = index + 1; i < items.GetSize(); ++i) {
        const CItem* item = items.GetAt(i);
        if (item->GetType() == kItemSectionFooter && item->GetSection() == renamed) {
            session.ChangeText(i, text);
            break;
        }
    }
    session.EndEdit();
    if (functionBlock)
        services.RebuildFunctionBlockMap();
    return true;
}

void OpenDiagram(const CDiag& diagram, CEditorServices& services) {
    if (CDiagramEditorLink* editor = diagram.GetEditor())
        editor->Activate();
    else
        services.OpenDiagramEditor(diagram);
}

} // namespace

int CEditSession::DoubleClickItem(int index, int x, CEditorServices& services) {
    const CItem* item = ItemAt(index);
    if (!item)
        return 0;
    SetCaret({m_caret.item == index ? m_caret.col : 1, index});
    const CDoubleClickRequest request = item->OnDoubleClick(x, m_caret.col, m_metrics);
    switch (request.action) {
    case EDoubleClick::SelectColumns:
        Select({request.fromCol, index}, {request.toCol, index});
        return 1;
    case EDoubleClick::ToggleFold:
        return ToggleFold(*this) ? 1 : 0;
    case EDoubleClick::RenameSection:
        return RenameSection(*this, index, services) ? 1 : 0;
    case EDoubleClick::NodeProperties:
        return EditNodeProperties(*this, services) ? 1 : 0;
    case EDoubleClick::OpenDiagram:
        OpenDiagram(*static_cast<const CDiag*>(ItemAt(index)), services);
        return 0;
    case EDoubleClick::Nothing:
        break;
    }
    return 0;
}

} // namespace rux
