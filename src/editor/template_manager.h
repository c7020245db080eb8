// Text templates: categories (the folders under Templates/ in the product directory) of named
// templates (the .txt files in them), each with a command id for the menu and the keyboard.
#pragma once

#include "shell/ini_file.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace rux {

struct CTpl {
    std::string name;     // the file name without ".txt"
    std::string body;     // program text, the lines joined with CR LF
    std::string shortcut; // key text ("Ctrl+Shift+R"), empty for none
    uint32_t id = 0;      // valid until the next load
    std::string file;     // its path
};

struct CTplCat {
    std::string name;   // the folder name
    std::string folder; // its path
    bool visible = true;
    std::vector<CTpl> templates;
};

// How a change to the templates went; `message` is the string to show when it was refused (0 when
// it succeeded, or when it failed on the file system: `reason` then says why).
struct CTplResult {
    int message = 0;
    std::string reason;
    bool ok() const { return message == 0 && reason.empty(); }
};

class CTplMgr {
public:
    static constexpr uint32_t kFirstId = 7000;
    static constexpr uint32_t kLastId = 7600;
    static constexpr const char* kVisibilitySection = "CatVisibility";

    // `root` is the folder whose sub-folders are the categories; visibility comes from `settings`.
    CTplMgr(std::string root, CIniFile settings);
    // Templates/ in the product directory, with Torvel.ini.
    static CTplMgr ProductTemplates();

    const std::string& Root() const { return m_root; }
    // Forgets everything and reads the folders again; ids start at kFirstId. A missing root gives no
    // categories. Folders and files are taken in name order, so that the ids are the same from one
    // run to the next whatever order the file system lists them in.
    void Load();
    const std::vector<CTplCat>& Categories() const { return m_categories; }
    const CTplCat* FindCategory(std::string_view name) const;
    const CTpl* FindTemplate(uint32_t id) const;
    // The body of the template with that id, or empty.
    std::string GetBody(uint32_t id) const;
    static bool IsTemplateCommand(int id) {
        return id >= static_cast<int>(kFirstId) && id <= static_cast<int>(kLastId);
    }

    // Changes on disk; each one that succeeds loads the templates again (every id may change).
    CTplResult AddCategory(std::string_view name);
    CTplResult RenameCategory(std::string_view name, std::string_view newName);
    CTplResult DeleteCategory(std::string_view name);
    // A new template starts with an empty body and no shortcut.
    CTplResult AddTemplate(std::string_view category, std::string_view name);
    CTplResult RenameTemplate(std::string_view category, std::string_view name, std::string_view newName);
    CTplResult DeleteTemplate(std::string_view category, std::string_view name);
    // Writes the template's file with this body and shortcut.
    CTplResult SaveTemplate(std::string_view category, std::string_view name, std::string_view body,
                            std::string_view shortcut);
    // Shows or hides a category in the Templates menu and stores that under CatVisibility.
    void SetCategoryVisible(std::string_view category, bool visible);

    // The naming checks of the editing dialogs: 0, or the message that refuses the name. A category
    // name is compared with the others without regard to case; `current` is the name being renamed.
    int CheckCategoryName(std::string_view name, std::string_view current = {}) const;
    int CheckTemplateName(std::string_view category, std::string_view name,
                          std::string_view current = {}) const;
    // Whether a name can be a folder or file name on every system the suite runs on and a settings key.
    static bool IsAcceptableName(std::string_view name);

private:
    // The file of a template of the category: the one it was loaded from, else "<name>.txt".
    static std::string TemplatePath(const CTplCat& category, std::string_view name);
    CTplResult Done();

    std::string m_root;
    CIniFile m_settings;
    std::vector<CTplCat> m_categories;
};

} // namespace rux
