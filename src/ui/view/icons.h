// The 16 x 16 pictures of margin marks, section kinds and tree nodes, drawn once on first use.
#pragma once

#include <QIcon>
#include <QPixmap>

namespace rux {

// Mark icons by number: 0 bookmark, 1 and 2 the two breakpoint flags, 3 build error, 6..10 the
// state marks; a state mark of kind 3 shares the error's picture, as the numbering has it.
const QPixmap& MarkIcon(int number);
// The picture of a section kind (4..17) or a tree image (1 program, 2 diagram, 3 quick ladder).
const QPixmap& KindIcon(int number, bool onDark = false);
// The same picture for a list: drawn for a dark or a light background as the palette stands when
// it is painted, so that it follows a change of theme.
QIcon KindListIcon(int number);

} // namespace rux
