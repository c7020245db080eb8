// Qt's keys and the virtual-key codes of the shortcut tables, both ways, from one table.
#pragma once

#include "editor/shortcut_keys.h"

#include <QKeySequence>

namespace rux {

// Empty for a key Qt cannot bind on its own (mouse buttons, the modifier keys themselves).
QKeySequence ToKeySequence(const CKeyCombo& combo);

// The virtual-key code of a key event's key (Qt::Key) with its modifiers (the keypad flag picks the
// number pad's keys; with Shift, the US layout's symbols over the digits are the digits); 0 for a
// key the table does not name.
int VirtualKeyOf(int qtKey, Qt::KeyboardModifiers modifiers);
// kAccelControl, kAccelAlt and kAccelShift of the modifiers held.
int AccelFlagsOf(Qt::KeyboardModifiers modifiers);

} // namespace rux
