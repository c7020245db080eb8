// Qt's keys and the shortcut tables' virtual keys: a key bound from a table comes back as the same
// code when the user presses it.
#include "virtual_keys.h"

#include <gtest/gtest.h>

namespace rux {
namespace {

TEST(VirtualKeys, EveryBindableKeyComesBackAsItsCode) {
    // Qt has one key for two of the table's codes each: Clear (VK_CLEAR, VK_OEM_CLEAR).
    int bound = 0;
    for (int code = 1; code < 256; ++code) {
        const QKeySequence keys = ToKeySequence({kAccelVirtKey, code});
        if (keys.isEmpty()) continue;
        ++bound;
        const QKeyCombination pressed = keys[0];
        const int back = VirtualKeyOf(pressed.key(), pressed.keyboardModifiers());
        EXPECT_EQ(back, code == 254 ? 12 : code) << KeyName(code);
    }
    EXPECT_GE(bound, 105) << "letters, digits, number pad, function keys and the named rest";
    EXPECT_TRUE(ToKeySequence({kAccelVirtKey, 16}).isEmpty()) << "Shift alone binds nothing";

    struct Row {
        int qtKey;
        Qt::KeyboardModifiers modifiers;
        int code;
    };
    const Row rows[] = {
        {Qt::Key_Exclam, Qt::ShiftModifier, '1'},
        {Qt::Key_ParenRight, Qt::ShiftModifier, '0'},
        {Qt::Key_Asterisk, Qt::ShiftModifier, '8'},
        {Qt::Key_Asterisk, Qt::KeypadModifier, 106},
        {Qt::Key_Exclam, Qt::NoModifier, 0}, // a layout that types "!" unshifted has no digit there
        {Qt::Key_7, Qt::KeypadModifier, 103},
        {Qt::Key_Home, Qt::KeypadModifier, 36}, // Num Lock off
        {Qt::Key_Enter, Qt::KeypadModifier, 13},
        {Qt::Key_Backtab, Qt::ShiftModifier, 9},
        {Qt::Key_Control, Qt::ControlModifier, 17},
        {Qt::Key_Shift, Qt::ShiftModifier, 16},
        {Qt::Key_Alt, Qt::AltModifier, 18},
        {Qt::Key_F24, Qt::NoModifier, 135},
        {Qt::Key_F25, Qt::NoModifier, 0},
        {Qt::Key_Eacute, Qt::NoModifier, 0},
        {Qt::Key_Semicolon, Qt::ControlModifier, 0},
    };
    for (const Row& row : rows)
        EXPECT_EQ(VirtualKeyOf(row.qtKey, row.modifiers), row.code) << std::hex << row.qtKey;

    EXPECT_EQ(AccelFlagsOf(Qt::ControlModifier | Qt::ShiftModifier | Qt::KeypadModifier),
              kAccelControl | kAccelShift);
    EXPECT_EQ(AccelFlagsOf(Qt::AltModifier | Qt::MetaModifier), kAccelAlt);
}

} // namespace
} // namespace rux
