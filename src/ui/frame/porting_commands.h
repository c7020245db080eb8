// The porting tool in the main frame: its commands, the suite's "open the porting tool"
// notifications, and the two docking panes over the tool's core.
#pragma once

#include "frame/frame_extension.h"
#include "porting/porting_tool.h"

#include <QObject>
#include <QSet>

class QDockWidget;
class QTextBrowser;

namespace rux {

class CMainFrame;
class CPortingToolFrame;
class CRUXView;
class RUX_CMDIChildWnd;

class CPortingCommands final : public QObject, public CFrameExtension, public CPortingToolHost {
public:
    explicit CPortingCommands(CMainFrame& frame);
    ~CPortingCommands() override;

    CPortingTool& Tool() { return m_tool; }
    QDockWidget* ListPane() const { return m_listPane; }
    QDockWidget* DetailsPane() const { return m_detailsPane; }

    // --- CCommandTarget / CFrameExtension --------------------------------------------------
    bool OnUpdateCommand(CCmdUI& ui) override;
    bool OnCommand(int id) override;
    bool OnSuiteMessage(int number, const std::string& fileName, const std::string& lineData) override;

    // --- CPortingToolHost -------------------------------------------------------------------
    CRUXDocument* ActiveProgram() override;
    CRUXDocument* FindProgram(const std::string& path) override;
    CRUXDocument* OpenProgram(const std::string& path) override;
    CEditSession* Session(CRUXDocument& program) override;
    void InView(CRUXDocument& program, const std::function<void(CEditSession&)>& change) override;
    void GoToItem(CRUXDocument& program, int item, int column) override;
    void ActivateView(CRUXDocument& program) override;
    bool OpenDiagramCell(CRUXDocument& program, int item, int column, int row) override;
    void ShowMessage(int stringId, const std::string& text) override;
    bool Ask(const std::string& text, bool okCancel) override;
    bool ChooseIcons(bool& icon2, bool& icon3) override;
    bool CreateDetailsPane() override;
    void ShowHelpPage(const std::string& file) override;
    void ShowPanes(bool list, bool details) override;
    void RowsChanged(bool refilled) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    CRUXView* ViewOf(CRUXDocument& program) const;
    // Brings the program's window forward; the keyboard stays in the list when it was there.
    void Activate(CRUXDocument& program);
    void CreateListPane();
    void OnActiveChanged();
    void StatesChanged();

    CMainFrame& m_frame;
    CPortingTool m_tool;
    QDockWidget* m_listPane = nullptr;
    QDockWidget* m_detailsPane = nullptr;
    CPortingToolFrame* m_list = nullptr;
    QTextBrowser* m_details = nullptr;
    QSet<RUX_CMDIChildWnd*> m_watched;
};

} // namespace rux
