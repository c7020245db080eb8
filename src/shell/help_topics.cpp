#include "shell/help_topics.h"

#include "shell/ini_file.h"
#include "shell/product_paths.h"

namespace rux {

int CHelpTopics::ContextOf(std::string_view topic) const {
    if (PageOf(topic).empty()) return 0;
    const CIniFile map(CProductPaths::Join(CProductPaths::Join(m_helpDir, kFolder), kMapFile));
    const int context = map.GetInt(kSection, topic, 0);
    return context > 0 ? context : 0;
}

std::string CHelpTopics::PageOf(std::string_view topic) const {
    if (topic.empty() || topic.find_first_of("/\\") != std::string_view::npos || topic == "." || topic == "..")
        return {};
    return CProductPaths::Join(CProductPaths::Join(m_helpDir, kFolder), std::string(topic) + ".html");
}

} // namespace rux
