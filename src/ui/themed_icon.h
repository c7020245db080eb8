// Toolbar and menu pictures that follow the look: drawn from their SVG with the colours of the
// application's palette at the time they are painted, so a change of theme needs no reloading.
#pragma once

#include <QIcon>
#include <QString>

namespace rux {

QIcon ThemedIcon(const QString& svgPath);

} // namespace rux
