#include "editor/find_strings.h"

#include <cstddef>

namespace rux {
namespace {

struct CFindString {
    int id;
    const char* text;
};

constexpr CFindString kStrings[] = {
    {IDS_FIND_FINISHED, "Finish searching for '%1'"},
    {IDS_FIND_REPLACED, "Finish searching for '%1'.\n%2 item(s) have been replaced."},
};

} // namespace

const char* LoadFindString(int id) {
    for (const auto& s : kStrings)
        if (s.id == id) return s.text;
    return "";
}

std::string FormatFindString(int id, std::initializer_list<std::string_view> args) {
    const std::string_view text = LoadFindString(id);
    std::string out;
    out.reserve(text.size() + 32);
    for (size_t i = 0; i < text.size(); ++i) {
        // Placeholders run from %1 to %9; an argument's own "%1" is never expanded again.
        if (text[i] == '%' && i + 1 < text.size() && text[i + 1] >= '1' && text[i + 1] <= '9') {
            const size_t n = static_cast<size_t>(text[i + 1] - '1');
            if (n < args.size()) {
                out.append(*(args.begin() + n));
                ++i;
                continue;
            }
        }
        out.push_back(text[i]);
    }
    return out;
}

} // namespace rux
