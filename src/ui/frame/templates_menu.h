// The Templates popup's lower part: one sub-menu per template category, built from the core's model.
#pragma once

#include "editor/template_menu.h"

#include <QString>

#include <functional>
#include <string>
#include <vector>

class QAction;
class QMenu;

namespace rux {

// A name from the file system as a menu caption: "&" is a character there, not a mnemonic.
QString TemplateCaption(const std::string& name);

// Marks where the categories go: a separator, so that they form a group of their own.
void AddTemplatesAnchor(QMenu& menu);

// Replaces the category sub-menus after the anchor with `categories`; each entry is the action
// `actionOf` gives for its command (skipped when there is none), captioned as the model says.
// `aboutToShow` runs before a sub-menu opens. The anchor is hidden while there is no category.
void FillTemplatesMenu(QMenu& menu, const std::vector<CTemplateMenuCategory>& categories,
                       const std::function<QAction*(int)>& actionOf, const std::function<void()>& aboutToShow);

} // namespace rux
