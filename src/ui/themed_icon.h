// Toolbar and menu pictures that follow the look: drawn from their SVG with the colours of the
// application's palette at the time they are painted, so a change of theme needs no reloading.
#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>

#include <functional>

namespace rux {

QIcon ThemedIcon(const QString& svgPath);
// A picture drawn in two versions, for a light and for a dark list background; the one painted
// follows the palette's base colour at the time.
QIcon PaletteIcon(std::function<QPixmap(bool onDark)> draw);

} // namespace rux
