// The frame's dialogs: Find/Replace, Go to line, Insert Task, the function block header, Node
// description, Properties, Font, Colors, Tab stops and Format Style, and the look settings they change.
#pragma once

#include "editor/find_replace_model.h"
#include "frame/frame_extension.h"
#include "shell/setting.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>
#include <string>

class QMdiSubWindow;

namespace rux {

class CMainFrame;
class CNodePropertiesForm;
class CRUXView;
class RUX_CDlgFindReplace;

class CDialogCommands final : public QObject, public CFrameExtension {
public:
    // The look settings come from the settings file here and are handed to every program view.
    explicit CDialogCommands(CMainFrame& frame);
    ~CDialogCommands() override;

    bool OnUpdateCommand(CCmdUI& ui) override;
    bool OnCommand(int id) override;
    void OnSaveSettings() override;

    CSetting& Settings() { return m_setting; }
    RUX_CDlgFindReplace* FindDialog() const { return m_find; }

    // Replaces the compiler library's function block header editor (tests answer without a window):
    // it gets the header text to edit, the capability and the two limits, and answers true on OK.
    using HeaderEditor = std::function<bool(std::string& header, int capability, int maxIn, int maxOut)>;
    void SetHeaderEditor(HeaderEditor editor) { m_headerEditor = std::move(editor); }
    // Replaces the file chooser of File (197): given "-i " and the program's path, it answers a path
    // or nothing.
    using FileChooser = std::function<QString(const QString& initial)>;
    void SetFileChooser(FileChooser chooser) { m_fileChooser = std::move(chooser); }

private:
    class CViewFindTarget;

    CRUXView* ActiveView() const;
    void OnSubWindowActivated(QMdiSubWindow* window);
    void ConnectView(CRUXView* view);
    // Every view of every program repaints with the new settings (hint 8) or colours (hint 9).
    void TellViews(int hint);
    void SaveSettings();

    void ShowFind();
    void GoToLine(CRUXView& view);
    void InsertTask(CRUXView& view);
    void InsertFunctionBlock(CRUXView& view);
    void EditDescription(CRUXView& view);
    bool AskProperties(CNodePropertiesForm& form);
    bool EditTaskHeader(std::string& text, const std::string& drive);
    bool EditFunctionBlockHeader(CRUXView& view, std::string& text);
    void InsertFile(CRUXView& view, const QString& initial);
    void EditFont();
    void EditColors();
    void EditTabStops();
    void EditStyle();

    CMainFrame& m_frame;
    CSetting m_setting;
    CFindReplaceModel m_findModel;
    std::unique_ptr<CViewFindTarget> m_findTarget;
    RUX_CDlgFindReplace* m_find = nullptr;
    HeaderEditor m_headerEditor;
    FileChooser m_fileChooser;
};

} // namespace rux
