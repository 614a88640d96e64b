#include "desktop/services/CCalcPaletteIcon.h"

#include "desktop/services/PaletteColors.h"

#include <QFile>
#include <QGuiApplication>
#include <QIconEngine>
#include <QPainter>
#include <QPalette>
#include <QSvgRenderer>

#include <memory>

namespace Tevra {

namespace {

class CCalcPaletteIconEngine final : public QIconEngine {
public:
    explicit CCalcPaletteIconEngine(QByteArray svg) : svg_(std::move(svg)) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State /*state*/) override
    {
        QSvgRenderer& renderer = rendererFor(QGuiApplication::palette().color(QPalette::Window));
        if (!renderer.isValid())
            return;
        painter->save();
        // A disabled command's image is drawn faint, as the toolkit does.
        if (mode == QIcon::Disabled)
            painter->setOpacity(painter->opacity() * 0.4);
        renderer.render(painter, QRectF(rect));
        painter->restore();
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        QPixmap image(size);
        image.fill(Qt::transparent);
        if (size.isEmpty())
            return image;
        QPainter painter(&image);
        paint(&painter, QRect(QPoint(0, 0), size), mode, state);
        return image;
    }

    // Drawn at the screen's own resolution, so that a scaled screen shows
    // sharp lines.
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state, qreal scale) override
    {
        QPixmap image = pixmap((QSizeF(size) * scale).toSize(), mode, state);
        image.setDevicePixelRatio(scale);
        return image;
    }

    QIconEngine* clone() const override { return new CCalcPaletteIconEngine(svg_); }
    QString key() const override { return QStringLiteral("CCalcPaletteIconEngine"); }

private:
    QSvgRenderer& rendererFor(const QColor& background)
    {
        if (!renderer_ || background != background_) {
            background_ = background;
            renderer_ = std::make_unique<QSvgRenderer>(ReadableSvg(svg_, background));
        }
        return *renderer_;
    }

    QByteArray svg_;
    QColor background_;
    std::unique_ptr<QSvgRenderer> renderer_;
};

}  // namespace

QIcon PaletteIcon(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QIcon(path);  // not an image of this program: the toolkit's own
    return QIcon(new CCalcPaletteIconEngine(file.readAll()));
}

}  // namespace Tevra
