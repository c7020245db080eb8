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
// empties the field. Modifiers pressed after a locked combination show while held, but replace it
// only once a key is taken: Shift+Tab out of the field keeps what was captured.
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
    // The field lost the keyboard: modifiers held then are released elsewhere.
    void ReleaseModifiers();
    // Whether KeyDown would take the press, asked before a window-wide shortcut may use it.
    static bool Takes(int key, int flags);

    // The text shown: the modifiers held so far ("Ctrl+Shift+") or the locked combination.
    const std::string& Text() const { return m_text; }
    // The locked combination's text; empty when there is none.
    std::string Shortcut() const;
    const std::optional<CKeyCombo>& Combo() const { return m_combo; }

private:
    void Show();

    std::optional<CKeyCombo> m_combo;
    int m_held = 0; // modifiers pressed since the last key taken, shown instead of m_combo
    std::string m_text;
};

} // namespace rux
