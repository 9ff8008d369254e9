// SPDX-License-Identifier: MIT
// A guide line 15000 units long, one unit thick, marking an edge of the background picture.
#pragma once

#include <QGraphicsItem>

class GuideLine : public QGraphicsItem {
public:
    GuideLine(Qt::Orientation orientation, QGraphicsItem* parent = nullptr);

    static constexpr double length = 15000;

    QRectF boundingRect() const override;
    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override;

private:
    Qt::Orientation m_orientation;
};
