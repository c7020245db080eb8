#include "shell/style_file.h"

#include "document/ascii_text.h"

#include "shell/product_paths.h"
#include "shell/setting.h"

#include <optional>

namespace rux {

namespace {

std::string NameKey(int n) {
    return "Style" + std::to_string(n);
}


// The style file has no entry for the colour table's function block headers but carries ColorDgm,
// the colour of diagrams in the text. We read ColorDgm into and write it from the "Function Block
// Headers" colour, the one colour of the table that belongs to diagram content in program text, so
// that a saved style gives back everything it was saved with.
struct ColorKey {
    const char* key;
    int32_t number;
};
constexpr ColorKey kStyleColors[] = {
    {"ColorTxt", kColourText},      {"ColorErr", kColourError},     {"ColorKwd", kColourKeyword},
    {"ColorCmt", kColourComment},   {"ColorDgm", kColourFbHeader}, {"ColorIdt", kColourIdentifier},
    {"ColorRdo", kColourReadOnly},
};

} // namespace

CStyleFile CStyleFile::ProductStyles() {
    return CStyleFile(CIniFile(CProductPaths::Join(CProductPaths::ProductDir(), "HALM.STY")));
}

std::vector<std::string> CStyleFile::Names() const {
    std::vector<std::string> names;
    for (int n = 1;; ++n) {
        std::optional<std::string> name = m_ini.Find(kNameSection, NameKey(n));
        if (!name) break;
        names.push_back(std::move(*name));
    }
    return names;
}

bool CStyleFile::Apply(std::string_view name, CSetting& setting) const {
    if (name.empty()) return false;
    bool any = false;
    auto number = [&](const char* key) {
        std::optional<std::string> v = m_ini.Find(name, key);
        any = any || v.has_value();
        return v ? std::optional<int>(CIniFile::ParseInt(*v)) : std::nullopt;
    };

    CFontDesc font = setting.Font();
    if (std::optional<std::string> face = m_ini.Find(name, "FontName")) {
        font.face = *face;
        any = true;
    }
    if (auto v = number("FontSize")) font.size = *v;
    if (auto v = number("FontWeight")) font.weight = *v;
    if (auto v = number("FontItalic")) font.italic = *v != 0;
    setting.SetFont(font);

    for (const ColorKey& c : kStyleColors)
        if (auto v = number(c.key)) setting.SetColor(c.number, static_cast<ColorRef>(*v));

    int32_t handling = setting.TabHandlingMode();
    int32_t size = setting.TabSize();
    if (auto v = number("TabStyle")) handling = *v;
    if (auto v = number("TabSize")) size = *v;
    setting.SetTabs(size, handling);
    return any;
}

bool CStyleFile::SaveAs(std::string_view name, const CSetting& setting) {
    std::string clean(name);
    while (!clean.empty() && (clean.front() == ' ' || clean.front() == '\t'))
        clean.erase(clean.begin());
    while (!clean.empty() && (clean.back() == ' ' || clean.back() == '\t'))
        clean.pop_back();
    if (clean.empty() || clean.find_first_of("[]\r\n") != std::string::npos) return false;

    std::vector<std::string> names = Names();
    int slot = static_cast<int>(names.size()) + 1;
    for (std::size_t i = 0; i < names.size(); ++i)
        if (EqualsNoCase(names[i], clean)) {
            slot = static_cast<int>(i) + 1;
            break;
        }

    bool ok = m_ini.WriteString(kNameSection, NameKey(slot), clean);
    const CFontDesc& font = setting.Font();
    ok = m_ini.WriteString(clean, "FontName", font.face) && ok;
    ok = m_ini.WriteLong(clean, "FontSize", font.size) && ok;
    ok = m_ini.WriteLong(clean, "FontWeight", font.weight) && ok;
    ok = m_ini.WriteLong(clean, "FontItalic", font.italic ? 1 : 0) && ok;
    for (const ColorKey& c : kStyleColors)
        ok = m_ini.WriteLong(clean, c.key, static_cast<long>(setting.GetColor(c.number))) && ok;
    ok = m_ini.WriteLong(clean, "TabStyle", setting.TabHandlingMode()) && ok;
    ok = m_ini.WriteLong(clean, "TabSize", setting.TabSize()) && ok;
    return ok;
}

} // namespace rux
