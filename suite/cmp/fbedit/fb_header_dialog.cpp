#include "fb_header_dialog.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <cstring>

namespace rux {
namespace {

// Valid headers are plain ASCII; anything else is shown as Latin-1 so that no byte disappears.
QString ToQString(const std::string& bytes) {
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}
std::string ToBytes(const QString& text) {
    return text.toLatin1().toStdString();
}

// The library is unloaded after each use, so no string may point into its read-only data: every
// text is copied onto the heap instead of being a QStringLiteral.
QString Text(const char* text) {
    return QString::fromLatin1(text);
}

QString CountText(size_t count, int limit) {
    return Text("%1 of %2").arg(count).arg(limit);
}

} // namespace

CDlgFbHeader::CDlgFbHeader(CFbHeaderModel& model, QWidget* parent) : QDialog(parent), m_model(model) {
    setWindowTitle(Text("User Defined Function Block"));

    m_outputs = new QLineEdit(ToQString(CFbHeaderModel::JoinList(model.Outputs())), this);
    m_outputs->setObjectName(Text("outputs"));
    m_outputs->setPlaceholderText(Text("out1%, out2"));
    m_name = new QLineEdit(ToQString(model.Name()), this);
    m_name->setObjectName(Text("blockName"));
    m_name->setPlaceholderText(Text("_Name"));
    m_inputs = new QLineEdit(ToQString(CFbHeaderModel::JoinList(model.Inputs())), this);
    m_inputs->setObjectName(Text("inputs"));
    m_inputs->setPlaceholderText(Text("in1%, in2"));
    for (QLineEdit* edit : {m_outputs, m_name, m_inputs}) edit->setMaxLength(CFbHeaderModel::kBufferSize - 1);
    m_outputCount = new QLabel(this);
    m_inputCount = new QLabel(this);
    m_preview = new QLineEdit(this);
    m_preview->setObjectName(Text("preview"));
    m_preview->setReadOnly(true);
    m_problem = new QLabel(this);
    m_problem->setObjectName(Text("problem"));
    m_problem->setWordWrap(true);

    auto* form = new QFormLayout;
    auto addRow = [&](const QString& label, QWidget* field, QLabel* count) {
        auto* row = new QHBoxLayout;
        row->addWidget(field, 1);
        if (count) row->addWidget(count);
        auto* caption = new QLabel(label, this);
        caption->setBuddy(field);
        form->addRow(caption, row);
    };
    addRow(Text("&Outputs:"), m_outputs, m_outputCount);
    addRow(Text("Block &name:"), m_name, nullptr);
    addRow(Text("&Inputs:"), m_inputs, m_inputCount);
    addRow(Text("&Header:"), m_preview, nullptr);

    m_buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(m_buttons, &QDialogButtonBox::accepted, this, [this] {
        if (m_model.IsValid()) accept();
    });
    connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_problem);
    layout->addStretch(1);
    layout->addWidget(m_buttons);

    setTabOrder(m_outputs, m_name);
    setTabOrder(m_name, m_inputs);
    setTabOrder(m_inputs, m_preview);
    setTabOrder(m_preview, m_buttons);

    connect(m_outputs, &QLineEdit::textChanged, this, [this](const QString& text) {
        m_model.SetOutputs(ToBytes(text));
        Refresh();
    });
    connect(m_name, &QLineEdit::textChanged, this, [this](const QString& text) {
        m_model.SetName(ToBytes(text));
        Refresh();
    });
    connect(m_inputs, &QLineEdit::textChanged, this, [this](const QString& text) {
        m_model.SetInputs(ToBytes(text));
        Refresh();
    });

    // Wide enough for a header with a few parameters without scrolling the preview.
    m_preview->setMinimumWidth(m_preview->fontMetrics().horizontalAdvance(QChar(u'x')) * 48);
    m_name->setFocus();
    Refresh();
}

void CDlgFbHeader::Refresh() {
    m_outputCount->setText(CountText(m_model.Outputs().size(), m_model.MaxParamOut()));
    m_inputCount->setText(CountText(m_model.Inputs().size(), m_model.MaxParamIn()));
    m_preview->setText(ToQString(m_model.HeaderText()));
    const EFbHeaderProblem problem = m_model.Check();
    m_problem->setText(ToQString(CFbHeaderModel::ProblemText(problem, m_model)));
    QPushButton* ok = m_buttons->button(QDialogButtonBox::Ok);
    ok->setEnabled(problem == EFbHeaderProblem::None);
    ok->setDefault(true);
}

int32_t RunFbHeaderDialog(void* parent, char* header, int32_t capability, int32_t maxParamIn, int32_t maxParamOut) {
    if (!header || !qobject_cast<QApplication*>(QCoreApplication::instance())) return 0;
    CFbHeaderModel model(maxParamIn, maxParamOut, capability);
    model.Parse(std::string(header, strnlen(header, CFbHeaderModel::kBufferSize - 1)));
    CDlgFbHeader dialog(model, static_cast<QWidget*>(parent));
    if (dialog.exec() != QDialog::Accepted || !model.IsValid()) return 0;
    const std::string text = model.HeaderText();
    std::memcpy(header, text.c_str(), text.size() + 1); // Check() keeps it inside the buffer
    return 1;
}

} // namespace rux
