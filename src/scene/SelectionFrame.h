// SPDX-License-Identifier: MIT
// The selection frame the user drags and resizes: a dashed box with round grips at the corners. It reports
// every pointer move over it before applying that step, the release after the last step, and every change
// of its size, by the pointer or by the program.
#pragma once

#include "scene/BoxItem.h"
#include "scene/FrameGeometry.h"

#include <functional>

class SelectionFrame : public BoxItem {
public:
    explicit SelectionFrame(QGraphicsItem* parent = nullptr);

    double gripSize() const { return m_gripSize; }
    void setGripSize(double size); // held to 1 … 20
    // A hidden selection draws nothing but still takes the pointer.
    void setHideSelection(bool hide);
    // The view's zoom, so that grips keep a grab area of a few screen pixels however small they are drawn.
    void setZoom(double zoom);
    // How far from a corner its grip can be taken, in the frame's own units.
    double gripReach() const;

    std::function<void()> onPointerMoved; // before the step is applied
    std::function<void()> onReleased;     // after the last step
    std::function<void()> onResized;      // after every change of size
    std::function<void()> onMoved;        // after every change of place

    QRectF boundingRect() const override;
    QPainterPath shape() const override;
    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override;

protected:
    void sizeChanged() override;
    QVariant itemChange(GraphicsItemChange change, const QVariant& value) override;
    void hoverMoveEvent(QGraphicsSceneHoverEvent* event) override;
    void mousePressEvent(QGraphicsSceneMouseEvent* event) override;
    void mouseMoveEvent(QGraphicsSceneMouseEvent* event) override;
    void mouseReleaseEvent(QGraphicsSceneMouseEvent* event) override;

private:
    void applyBox(const QRectF& box);
    QPointF deltaInOwnAxes(const QPointF& sceneFrom, const QPointF& sceneTo) const;
    Qt::CursorShape cursorFor(FrameGeometry::Handle handle) const;

    double m_gripSize = 3;
    double m_zoom = 1;
    bool m_hidden = false;
    FrameGeometry::Handle m_handle = FrameGeometry::Handle::None;
    QRectF m_startBox;
    QPointF m_startScenePos;
};
