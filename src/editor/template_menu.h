// What the Templates menu shows: one sub-menu per category, one entry per template.
#pragma once

#include <string>
#include <vector>

namespace rux {

class CAccelMgr;
class CTplMgr;

struct CTemplateMenuEntry {
    std::string caption; // "name\tshortcut", or the name alone
    int command = 0;     // the template's id
};

struct CTemplateMenuCategory {
    std::string caption; // the category's name
    std::vector<CTemplateMenuEntry> entries;
};

// Visible categories that hold a template, by name, at most `maxCategories`; in each the templates by
// name, at most `maxTemplates`. Names are ordered without regard to case, as a file list is. With
// `shortcuts`, a caption names a key only when that key runs the template (one a built-in command
// keeps is not shown, so the menu never promises a key that does something else).
std::vector<CTemplateMenuCategory> BuildTemplateMenu(const CTplMgr& templates, int maxCategories,
                                                     int maxTemplates, const CAccelMgr* shortcuts = nullptr);

} // namespace rux
