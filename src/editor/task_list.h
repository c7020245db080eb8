// The Insert Task dialog's model: the task names offered for a drive, and the name being edited.
#pragma once

#include <string>
#include <vector>

namespace rux {

class CTaskListModel {
public:
    // Names from DRIVE.TSK in the product directory, section `drive` ("DEFAULT" when empty), keys
    // Name1, Name2, ... up to the first missing or empty one; a drive without names gets DEFAULT's.
    CTaskListModel(const std::string& productDir, const std::string& drive);

    const std::vector<std::string>& Names() const { return m_names; }
    // The edit field; starts with the first name offered.
    const std::string& Text() const { return m_text; }
    void SetText(std::string text) { m_text = std::move(text); }
    // Choosing a list entry copies it into the edit field.
    void Choose(size_t index);
    // OK: the name to insert, or empty when the dialog counts as cancelled.
    std::string Accept() const { return m_text; }

    static std::vector<std::string> ReadNames(const std::string& tskPath, const std::string& drive);

private:
    std::vector<std::string> m_names;
    std::string m_text;
};

} // namespace rux
