// The Qt key sequence of a shortcut of the accelerator tables.
#pragma once

#include "editor/shortcut_keys.h"

#include <QKeySequence>

namespace rux {

// Empty for a key Qt cannot bind on its own (mouse buttons, the modifier keys themselves).
QKeySequence ToKeySequence(const CKeyCombo& combo);

} // namespace rux
