#include "editor/find_replace_model.h"

namespace rux {

void CFindReplaceModel::Remember(std::vector<std::string>& history, const std::string& text) {
    // An empty text would begin every later text and so block the list for good: it is not kept.
    if (text.empty()) return;
    // A text that begins with an entry already listed is not added again (so typing on from a
    // listed word does not fill the list with its stages); the entry stays where it was.
    for (const std::string& entry : history)
        if (text.compare(0, entry.size(), entry) == 0) return;
    history.insert(history.begin(), text);
    if (history.size() > kHistoryLimit) history.resize(kHistoryLimit);
}

} // namespace rux
