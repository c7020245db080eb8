// One named colour of the colour table: what the user sees, where it is stored, and its three values.
#pragma once

#include <cstdint>
#include <string>

namespace rux {

// Colour values are 0x00BBGGRR: red in the low byte.
using ColorRef = uint32_t;

constexpr ColorRef Rgb(unsigned r, unsigned g, unsigned b) {
    return (r & 0xFF) | (g & 0xFF) << 8 | (b & 0xFF) << 16;
}

class CH2LiteColor {
public:
    CH2LiteColor(std::string name, std::string key, int32_t number, ColorRef whenAbsent, ColorRef def)
        : m_name(std::move(name)), m_key(std::move(key)), m_number(number), m_value(whenAbsent),
          m_whenAbsent(whenAbsent), m_default(def), m_saved(whenAbsent) {}

    const std::string& Name() const { return m_name; }
    const std::string& Key() const { return m_key; }
    int32_t Number() const { return m_number; }
    ColorRef Value() const { return m_value; }
    // What a settings file without this key gives; differs from Default() for some entries.
    ColorRef WhenAbsent() const { return m_whenAbsent; }
    ColorRef Default() const { return m_default; }
    ColorRef Saved() const { return m_saved; }

    void SetValue(ColorRef value) { m_value = value; }
    void SetDefault(ColorRef value) { m_default = value; }
    void SetWhenAbsent(ColorRef value) { m_whenAbsent = value; }
    void ResetToDefault() { m_value = m_default; }
    // The colours dialog remembers the value it opened with so that Cancel can put it back.
    void Remember() { m_saved = m_value; }
    void Restore() { m_value = m_saved; }

private:
    std::string m_name;
    std::string m_key;
    int32_t m_number;
    ColorRef m_value;
    ColorRef m_whenAbsent;
    ColorRef m_default;
    ColorRef m_saved;
};

} // namespace rux
