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
    const auto combo = ParseShortcut(shortcut);
    m_flags = combo ? combo->flags & kModifierFlags : 0;
    m_key = combo ? combo->key : 0;
    m_locked = combo.has_value();
    Show();
}

bool CShortcutCapture::Takes(int key, int flags) {
    if (IsDialogKey(key)) return false;
    return !(key == kVkDelete && (flags & kModifierFlags) == 0);
}

CShortcutCapture::EAnswer CShortcutCapture::KeyDown(int key, int flags) {
    if (!Takes(key, flags)) return kPassedOn;
    if (m_locked) {
        m_locked = false;
        m_key = 0;
    }
    m_flags = (flags | FlagOfModifierKey(key)) & kModifierFlags;
    if (!FlagOfModifierKey(key)) {
        // A key the table cannot name, or one that types, is no shortcut: the field is left empty.
        if (KeyName(key).empty() || (m_flags == 0 && !IsFunctionKey(key))) {
            m_flags = 0;
        } else {
            m_key = key;
            m_locked = true;
        }
    }
    Show();
    return kTaken;
}

void CShortcutCapture::KeyUp(int key, int flags) {
    if (m_locked) return;
    m_flags = flags & ~FlagOfModifierKey(key) & kModifierFlags;
    Show();
}

std::optional<CKeyCombo> CShortcutCapture::Combo() const {
    if (!m_locked) return std::nullopt;
    return CKeyCombo{m_flags | kAccelVirtKey, m_key};
}

std::string CShortcutCapture::Shortcut() const {
    const auto combo = Combo();
    return combo ? FormatShortcut(*combo) : std::string();
}

void CShortcutCapture::Show() {
    if (m_locked) {
        m_text = FormatShortcut({m_flags | kAccelVirtKey, m_key});
        return;
    }
    // The modifiers held so far, in the order the text form writes them, each awaiting the key.
    m_text.clear();
    constexpr std::pair<int, const char*> kShown[] = {
        {kAccelControl, "Ctrl+"}, {kAccelAlt, "Alt+"}, {kAccelShift, "Shift+"}};
    for (const auto& [flag, name] : kShown)
        if (m_flags & flag) m_text += name;
}

} // namespace rux
