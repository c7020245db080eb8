// The Template Viewer: the template categories, the templates of the chosen one with their text and
// shortcut, the buttons that change them and Insert, which puts the chosen template at the caret.
#pragma once

#include "editor/template_viewer_model.h"

#include <QDialog>

#include <functional>
#include <string>

class QCheckBox;
class QLabel;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

namespace rux {

class CAccelMgr;

// What the viewer needs from the editor around it.
struct CTemplateViewerHost {
    // Whether the active program view takes text now (none, online or read-only: no).
    std::function<bool()> canInsert;
    // Inserts a body at the caret of the active view, as one undo step.
    std::function<void(const std::string& body)> insert;
    // After every change: the editor reloads the templates and rebuilds the menu and keys.
    std::function<void()> changed;
    // The keys taken now, for the Shortcut Key dialog; without them the button stays greyed.
    const CAccelMgr* accels = nullptr;
    // A command's entry in the editor's menus as shown, naming who has a key; empty: the manager's.
    std::function<std::string(int)> menuTextOf;
};

class CDlgTplViewer : public QDialog {
public:
    static constexpr int kDialogId = 13006;

    CDlgTplViewer(CTplMgr& templates, CTemplateViewerHost host, QWidget* parent = nullptr);

    const CTemplateViewerModel& Model() const { return m_model; }
    QListWidget* CategoryList() const { return m_categories; }
    QListWidget* TemplateList() const { return m_templates; }
    QPlainTextEdit* TextView() const { return m_text; }
    QLabel* ShortcutLabel() const { return m_shortcut; }
    QCheckBox* ShowInMenu() const { return m_showInMenu; }
    QPushButton* NewCategoryButton() const { return m_newCategory; }
    QPushButton* EditCategoryButton() const { return m_editCategory; }
    QPushButton* DeleteCategoryButton() const { return m_deleteCategory; }
    QPushButton* NewTemplateButton() const { return m_newTemplate; }
    QPushButton* EditTemplateButton() const { return m_editTemplate; }
    QPushButton* DeleteTemplateButton() const { return m_deleteTemplate; }
    QPushButton* ShortcutKeyButton() const { return m_shortcutKey; }
    QPushButton* InsertButton() const { return m_insert; }

private:
    // Lists, text and buttons from the model, the choice re-found by name.
    void Refresh();
    // Tells the editor, then shows the result; a refusal or a failure is reported in a box.
    void Changed(const CTplResult& result);
    void OnNewCategory();
    void OnEditCategory();
    void OnDeleteCategory();
    void OnNewTemplate();
    void OnEditTemplate();
    void OnDeleteTemplate();
    void OnShortcutKey();
    void OnInsert();

    CTemplateViewerModel m_model;
    CTemplateViewerHost m_host;
    bool m_refreshing = false;
    QListWidget* m_categories;
    QListWidget* m_templates;
    QPlainTextEdit* m_text;
    QLabel* m_shortcut;
    QCheckBox* m_showInMenu;
    QPushButton* m_newCategory;
    QPushButton* m_editCategory;
    QPushButton* m_deleteCategory;
    QPushButton* m_newTemplate;
    QPushButton* m_editTemplate;
    QPushButton* m_deleteTemplate;
    QPushButton* m_shortcutKey;
    QPushButton* m_insert;
    QPushButton* m_close;
};

} // namespace rux
