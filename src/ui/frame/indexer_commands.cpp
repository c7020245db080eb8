#include "frame/indexer_commands.h"

#include "app/help_opener.h"
#include "cp1252.h"
#include "dialogs/import_information_dialog.h"
#include "dialogs/indexer_udfb_dialog.h"
#include "editor/edit_session.h"
#include "frame/main_frame.h"
#include "frame/mdi_child.h"
#include "frame/message_box.h"
#include "import/indexer_import.h"
#include "import/sequencer_clipboard_format.h"
#include "shell/command_ids.h"
#include "shell/product_paths.h"
#include "target/library_service.h"
#include "view/rux_view.h"
#include "view/sequencer_clipboard.h"

namespace rux {
namespace {

// The questions of both commands as the editor's boxes and dialogs, owned by the view.
class CDesktopIndexerPrompts final : public CIndexerPrompts {
public:
    explicit CDesktopIndexerPrompts(CRUXView& view) : m_view(view) {}

    void ShowMessage(const std::string& text) override {
        // The command may just have selected what the message is about: let the box show it.
        m_view.viewport()->update();
        ShowEditorMessage(&m_view, text);
    }
    bool AskYesNo(const std::string& text) override { return AskEditorYesNo(&m_view, text); }
    bool ShowImportInformation(const std::string& text) override {
        CDlgImportInformation dialog(text, &m_view);
        dialog.exec();
        return dialog.HideFromNowOn();
    }
    bool AskFunctionBlockName(CIndexerUDFBForm& form) override {
        m_view.viewport()->update();
        CDlgIndexerUDFB dialog(form, &m_view);
        dialog.SetHelpHandler(CHelpOpener::HandlerFor(&dialog));
        return dialog.exec() == QDialog::Accepted;
    }

private:
    CRUXView& m_view;
};

} // namespace

CRUXView* CIndexerCommands::ActiveView() const {
    RUX_CMDIChildWnd* child = m_frame.ActiveChild();
    return child ? qobject_cast<CRUXView*>(child->View()) : nullptr;
}

bool CIndexerCommands::OnUpdateCommand(CCmdUI& ui) {
    if (ui.id != ID_IMPORT_QUODEX && ui.id != ID_IMPORT_UDFB) return false;
    CRUXView* view = ActiveView();
    if (!view) return false;
    // Both change the program: not while it is online or read-only. The import does not look at
    // the clipboard beforehand; an empty one makes it do nothing.
    ui.Enable(view->Session().CanEdit());
    return true;
}

bool CIndexerCommands::OnCommand(int id) {
    if (id != ID_IMPORT_QUODEX && id != ID_IMPORT_UDFB) return false;
    CRUXView* view = ActiveView();
    if (!view) return false;
    if (id == ID_IMPORT_QUODEX)
        Import(*view);
    else
        AddFunctionBlock(*view);
    return true;
}

void CIndexerCommands::Import(CRUXView& view) {
    // The block map is read afresh for every import, so one made here holds exactly what the
    // view's own would.
    CSequencerClipboardFormat blocks;
    CQtSequencerSource source;
    blocks.Read(source);
    CDesktopIndexerPrompts prompts(view);
    CH2LibraryService libraries;
    CShellSettings& shell = m_frame.ShellSettings();
    bool showInformation = shell.showImportInfo != 0;
    const CIndexerImportSettings settings{&showInformation, CProductPaths::ProductDir()};
    view.RunSessionCommand([&](CEditSession& session) {
        ImportIndexerCode(session, blocks, prompts, libraries, settings);
    });
    if (!showInformation) shell.showImportInfo = 0;
}

void CIndexerCommands::AddFunctionBlock(CRUXView& view) {
    CDesktopIndexerPrompts prompts(view);
    view.RunSessionCommand([&](CEditSession& session) {
        AddIndexerFunctionBlock(session, prompts, CProductPaths::ProductDir());
    });
}

} // namespace rux
