// Capturing a key combination in the shortcut field: which key presses it takes and what it shows.
#pragma once

#include "editor/shortcut_keys.h"

#include <optional>
#include <string>
#include <string_view>

namespace rux {

// Virtual-key codes of the modifier keys themselves.
enum EModifierKey : int {
    kVkShift = 16,
    kVkControl = 17,
    kVkMenu = 18, // Alt
};

// The field's state between key presses. Modifier presses build up the combination until the first
// other key locks it; the next press after that starts a new one. Tab, Enter and Escape are never
// taken, so the dialog keeps working from the keyboard; Delete alone is left to the dialog as well.
// A key without Ctrl, Alt or Shift is only a shortcut when it is a function key: anything else
// empties the field.
class CShortcutCapture {
public:
    // What the field does with a key press.
    enum EAnswer {
        kTaken,    // the press was the field's: its text may have changed
        kPassedOn, // the dialog's key: handled as in any other control
    };

    // The field as a dialog opens it: locked on the combination a shortcut text names, or empty.
    void Reset(std::string_view shortcut);
    void Clear() { Reset({}); }

    // `flags` are the modifiers held (kAccelControl, kAccelAlt, kAccelShift) as the key event
    // reports them; for a press of a modifier key that key's own flag counts as held.
    EAnswer KeyDown(int key, int flags);
    // Releasing a modifier before a key is taken drops it from the combination shown.
    void KeyUp(int key, int flags);
    // Whether KeyDown would take the press, asked before a window-wide shortcut may use it.
    static bool Takes(int key, int flags);

    // The text shown: the modifiers held so far ("Ctrl+Shift+") or the locked combination.
    const std::string& Text() const { return m_text; }
    // The captured combination's text; empty while no key has been taken.
    std::string Shortcut() const;
    std::optional<CKeyCombo> Combo() const;
    bool IsLocked() const { return m_locked; }

private:
    void Show();

    int m_flags = 0;
    int m_key = 0;
    bool m_locked = false;
    std::string m_text;
};

} // namespace rux
