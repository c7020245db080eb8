#include "shell/frame_rules.h"

#include "document/ascii_text.h"
#include "document/string_table.h"

#include <charconv>

namespace rux {

CToolbarVisibility ToolbarsFor(EditorMode mode, bool mainToolbarFlag, bool programView, bool online,
                               bool canGoOnline) {
    CToolbarVisibility v;
    if (mode != DebugMode || !programView) {
        v.standard = mainToolbarFlag;
        return v;
    }
    if (online) {
        v.debugging = mainToolbarFlag;
        return v;
    }
    v.standard = mainToolbarFlag;
    v.onlineButton = canGoOnline;
    return v;
}

std::string FrameTitle(const std::string* documentTitle) {
    std::string title = LoadString(IDS_APP_TITLE);
    if (documentTitle) title += " - [" + *documentTitle + "]";
    return title;
}

std::span<const CStatusPane> StatusPanes() {
    static constexpr CStatusPane kPanes[] = {
        {"Position", 100, 0, false},
        {"Run State", 100, 0, false},
        {"Com", 100, 0, false},
        {"NUM", 20, IDS_INDICATOR_NUM, false},
        {"CAP", 20, IDS_INDICATOR_CAPS, false},
        {"INS", 20, IDS_INDICATOR_OVR, false},
        {"READ", 30, IDS_INDICATOR_READ, true},
    };
    return kPanes;
}

namespace {

int ParseNumber(std::string_view part) {
    part = TrimBlanks(part);
    if (!part.empty() && part.front() == '+') part.remove_prefix(1);
    int value = -1;
    const auto [end, ec] = std::from_chars(part.data(), part.data() + part.size(), value);
    if (ec != std::errc() || end != part.data() + part.size() || part.empty()) return -1;
    return value;
}

size_t NameStart(std::string_view path) {
    const size_t at = path.find_last_of("/\\");
    return at == std::string_view::npos ? 0 : at + 1;
}

} // namespace

CErrorLocation ParseErrorLineData(std::string_view text) {
    CErrorLocation location;
    int* fields[] = {&location.line, &location.start, &location.end};
    for (int* field : fields) {
        const size_t semicolon = text.find(';');
        *field = ParseNumber(text.substr(0, semicolon));
        if (semicolon == std::string_view::npos) break;
        text.remove_prefix(semicolon + 1);
    }
    return location;
}

int FirstLineNumber(std::string_view text) {
    return ParseErrorLineData(text).line;
}

bool ErrorFileNames(std::string_view documentPath, std::string_view fileName) {
    if (fileName.empty() || documentPath.empty()) return false;
    if (fileName.find_first_of("/\\") != std::string_view::npos) return documentPath == fileName;
    return EqualsNoCase(documentPath.substr(NameStart(documentPath)), fileName);
}

std::string ErrorFilePath(std::string_view programPath) {
    const size_t nameStart = NameStart(programPath);
    const size_t dot = programPath.rfind('.');
    std::string path(programPath.substr(0, dot != std::string_view::npos && dot >= nameStart ? dot
                                                                                            : programPath.size()));
    return path + ".ERR";
}

} // namespace rux
