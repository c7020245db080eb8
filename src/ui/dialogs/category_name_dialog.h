// The name of a template category, new or renamed: the field and the naming check on OK.
#pragma once

#include <QDialog>

#include <functional>
#include <string>
#include <string_view>

class QLineEdit;

namespace rux {

class CDlgCategoryName : public QDialog {
public:
    // `promptId` is the numbered prompt shown over the field; `check` answers 0 or the message that
    // refuses a name, and a refused name keeps the dialog open.
    using NameCheck = std::function<int(std::string_view name)>;
    CDlgCategoryName(int promptId, const std::string& name, NameCheck check, QWidget* parent = nullptr);

    QLineEdit* NameEdit() const { return m_name; }
    const std::string& Name() const { return m_accepted; }
    void accept() override;

private:
    QLineEdit* m_name;
    NameCheck m_check;
    std::string m_accepted;
};

// The name typed into a field as program bytes; false (and the "Invalid Name." message) when a
// character has no byte in the code page, as such a name could not be a settings key.
bool TemplateNameFromField(const QString& text, std::string& name, int& message);

} // namespace rux
