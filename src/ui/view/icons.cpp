#include "view/icons.h"

#include "themed_icon.h"

#include <QPainter>
#include <QPainterPath>

#include <array>

namespace rux {
namespace {

constexpr int kSize = 16;

QPixmap Blank() {
    QPixmap pm(kSize, kSize);
    pm.fill(Qt::transparent);
    return pm;
}

void Arrow(QPainter& p, const QColor& fill) {
    QPainterPath path;
    path.moveTo(2, 5);
    path.lineTo(8, 5);
    path.lineTo(8, 1.5);
    path.lineTo(14.5, 8);
    path.lineTo(8, 14.5);
    path.lineTo(8, 11);
    path.lineTo(2, 11);
    path.closeSubpath();
    p.setPen(QPen(fill.darker(160), 1));
    p.setBrush(fill);
    p.drawPath(path);
}

void Square(QPainter& p, const QColor& fill) {
    p.setPen(QPen(fill.darker(170), 1));
    p.setBrush(fill);
    p.drawRoundedRect(QRectF(3.5, 3.5, 9, 9), 1.5, 1.5);
}

QPixmap DrawMark(int n) {
    QPixmap pm = Blank();
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    switch (n) {
    case 0: { // bookmark: a blue ribbon
        QPainterPath path;
        path.moveTo(4, 1.5);
        path.lineTo(12, 1.5);
        path.lineTo(12, 14.5);
        path.lineTo(8, 10.5);
        path.lineTo(4, 14.5);
        path.closeSubpath();
        p.setPen(QPen(QColor(0x1b, 0x4f, 0x9c), 1));
        p.setBrush(QColor(0x3a, 0x7b, 0xd5));
        p.drawPath(path);
        break;
    }
    case 1: // breakpoint set: a filled red disc
        p.setPen(QPen(QColor(0x8e, 0x10, 0x10), 1));
        p.setBrush(QColor(0xd9, 0x2b, 0x2b));
        p.drawEllipse(QRectF(2.5, 2.5, 11, 11));
        break;
    case 2: // breakpoint pending: a hollow red ring
        p.setPen(QPen(QColor(0xd9, 0x2b, 0x2b), 2));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QRectF(3, 3, 10, 10));
        break;
    case 3: // build error: a red circle with a white bar
        p.setPen(QPen(QColor(0x9b, 0x12, 0x12), 1));
        p.setBrush(QColor(0xe0, 0x32, 0x32));
        p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(4, 7, 8, 2));
        break;
    case 6:
        Square(p, QColor(0x3c, 0xb0, 0x4a));
        break;
    case 7:
        Square(p, QColor(0xf0, 0xa5, 0x1e));
        break;
    case 8:
        Square(p, QColor(0x9a, 0x9a, 0x9a));
        break;
    case 9: // the porting tool's "converted"
        Square(p, QColor(0xff, 0xff, 0xff));
        break;
    case 10: // the porting tool's "see help"
        Square(p, QColor(0x2f, 0x74, 0xd0));
        break;
    default:
        break;
    }
    return pm;
}

// The step position as a state mark: a yellow arrow (the error icon keeps number 3 in the margin).
QPixmap DrawStepArrow() {
    QPixmap pm = Blank();
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    Arrow(p, QColor(0xf5, 0xd0, 0x20));
    return pm;
}

void Gear(QPainter& p, const QColor& c) {
    p.setPen(QPen(c, 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(4.5, 4.5, 7, 7));
    for (int i = 0; i < 8; ++i) {
        p.save();
        p.translate(8, 8);
        p.rotate(45.0 * i);
        p.drawLine(QPointF(0, -4.5), QPointF(0, -7));
        p.restore();
    }
    p.setBrush(c);
    p.drawEllipse(QRectF(7, 7, 2, 2));
}

void Badge(QPainter& p, const QColor& c, const QString& text) {
    QFont f = p.font();
    f.setPixelSize(7);
    f.setBold(true);
    p.setFont(f);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(8, 9, 8, 7));
    p.setPen(c);
    p.drawText(QRectF(8, 9, 8, 7), Qt::AlignCenter, text);
}

QPixmap DrawKind(int n, bool onDark) {
    QPixmap pm = Blank();
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    // Outlines and strokes lighten on a dark background; fills and paper stay as they are.
    const QColor ink = onDark ? QColor(0xc8, 0xcc, 0xd2) : QColor(0x3a, 0x46, 0x55);
    const QColor blue = onDark ? QColor(0x6f, 0xa8, 0xe8) : QColor(0x1f, 0x5f, 0xaf);
    const QColor badgeInk(0x3a, 0x46, 0x55); // on its own white patch
    switch (n) {
    case 1: { // program: a page with lines
        p.setPen(QPen(ink, 1));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(3.5, 1.5, 9, 13));
        p.setPen(QPen(blue, 1));
        for (int y = 5; y <= 11; y += 2)
            p.drawLine(QPointF(5.5, y + 0.5), QPointF(10.5, y + 0.5));
        break;
    }
    case 2: // FBD: three connected blocks
        p.setPen(QPen(ink, 1));
        p.setBrush(QColor(0xd6, 0xe4, 0xf7));
        p.drawRect(QRectF(1.5, 2.5, 5, 4));
        p.drawRect(QRectF(1.5, 9.5, 5, 4));
        p.drawRect(QRectF(9.5, 6, 5, 4));
        p.drawLine(QPointF(6.5, 4.5), QPointF(9.5, 7.5));
        p.drawLine(QPointF(6.5, 11.5), QPointF(9.5, 8.5));
        break;
    case 3: // quick ladder: two rails with a contact
        p.setPen(QPen(ink, 1.5));
        p.drawLine(QPointF(2, 1.5), QPointF(2, 14.5));
        p.drawLine(QPointF(14, 1.5), QPointF(14, 14.5));
        p.setPen(QPen(ink, 1));
        p.drawLine(QPointF(2, 8), QPointF(6, 8));
        p.drawLine(QPointF(10, 8), QPointF(14, 8));
        p.setPen(QPen(blue, 1.5));
        p.drawLine(QPointF(6.5, 4.5), QPointF(6.5, 11.5));
        p.drawLine(QPointF(9.5, 4.5), QPointF(9.5, 11.5));
        break;
    case 15: // function block: a block with pins
        p.setPen(QPen(ink, 1));
        p.setBrush(QColor(0xfd, 0xe7, 0xb8));
        p.drawRect(QRectF(4.5, 2.5, 7, 11));
        p.drawLine(QPointF(1, 5.5), QPointF(4.5, 5.5));
        p.drawLine(QPointF(1, 10.5), QPointF(4.5, 10.5));
        p.drawLine(QPointF(11.5, 8), QPointF(15, 8));
        break;
    case 17: // any other section: an arrow into a box
        p.setPen(QPen(ink, 1));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(6.5, 3.5, 8, 9));
        p.setPen(QPen(blue, 1.5));
        p.drawLine(QPointF(1, 8), QPointF(9, 8));
        p.drawLine(QPointF(6.5, 5.5), QPointF(9, 8));
        p.drawLine(QPointF(6.5, 10.5), QPointF(9, 8));
        break;
    default: { // tasks: a gear, with a short badge naming the task where one fits
        Gear(p, blue);
        static const std::array<const char*, 18> kBadges = {"",  "", "",  "",   "I",  "S",  "E", "!", "EV",
                                                            "1", "", "3", "P0", "P1", "SR", "",  "B", ""};
        if (n >= 0 && n < 18 && kBadges[static_cast<size_t>(n)][0])
            Badge(p, badgeInk, QString::fromLatin1(kBadges[static_cast<size_t>(n)]));
        break;
    }
    }
    return pm;
}

} // namespace

const QPixmap& MarkIcon(int number) {
    static const std::array<QPixmap, 12> icons = [] {
        std::array<QPixmap, 12> a;
        for (int i = 0; i < 12; ++i)
            a[static_cast<size_t>(i)] = DrawMark(i);
        a[11] = DrawStepArrow();
        return a;
    }();
    return icons[static_cast<size_t>(number >= 0 && number < 12 ? number : 4)];
}

const QPixmap& KindIcon(int number, bool onDark) {
    static const std::array<std::array<QPixmap, 18>, 2> icons = [] {
        std::array<std::array<QPixmap, 18>, 2> a;
        for (int dark = 0; dark < 2; ++dark)
            for (int i = 0; i < 18; ++i)
                a[static_cast<size_t>(dark)][static_cast<size_t>(i)] = DrawKind(i, dark != 0);
        return a;
    }();
    return icons[onDark ? 1 : 0][static_cast<size_t>(number >= 0 && number < 18 ? number : 17)];
}

QIcon KindListIcon(int number) {
    return PaletteIcon([number](bool onDark) { return KindIcon(number, onDark); });
}

} // namespace rux
