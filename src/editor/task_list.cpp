#include "editor/task_list.h"

#include "shell/ini_file.h"

namespace rux {

std::vector<std::string> CTaskListModel::ReadNames(const std::string& tskPath, const std::string& drive) {
    const CIniFile file(tskPath);
    auto read = [&](const std::string& section) {
        std::vector<std::string> names;
        for (int i = 1;; ++i) {
            const auto name = file.Find(section, "Name" + std::to_string(i));
            if (!name)
                break;
            names.push_back(*name);
        }
        return names;
    };
    std::vector<std::string> names = read(drive.empty() ? "DEFAULT" : drive);
    if (names.empty())
        names = read("DEFAULT");
    return names;
}

CTaskListModel::CTaskListModel(const std::string& productDir, const std::string& drive)
    : m_names(ReadNames(productDir + "/DRIVE.TSK", drive)) {
    if (!m_names.empty())
        m_text = m_names.front();
}

void CTaskListModel::Choose(size_t index) {
    if (index < m_names.size())
        m_text = m_names[index];
}

} // namespace rux
