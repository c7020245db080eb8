// The text form of keyboard shortcuts ("Ctrl+Shift+F5"), the key-name table and accelerator flags.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace rux {

// Accelerator flags as the suite's accelerator tables store them.
enum EAccelFlag : int {
    kAccelVirtKey = 1,
    kAccelShift = 4,
    kAccelControl = 8,
    kAccelAlt = 16,
};

// Virtual-key codes the editor names in code.
enum EVirtualKey : int {
    kVkTab = 9,
    kVkInsert = 45,
    kVkDelete = 46,
    kVkF1 = 112,
};

// A key with its modifiers; `flags` always carries kAccelVirtKey.
struct CKeyCombo {
    int flags = kAccelVirtKey;
    int key = 0;
    bool operator==(const CKeyCombo&) const = default;
};

// The name of a virtual-key code ("F5", "NUMPAD3", "VK_LWIN"), or empty for a code the table lacks.
std::string_view KeyName(int code);
// The code of a key name compared without regard to case, or 0.
int KeyCode(std::string_view name);
// The number of named keys (the table both ways).
int KeyNameCount();

// Splits at "+" and takes every part, in any case, as a modifier or a key name; unknown parts are
// skipped, and of several key names the last one counts. Nothing when no key is named.
std::optional<CKeyCombo> ParseShortcut(std::string_view text);
// Modifiers in the order Ctrl, Alt, Shift, then the key name; empty for an unnamed key.
std::string FormatShortcut(const CKeyCombo& combo);
// The lookup key of a combination: "%d:%d" of its flags (the virtual-key flag set) and key code.
std::string ShortcutLookupKey(const CKeyCombo& combo);

} // namespace rux
