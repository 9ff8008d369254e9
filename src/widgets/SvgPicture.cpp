// SPDX-License-Identifier: MIT
#include "widgets/SvgPicture.h"

#include <QIconEngine>
#include <QPainter>
#include <QSvgRenderer>

namespace {

class SvgIconEngine : public QIconEngine {
public:
    explicit SvgIconEngine(const QString& resource)
        : m_resource(resource) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override {
        QSvgRenderer renderer(m_resource);
        QRectF target = rect;
        const QSizeF natural = renderer.defaultSize();
        if (!natural.isEmpty()) { // keep the drawing's aspect ratio, centred
            const double scale = std::min(rect.width() / natural.width(), rect.height() / natural.height());
            const QSizeF size = natural * scale;
            target = QRectF(QPointF(rect.center()) - QPointF(size.width() / 2, size.height() / 2), size);
        }
        painter->save();
        if (mode == QIcon::Disabled)
            painter->setOpacity(0.35);
        renderer.render(painter, target);
        painter->restore();
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        QPixmap pixmap(size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        paint(&painter, QRect(QPoint(0, 0), size), mode, state);
        return pixmap;
    }
    QIconEngine* clone() const override { return new SvgIconEngine(m_resource); }

private:
    QString m_resource;
};

} // namespace

QImage renderSvg(const QString& resource, const QSize& size) {
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QSvgRenderer renderer(resource);
    QPainter painter(&image);
    renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
    return image;
}

QIcon svgIcon(const QString& resource) {
    return QIcon(new SvgIconEngine(resource));
}
