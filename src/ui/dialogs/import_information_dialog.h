// The text shown after an indexer import, with the box that stops it being shown again.
#pragma once

#include <QDialog>

#include <string>

class QCheckBox;
class QPlainTextEdit;

namespace rux {

class CDlgImportInformation : public QDialog {
    Q_OBJECT
public:
    CDlgImportInformation(const std::string& text, QWidget* parent = nullptr);

    QPlainTextEdit* TextView() const { return m_text; }
    QCheckBox* HideBox() const { return m_hide; }
    // The box was ticked when the dialog closed.
    bool HideFromNowOn() const;

private:
    QPlainTextEdit* m_text;
    QCheckBox* m_hide;
};

} // namespace rux
