// The Font dialog: the desktop's font chooser reduced to face, style and size, plus "Default".
#pragma once

#include "shell/setting.h"

#include <QDialog>
#include <QFont>

class QFontDialog;
class QPushButton;

namespace rux {

// OK stores face, size, weight and italic flag in the settings; the caller then tells every view.
class CDlgFont : public QDialog {
public:
    CDlgFont(CSetting& setting, QWidget* parent = nullptr);

    // The font that OK stores. Until the user picks another font, it is the face as the settings
    // name it ("courier"), not the font the desktop found for that name.
    const CFontDesc& Chosen() const { return m_chosen; }
    QFontDialog* Chooser() const { return m_chooser; }
    QPushButton* DefaultButton() const { return m_default; }
    void accept() override;

    static QFont ToQFont(const CFontDesc& desc);
    static CFontDesc FromQFont(const QFont& font);

private:
    void ShowFont(const CFontDesc& desc);

    CSetting& m_setting;
    QFontDialog* m_chooser;
    QPushButton* m_default;
    CFontDesc m_chosen;
    bool m_showing = false;
};

} // namespace rux
