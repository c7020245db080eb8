#include "editor/template_manager.h"

#include "document/ascii_text.h"
#include "document/string_table.h"
#include "editor/template_file.h"
#include "fileio/safe_file.h"
#include "shell/product_paths.h"
#include "fileio/whole_file.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace rux {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kExtension = ".txt";

bool HasTemplateExtension(const std::string& file) {
    return file.size() > kExtension.size() &&
           EqualsNoCase(std::string_view(file).substr(file.size() - kExtension.size()), kExtension);
}

std::string ReadAll(const fs::path& path) { return ReadWholeFile(path.string()).bytes; }

// The entries of a folder that pass `keep`, by name.
template <class Keep> std::vector<fs::path> SortedEntries(const fs::path& folder, Keep keep) {
    std::vector<fs::path> out;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
        if (keep(*it)) out.push_back(it->path());
    std::sort(out.begin(), out.end());
    return out;
}

CTplResult Refused(int message) {
    return {message, {}};
}

CTplResult Failed(const std::error_code& ec) {
    return {0, ec ? ec.message() : std::string("failed")};
}

} // namespace

CTplMgr::CTplMgr(std::string root, CIniFile settings)
    : m_root(std::move(root)), m_settings(std::move(settings)) {}

CTplMgr CTplMgr::ProductTemplates() {
    return CTplMgr(CProductPaths::Join(CProductPaths::ProductDir(), "Templates"),
                   CIniFile::ProductSettings());
}

void CTplMgr::Load() {
    m_categories.clear();
    uint32_t nextId = kFirstId;
    auto isFolder = [](const fs::directory_entry& e) {
        std::error_code ec;
        return e.is_directory(ec);
    };
    auto isTemplate = [](const fs::directory_entry& e) {
        std::error_code ec;
        return e.is_regular_file(ec) && HasTemplateExtension(e.path().filename().string());
    };
    for (const fs::path& folder : SortedEntries(m_root, isFolder)) {
        CTplCat category;
        category.name = folder.filename().string();
        category.folder = folder.string();
        category.visible = m_settings.GetInt(kVisibilitySection, category.name, 1) != 0;
        for (const fs::path& file : SortedEntries(folder, isTemplate)) {
            // Past the command range a template could be neither chosen nor typed.
            if (nextId > kLastId) break;
            const CTemplateText text = ParseTemplateFile(ReadAll(file));
            const std::string name = file.filename().string();
            category.templates.push_back({name.substr(0, name.size() - kExtension.size()), text.body,
                                          text.shortcut, nextId++, file.string()});
        }
        m_categories.push_back(std::move(category));
    }
}

const CTplCat* CTplMgr::FindCategory(std::string_view name) const {
    for (const CTplCat& c : m_categories)
        if (EqualsNoCase(c.name, name)) return &c;
    return nullptr;
}

const CTpl* CTplMgr::FindTemplate(uint32_t id) const {
    for (const CTplCat& c : m_categories)
        for (const CTpl& t : c.templates)
            if (t.id == id) return &t;
    return nullptr;
}

std::string CTplMgr::GetBody(uint32_t id) const {
    const CTpl* t = FindTemplate(id);
    return t ? t->body : std::string();
}

bool CTplMgr::IsAcceptableName(std::string_view name) {
    // Blanks or a dot at either end vanish or change meaning on some file systems; "=" and brackets
    // would break the CatVisibility key; the rest are the characters no file name may hold.
    if (name.empty() || name == "." || name == ".." || IsBlank(name.front()) || IsBlank(name.back()) ||
        name.back() == '.')
        return false;
    return std::none_of(name.begin(), name.end(), [](char c) {
        return static_cast<unsigned char>(c) < 32 ||
               std::string_view("\\/:*?\"<>|=[]").find(c) != std::string_view::npos;
    });
}

int CTplMgr::CheckCategoryName(std::string_view name, std::string_view current) const {
    if (!IsAcceptableName(name)) return IDS_TPL_INVALID_NAME;
    const CTplCat* other = FindCategory(name);
    // Renaming may change only the case of the name.
    if (other && !(current.size() && EqualsNoCase(current, name))) return IDS_TPL_CATEGORY_EXISTS;
    return 0;
}

int CTplMgr::CheckTemplateName(std::string_view category, std::string_view name,
                               std::string_view current) const {
    if (!IsAcceptableName(name)) return IDS_TPL_INVALID_NAME;
    if (const CTplCat* c = FindCategory(category))
        for (const CTpl& t : c->templates)
            if (t.name == name && name != current) return IDS_TPL_TEMPLATE_EXISTS;
    return 0;
}

std::string CTplMgr::TemplatePath(const CTplCat& category, std::string_view name) {
    for (const CTpl& t : category.templates)
        if (t.name == name) return t.file;
    return CProductPaths::Join(category.folder, std::string(name) + std::string(kExtension));
}

CTplResult CTplMgr::Done() {
    Load();
    return {};
}

CTplResult CTplMgr::AddCategory(std::string_view name) {
    if (const int message = CheckCategoryName(name)) return Refused(message);
    std::error_code ec;
    fs::create_directories(fs::path(m_root) / std::string(name), ec);
    return ec ? Failed(ec) : Done();
}

CTplResult CTplMgr::RenameCategory(std::string_view name, std::string_view newName) {
    const CTplCat* category = FindCategory(name);
    if (!category) return Failed(std::make_error_code(std::errc::no_such_file_or_directory));
    if (const int message = CheckCategoryName(newName, category->name)) return Refused(message);
    std::error_code ec;
    fs::rename(category->folder, fs::path(m_root) / std::string(newName), ec);
    if (ec) return Failed(ec);
    // The category keeps its visibility under its new name; the old name goes back to the default.
    if (!category->visible) {
        m_settings.WriteInt(kVisibilitySection, newName, 0);
        m_settings.WriteInt(kVisibilitySection, category->name, 1);
    }
    return Done();
}

CTplResult CTplMgr::DeleteCategory(std::string_view name) {
    const CTplCat* category = FindCategory(name);
    if (!category) return Failed(std::make_error_code(std::errc::no_such_file_or_directory));
    std::error_code ec;
    fs::remove_all(category->folder, ec);
    if (ec) return Failed(ec);
    // A new category of that name starts out shown.
    if (!category->visible) m_settings.WriteInt(kVisibilitySection, category->name, 1);
    return Done();
}

CTplResult CTplMgr::AddTemplate(std::string_view category, std::string_view name) {
    if (!FindCategory(category)) return Failed(std::make_error_code(std::errc::no_such_file_or_directory));
    if (const int message = CheckTemplateName(category, name)) return Refused(message);
    return SaveTemplate(category, name, {}, {});
}

CTplResult CTplMgr::RenameTemplate(std::string_view category, std::string_view name,
                                   std::string_view newName) {
    const CTplCat* c = FindCategory(category);
    if (!c) return Failed(std::make_error_code(std::errc::no_such_file_or_directory));
    if (const int message = CheckTemplateName(category, newName, name)) return Refused(message);
    std::error_code ec;
    fs::rename(TemplatePath(*c, name), TemplatePath(*c, newName), ec);
    return ec ? Failed(ec) : Done();
}

CTplResult CTplMgr::DeleteTemplate(std::string_view category, std::string_view name) {
    const CTplCat* c = FindCategory(category);
    if (!c) return Failed(std::make_error_code(std::errc::no_such_file_or_directory));
    std::error_code ec;
    if (!fs::remove(TemplatePath(*c, name), ec) && !ec)
        ec = std::make_error_code(std::errc::no_such_file_or_directory);
    return ec ? Failed(ec) : Done();
}

CTplResult CTplMgr::SaveTemplate(std::string_view category, std::string_view name, std::string_view body,
                                 std::string_view shortcut) {
    const CTplCat* c = FindCategory(category);
    if (!c) return Failed(std::make_error_code(std::errc::no_such_file_or_directory));
    if (!IsAcceptableName(name)) return Refused(IDS_TPL_INVALID_NAME);
    const CWriteResult written = WriteFileSafely(
        TemplatePath(*c, name), FormatTemplateFile({std::string(shortcut), std::string(body)}));
    if (!written) return {0, written.reason};
    return Done();
}

void CTplMgr::SetCategoryVisible(std::string_view category, bool visible) {
    for (CTplCat& c : m_categories)
        if (EqualsNoCase(c.name, category)) {
            c.visible = visible;
            m_settings.WriteInt(kVisibilitySection, c.name, visible ? 1 : 0);
        }
}

} // namespace rux
