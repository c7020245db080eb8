#include "frame/themes.h"

#include "qt_colour.h"
#include "shell/theme_colors.h"

#include <QApplication>
#include <QPainter>
#include <QPalette>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QStyleOption>

namespace rux {
namespace {

// Fusion frames check boxes, radio buttons and edit fields in a shade of the window colour, which on a
// dark window is all but black on black. The frame is drawn again in the look's control colour.
class CThemeStyle : public QProxyStyle {
public:
    CThemeStyle(QStyle* base, QColor control) : QProxyStyle(base), m_control(control) {}

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override {
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        const bool focused = option->state & State_HasFocus;
        switch (element) {
        case PE_IndicatorCheckBox:
        case PE_IndicatorItemViewItemCheck:
            Outline(painter, option->rect, false);
            break;
        case PE_IndicatorRadioButton:
            Outline(painter, option->rect, true);
            break;
        case PE_FrameLineEdit:
            // The focused field keeps the style's accent frame.
            if (!focused) Outline(painter, option->rect, false);
            break;
        default:
            break;
        }
    }

private:
    void Outline(QPainter* painter, const QRect& rect, bool round) const {
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing, round);
        painter->setBrush(Qt::NoBrush);
        painter->setPen(QPen(m_control, 1));
        const QRectF r = QRectF(rect).adjusted(0.5, 0.5, -0.5, -0.5);
        if (round)
            painter->drawEllipse(r.adjusted(0.5, 0.5, -0.5, -0.5));
        else
            painter->drawRect(r);
        painter->restore();
    }

    QColor m_control;
};

QString ThemeStyleSheet(const CThemeColors& look, const CThemeColors& pane) {
    // Light frames with a dark pane theme would clash; the pane captions follow the pane theme, the
    // pane bodies the frame.
    const QString window = ToQColor(look.window).name(), base = ToQColor(look.base).name(),
                  text = ToQColor(look.text).name(), mid = ToQColor(look.mid).name();
    const QString accent = ToQColor(look.accent).name(), accentText = ToQColor(look.accentText).name();
    const QString hover =
        look.dark ? ToQColor(look.window).lighter(130).name() : ToQColor(look.window).darker(108).name();
    QString css;
    css += QString("QMainWindow::separator { background: %1; width: 4px; height: 4px; }\n").arg(mid);
    css += QString("QMenuBar { background: %1; color: %2; border-bottom: 1px solid %3; }\n"
                   "QMenuBar::item { padding: 3px 9px; background: transparent; }\n"
                   "QMenuBar::item:selected { background: %4; color: %5; }\n")
               .arg(window, text, mid, accent, accentText);
    css += QString("QMenu { background: %1; color: %2; border: 1px solid %3; padding: 3px; }\n"
                   "QMenu::item { padding: 4px 24px 4px 28px; }\n"
                   "QMenu::item:selected { background: %4; color: %5; }\n"
                   "QMenu::item:disabled { color: %6; }\n"
                   "QMenu::separator { height: 1px; background: %3; margin: 3px 6px; }\n")
               .arg(base, text, mid, accent, accentText, ToQColor(look.disabledText).name());
    css += QString("QToolBar { background: %1; border: none; border-bottom: 1px solid %2; spacing: 2px; "
                   "padding: 2px; }\n"
                   "QToolBar::separator { background: %2; width: 1px; margin: 3px 4px; }\n"
                   "QToolButton { border: 1px solid transparent; border-radius: 3px; padding: 2px; }\n"
                   "QToolButton:hover { background: %3; border-color: %2; }\n"
                   "QToolButton:focus { border-color: %4; }\n"
                   "QToolButton:checked, QToolButton:pressed { background: %4; border-color: %4; }\n")
               .arg(window, mid, hover, accent);
    css += QString("QDockWidget { color: %1; }\n"
                   "QDockWidget::title { background: %2; color: %1; padding: 4px 6px; text-align: left; "
                   "border-bottom: 1px solid %3; }\n")
               .arg(ToQColor(pane.paneTitleText).name(), ToQColor(pane.paneTitle).name(), mid);
    css += QString("QStatusBar { background: %1; color: %2; }\n"
                   "QStatusBar QLabel { color: %2; padding: 0 4px; }\n"
                   "QStatusBar QLabel:disabled { color: %3; }\n"
                   "QStatusBar::item { border: none; border-left: 1px solid %4; }\n")
               .arg(ToQColor(look.statusBar).name(), ToQColor(look.statusText).name(),
                    ToQColor(look.statusDisabledText).name(),
                    ToQColor(look.statusBar).darker(look.dark ? 70 : 120).name());
    css += QString("QTabWidget::pane { border: none; }\n"
                   "QTabBar::tab { background: %1; color: %2; padding: 3px 12px; border: 1px solid %3; "
                   "border-top: none; }\n"
                   "QTabBar::tab:selected { background: %4; color: %2; border-bottom: 2px solid %5; }\n")
               .arg(window, text, mid, base, accent);
    css +=
        QString("QListWidget, QTreeWidget, QTreeView, QListView { background: %1; color: %2; "
                "selection-background-color: %3; selection-color: %4; }\n"
                "QHeaderView::section { background: %5; color: %2; border: none; border-right: 1px solid %6; "
                "border-bottom: 1px solid %6; padding: 2px 6px; }\n")
            .arg(base, text, accent, accentText, window, mid);
    return css;
}

QPalette ThemePalette(const CThemeColors& look) {
    QPalette pal;
    pal.setColor(QPalette::Window, ToQColor(look.window));
    pal.setColor(QPalette::WindowText, ToQColor(look.text));
    pal.setColor(QPalette::Base, ToQColor(look.base));
    pal.setColor(QPalette::AlternateBase,
                 look.dark ? ToQColor(look.base).lighter(115) : ToQColor(look.window));
    pal.setColor(QPalette::Text, ToQColor(look.text));
    pal.setColor(QPalette::Button, ToQColor(look.window));
    pal.setColor(QPalette::ButtonText, ToQColor(look.text));
    pal.setColor(QPalette::BrightText, look.dark ? QColor(Qt::white) : QColor(Qt::black));
    pal.setColor(QPalette::Highlight, ToQColor(look.accent));
    pal.setColor(QPalette::HighlightedText, ToQColor(look.accentText));
    pal.setColor(QPalette::Link, ToQColor(look.accent));
    pal.setColor(QPalette::ToolTipBase, look.dark ? QColor(0x3a, 0x3c, 0x41) : QColor(0xff, 0xfb, 0xe6));
    pal.setColor(QPalette::ToolTipText, ToQColor(look.text));
    pal.setColor(QPalette::Mid, ToQColor(look.mid));
    pal.setColor(QPalette::Dark,
                 look.dark ? ToQColor(look.mid).lighter(130) : ToQColor(look.mid).darker(130));
    pal.setColor(QPalette::Shadow, look.dark ? QColor(Qt::black) : ToQColor(look.mid).darker(160));
    pal.setColor(QPalette::Light, look.dark ? ToQColor(look.window).lighter(140) : QColor(Qt::white));
    pal.setColor(QPalette::Midlight,
                 look.dark ? ToQColor(look.window).lighter(120) : ToQColor(look.window).lighter(110));
    pal.setColor(QPalette::PlaceholderText, ToQColor(look.disabledText));
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        pal.setColor(QPalette::Disabled, role, ToQColor(look.disabledText));
    // A selection in a window that is not active stays visible, only quieter.
    pal.setColor(QPalette::Inactive, QPalette::Highlight, ToQColor(look.accent));
    pal.setColor(QPalette::Inactive, QPalette::HighlightedText, ToQColor(look.accentText));
    return pal;
}

} // namespace

void ApplyThemeLook(QApplication& app, int number, int paneTheme) {
    const CThemeColors& look = ThemeColors(number);
    if (QStyle* fusion = QStyleFactory::create("Fusion"))
        app.setStyle(new CThemeStyle(fusion, ToQColor(look.control)));
    app.setPalette(ThemePalette(look));
    app.setStyleSheet(ThemeStyleSheet(look, PaneColors(paneTheme)));
}

} // namespace rux
