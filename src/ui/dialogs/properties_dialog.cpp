#include "dialogs/properties_dialog.h"

#include "cp1252.h"
#include "document/message_sink.h"
#include "document/string_table.h"
#include "frame/message_box.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace rux {
namespace {

using EControl = CNodePropertiesForm::EControl;

constexpr int kLabels[CNodePropertiesForm::kControlCount] = {
    IDS_DLG_PROP_AUTHOR,     IDS_DLG_PROP_COMPANY,     IDS_DLG_PROP_TITLE,        IDS_DLG_PROP_VERSION,
    IDS_DLG_PROP_LIBRARY,    IDS_DLG_PROP_USER_PROG,   IDS_DLG_PROP_DEBUG,        IDS_DLG_PROP_V3,
    IDS_DLG_PROP_SOURCE,     IDS_DLG_PROP_BUILD_LIBRARY, IDS_DLG_PROP_FIXED_POINT, IDS_DLG_PROP_CLONABLE,
};

class CBoxMessages final : public CMessageSink {
public:
    explicit CBoxMessages(QWidget* parent) : m_parent(parent) {}
    void ShowMessage(int id, const std::string& text) override { ShowEditorMessage(m_parent, text, id); }

private:
    QWidget* m_parent;
};

} // namespace

CDlgProperties::CDlgProperties(CNodePropertiesForm& form, CLibraryService& libraries, QWidget* parent)
    : QDialog(parent), m_form(form), m_libraries(libraries) {
    setWindowTitle(LoadQString(IDS_DLG_PROPERTIES_TITLE));

    auto* texts = new QFormLayout;
    auto* boxes = new QVBoxLayout;
    auto* library = new QFormLayout;
    for (int i = 0; i < CNodePropertiesForm::kControlCount; ++i) {
        const auto control = static_cast<EControl>(i);
        if (CNodePropertiesForm::IsEdit(control)) {
            auto* edit = new QLineEdit(FromCp1252(form.GetText(control)), this);
            auto* label = new QLabel(LoadQString(kLabels[i]), this);
            label->setBuddy(edit);
            (control == CNodePropertiesForm::kLibraryName ? library : texts)->addRow(label, edit);
            connect(edit, &QLineEdit::textEdited, this, [this, control](const QString& text) {
                m_form.SetText(control, ToCp1252(text));
                Sync();
            });
            m_widgets[i] = edit;
        } else {
            auto* box = new QCheckBox(LoadQString(kLabels[i]), this);
            box->setToolTip(LoadQString(CNodePropertiesForm::ToolTipId(control)));
            connect(box, &QCheckBox::clicked, this, [this, control](bool checked) {
                m_form.SetCheck(control, checked);
                Sync();
            });
            m_widgets[i] = box;
        }
    }
    // Build options, then the library: its check box stands right above the name it enables.
    for (EControl control : {CNodePropertiesForm::kUserProgEnabled, CNodePropertiesForm::kDebug,
                             CNodePropertiesForm::kSource, CNodePropertiesForm::kV3,
                             CNodePropertiesForm::kFixedPoint, CNodePropertiesForm::kClonable,
                             CNodePropertiesForm::kBuildAsLibrary})
        boxes->addWidget(m_widgets[control]);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(texts);
    layout->addLayout(boxes);
    layout->addLayout(library);
    layout->addStretch(1);
    layout->addWidget(buttons);

    QWidget* previous = nullptr;
    for (EControl control :
         {CNodePropertiesForm::kAuthor, CNodePropertiesForm::kCompany, CNodePropertiesForm::kTitle,
          CNodePropertiesForm::kVersion, CNodePropertiesForm::kUserProgEnabled, CNodePropertiesForm::kDebug,
          CNodePropertiesForm::kSource, CNodePropertiesForm::kV3, CNodePropertiesForm::kFixedPoint,
          CNodePropertiesForm::kClonable, CNodePropertiesForm::kBuildAsLibrary, CNodePropertiesForm::kLibraryName}) {
        if (previous) setTabOrder(previous, m_widgets[control]);
        previous = m_widgets[control];
    }
    setTabOrder(previous, buttons);
    static_cast<QLineEdit*>(m_widgets[CNodePropertiesForm::kLibraryName])->setMinimumWidth(
        fontMetrics().horizontalAdvance(QLatin1Char('x')) * 32);
    Sync();
    m_widgets[CNodePropertiesForm::kAuthor]->setFocus();
}

QLineEdit* CDlgProperties::Edit(EControl control) const {
    return CNodePropertiesForm::IsEdit(control) ? static_cast<QLineEdit*>(m_widgets[control]) : nullptr;
}

QCheckBox* CDlgProperties::CheckBox(EControl control) const {
    return CNodePropertiesForm::IsCheckBox(control) ? static_cast<QCheckBox*>(m_widgets[control]) : nullptr;
}

void CDlgProperties::Sync() {
    for (int i = 0; i < CNodePropertiesForm::kControlCount; ++i) {
        const auto control = static_cast<EControl>(i);
        QWidget* widget = m_widgets[i];
        widget->setVisible(m_form.IsVisible(control));
        widget->setEnabled(m_form.IsEnabled(control));
        if (QLineEdit* edit = Edit(control)) {
            const QString text = FromCp1252(m_form.GetText(control));
            if (edit->text() != text) edit->setText(text);
        } else {
            QCheckBox* box = CheckBox(control);
            const QSignalBlocker block(box);
            box->setChecked(m_form.GetCheck(control));
        }
    }
}

void CDlgProperties::accept() {
    CBoxMessages messages(this);
    if (m_form.OnOk(m_libraries, messages) == CNodePropertiesForm::EOkResult::Accepted) {
        QDialog::accept();
        return;
    }
    QLineEdit* library = Edit(CNodePropertiesForm::kLibraryName);
    library->setFocus();
    library->selectAll();
}

} // namespace rux
