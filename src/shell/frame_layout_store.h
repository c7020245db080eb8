// Where the main frame keeps its docking layout and its command bars' places in the profile.
#pragma once

#include <span>
#include <string>
#include <vector>

namespace rux {

class CProfileStore;

// Where one command bar docks: the window system's area number and whether it starts a new row.
struct CToolbarPlace {
    int area = 0;
    bool lineBreak = false;
    bool operator==(const CToolbarPlace&) const = default;
};

class CFrameLayoutStore {
public:
    static constexpr const char* kLayoutSection = "NormalLayout";
    static constexpr const char* kCommandBarsSection = "RUXCommandBars";
    // Stored values are cut into pieces short enough for any profile reader.
    static constexpr int kChunk = 200;
    static constexpr int kMaxChunks = 10000;
    // The area numbers a command bar may dock in: left, right, top and bottom.
    static constexpr int kAreas[] = {1, 2, 4, 8};

    // A text (the docking layout, already in printable form) in "Chunks" and "Data0".."DataN-1".
    static void WriteText(CProfileStore& profile, const char* section, const std::string& text);
    // The text back; empty when the section is missing or its chunk count is out of range.
    static std::string ReadText(const CProfileStore& profile, const char* section);

    // The command bars' places in creation order as "area,break,area,break...".
    static std::string FormatToolbarPlaces(std::span<const CToolbarPlace> places);
    // One entry per command bar of `count`, in creation order; an entry with area 0 keeps that bar
    // where it is (a missing pair, or an area no bar docks in). A damaged text changes nothing.
    static std::vector<CToolbarPlace> ParseToolbarPlaces(const std::string& text, size_t count);
};

} // namespace rux
