// SPDX-License-Identifier: MIT
// The magnifying-glass inset: a round or square loupe, child of a picture item, showing an enlarged part of
// that picture inside a grey rim. The viewed part is centred on the loupe's own centre plus an offset
// (relative mode) or on a fixed point of the picture (absolute mode), and is the loupe's content divided by
// its scale. It samples the picture at full resolution, so a merge holds exactly what the preview shows.
#pragma once

#include "scene/BoxItem.h"

#include <QPoint>

class PictureItem;

class LoupeItem : public BoxItem {
public:
    enum class Shape { Circle, Square };
    enum class Centring { Relative, Absolute };

    static constexpr double circleSide = 150;
    static constexpr double rimWidth = 3;

    explicit LoupeItem(PictureItem* picture);

    Shape loupeShape() const { return m_shape; }
    void setLoupeShape(Shape shape); // a circle takes its fixed size at once
    Centring centring() const { return m_centring; }
    void setCentring(Centring centring);
    double scale() const { return m_scale; }
    void setScale(double scale);
    QPoint regionCentre() const { return m_regionCentre; }
    void setRegionCentre(QPoint centre);

    // The part of the picture item's box that the loupe shows, in the picture item's units.
    QRectF viewedRegion() const;

    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override;

protected:
    QSizeF acceptedSize(const QSizeF& requested) const override;

private:
    QRectF contentRect() const;

    PictureItem* m_picture;
    Shape m_shape = Shape::Circle;
    Centring m_centring = Centring::Relative;
    double m_scale = 1;
    QPoint m_regionCentre;
};
