#include "editor/template_viewer_model.h"

#include "document/string_table.h"

#include <algorithm>
#include <system_error>

namespace rux {
namespace {

CTplResult NothingChosen() {
    return {0, std::make_error_code(std::errc::no_such_file_or_directory).message()};
}

template <class T> size_t IndexOf(const std::vector<T>& list, std::string_view name) {
    for (size_t i = 0; i < list.size(); ++i)
        if (list[i].name == name) return i;
    return 0;
}

} // namespace

CTemplateViewerModel::CTemplateViewerModel(CTplMgr& templates) : m_templates(templates) {
    Reselect(0, 0);
}

std::vector<std::string> CTemplateViewerModel::CategoryNames() const {
    std::vector<std::string> names;
    for (const CTplCat& c : m_templates.Categories())
        names.push_back(c.name);
    return names;
}

std::vector<std::string> CTemplateViewerModel::TemplateNames() const {
    std::vector<std::string> names;
    if (const CTplCat* c = Category())
        for (const CTpl& t : c->templates)
            names.push_back(t.name);
    return names;
}

void CTemplateViewerModel::SelectCategory(std::string_view name) {
    const CTplCat* c = m_templates.FindCategory(name);
    m_category = c ? c->name : std::string();
    m_template = c && !c->templates.empty() ? c->templates.front().name : std::string();
}

void CTemplateViewerModel::SelectTemplate(std::string_view name) {
    m_template.clear();
    if (const CTplCat* c = Category())
        for (const CTpl& t : c->templates)
            if (t.name == name) m_template = t.name;
}

const CTplCat* CTemplateViewerModel::Category() const {
    return m_category.empty() ? nullptr : m_templates.FindCategory(m_category);
}

const CTpl* CTemplateViewerModel::Template() const {
    if (const CTplCat* c = Category())
        for (const CTpl& t : c->templates)
            if (t.name == m_template) return &t;
    return nullptr;
}

std::string CTemplateViewerModel::EditTextFromBody(std::string_view body) {
    std::string text;
    text.reserve(body.size());
    for (size_t i = 0; i < body.size(); ++i)
        if (!(body[i] == '\r' && i + 1 < body.size() && body[i + 1] == '\n')) text += body[i];
    return text;
}

std::string CTemplateViewerModel::BodyFromEditText(std::string_view text) {
    std::string body;
    body.reserve(text.size() + text.size() / 16);
    for (size_t i = 0; i < text.size(); ++i) {
        // A text that already holds CR LF keeps it as one break.
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        if (text[i] == '\n') body += '\r';
        body += text[i];
    }
    return body;
}

std::string CTemplateViewerModel::ShortcutText() const {
    const CTpl* t = Template();
    return t && !t->shortcut.empty() ? t->shortcut : std::string(LoadString(IDS_SHORTCUT_NONE));
}

int CTemplateViewerModel::CheckNewCategory(std::string_view name) const {
    return m_templates.CheckCategoryName(name);
}

int CTemplateViewerModel::CheckRenamedCategory(std::string_view name) const {
    return m_templates.CheckCategoryName(name, m_category);
}

int CTemplateViewerModel::CheckNewTemplate(std::string_view category, std::string_view name) const {
    return m_templates.CheckTemplateName(category, name);
}

int CTemplateViewerModel::CheckEditedTemplate(std::string_view name) const {
    return m_templates.CheckTemplateName(m_category, name, m_template);
}

void CTemplateViewerModel::Reselect(size_t categoryIndex, size_t templateIndex) {
    const auto& categories = m_templates.Categories();
    const std::string keepTemplate = m_template;
    if (!m_templates.FindCategory(m_category)) {
        if (categories.empty()) {
            m_category.clear();
            m_template.clear();
            return;
        }
        SelectCategory(categories[std::min(categoryIndex, categories.size() - 1)].name);
        return;
    }
    SelectCategory(m_category);
    SelectTemplate(keepTemplate);
    const CTplCat* c = Category();
    if (Template() || c->templates.empty()) return;
    m_template = c->templates[std::min(templateIndex, c->templates.size() - 1)].name;
}

CTplResult CTemplateViewerModel::NewCategory(std::string_view name) {
    CTplResult result = m_templates.AddCategory(name);
    if (result.ok()) SelectCategory(name);
    return result;
}

CTplResult CTemplateViewerModel::RenameCategory(std::string_view newName) {
    if (!Category()) return NothingChosen();
    const std::string keepTemplate = m_template;
    CTplResult result = m_templates.RenameCategory(m_category, newName);
    if (result.ok()) {
        SelectCategory(newName);
        SelectTemplate(keepTemplate);
    }
    return result;
}

CTplResult CTemplateViewerModel::DeleteCategory() {
    if (!Category()) return NothingChosen();
    const size_t index = IndexOf(m_templates.Categories(), m_category);
    CTplResult result = m_templates.DeleteCategory(m_category);
    Reselect(index, 0);
    return result;
}

CTplResult CTemplateViewerModel::NewTemplate(std::string_view category, std::string_view name,
                                             std::string_view body) {
    if (!m_templates.FindCategory(category)) return NothingChosen();
    if (const int message = m_templates.CheckTemplateName(category, name)) return {message, {}};
    CTplResult result = m_templates.SaveTemplate(category, name, body, {});
    if (result.ok()) {
        SelectCategory(category);
        SelectTemplate(name);
    }
    return result;
}

CTplResult CTemplateViewerModel::EditTemplate(std::string_view newName, std::string_view body) {
    const CTpl* t = Template();
    if (!t) return NothingChosen();
    const std::string shortcut = t->shortcut;
    if (newName != t->name) {
        CTplResult renamed = m_templates.RenameTemplate(m_category, t->name, newName);
        if (!renamed.ok()) return renamed;
        m_template = std::string(newName);
    }
    CTplResult result = m_templates.SaveTemplate(m_category, m_template, body, shortcut);
    Reselect(0, 0);
    return result;
}

CTplResult CTemplateViewerModel::SetShortcut(std::string_view shortcut) {
    const CTpl* t = Template();
    if (!t) return NothingChosen();
    const std::string body = t->body;
    CTplResult result = m_templates.SaveTemplate(m_category, m_template, body, shortcut);
    Reselect(0, 0);
    return result;
}

CTplResult CTemplateViewerModel::DeleteTemplate() {
    const CTplCat* c = Category();
    if (!Template()) return NothingChosen();
    const size_t index = IndexOf(c->templates, m_template);
    CTplResult result = m_templates.DeleteTemplate(m_category, m_template);
    Reselect(0, index);
    return result;
}

void CTemplateViewerModel::SetCategoryVisible(bool visible) {
    if (Category()) m_templates.SetCategoryVisible(m_category, visible);
}

} // namespace rux
