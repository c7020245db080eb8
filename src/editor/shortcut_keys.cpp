#include "editor/shortcut_keys.h"

#include "document/ascii_text.h"

#include <array>

namespace rux {
namespace {

struct CKeyName {
    const char* name;
    int code;
};

// Digits, letters, the number pad and the function keys are named by rule; everything else is here.
constexpr CKeyName kNamedKeys[] = {
    {"VK_LBUTTON", 1},  {"VK_RBUTTON", 2}, {"VK_CANCEL", 3},   {"VK_MBUTTON", 4}, {"BACK", 8},
    {"TAB", 9},         {"VK_CLEAR", 12},  {"RETURN", 13},     {"SHIFT", 16},     {"CONTROL", 17},
    {"MENU", 18},       {"PAUSE", 19},     {"CAPITAL", 20},    {"ESCAPE", 27},    {"SPACE", 32},
    {"PRIOR", 33},      {"NEXT", 34},      {"END", 35},        {"HOME", 36},      {"LEFT", 37},
    {"UP", 38},         {"RIGHT", 39},     {"DOWN", 40},       {"VK_SELECT", 41}, {"PRINT", 42},
    {"EXECUTE", 43},    {"SNAPSHOT", 44},  {"INSERT", 45},     {"DELETE", 46},    {"VK_HELP", 47},
    {"VK_LWIN", 91},    {"VK_RWIN", 92},   {"VK_APPS", 93},    {"MULTIPLY", 106}, {"ADD", 107},
    {"SEPARATOR", 108}, {"SUBTRACT", 109}, {"DECIMAL", 110},   {"DIVIDE", 111},   {"NUMLOCK", 144},
    {"VK_SCROLL", 145}, {"VK_ATTN", 246},  {"VK_CRSEL", 247},  {"VK_EXSEL", 248}, {"VK_EREOF", 249},
    {"VK_PLAY", 250},   {"VK_ZOOM", 251},  {"VK_NONAME", 252}, {"VK_PA1", 253},   {"VK_OEM_CLEAR", 254},
};

constexpr int kDigits = 10, kLetters = 26, kNumpad = 10, kFunctionKeys = 24;
constexpr int kFirstDigit = 48, kFirstLetter = 65, kFirstNumpad = 96;

// Every name of the table, built once: the rule-named keys as text.
struct CKeyTable {
    std::array<std::string, 256> names{};
    CKeyTable() {
        for (const CKeyName& k : kNamedKeys)
            names[static_cast<size_t>(k.code)] = k.name;
        for (int i = 0; i < kDigits; ++i)
            names[static_cast<size_t>(kFirstDigit + i)] = std::string(1, static_cast<char>('0' + i));
        for (int i = 0; i < kLetters; ++i)
            names[static_cast<size_t>(kFirstLetter + i)] = std::string(1, static_cast<char>('A' + i));
        for (int i = 0; i < kNumpad; ++i)
            names[static_cast<size_t>(kFirstNumpad + i)] = std::string("NUMPAD").append(std::to_string(i));
        for (int i = 0; i < kFunctionKeys; ++i)
            // Appended rather than "F" + to_string(...): GCC 12 at -O3 reads that insert-at-front
            // as an overlapping copy (a false -Wrestrict).
            names[static_cast<size_t>(kVkF1 + i)] = std::string("F").append(std::to_string(i + 1));
    }
};

const CKeyTable& Table() {
    static const CKeyTable table;
    return table;
}

struct CModifier {
    const char* name;
    int flag;
};
// The order in which the text form writes them.
constexpr CModifier kModifiers[] = {{"Ctrl", kAccelControl}, {"Alt", kAccelAlt}, {"Shift", kAccelShift}};

} // namespace

std::string_view KeyName(int code) {
    if (code < 0 || code >= 256) return {};
    return Table().names[static_cast<size_t>(code)];
}

int KeyCode(std::string_view name) {
    if (name.empty()) return 0;
    const auto& names = Table().names;
    for (size_t code = 0; code < names.size(); ++code)
        if (!names[code].empty() && EqualsNoCase(names[code], name)) return static_cast<int>(code);
    return 0;
}

int KeyNameCount() {
    int n = 0;
    for (const std::string& name : Table().names)
        n += name.empty() ? 0 : 1;
    return n;
}

std::optional<CKeyCombo> ParseShortcut(std::string_view text) {
    CKeyCombo combo;
    for (;;) {
        const size_t plus = text.find('+');
        const std::string_view part = TrimBlanks(text.substr(0, plus));
        bool modifier = false;
        for (const CModifier& m : kModifiers)
            if (EqualsNoCase(part, m.name)) {
                combo.flags |= m.flag;
                modifier = true;
            }
        if (!modifier)
            if (const int code = KeyCode(part)) combo.key = code;
        if (plus == std::string_view::npos) break;
        text.remove_prefix(plus + 1);
    }
    if (combo.key == 0) return std::nullopt;
    return combo;
}

std::string FormatShortcut(const CKeyCombo& combo) {
    const std::string_view key = KeyName(combo.key);
    if (key.empty()) return {};
    std::string text;
    for (const CModifier& m : kModifiers)
        if (combo.flags & m.flag) text.append(m.name).append("+");
    return text.append(key);
}

std::string ShortcutLookupKey(const CKeyCombo& combo) {
    return std::to_string(combo.flags | kAccelVirtKey) + ":" + std::to_string(combo.key);
}

} // namespace rux
