// The dialogs that write a template: its name, its category and its body text. CDlgNewTpl makes a
// template in a category the user picks; CDlgEditTpl changes the name and body of one that exists.
#pragma once

#include <QDialog>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

class QComboBox;
class QLineEdit;
class QPlainTextEdit;

namespace rux {

class CTemplateViewerModel;

class CDlgTemplate : public QDialog {
public:
    QLineEdit* NameEdit() const { return m_name; }
    QComboBox* CategoryBox() const { return m_category; }
    QPlainTextEdit* BodyEdit() const { return m_body; }
    // What OK accepted: program bytes, the body's lines joined with CR LF.
    const std::string& Name() const { return m_acceptedName; }
    const std::string& Category() const { return m_acceptedCategory; }
    const std::string& Body() const { return m_acceptedBody; }
    void accept() override;

protected:
    // Answers 0 or the message that refuses the name in that category; a refusal keeps the dialog open.
    using NameCheck = std::function<int(std::string_view category, std::string_view name)>;
    CDlgTemplate(int promptId, const std::vector<std::string>& categories, const std::string& category,
                 const std::string& name, const std::string& body, NameCheck check, QWidget* parent);

private:
    QLineEdit* m_name;
    QComboBox* m_category;
    QPlainTextEdit* m_body;
    NameCheck m_check;
    std::string m_acceptedName;
    std::string m_acceptedCategory;
    std::string m_acceptedBody;
};

// A new template, in any category; the viewer's chosen category comes first.
class CDlgNewTpl final : public CDlgTemplate {
public:
    explicit CDlgNewTpl(const CTemplateViewerModel& model, QWidget* parent = nullptr);
};

// The viewer's chosen template; it stays in its category.
class CDlgEditTpl final : public CDlgTemplate {
public:
    explicit CDlgEditTpl(const CTemplateViewerModel& model, QWidget* parent = nullptr);
};

} // namespace rux
