#include "frame/themes.h"

#include <QApplication>
#include <QPalette>
#include <QStyleFactory>

namespace rux {
namespace {

// Zinc: neutral greys with a graphite accent. Titanium: near-white with a steel-blue accent.
// Cobalt: cool light greys with a strong blue frame. Tungsten: dark charcoal with an amber accent.
const CThemeLook kLooks[] = {
    {"Zinc", QColor(0xe4, 0xe5, 0xe7), QColor(0xff, 0xff, 0xff), QColor(0x1e, 0x20, 0x24), QColor(0xb4, 0xb7, 0xbd),
     QColor(0x4a, 0x55, 0x66), QColor(0xff, 0xff, 0xff), QColor(0xcb, 0xcd, 0xd2), QColor(0x1e, 0x20, 0x24),
     QColor(0xa9, 0xac, 0xb2), QColor(0xd4, 0xd6, 0xda), QColor(0x1e, 0x20, 0x24), false},
    {"Titanium", QColor(0xf6, 0xf7, 0xf9), QColor(0xff, 0xff, 0xff), QColor(0x20, 0x24, 0x2b),
     QColor(0xd0, 0xd4, 0xdb), QColor(0x5b, 0x7f, 0xa6), QColor(0xff, 0xff, 0xff), QColor(0xe6, 0xe9, 0xee),
     QColor(0x30, 0x3a, 0x48), QColor(0xc9, 0xce, 0xd6), QColor(0xe6, 0xe9, 0xee), QColor(0x30, 0x3a, 0x48), false},
    {"Cobalt", QColor(0xe9, 0xee, 0xf5), QColor(0xff, 0xff, 0xff), QColor(0x16, 0x1e, 0x2c), QColor(0xaf, 0xbd, 0xd1),
     QColor(0x1f, 0x5f, 0xbf), QColor(0xff, 0xff, 0xff), QColor(0x2a, 0x5c, 0xa8), QColor(0xff, 0xff, 0xff),
     QColor(0x8f, 0xa6, 0xc6), QColor(0x1f, 0x4f, 0x96), QColor(0xff, 0xff, 0xff), false},
    {"Tungsten", QColor(0x2b, 0x2d, 0x31), QColor(0x1e, 0x1f, 0x22), QColor(0xdc, 0xde, 0xe1), QColor(0x47, 0x4a, 0x50),
     QColor(0xd9, 0x8e, 0x2b), QColor(0x1a, 0x1a, 0x1a), QColor(0x37, 0x3a, 0x3f), QColor(0xe8, 0xb0, 0x60),
     QColor(0x17, 0x18, 0x1a), QColor(0x23, 0x24, 0x27), QColor(0xb8, 0xbb, 0xc0), true},
};

// Halfway between two colours: greyed text on any background.
QColor Blend(const QColor& a, const QColor& b) {
    return QColor((a.red() + b.red()) / 2, (a.green() + b.green()) / 2, (a.blue() + b.blue()) / 2);
}

} // namespace

const CThemeLook& ThemeLook(int number) {
    return number >= 0 && number <= 3 ? kLooks[number] : kLooks[2];
}

const CThemeLook& PaneLook(int paneTheme) {
    switch (paneTheme) {
    case 1: return kLooks[0];
    case 3: return kLooks[3];
    default: return kLooks[2];
    }
}

QString ThemeStyleSheet(const CThemeLook& l, const CThemeLook& p) {
    // Light frames with a dark pane theme would clash; the pane captions follow the pane theme, the
    // pane bodies the frame.
    const QString window = l.window.name(), base = l.base.name(), text = l.text.name(), mid = l.mid.name();
    const QString accent = l.accent.name(), accentText = l.accentText.name();
    const QString hover = l.dark ? l.window.lighter(130).name() : l.window.darker(108).name();
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
               .arg(base, text, mid, accent, accentText, l.dark ? "#6b6f76" : "#9aa0a8");
    css += QString("QToolBar { background: %1; border: none; border-bottom: 1px solid %2; spacing: 2px; padding: 2px; }\n"
                   "QToolBar::separator { background: %2; width: 1px; margin: 3px 4px; }\n"
                   "QToolButton { border: 1px solid transparent; border-radius: 3px; padding: 2px; }\n"
                   "QToolButton:hover { background: %3; border-color: %2; }\n"
                   "QToolButton:checked, QToolButton:pressed { background: %4; border-color: %4; }\n")
               .arg(window, mid, hover, accent);
    css += QString("QDockWidget { color: %1; }\n"
                   "QDockWidget::title { background: %2; color: %1; padding: 4px 6px; text-align: left; "
                   "border-bottom: 1px solid %3; }\n")
               .arg(p.paneTitleText.name(), p.paneTitle.name(), mid);
    css += QString("QStatusBar { background: %1; color: %2; }\n"
                   "QStatusBar QLabel { color: %2; padding: 0 4px; }\n"
                   "QStatusBar QLabel:disabled { color: %3; }\n"
                   "QStatusBar::item { border: none; border-left: 1px solid %4; }\n")
               .arg(l.statusBar.name(), l.statusText.name(), Blend(l.statusText, l.statusBar).name(),
                    l.statusBar.darker(l.dark ? 70 : 120).name());
    css += QString("QTabWidget::pane { border: none; }\n"
                   "QTabBar::tab { background: %1; color: %2; padding: 3px 12px; border: 1px solid %3; "
                   "border-top: none; }\n"
                   "QTabBar::tab:selected { background: %4; color: %2; border-bottom: 2px solid %5; }\n")
               .arg(window, text, mid, base, accent);
    css += QString("QListWidget, QTreeWidget, QTreeView, QListView { background: %1; color: %2; "
                   "selection-background-color: %3; selection-color: %4; }\n"
                   "QHeaderView::section { background: %5; color: %2; border: none; border-right: 1px solid %6; "
                   "border-bottom: 1px solid %6; padding: 2px 6px; }\n")
               .arg(base, text, accent, accentText, window, mid);
    return css;
}

void ApplyThemeLook(QApplication& app, int number, int paneTheme) {
    const CThemeLook& l = ThemeLook(number);
    if (QStyle* fusion = QStyleFactory::create("Fusion")) app.setStyle(fusion);
    QPalette pal;
    pal.setColor(QPalette::Window, l.window);
    pal.setColor(QPalette::WindowText, l.text);
    pal.setColor(QPalette::Base, l.base);
    pal.setColor(QPalette::AlternateBase, l.dark ? l.base.lighter(115) : l.window);
    pal.setColor(QPalette::Text, l.text);
    pal.setColor(QPalette::Button, l.window);
    pal.setColor(QPalette::ButtonText, l.text);
    pal.setColor(QPalette::Highlight, l.accent);
    pal.setColor(QPalette::HighlightedText, l.accentText);
    pal.setColor(QPalette::ToolTipBase, l.dark ? QColor(0x3a, 0x3c, 0x41) : QColor(0xff, 0xfb, 0xe6));
    pal.setColor(QPalette::ToolTipText, l.text);
    pal.setColor(QPalette::Mid, l.mid);
    pal.setColor(QPalette::Dark, l.mid.darker(130));
    pal.setColor(QPalette::Light, l.dark ? l.window.lighter(140) : QColor(Qt::white));
    pal.setColor(QPalette::PlaceholderText, l.mid);
    const QColor disabled = l.dark ? QColor(0x6b, 0x6f, 0x76) : QColor(0x9a, 0xa0, 0xa8);
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        pal.setColor(QPalette::Disabled, role, disabled);
    app.setPalette(pal);
    app.setStyleSheet(ThemeStyleSheet(l, PaneLook(paneTheme)));
}

} // namespace rux
