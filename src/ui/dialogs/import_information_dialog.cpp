#include "dialogs/import_information_dialog.h"

#include "cp1252.h"
#include "document/string_table.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTextDocument>
#include <QVBoxLayout>

#include <algorithm>

namespace rux {

CDlgImportInformation::CDlgImportInformation(const std::string& text, QWidget* parent) : QDialog(parent) {
    setWindowTitle(LoadQString(IDS_DLG_IMPORT_INFO_TITLE));
    m_text = new QPlainTextEdit(FromCp1252(text), this);
    m_text->setReadOnly(true);
    // The file is laid out in columns of plain text; a proportional face would break its lines.
    m_text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_text->setLineWrapMode(QPlainTextEdit::NoWrap);
    // Wide enough for the file's own lines (up to a hundred columns) and up to twenty of them.
    const QFontMetrics metrics(m_text->font());
    int widest = 0;
    int lines = 0;
    for (const QString& line : m_text->toPlainText().split(QLatin1Char('\n'))) {
        widest = std::max(widest, metrics.horizontalAdvance(line));
        ++lines;
    }
    const int chrome = 2 * m_text->frameWidth() + 2 * static_cast<int>(m_text->document()->documentMargin()) +
                       style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    QSize size(std::min(widest, metrics.horizontalAdvance(QLatin1Char('M')) * 100) + chrome,
               std::clamp(lines, 8, 20) * metrics.lineSpacing() + chrome);
    // On a small screen the text scrolls rather than the dialog running off the screen.
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        size = size.boundedTo(screen->availableGeometry().size() * 3 / 4);
    m_text->setMinimumSize(size);
    m_hide = new QCheckBox(LoadQString(IDS_DLG_IMPORT_INFO_HIDE), this);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_text);
    layout->addWidget(m_hide);
    layout->addWidget(buttons);
    buttons->button(QDialogButtonBox::Ok)->setFocus();
}

bool CDlgImportInformation::HideFromNowOn() const {
    return m_hide->isChecked();
}

} // namespace rux
