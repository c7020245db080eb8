#include "dialogs/font_dialog.h"

#include "cp1252.h"
#include "document/string_table.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <cmath>

namespace rux {

QFont CDlgFont::ToQFont(const CFontDesc& desc) {
    // The settings' traditional faces are Windows names; Liberation Mono has Courier New's metrics.
    const QString face = FromCp1252(desc.face);
    const bool courier = face.compare(QLatin1String("courier"), Qt::CaseInsensitive) == 0 ||
                         face.compare(QLatin1String("courier new"), Qt::CaseInsensitive) == 0;
    QFont font(courier ? QStringLiteral("Liberation Mono") : face);
    font.setPointSizeF(desc.size / 10.0);
    font.setWeight(static_cast<QFont::Weight>(std::clamp(desc.weight, 1, 1000)));
    font.setItalic(desc.italic);
    return font;
}

CFontDesc CDlgFont::FromQFont(const QFont& font) {
    CFontDesc desc;
    desc.face = ToCp1252(font.family()).substr(0, CSetting::kMaxFaceName);
    desc.size = static_cast<int32_t>(std::lround(font.pointSizeF() * 10));
    desc.weight = static_cast<int32_t>(font.weight());
    desc.italic = font.italic();
    return desc;
}

CDlgFont::CDlgFont(CSetting& setting, QWidget* parent)
    : QDialog(parent), m_setting(setting), m_chosen(setting.Font()) {
    setWindowTitle(LoadQString(IDS_DLG_FONT_TITLE));
    // The desktop's chooser lives inside this dialog, without its own buttons; its effects and
    // writing system do not apply to program text and are hidden.
    m_chooser = new QFontDialog(this);
    m_chooser->setOptions(QFontDialog::DontUseNativeDialog | QFontDialog::NoButtons);
    m_chooser->setWindowFlags(Qt::Widget);
    m_chooser->setSizeGripEnabled(false);
    for (QGroupBox* group : m_chooser->findChildren<QGroupBox*>()) {
        if (!group->findChildren<QAbstractButton*>().isEmpty()) {
            group->hide(); // strike out and underline
        } else if (QLineEdit* sample = group->findChild<QLineEdit*>()) {
            // The sample took its height from the effects beside it; without them it needs its own.
            sample->setMinimumHeight(sample->fontMetrics().lineSpacing() * 3);
        }
    }
    for (QComboBox* combo : m_chooser->findChildren<QComboBox*>()) { // the writing system
        combo->hide();
        for (QLabel* label : m_chooser->findChildren<QLabel*>())
            if (label->buddy() == combo) label->hide();
    }

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_default = buttons->addButton(LoadQString(IDS_DLG_DEFAULT), QDialogButtonBox::ResetRole);
    m_default->setAutoDefault(false);
    connect(m_default, &QPushButton::clicked, this, [this] {
        m_chosen = CSetting::DefaultFont();
        ShowFont(m_chosen);
    });
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    // Enter and Escape in the chooser's lists end the chooser, which hides itself: they end this
    // dialog instead, and the chooser stays in it.
    connect(m_chooser, &QDialog::finished, this, [this](int result) {
        m_chooser->setVisible(true);
        result == QDialog::Accepted ? accept() : reject();
    });
    connect(m_chooser, &QFontDialog::currentFontChanged, this, [this](const QFont& font) {
        if (!m_showing) m_chosen = FromQFont(font);
    });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_chooser, 1);
    layout->addWidget(buttons);
    ShowFont(m_chosen);
}

void CDlgFont::ShowFont(const CFontDesc& desc) {
    m_showing = true;
    m_chooser->setCurrentFont(ToQFont(desc));
    m_showing = false;
}

void CDlgFont::accept() {
    m_setting.SetFont(m_chosen);
    QDialog::accept();
}

} // namespace rux
