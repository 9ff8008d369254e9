// SPDX-License-Identifier: MIT
// A scene item with a box: a position (its top-left corner in the parent), a size, and a rotation in
// degrees about the box's centre. Pictures, texts, shapes and the selection frame are boxes.
#pragma once

#include <QGraphicsItem>

class BoxItem : public QGraphicsItem {
public:
    explicit BoxItem(QGraphicsItem* parent = nullptr);

    QSizeF size() const { return m_size; }
    void setSize(const QSizeF& size);
    void setWidth(double width) { setSize({width, m_size.height()}); }
    void setHeight(double height) { setSize({m_size.width(), height}); }
    QRectF box() const { return {pos(), m_size}; } // in the parent's coordinates, before rotation

    double rotationAngle() const { return rotation(); }
    void setRotationAngle(double degrees);

    QRectF boundingRect() const override { return {QPointF(0, 0), m_size}; }
    void paint(QPainter*, const QStyleOptionGraphicsItem*, QWidget*) override {}

protected:
    // The size the item takes when asked for `requested`; an item with a fixed size answers with its own.
    virtual QSizeF acceptedSize(const QSizeF& requested) const { return requested; }
    virtual void sizeChanged() {}

private:
    QSizeF m_size{0, 0};
};
