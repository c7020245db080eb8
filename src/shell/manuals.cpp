#include "shell/manuals.h"

#include "shell/ini_file.h"
#include "shell/product_paths.h"
#include "document/string_table.h"

#include <optional>

namespace rux {

void H2_CManuals::Load(const std::string& helpDir) {
    Load(CIniFile(CProductPaths::Join(helpDir, "Manuals.ini")), helpDir);
}

void H2_CManuals::Load(const CIniFile& ini, const std::string& helpDir) {
    m_helpDir = helpDir;
    m_items.clear();
    for (int n = 0; n < kMaxItems; ++n) {
        std::optional<std::string> section = ini.Find("Manuals", std::to_string(n));
        if (!section) break;
        // A section without MenuName still gets an item, named after the section, so the ids of
        // the items after it do not shift.
        Item item{kFirstId + n, ini.GetString(*section, "MenuName", *section),
                  ini.GetString(*section, "FileName", "")};
        m_items.push_back(std::move(item));
    }
}

const H2_CManuals::Item* H2_CManuals::FindItem(int id) const {
    for (const Item& item : m_items)
        if (item.id == id) return &item;
    return nullptr;
}

std::string H2_CManuals::Target(std::string_view fileName) const {
    if (fileName.size() >= 4) {
        std::string head(fileName.substr(0, 4));
        for (char& c : head)
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (head == "http") return std::string(fileName);
    }
    // Manuals.ini is shared with the suite's other tools, which write Windows paths.
    std::string relative(fileName);
    for (char& c : relative)
        if (c == '\\') c = '/';
    return CProductPaths::Join(m_helpDir, relative);
}

std::string H2_CManuals::FailureText(std::string_view fileName) {
    std::string text(LoadString(IDS_MANUAL_OPEN_FAILED));
    std::size_t at = text.find("%s");
    if (at != std::string::npos) text.replace(at, 2, fileName);
    return text;
}

bool H2_CManuals::Open(int id, const Opener& opener, std::string& errorText) const {
    const Item* item = FindItem(id);
    if (!item) return false;
    int result = opener ? opener(Target(item->fileName)) : 0;
    if (result > 32) return true;
    errorText = FailureText(item->fileName);
    return false;
}

} // namespace rux
