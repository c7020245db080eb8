#include "frame/templates_menu.h"

#include "file_names.h"

#include <QAction>
#include <QMenu>

namespace rux {
namespace {

constexpr const char* kAnchor = "TemplatesStart";
constexpr const char* kCategoryProperty = "templateCategory";

} // namespace

QString TemplateCaption(const std::string& name) {
    return FromFileName(name).replace('&', "&&");
}

void AddTemplatesAnchor(QMenu& menu) {
    menu.addSeparator()->setObjectName(kAnchor);
}

void FillTemplatesMenu(QMenu& menu, const std::vector<CTemplateMenuCategory>& categories,
                       const std::function<QAction*(int)>& actionOf, const std::function<void()>& aboutToShow) {
    QAction* anchor = nullptr;
    for (QAction* a : menu.actions()) {
        if (a->objectName() == kAnchor) anchor = a;
        if (QMenu* sub = a->menu(); sub && a->property(kCategoryProperty).toBool()) {
            menu.removeAction(a);
            sub->deleteLater();
        }
    }
    if (anchor) anchor->setVisible(!categories.empty());
    for (const CTemplateMenuCategory& category : categories) {
        QMenu* sub = menu.addMenu(TemplateCaption(category.caption));
        sub->menuAction()->setProperty(kCategoryProperty, true);
        QObject::connect(sub, &QMenu::aboutToShow, sub, aboutToShow);
        for (const CTemplateMenuEntry& entry : category.entries) {
            QAction* action = actionOf(entry.command);
            if (!action) continue;
            action->setText(TemplateCaption(entry.caption));
            sub->addAction(action);
        }
    }
}

} // namespace rux
