#include "dialogs/colors_dialog.h"

#include "cp1252.h"
#include "dialogs/side_buttons_layout.h"
#include "qt_colour.h"
#include "document/string_table.h"
#include "shell/setting.h"

#include <QColorDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QGuiApplication>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

namespace rux {
namespace {

bool PlatformChooser(ColorRef& value, QWidget* parent) {
    const QColor chosen = QColorDialog::getColor(ToQColor(value), parent);
    if (!chosen.isValid()) return false;
    value = Rgb(static_cast<unsigned>(chosen.red()), static_cast<unsigned>(chosen.green()),
                static_cast<unsigned>(chosen.blue()));
    return true;
}

// A framed swatch, sized from the font so that it grows with the display scale.
QIcon Sample(ColorRef value, int size) {
    QPixmap pixmap(size * 2, size);
    pixmap.fill(ToQColor(value));
    QPainter painter(&pixmap);
    // Framed in the text colour: a black swatch stays visible on a dark list.
    painter.setPen(QGuiApplication::palette().color(QPalette::Text));
    painter.drawRect(0, 0, pixmap.width() - 1, pixmap.height() - 1);
    return QIcon(pixmap);
}

} // namespace

CDlgColors::CDlgColors(CSetting& setting, QWidget* parent)
    : QDialog(parent), m_setting(setting), m_chooser(PlatformChooser) {
    setWindowTitle(LoadQString(IDS_DLG_COLORS_TITLE));
    m_setting.RememberColors();

    m_list = new QListWidget(this);
    const int swatch = fontMetrics().height();
    m_list->setIconSize(QSize(swatch * 2, swatch));
    for (const CH2LiteColor& color : setting.Colors()) {
        auto* item = new QListWidgetItem(FromCp1252(color.Name()), m_list);
        item->setData(Qt::UserRole, color.Number());
    }
    m_list->setCurrentRow(0);
    auto* listLabel = new QLabel(LoadQString(IDS_DLG_COLORS_LIST), this);
    listLabel->setBuddy(m_list);

    m_change = new QPushButton(LoadQString(IDS_DLG_CHANGE), this);
    m_default = new QPushButton(LoadQString(IDS_DLG_DEFAULT), this);
    for (QPushButton* button : {m_change, m_default}) button->setAutoDefault(false);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_help = buttons->addButton(QDialogButtonBox::Help);
    m_help->hide();

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(listLabel);
    layout->addLayout(WithSideButtons(m_list, {m_change, m_default}), 1);
    layout->addWidget(buttons);
    setTabOrder(m_list, m_change);
    setTabOrder(m_change, m_default);
    setTabOrder(m_default, buttons);

    connect(m_change, &QPushButton::clicked, this, [this] { ChangeSelected(); });
    connect(m_list, &QListWidget::itemDoubleClicked, this, [this] { ChangeSelected(); });
    connect(m_default, &QPushButton::clicked, this, [this] {
        m_setting.SetColorsToDefault();
        Refresh();
    });
    connect(m_help, &QPushButton::clicked, this, [this] {
        if (m_helpHandler) m_helpHandler(kHelpTopic);
    });
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    m_list->setMinimumWidth(fontMetrics().horizontalAdvance(QLatin1Char('x')) * 28 + swatch * 3);
    Refresh();
    m_list->setFocus();
}

void CDlgColors::SetHelpHandler(std::function<void(const std::string& topic)> help) {
    m_helpHandler = std::move(help);
    m_help->setVisible(static_cast<bool>(m_helpHandler));
}

void CDlgColors::Refresh() {
    const int swatch = m_list->iconSize().height();
    for (int row = 0; row < m_list->count(); ++row) {
        QListWidgetItem* item = m_list->item(row);
        item->setIcon(Sample(m_setting.GetColor(item->data(Qt::UserRole).toInt()), swatch));
    }
}

void CDlgColors::ChangeSelected() {
    QListWidgetItem* item = m_list->currentItem();
    if (!item || !m_chooser) return;
    const int number = item->data(Qt::UserRole).toInt();
    ColorRef value = m_setting.GetColor(number);
    if (!m_chooser(value, this)) return;
    m_setting.SetColor(number, value);
    Refresh();
}

void CDlgColors::reject() {
    m_setting.RestoreColors();
    QDialog::reject();
}

} // namespace rux
