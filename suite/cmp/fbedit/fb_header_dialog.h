// The compiler library's dialog that edits a user-defined function block header.
#pragma once

#include "fb_header_model.h"

#include <QDialog>

#include <cstdint>

class QDialogButtonBox;
class QLabel;
class QLineEdit;

namespace rux {

// Outputs, block name and inputs as three fields, with the header they make shown as it is typed
// and the first problem named below it. OK stays disabled while the header breaks a rule.
class CDlgFbHeader : public QDialog {
public:
    CDlgFbHeader(CFbHeaderModel& model, QWidget* parent = nullptr);

    QLineEdit* OutputsEdit() const { return m_outputs; }
    QLineEdit* NameEdit() const { return m_name; }
    QLineEdit* InputsEdit() const { return m_inputs; }
    QLineEdit* Preview() const { return m_preview; }
    QLabel* Problem() const { return m_problem; }
    QDialogButtonBox* Buttons() const { return m_buttons; }

private:
    void Refresh();

    CFbHeaderModel& m_model;
    QLineEdit* m_outputs;
    QLineEdit* m_name;
    QLineEdit* m_inputs;
    QLabel* m_outputCount;
    QLabel* m_inputCount;
    QLineEdit* m_preview;
    QLabel* m_problem;
    QDialogButtonBox* m_buttons;
};

// The body of H2Cmp_FbEditEx. `parent` is the calling window (a QWidget* of the editor, or null);
// `header` is a buffer of CFbHeaderModel::kBufferSize bytes that holds the header to edit (empty
// for a new block) and receives the confirmed one. Returns 1 on OK, 0 on Cancel, and 0 without a
// dialog when the process has no widget application or the buffer is missing.
int32_t RunFbHeaderDialog(void* parent, char* header, int32_t capability, int32_t maxParamIn, int32_t maxParamOut);

} // namespace rux
