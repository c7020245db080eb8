// The program tree's context menus (137 to 139): each command acts on the node's program through its
// text view, which it activates first.
#pragma once

#include "frame/frame_extension.h"

#include <QPointer>

namespace rux {

class CMainFrame;
class CRUXDocument;
class RUX_CMDIChildWnd;
struct CTreeCommandPlan;

class CTreeMenuCommands : public CFrameExtension {
public:
    explicit CTreeMenuCommands(CMainFrame& frame);

    // The node a menu was opened on: its program, kind (ETreeNodeKind) and item.
    void OpenMenu(int menu, CRUXDocument* document, int item, const QPoint& globalPos);

    bool OnUpdateCommand(CCmdUI& ui) override;
    bool OnCommand(int id) override;

private:
    RUX_CMDIChildWnd* NodeChild() const;
    bool ForwardedState(const CTreeCommandPlan& plan, RUX_CMDIChildWnd& child, CCmdUI& ui);

    CMainFrame& m_frame;
    CRUXDocument* m_document = nullptr;
    int m_kind = 0;
    int m_item = -1;
};

} // namespace rux
