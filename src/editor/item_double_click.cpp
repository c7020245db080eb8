// A double-click on an item row: the item answers through a host that the session provides.
#include "document/header_item.h"
#include "document/item_host.h"
#include "document/item_list.h"
#include "document/rux_document.h"
#include "document/section_items.h"
#include "document/view_metrics.h"
#include "editor/edit_session.h"
#include "editor/editor_services.h"
#include "editor/undo.h"

namespace rux {
namespace {

class CSessionItemHost final : public CItemHost {
public:
    CSessionItemHost(CEditSession& session, int index, int x, CEditorServices& services)
        : m_session(session), m_index(index), m_x(x), m_services(services) {}

    int ClickX() const override { return m_x; }
    int CaretColumn() const override { return m_session.Caret().col; }
    void SelectColumns(int fromCol, int toCol) override { m_session.Select({fromCol, m_index}, {toCol, m_index}); }
    bool CanEdit() const override { return m_session.CanEdit(); }
    void Relayout() override {
        if (m_editing) {
            m_session.EndEdit();
            m_editing = false;
        } else {
            m_session.RowsChanged(m_index);
        }
    }
    std::string HeaderDrive() const override {
        const CPar* header = m_session.Document().GetHeader();
        return header ? header->Header().Drive : std::string();
    }
    bool EditFunctionBlockHeader(std::string& text) override { return Confirmed(m_services.EditFunctionBlockHeader(text)); }
    bool EditTaskHeader(std::string& text, const std::string& drive) override {
        return Confirmed(m_services.EditTaskHeader(text, drive));
    }
    void SectionRenamed(CSectionHeader& header) override {
        CObArrayEx& items = m_session.Document().Items();
        for (int i = m_index + 1; i < items.GetSize(); ++i) {
            CItem* item = items.GetAt(i);
            if (item->GetType() == kItemSectionFooter && item->GetSection() == &header) {
                m_session.ChangeText(i, header.GetText());
                break;
            }
        }
    }
    void RebuildFunctionBlockMap() override { m_services.RebuildFunctionBlockMap(); }
    void OpenNodeProperties(CPar& header) override { m_services.OpenNodeProperties(header); }
    void OpenDiagramEditor(CDiag& diagram) override { m_services.OpenDiagramEditor(diagram); }

private:
    // A confirmed rename is one undo group: the header as it was is recorded before it changes.
    bool Confirmed(bool ok) {
        if (ok && m_session.BeginEdit()) {
            m_editing = true;
            m_session.RecordBeforeChange(m_index);
            m_session.MarkChanged(m_index); // the header itself changes next
        }
        return ok;
    }

    CEditSession& m_session;
    int m_index;
    int m_x;
    CEditorServices& m_services;
    bool m_editing = false;
};

} // namespace

int CEditSession::DoubleClickItem(int index, int x, CEditorServices& services) {
    CItem* item = ItemAt(index);
    if (!item)
        return 0;
    SetCaret({m_caret.item == index ? m_caret.col : 1, index});
    CSessionItemHost host(*this, index, x, services);
    const int changed = item->OnDoubleClick(host, m_metrics, 0);
    if (changed && item->GetType() == kItemDiag)
        RowsChanged(index);
    return changed;
}

} // namespace rux
