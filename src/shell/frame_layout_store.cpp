#include "shell/frame_layout_store.h"

#include "shell/profile_store.h"

#include <algorithm>
#include <charconv>

namespace rux {

void CFrameLayoutStore::WriteText(CProfileStore& profile, const char* section, const std::string& text) {
    const size_t chunks = (text.size() + kChunk - 1) / kChunk;
    profile.WriteInt(section, "Chunks", static_cast<int>(chunks));
    for (size_t i = 0; i < chunks; ++i)
        profile.WriteString(section, "Data" + std::to_string(i), text.substr(i * kChunk, kChunk));
}

std::string CFrameLayoutStore::ReadText(const CProfileStore& profile, const char* section) {
    const int chunks = profile.GetInt(section, "Chunks", 0);
    if (chunks <= 0 || chunks > kMaxChunks) return {};
    std::string text;
    for (int i = 0; i < chunks; ++i) text += profile.GetString(section, "Data" + std::to_string(i), "");
    return text;
}

std::string CFrameLayoutStore::FormatToolbarPlaces(std::span<const CToolbarPlace> places) {
    std::string text;
    for (const CToolbarPlace& place : places) {
        if (!text.empty()) text += ',';
        text += std::to_string(place.area) + ',' + (place.lineBreak ? '1' : '0');
    }
    return text;
}

namespace {

// A whole number; 0 for anything else, so a damaged pair places no bar.
int WholeNumber(std::string_view part) {
    int value = 0;
    const auto [end, error] = std::from_chars(part.data(), part.data() + part.size(), value);
    return error == std::errc() && end == part.data() + part.size() ? value : 0;
}

} // namespace

std::vector<CToolbarPlace> CFrameLayoutStore::ParseToolbarPlaces(const std::string& text, size_t count) {
    std::vector<std::string_view> parts;
    for (std::string_view rest = text; !text.empty();) {
        const size_t comma = rest.find(',');
        parts.push_back(rest.substr(0, comma));
        if (comma == std::string_view::npos) break;
        rest.remove_prefix(comma + 1);
    }
    std::vector<CToolbarPlace> places(count);
    for (size_t bar = 0; bar < count && 2 * bar + 1 < parts.size(); ++bar) {
        const int area = WholeNumber(parts[2 * bar]);
        if (std::find(std::begin(kAreas), std::end(kAreas), area) == std::end(kAreas)) continue;
        places[bar] = {area, WholeNumber(parts[2 * bar + 1]) != 0};
    }
    return places;
}

} // namespace rux
