#include "virtual_keys.h"

namespace rux {
namespace {

constexpr int kPad = static_cast<int>(Qt::KeypadModifier);
constexpr int kFirstNumpad = 96, kNumpadKeys = 10, kFunctionKeys = 24;

struct CQtKey {
    int code;
    int key; // a Qt::Key, with the keypad modifier for the number pad
};

// Letters, digits and F1 to F24 map by rule; the rest of the named keys that Qt knows.
constexpr CQtKey kKeys[] = {
    {3, Qt::Key_Cancel},
    {8, Qt::Key_Backspace},
    {9, Qt::Key_Tab},
    {12, Qt::Key_Clear},
    {13, Qt::Key_Return},
    {19, Qt::Key_Pause},
    {20, Qt::Key_CapsLock},
    {27, Qt::Key_Escape},
    {32, Qt::Key_Space},
    {33, Qt::Key_PageUp},
    {34, Qt::Key_PageDown},
    {35, Qt::Key_End},
    {36, Qt::Key_Home},
    {37, Qt::Key_Left},
    {38, Qt::Key_Up},
    {39, Qt::Key_Right},
    {40, Qt::Key_Down},
    {41, Qt::Key_Select},
    {42, Qt::Key_Printer},
    {43, Qt::Key_Execute},
    {44, Qt::Key_Print},
    {45, Qt::Key_Insert},
    {46, Qt::Key_Delete},
    {47, Qt::Key_Help},
    {91, Qt::Key_Super_L},
    {92, Qt::Key_Super_R},
    {93, Qt::Key_Menu},
    {106, kPad | Qt::Key_Asterisk},
    {107, kPad | Qt::Key_Plus},
    {108, kPad | Qt::Key_Comma},
    {109, kPad | Qt::Key_Minus},
    {110, kPad | Qt::Key_Period},
    {111, kPad | Qt::Key_Slash},
    {144, Qt::Key_NumLock},
    {145, Qt::Key_ScrollLock},
    {250, Qt::Key_Play},
    {251, Qt::Key_Zoom},
    {254, Qt::Key_Clear},
};

// Keys Qt reports that are bound under another name, or not bound on their own.
constexpr CQtKey kAlsoKeys[] = {
    {16, Qt::Key_Shift}, {17, Qt::Key_Control}, {18, Qt::Key_Alt}, {9, Qt::Key_Backtab}, // Shift+Tab
    {13, Qt::Key_Enter},                                                                 // the number pad's
    {91, Qt::Key_Meta}, // the logo key on some X servers
};

// Shift+1 arrives as "!": the symbols over the digits 0 to 9 of a US keyboard.
constexpr int kShiftedDigits[] = {
    Qt::Key_ParenRight, Qt::Key_Exclam,      Qt::Key_At,        Qt::Key_NumberSign, Qt::Key_Dollar,
    Qt::Key_Percent,    Qt::Key_AsciiCircum, Qt::Key_Ampersand, Qt::Key_Asterisk,   Qt::Key_ParenLeft};

bool IsDigitOrLetter(int code) {
    return (code >= '0' && code <= '9') || (code >= 'A' && code <= 'Z'); // Qt uses the same codes
}

int QtKey(int code) {
    if (IsDigitOrLetter(code)) return code;
    if (code >= kFirstNumpad && code < kFirstNumpad + kNumpadKeys)
        return kPad | (Qt::Key_0 + code - kFirstNumpad);
    if (code >= kVkF1 && code < kVkF1 + kFunctionKeys) return Qt::Key_F1 + code - kVkF1;
    for (const CQtKey& k : kKeys)
        if (k.code == code) return k.key;
    return 0;
}

} // namespace

QKeySequence ToKeySequence(const CKeyCombo& combo) {
    int key = QtKey(combo.key);
    if (key == 0) return {};
    if (combo.flags & kAccelControl) key |= static_cast<int>(Qt::CTRL);
    if (combo.flags & kAccelAlt) key |= static_cast<int>(Qt::ALT);
    if (combo.flags & kAccelShift) key |= static_cast<int>(Qt::SHIFT);
    return QKeySequence(key);
}

int VirtualKeyOf(int qtKey, Qt::KeyboardModifiers modifiers) {
    const bool pad = modifiers & Qt::KeypadModifier;
    if (pad && qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) return kFirstNumpad + qtKey - Qt::Key_0;
    // A number pad key without a number pad meaning (Home with Num Lock off) is the plain key.
    for (const int key : {pad ? kPad | qtKey : qtKey, qtKey})
        for (const CQtKey& k : kKeys)
            if (k.key == key) return k.code;
    if (IsDigitOrLetter(qtKey)) return qtKey;
    if (qtKey >= Qt::Key_F1 && qtKey < Qt::Key_F1 + kFunctionKeys) return kVkF1 + qtKey - Qt::Key_F1;
    for (const CQtKey& k : kAlsoKeys)
        if (k.key == qtKey) return k.code;
    if (modifiers & Qt::ShiftModifier)
        for (int digit = 0; digit < 10; ++digit)
            if (kShiftedDigits[digit] == qtKey) return '0' + digit;
    return 0;
}

int AccelFlagsOf(Qt::KeyboardModifiers modifiers) {
    return (modifiers & Qt::ControlModifier ? kAccelControl : 0) |
           (modifiers & Qt::AltModifier ? kAccelAlt : 0) | (modifiers & Qt::ShiftModifier ? kAccelShift : 0);
}

} // namespace rux
