#include "frame/dialog_commands.h"

#include "app/help_opener.h"
#include "app/rux_app.h"
#include "cp1252.h"
#include "dialogs/colors_dialog.h"
#include "dialogs/find_replace_dialog.h"
#include "dialogs/find_target.h"
#include "dialogs/font_dialog.h"
#include "dialogs/format_style_dialog.h"
#include "dialogs/goto_dialog.h"
#include "dialogs/insert_task_dialog.h"
#include "dialogs/node_description_dialog.h"
#include "dialogs/properties_dialog.h"
#include "dialogs/tab_stops_dialog.h"
#include "document/header_item.h"
#include "document/node_description_form.h"
#include "document/node_properties_form.h"
#include "document/rux_document.h"
#include "editor/edit_session.h"
#include "editor/find_replace.h"
#include "editor/section_commands.h"
#include "editor/task_list.h"
#include "editor/undo.h"
#include "frame/main_frame.h"
#include "frame/mdi_child.h"
#include "shell/command_ids.h"
#include "shell/product_paths.h"
#include "shell/style_file.h"
#include "target/library_service.h"
#include "target/service_library.h"
#include "view/rux_view.h"
#include "view/view_environment.h"

#include "h2cmp.h"
#include "h2ruxview.h"

#include <QApplication>
#include <QMdiArea>
#include <QPalette>

#include <cstring>

namespace rux {
namespace {

ColorRef SystemHighlight() {
    const QColor c = QApplication::palette().color(QPalette::Highlight);
    return Rgb(static_cast<unsigned>(c.red()), static_cast<unsigned>(c.green()),
               static_cast<unsigned>(c.blue()));
}

// The compiler library's header editor, loaded for the one call and released after it.
bool LibraryHeaderEditor(QWidget* parent, std::string& header, int capability, int maxIn, int maxOut) {
    CServiceLibrary library("H2Cmp");
    auto* edit = library.Entry<decltype(::H2Cmp_FbEditEx)>("H2Cmp_FbEditEx");
    if (!edit) return false;
    char buffer[H2CMP_FBHEADER] = {};
    std::strncpy(buffer, header.c_str(), sizeof buffer - 1);
    if (!edit(parent, buffer, capability, maxIn, maxOut)) return false;
    header = buffer;
    return true;
}

// The suite's file chooser in its "any file" form, started from the program's folder.
QString LibraryFileChooser(QWidget* parent, const QString& initial) {
    CServiceLibrary library("H2RUXVIEW");
    auto* open = library.Entry<decltype(::H2FileOpen)>("H2FileOpen");
    if (!open) return {};
    char path[H2_MAX_PATH] = {};
    std::strncpy(path, initial.toStdString().c_str(), sizeof path - 1);
    int32_t value = 0;
    if (!open(parent, path, &value, 0)) return {};
    return QString::fromStdString(path);
}

} // namespace

// The dialog drives whichever program view is active; the view repaints after each button.
class CDialogCommands::CViewFindTarget final : public CFindTarget {
public:
    void SetView(CRUXView* view) { m_view = view; }
    CRUXView* View() const { return m_view; }

    CFindResult Run(EFindButton button, CFindReplaceModel& model) override {
        CFindResult result;
        result.refused = true;
        if (!m_view) return result;
        m_view->RunSessionCommand([&](CEditSession& session) {
            // The session is the one the view paints from; the plain session target does the work.
            result = CSessionFindTarget(session).Run(button, model);
        });
        return result;
    }
    bool CanModify() const override { return m_view && m_view->Session().CanEdit(); }

private:
    QPointer<CRUXView> m_view;
};

CDialogCommands::CDialogCommands(CMainFrame& frame)
    : m_frame(frame), m_setting(SystemHighlight()), m_findTarget(std::make_unique<CViewFindTarget>()) {
    // Defaults first, so that a key the file lacks takes its value for a file without it.
    m_setting.ResetToDefaults();
    m_setting.Load(frame.App().Settings());
    CViewEnvironment::Default().UseSettings(&m_setting);
    // One dialog for the frame's whole life, created hidden: hiding it keeps texts and histories.
    m_find = new RUX_CDlgFindReplace(m_findModel, &frame);
    m_find->setObjectName("FindReplaceDialog");
    m_find->hide();
    connect(frame.MdiArea(), &QMdiArea::subWindowActivated, this, &CDialogCommands::OnSubWindowActivated);
    OnSubWindowActivated(frame.MdiArea()->activeSubWindow());
    TellViews(kHintSettings);
}

CDialogCommands::~CDialogCommands() {
    // The dialog works on this object's model: it goes first, not with the frame's other children.
    delete m_find;
    if (&CViewEnvironment::Default().Settings() == &m_setting)
        CViewEnvironment::Default().UseSettings(nullptr);
}

CRUXView* CDialogCommands::ActiveView() const {
    RUX_CMDIChildWnd* child = m_frame.ActiveChild();
    return child ? qobject_cast<CRUXView*>(child->View()) : nullptr;
}

void CDialogCommands::OnSubWindowActivated(QMdiSubWindow* window) {
    auto* child = qobject_cast<RUX_CMDIChildWnd*>(window);
    CRUXView* view = child ? qobject_cast<CRUXView*>(child->View()) : nullptr;
    // Leaving every program window keeps the last view as the target only while it lives.
    if (view || !m_frame.ActiveChild()) m_findTarget->SetView(view);
    m_find->SetTarget(m_findTarget->View() ? m_findTarget.get() : nullptr);
    if (view) ConnectView(view);
}

void CDialogCommands::ConnectView(CRUXView* view) {
    if (view->property("ruxDialogsConnected").toBool()) return;
    view->setProperty("ruxDialogsConnected", true);
    connect(view, &CRUXView::nodePropertiesRequested, this,
            [this](CNodePropertiesForm& form, bool& accepted) { accepted = AskProperties(form); });
    connect(view, &CRUXView::taskHeaderRequested, this,
            [this](std::string& text, const std::string& drive, bool& accepted) {
                accepted = EditTaskHeader(text, drive);
            });
    connect(
        view, &CRUXView::functionBlockHeaderRequested, this,
        [this, view](std::string& text, bool& accepted) { accepted = EditFunctionBlockHeader(*view, text); });
    connect(view, &CRUXView::insertFileRequested, this,
            [this, view](const QString& initial) { InsertFile(*view, initial); });
    // Read-only or online changes the dialog's permission to replace.
    connect(view, &CRUXView::commandStateChanged, m_find, [this, view] {
        if (m_findTarget->View() == view) m_find->RefreshPermission();
    });
}

bool CDialogCommands::OnUpdateCommand(CCmdUI& ui) {
    CRUXView* view = ActiveView();
    const bool editable = view && view->Session().CanEdit();
    switch (ui.id) {
    case ID_EDIT_FIND_REPLACE:
    case ID_EDIT_GOTO_LINE:
        ui.Enable(view != nullptr);
        return true;
    case ID_INSERT_SECTION:
    case ID_INSERT_UDFB:
        ui.Enable(editable);
        return true;
    case ID_NODE_DESCRIPTION:
        ui.Enable(view && view->Document().GetHeader());
        return true;
    case ID_FORMAT_FONT:
    case ID_FORMAT_COLORS:
    case ID_FORMAT_TAB_STOPS:
    case ID_FORMAT_STYLE:
        ui.Enable();
        return true;
    default:
        return false;
    }
}

bool CDialogCommands::OnCommand(int id) {
    CRUXView* view = ActiveView();
    switch (id) {
    case ID_EDIT_FIND_REPLACE:
        if (view) ShowFind();
        return view != nullptr;
    case ID_EDIT_GOTO_LINE:
        if (view) GoToLine(*view);
        return view != nullptr;
    case ID_INSERT_SECTION:
        if (view) InsertTask(*view);
        return view != nullptr;
    case ID_INSERT_UDFB:
        if (view) InsertFunctionBlock(*view);
        return view != nullptr;
    case ID_NODE_DESCRIPTION:
        if (view) EditDescription(*view);
        return view != nullptr;
    case ID_FORMAT_FONT:
        EditFont();
        return true;
    case ID_FORMAT_COLORS:
        EditColors();
        return true;
    case ID_FORMAT_TAB_STOPS:
        EditTabStops();
        return true;
    case ID_FORMAT_STYLE:
        EditStyle();
        return true;
    default:
        return false;
    }
}

void CDialogCommands::OnSaveSettings() {
    SaveSettings();
}

void CDialogCommands::SaveSettings() {
    m_setting.Save(m_frame.App().Settings());
}

void CDialogCommands::TellViews(int hint) {
    for (const auto& document : m_frame.App().ProgramTemplate().Documents())
        document->UpdateAllViews(hint);
}

// --- the program view's dialogs --------------------------------------------------------------

void CDialogCommands::ShowFind() {
    m_findTarget->SetView(ActiveView());
    m_find->SetTarget(m_findTarget.get());
    m_find->ShowDialog();
}

void CDialogCommands::GoToLine(CRUXView& view) {
    // The dialog moves the caret on OK; the view repaints and scrolls once it has closed.
    view.RunSessionCommand([&](CEditSession& session) {
        CDlgGoto dialog(session, &m_frame);
        dialog.exec();
    });
}

void CDialogCommands::InsertTask(CRUXView& view) {
    CRUXDocument& document = view.Document();
    const CPar* header = document.GetHeader();
    CTaskListModel model(CProductPaths::ProductDir(), header ? header->Header().Drive : std::string());
    CDlgInsertTask dialog(model, &m_frame);
    if (dialog.exec() != QDialog::Accepted) return;
    const std::string name = model.Accept();
    if (name.empty()) return;
    view.RunSessionCommand(
        [&](CEditSession& session) { InsertSection(session, name, CProductPaths::ProductDir()); });
}

bool CDialogCommands::EditTaskHeader(std::string& text, const std::string& drive) {
    CTaskListModel model(CProductPaths::ProductDir(), drive);
    model.SetText(text);
    CDlgInsertTask dialog(model, &m_frame);
    if (dialog.exec() != QDialog::Accepted || model.Accept().empty()) return false;
    text = model.Accept();
    return true;
}

namespace {

class CHeaderEditorAdapter final : public CFunctionBlockEditor {
public:
    explicit CHeaderEditorAdapter(std::function<bool(std::string&, int, int, int)> edit)
        : m_edit(std::move(edit)) {}
    bool Edit(std::string& header, int capability, int maxParamIn, int maxParamOut) override {
        return m_edit(header, capability, maxParamIn, maxParamOut);
    }

private:
    std::function<bool(std::string&, int, int, int)> m_edit;
};

} // namespace

void CDialogCommands::InsertFunctionBlock(CRUXView& view) {
    CTargetLibrary* target = view.Document().Services().target;
    if (!target) return;
    CHeaderEditorAdapter editor([this](std::string& header, int capability, int maxIn, int maxOut) {
        return m_headerEditor ? m_headerEditor(header, capability, maxIn, maxOut)
                              : LibraryHeaderEditor(&m_frame, header, capability, maxIn, maxOut);
    });
    view.RunSessionCommand([&](CEditSession& session) {
        InsertUserFunctionBlock(session, editor, *target, CProductPaths::ProductDir());
    });
}

bool CDialogCommands::EditFunctionBlockHeader(CRUXView& view, std::string& text) {
    CRUXDocument& document = view.Document();
    const std::string type = document.GetType();
    const CFbLimits limits = FunctionBlockLimits(CProductPaths::ProductDir(), type);
    CTargetLibrary* target = document.Services().target;
    const int capability = target ? FunctionBlockCapability(*target, type) : 1;
    return m_headerEditor
               ? m_headerEditor(text, capability, limits.maxParamIn, limits.maxParamOut)
               : LibraryHeaderEditor(&m_frame, text, capability, limits.maxParamIn, limits.maxParamOut);
}

void CDialogCommands::EditDescription(CRUXView& view) {
    CRUXDocument& document = view.Document();
    const CPar* header = document.GetHeader();
    if (!header) return;
    CNodeDescriptionForm form(header->Header().Descriptor, document.IsReadOnly());
    CDlgNodeDescription dialog(form, &m_frame);
    if (dialog.exec() != QDialog::Accepted || form.IsReadOnly()) return;
    if (form.Text() != header->Header().Descriptor) document.SetDescription(form.Text());
}

// The view's double-click writes an accepted form back as one edit of its own.
bool CDialogCommands::AskProperties(CNodePropertiesForm& form) {
    CH2LibraryService libraries;
    CDlgProperties dialog(form, libraries, &m_frame);
    return dialog.exec() == QDialog::Accepted;
}

void CDialogCommands::InsertFile(CRUXView& view, const QString& initial) {
    const QString path = m_fileChooser ? m_fileChooser(initial) : LibraryFileChooser(&m_frame, initial);
    if (!path.isEmpty()) view.InsertFile(path);
}

// --- the look of program text ------------------------------------------------------------------

void CDialogCommands::EditFont() {
    CDlgFont dialog(m_setting, &m_frame);
    if (dialog.exec() == QDialog::Accepted) TellViews(kHintSettings);
}

void CDialogCommands::EditColors() {
    CDlgColors dialog(m_setting, &m_frame);
    dialog.SetHelpHandler(CHelpOpener::HandlerFor(&dialog));
    const bool accepted = dialog.exec() == QDialog::Accepted;
    // Cancel has put the remembered colours back, which the views may have shown meanwhile.
    if (accepted) SaveSettings();
    TellViews(kHintColours);
}

void CDialogCommands::EditTabStops() {
    CDlgTabStops dialog(m_setting, &m_frame);
    dialog.SetHelpHandler(CHelpOpener::HandlerFor(&dialog));
    if (dialog.exec() != QDialog::Accepted) return;
    SaveSettings();
    TellViews(kHintSettings);
}

void CDialogCommands::EditStyle() {
    CStyleFile styles = CStyleFile::ProductStyles();
    CDlgFormatStyle dialog(styles, m_setting, &m_frame);
    dialog.SetAppliedHandler([this] {
        SaveSettings();
        TellViews(kHintSettings);
    });
    dialog.exec();
}

} // namespace rux
