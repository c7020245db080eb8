// The Properties dialog of a program header: one widget per control of the node properties form.
#pragma once

#include "document/node_properties_form.h"

#include <QDialog>

#include <array>

class QAbstractButton;
class QCheckBox;
class QLineEdit;
class QWidget;

namespace rux {

class CLibraryService;

// The form decides everything (visibility, enable states, OK); the dialog mirrors it after every
// change. After Accepted the caller hands the form to CRUXDocument::AcceptNodeProperties.
class CDlgProperties : public QDialog {
public:
    static constexpr int kDialogId = 103;

    CDlgProperties(CNodePropertiesForm& form, CLibraryService& libraries, QWidget* parent = nullptr);

    QLineEdit* Edit(CNodePropertiesForm::EControl control) const;
    QCheckBox* CheckBox(CNodePropertiesForm::EControl control) const;
    void accept() override;

private:
    void Sync();

    CNodePropertiesForm& m_form;
    CLibraryService& m_libraries;
    std::array<QWidget*, CNodePropertiesForm::kControlCount> m_widgets{};
};

} // namespace rux
