// The look of program text: font, tab handling and the colour table, kept in section "RUXCOLOR".
#pragma once

#include "editor/colour_class.h"
#include "shell/lite_color.h"

#include <cstdint>
#include <string>
#include <vector>

namespace rux {

class CIniFile;

// Colours are asked for by their class number (EColourClass, one table for the whole product).
enum TabHandling : int32_t { TAB_INSERT_SPACES = 0, TAB_KEEP_TABS = 1 };

struct CFontDesc {
    std::string face;
    int32_t size = 100; // tenths of a point
    int32_t weight = 400;
    bool italic = false;

    bool operator==(const CFontDesc&) const = default;
};

class CSetting {
public:
    static constexpr const char* kSection = "RUXCOLOR";
    static constexpr std::size_t kMaxFaceName = 32;
    // The platform's usual highlight colour, for when the UI has not told us the real one.
    static constexpr ColorRef kFallbackHighlight = 0xD77800;

    // Builds the colour table in its listed order with the "when absent" values, font "courier" and
    // tabs as a settings file without the keys would give them. The Task Manager selection colour
    // follows the system highlight colour, which only the UI knows.
    explicit CSetting(ColorRef systemHighlight = kFallbackHighlight);

    const CFontDesc& Font() const { return m_font; }
    void SetFont(const CFontDesc& font);
    // What the font dialog's Default button selects.
    static CFontDesc DefaultFont();

    int32_t TabSize() const { return m_tabSize; }
    int32_t TabHandlingMode() const { return m_tabHandling; }
    // A size below 1 becomes 2; any handling other than 0 keeps tabs.
    void SetTabs(int32_t size, int32_t handling);

    const std::vector<CH2LiteColor>& Colors() const { return m_colors; }
    const CH2LiteColor* FindColor(int32_t number) const;
    // The current value of a colour; 0 (black) for a number that names none.
    ColorRef GetColor(int32_t number) const;
    bool SetColor(int32_t number, ColorRef value);

    // Every colour to its default, the default font, tab size 4 and tab characters kept. The frame
    // does this before loading, so keys that a file lacks take their "when absent" values on load.
    void ResetToDefaults();
    void Load(const CIniFile& ini);
    void Save(CIniFile& ini) const;

    // The colours dialog: remember the values on opening, "Default" sets every colour to its default,
    // Cancel puts back what was remembered.
    void RememberColors();
    void SetColorsToDefault();
    void RestoreColors();

private:
    CH2LiteColor* FindColorMutable(int32_t number);

    CFontDesc m_font;
    int32_t m_tabSize = 2;
    int32_t m_tabHandling = TAB_INSERT_SPACES;
    std::vector<CH2LiteColor> m_colors;
};

} // namespace rux
