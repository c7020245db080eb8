#include "themed_icon.h"

#include "shell/icon_ink.h"

#include <QApplication>
#include <QFile>
#include <QIconEngine>
#include <QPainter>
#include <QPalette>
#include <QStyle>
#include <QStyleOption>
#include <QSvgRenderer>

namespace rux {
namespace {

CRgb Rgb(const QColor& c) {
    return {static_cast<uint8_t>(c.red()), static_cast<uint8_t>(c.green()), static_cast<uint8_t>(c.blue())};
}

class CThemedIconEngine : public QIconEngine {
public:
    explicit CThemedIconEngine(const QString& path) : m_path(path) {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly)) m_svg = file.readAll().toStdString();
    }

    QIconEngine* clone() const override { return new CThemedIconEngine(*this); }
    QString key() const override { return QStringLiteral("RuxThemedIcon"); }
    bool isNull() override { return m_svg.empty(); }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
        const qreal scale = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        QPixmap pm = pixmap(rect.size() * scale, mode, state);
        pm.setDevicePixelRatio(scale);
        painter->drawPixmap(rect, pm);
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State) override {
        const QPalette pal = QGuiApplication::palette();
        const CRgb ink = Rgb(pal.color(QPalette::Active, QPalette::WindowText));
        const CRgb window = Rgb(pal.color(QPalette::Active, QPalette::Window));
        if (!(ink == m_ink) || !(window == m_window) || m_svgForLook.isEmpty()) {
            m_ink = ink;
            m_window = window;
            m_svgForLook = QByteArray::fromStdString(ThemedSvg(m_svg, ink, window));
        }
        QPixmap pm(size);
        pm.fill(Qt::transparent);
        {
            QPainter p(&pm);
            QSvgRenderer renderer(m_svgForLook);
            renderer.render(&p, QRectF(QPointF(0, 0), QSizeF(size)));
        }
        if (mode == QIcon::Disabled || mode == QIcon::Selected) {
            QStyleOption option;
            option.palette = pal;
            if (QStyle* style = QApplication::style()) return style->generatedIconPixmap(mode, pm, &option);
        }
        return pm;
    }

    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override { return {QSize(16, 16), QSize(32, 32)}; }

private:
    QString m_path;
    std::string m_svg;
    CRgb m_ink{0, 0, 0}, m_window{0, 0, 0};
    QByteArray m_svgForLook;
};

class CPaletteIconEngine : public QIconEngine {
public:
    explicit CPaletteIconEngine(std::function<QPixmap(bool)> draw) : m_draw(std::move(draw)) {}

    QIconEngine* clone() const override { return new CPaletteIconEngine(m_draw); }
    QString key() const override { return QStringLiteral("RuxPaletteIcon"); }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
        painter->drawPixmap(rect, pixmap(rect.size(), mode, state));
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State) override {
        const QPalette pal = QGuiApplication::palette();
        QPixmap pm = m_draw(pal.color(QPalette::Active, QPalette::Base).lightness() < 128);
        if (pm.size() != size) pm = pm.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        if (mode == QIcon::Disabled) {
            QStyleOption option;
            option.palette = pal;
            if (QStyle* style = QApplication::style()) return style->generatedIconPixmap(mode, pm, &option);
        }
        return pm;
    }

    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override { return {QSize(16, 16)}; }

private:
    std::function<QPixmap(bool)> m_draw;
};

} // namespace

QIcon PaletteIcon(std::function<QPixmap(bool onDark)> draw) {
    return QIcon(new CPaletteIconEngine(std::move(draw)));
}

QIcon ThemedIcon(const QString& svgPath) {
    return QIcon(new CThemedIconEngine(svgPath));
}

} // namespace rux
