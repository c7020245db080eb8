#include "shell/setting.h"

#include "shell/ini_file.h"

#include <iterator>

namespace rux {

namespace {

constexpr int32_t kMinFontSize = 11;
constexpr int32_t kFallbackFontSize = 100;

} // namespace

CSetting::CSetting(ColorRef systemHighlight) {
    m_font.face = "courier";
    const auto classes = ColourClasses();
    m_colors.reserve(classes.size());
    for (const CColourClassInfo& c : classes) {
        const ColorRef whenAbsent = c.systemHighlight ? systemHighlight : c.whenAbsent;
        const ColorRef def = c.systemHighlight ? systemHighlight : c.defaultValue;
        m_colors.emplace_back(std::string(c.displayName), std::string(c.iniKey), c.number, whenAbsent, def);
    }
}

void CSetting::SetFont(const CFontDesc& font) {
    m_font = font;
    if (m_font.face.size() > kMaxFaceName) m_font.face.resize(kMaxFaceName);
}

CFontDesc CSetting::DefaultFont() {
    return CFontDesc{"courier new", 100, 400, false};
}

void CSetting::SetTabs(int32_t size, int32_t handling) {
    m_tabSize = size < 1 ? 2 : size;
    m_tabHandling = handling != 0 ? TAB_KEEP_TABS : TAB_INSERT_SPACES;
}

const CH2LiteColor* CSetting::FindColor(int32_t number) const {
    for (const CH2LiteColor& c : m_colors)
        if (c.Number() == number) return &c;
    return nullptr;
}

CH2LiteColor* CSetting::FindColorMutable(int32_t number) {
    return const_cast<CH2LiteColor*>(static_cast<const CSetting*>(this)->FindColor(number));
}

ColorRef CSetting::GetColor(int32_t number) const {
    const CH2LiteColor* c = FindColor(number);
    return c ? c->Value() : 0;
}

bool CSetting::SetColor(int32_t number, ColorRef value) {
    CH2LiteColor* c = FindColorMutable(number);
    if (!c) return false;
    c->SetValue(value);
    return true;
}

void CSetting::ResetToDefaults() {
    for (CH2LiteColor& c : m_colors)
        c.ResetToDefault();
    m_font = DefaultFont();
    m_tabSize = 4;
    m_tabHandling = TAB_KEEP_TABS;
}

void CSetting::Load(const CIniFile& ini) {
    m_font.face = ini.GetString(kSection, "FontName", "courier");
    if (m_font.face.size() > kMaxFaceName) m_font.face.resize(kMaxFaceName);
    m_font.size = ini.GetInt(kSection, "FontSize", kFallbackFontSize);
    // Sizes this small are left from files that stored points rather than tenths of a point.
    if (m_font.size < kMinFontSize) m_font.size = kFallbackFontSize;
    m_font.weight = ini.GetInt(kSection, "FontWeight", 400);
    m_font.italic = ini.GetInt(kSection, "FontItalic", 0) != 0;
    // A zero or negative tab size would stall the layout, so it gets the tab dialog's guard too.
    SetTabs(ini.GetInt(kSection, "TabSize", 2), ini.GetInt(kSection, "CvrtTab", 0));
    for (CH2LiteColor& c : m_colors)
        c.SetValue(static_cast<ColorRef>(ini.GetInt(kSection, c.Key(), static_cast<int>(c.WhenAbsent()))));
}

void CSetting::Save(CIniFile& ini) const {
    ini.WriteString(kSection, "FontName", m_font.face);
    ini.WriteLong(kSection, "FontSize", m_font.size);
    ini.WriteLong(kSection, "FontWeight", m_font.weight);
    ini.WriteLong(kSection, "FontItalic", m_font.italic ? 1 : 0);
    ini.WriteLong(kSection, "TabSize", m_tabSize);
    ini.WriteLong(kSection, "CvrtTab", m_tabHandling);
    for (const CH2LiteColor& c : m_colors)
        ini.WriteLong(kSection, c.Key(), static_cast<long>(c.Value()));
}

void CSetting::RememberColors() {
    for (CH2LiteColor& c : m_colors)
        c.Remember();
}

void CSetting::SetColorsToDefault() {
    for (CH2LiteColor& c : m_colors)
        c.ResetToDefault();
}

void CSetting::RestoreColors() {
    for (CH2LiteColor& c : m_colors)
        c.Restore();
}

} // namespace rux
