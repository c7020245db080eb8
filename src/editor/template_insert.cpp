#include "editor/template_insert.h"

#include "document/line_item.h"
#include "editor/edit_session.h"

#include <memory>
#include <vector>

namespace rux {

bool InsertTemplate(CEditSession& session, std::string_view body) {
    if (body.empty() || !session.CanEdit()) return false;
    std::vector<std::unique_ptr<CItem>> lines;
    for (;;) {
        const size_t lf = body.find('\n');
        std::string_view line = body.substr(0, lf);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        // A line longer than the file reader takes back would not survive a save.
        lines.push_back(std::make_unique<CLine>(std::string(line.substr(0, CLine::kMaxText))));
        if (lf == std::string_view::npos) break;
        body.remove_prefix(lf + 1);
    }
    session.InsertItemsAtCaret(std::move(lines), session.Caret());
    return true;
}

} // namespace rux
