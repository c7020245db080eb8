#include "editor/template_file.h"

namespace rux {
namespace {

constexpr std::string_view kShortcut = "Shortcut";
constexpr std::string_view kBegin = "tpl_begin";
constexpr std::string_view kEnd = "tpl_end";
constexpr std::string_view kBodyBreak = "\r\n";

} // namespace

CTemplateText ParseTemplateFile(std::string_view bytes) {
    CTemplateText out;
    bool inBody = false, firstLine = true;
    while (!bytes.empty()) {
        const size_t lf = bytes.find('\n');
        std::string_view line = bytes.substr(0, lf);
        bytes.remove_prefix(lf == std::string_view::npos ? bytes.size() : lf + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (!inBody) {
            if (line.starts_with(kBegin))
                inBody = true;
            else if (line.starts_with(kShortcut)) {
                const size_t eq = line.find('=');
                out.shortcut =
                    eq == std::string_view::npos ? std::string() : std::string(line.substr(eq + 1));
            }
            continue;
        }
        if (line.starts_with(kEnd)) break;
        if (!firstLine) out.body += kBodyBreak;
        out.body += line;
        firstLine = false;
    }
    return out;
}

std::string FormatTemplateFile(const CTemplateText& text) {
    std::string out;
    out.reserve(text.body.size() + text.shortcut.size() + 32);
    out.append(kShortcut).append("=").append(text.shortcut).append("\n");
    out.append(kBegin).append("\n");
    out.append(text.body).append("\n");
    out.append(kEnd);
    return out;
}

} // namespace rux
