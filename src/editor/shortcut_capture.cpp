#include "editor/shortcut_capture.h"

namespace rux {
namespace {

constexpr int kModifierFlags = kAccelControl | kAccelAlt | kAccelShift;
constexpr int kVkReturn = 13, kVkEscape = 27;
constexpr int kFunctionKeys = 24;

int FlagOfModifierKey(int key) {
    switch (key) {
    case kVkShift:
        return kAccelShift;
    case kVkControl:
        return kAccelControl;
    case kVkMenu:
        return kAccelAlt;
    default:
        return 0;
    }
}

bool IsDialogKey(int key) {
    return key == kVkTab || key == kVkReturn || key == kVkEscape;
}

bool IsFunctionKey(int key) {
    return key >= kVkF1 && key < kVkF1 + kFunctionKeys;
}

} // namespace

void CShortcutCapture::Reset(std::string_view shortcut) {
    m_combo = ParseShortcut(shortcut);
    if (m_combo) m_combo->flags &= kModifierFlags | kAccelVirtKey;
    m_held = 0;
    Show();
}

bool CShortcutCapture::Takes(int key, int flags) {
    if (IsDialogKey(key)) return false;
    return !(key == kVkDelete && (flags & kModifierFlags) == 0);
}

CShortcutCapture::EAnswer CShortcutCapture::KeyDown(int key, int flags) {
    if (!Takes(key, flags)) {
        // The user left composing for the dialog's key.
        ReleaseModifiers();
        return kPassedOn;
    }
    const int held = (flags | FlagOfModifierKey(key)) & kModifierFlags;
    if (FlagOfModifierKey(key)) {
        m_held = held;
    } else {
        m_held = 0;
        // A key the table cannot name, or one that types, is no shortcut: the field is left empty.
        const bool shortcut = !KeyName(key).empty() && (held != 0 || IsFunctionKey(key));
        m_combo = shortcut ? std::optional<CKeyCombo>(CKeyCombo{held | kAccelVirtKey, key}) : std::nullopt;
    }
    Show();
    return kTaken;
}

void CShortcutCapture::KeyUp(int key, int flags) {
    if (m_held == 0) return;
    m_held = flags & ~FlagOfModifierKey(key) & kModifierFlags;
    Show();
}

void CShortcutCapture::ReleaseModifiers() {
    m_held = 0;
    Show();
}

std::string CShortcutCapture::Shortcut() const {
    return m_combo ? FormatShortcut(*m_combo) : std::string();
}

void CShortcutCapture::Show() {
    if (m_held == 0) {
        m_text = Shortcut();
        return;
    }
    // The modifiers held so far, in the order the text form writes them, each awaiting the key.
    m_text.clear();
    constexpr std::pair<int, const char*> kShown[] = {
        {kAccelControl, "Ctrl+"}, {kAccelAlt, "Alt+"}, {kAccelShift, "Shift+"}};
    for (const auto& [flag, name] : kShown)
        if (m_held & flag) m_text += name;
}

} // namespace rux
