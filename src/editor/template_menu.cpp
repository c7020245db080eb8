#include "editor/template_menu.h"

#include "document/ascii_text.h"
#include "editor/accel_mgr.h"
#include "editor/template_manager.h"

#include <algorithm>

namespace rux {
namespace {

bool NameLess(const std::string& a, const std::string& b) {
    const auto lowerLess = [](char x, char y) {
        return static_cast<unsigned char>(LowerAscii(x)) < static_cast<unsigned char>(LowerAscii(y));
    };
    if (std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), lowerLess)) return true;
    if (std::lexicographical_compare(b.begin(), b.end(), a.begin(), a.end(), lowerLess)) return false;
    return a < b;
}

template <class T> std::vector<const T*> SortedByName(const std::vector<T>& items) {
    std::vector<const T*> out;
    for (const T& item : items)
        out.push_back(&item);
    std::sort(out.begin(), out.end(), [](const T* a, const T* b) { return NameLess(a->name, b->name); });
    return out;
}

} // namespace

std::vector<CTemplateMenuCategory> BuildTemplateMenu(const CTplMgr& templates, int maxCategories,
                                                     int maxTemplates, const CAccelMgr* shortcuts) {
    std::vector<CTemplateMenuCategory> menu;
    for (const CTplCat* category : SortedByName(templates.Categories())) {
        if (static_cast<int>(menu.size()) >= maxCategories) break;
        if (!category->visible || category->templates.empty()) continue;
        CTemplateMenuCategory sub{category->name, {}};
        for (const CTpl* t : SortedByName(category->templates)) {
            if (static_cast<int>(sub.entries.size()) >= maxTemplates) break;
            const int id = static_cast<int>(t->id);
            bool showKey = !t->shortcut.empty();
            if (showKey && shortcuts) {
                const CAccel* accel = shortcuts->Lookup(CAccelMgr::kProgramMenu, t->shortcut);
                showKey = accel && accel->command == id;
            }
            sub.entries.push_back({showKey ? t->name + "\t" + t->shortcut : t->name, id});
        }
        menu.push_back(std::move(sub));
    }
    return menu;
}

} // namespace rux
