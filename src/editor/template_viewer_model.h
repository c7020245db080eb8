// What the Template Viewer shows and changes: the chosen category and template, kept by name because
// every change reloads the templates and renumbers them.
#pragma once

#include "editor/template_manager.h"

#include <string>
#include <string_view>
#include <vector>

namespace rux {

class CTemplateViewerModel {
public:
    // Starts on the first category and its first template.
    explicit CTemplateViewerModel(CTplMgr& templates);

    std::vector<std::string> CategoryNames() const;
    // The templates of the chosen category, in the manager's order.
    std::vector<std::string> TemplateNames() const;
    const std::string& SelectedCategory() const { return m_category; }
    const std::string& SelectedTemplate() const { return m_template; }
    // An unknown name chooses nothing. Choosing a category chooses its first template.
    void SelectCategory(std::string_view name);
    void SelectTemplate(std::string_view name);
    // Looked up afresh on every call: the manager's lists change with every reload.
    const CTplCat* Category() const;
    const CTpl* Template() const;

    // The chosen template's body with line feeds only, as a text box holds it, and back.
    static std::string EditTextFromBody(std::string_view body);
    static std::string BodyFromEditText(std::string_view text);
    // The shortcut as the viewer shows it: the key text, or "None".
    std::string ShortcutText() const;

    // The naming checks of the editing dialogs, against the state the manager has now: 0 or the
    // message that refuses the name.
    int CheckNewCategory(std::string_view name) const;
    int CheckRenamedCategory(std::string_view name) const;
    int CheckNewTemplate(std::string_view category, std::string_view name) const;
    int CheckEditedTemplate(std::string_view name) const;

    // Each change that succeeds leaves the new or renamed entry chosen; a deletion chooses the entry
    // that took the deleted one's place in the list (or the one before it, at the end).
    CTplResult NewCategory(std::string_view name);
    CTplResult RenameCategory(std::string_view newName);
    CTplResult DeleteCategory();
    CTplResult NewTemplate(std::string_view category, std::string_view name, std::string_view body);
    // Renames the chosen template when the name differs and writes its body; the shortcut stays.
    CTplResult EditTemplate(std::string_view newName, std::string_view body);
    // Writes the chosen template with a new key text ("Ctrl+Shift+F5", empty for none); the body stays.
    CTplResult SetShortcut(std::string_view shortcut);
    CTplResult DeleteTemplate();
    void SetCategoryVisible(bool visible);

private:
    // Keeps the choice valid after a reload: a name that went away falls back to a neighbour.
    void Reselect(size_t categoryIndex, size_t templateIndex);

    CTplMgr& m_templates;
    std::string m_category;
    std::string m_template;
};

} // namespace rux
