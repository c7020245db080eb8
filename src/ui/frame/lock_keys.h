// The state of the keyboard's Num Lock and Caps Lock, which the status bar's NUM and CAP panes show.
#pragma once

#include <functional>
#include <optional>

namespace rux {

struct CLockKeys {
    bool num = false;
    bool caps = false;
};

// Asks the window system; nothing where it cannot say (no X11 display, as in the widget tests).
std::optional<CLockKeys> QueryLockKeys();

using LockKeysQuery = std::function<std::optional<CLockKeys>()>;

} // namespace rux
