// SPDX-License-Identifier: MIT
#include "scene/SelectionFrame.h"

#include <QCursor>
#include <QGraphicsSceneMouseEvent>
#include <QPainter>
#include <QTransform>

SelectionFrame::SelectionFrame(QGraphicsItem* parent)
    : BoxItem(parent) {
    setAcceptHoverEvents(true);
    setAcceptedMouseButtons(Qt::LeftButton);
    setCursor(Qt::SizeAllCursor);
    setFlag(ItemSendsGeometryChanges);
}

QVariant SelectionFrame::itemChange(GraphicsItemChange change, const QVariant& value) {
    if (change == ItemPositionHasChanged && onMoved)
        onMoved();
    return BoxItem::itemChange(change, value);
}

void SelectionFrame::setGripSize(double size) {
    prepareGeometryChange();
    m_gripSize = FrameGeometry::clampedGripSize(size);
    update();
}

void SelectionFrame::setHideSelection(bool hide) {
    m_hidden = hide;
    update();
}

void SelectionFrame::setZoom(double zoom) {
    if (zoom == m_zoom)
        return;
    prepareGeometryChange();
    m_zoom = zoom;
}

double SelectionFrame::gripReach() const {
    return FrameGeometry::gripReach(size(), m_gripSize, m_zoom);
}

void SelectionFrame::sizeChanged() {
    if (onResized)
        onResized();
}

QRectF SelectionFrame::boundingRect() const {
    const double reach = gripReach() + 1;
    return BoxItem::boundingRect().adjusted(-reach, -reach, reach, reach);
}

QPainterPath SelectionFrame::shape() const {
    // The box and the grab areas around its corners take the pointer; the rest of the bounds does not.
    QPainterPath path;
    const QRectF box = BoxItem::boundingRect();
    path.addRect(box);
    const double reach = gripReach();
    for (const QPointF& corner : {box.topLeft(), box.topRight(), box.bottomLeft(), box.bottomRight()})
        path.addEllipse(corner, reach, reach);
    path.setFillRule(Qt::WindingFill);
    return path;
}

void SelectionFrame::paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*) {
    if (m_hidden)
        return;
    const QRectF box = BoxItem::boundingRect();
    painter->setRenderHint(QPainter::Antialiasing);
    QPen pen(QColor(30, 30, 30), 0, Qt::DashLine); // cosmetic: one screen pixel at any zoom
    painter->setPen(pen);
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(box);
    painter->setPen(QPen(QColor(40, 90, 170), 0));
    painter->setBrush(QColor(255, 255, 255, 230));
    for (const QPointF& corner : {box.topLeft(), box.topRight(), box.bottomLeft(), box.bottomRight()})
        painter->drawEllipse(corner, m_gripSize, m_gripSize);
}

Qt::CursorShape SelectionFrame::cursorFor(FrameGeometry::Handle handle) const {
    using Handle = FrameGeometry::Handle;
    if (handle == Handle::Body || handle == Handle::None)
        return Qt::SizeAllCursor;
    // The diagonal the grip lies on, as the user sees it on the turned frame.
    const QPointF outward(handle == Handle::TopLeft || handle == Handle::BottomLeft ? -1 : 1,
                          handle == Handle::TopLeft || handle == Handle::TopRight ? -1 : 1);
    const QPointF seen = QTransform().rotate(rotationAngle()).map(outward);
    return (seen.x() > 0) == (seen.y() > 0) ? Qt::SizeFDiagCursor : Qt::SizeBDiagCursor;
}

void SelectionFrame::hoverMoveEvent(QGraphicsSceneHoverEvent* event) {
    setCursor(cursorFor(FrameGeometry::hitTest(size(), gripReach(), event->pos())));
    if (onPointerMoved)
        onPointerMoved();
}

void SelectionFrame::mousePressEvent(QGraphicsSceneMouseEvent* event) {
    m_handle = FrameGeometry::hitTest(size(), gripReach(), event->pos());
    if (m_handle == FrameGeometry::Handle::None) {
        event->ignore();
        return;
    }
    m_startBox = box();
    m_startScenePos = event->scenePos();
}

void SelectionFrame::mouseMoveEvent(QGraphicsSceneMouseEvent* event) {
    if (onPointerMoved)
        onPointerMoved(); // reported before this step is applied
    if (m_handle == FrameGeometry::Handle::Body) {
        // Moving follows the pointer in the parent's axes, whatever the frame's rotation.
        const QPointF from = parentItem() ? parentItem()->mapFromScene(m_startScenePos) : m_startScenePos;
        const QPointF to = parentItem() ? parentItem()->mapFromScene(event->scenePos()) : event->scenePos();
        applyBox(m_startBox.translated(to - from));
    } else {
        applyBox(FrameGeometry::dragged(m_handle, m_startBox, rotationAngle(),
                                        deltaInOwnAxes(m_startScenePos, event->scenePos())));
    }
}

void SelectionFrame::mouseReleaseEvent(QGraphicsSceneMouseEvent*) {
    m_handle = FrameGeometry::Handle::None;
    if (onReleased)
        onReleased();
}

QPointF SelectionFrame::deltaInOwnAxes(const QPointF& sceneFrom, const QPointF& sceneTo) const {
    // Undo the frame's rotation (and any scale above it) so a corner follows the pointer along the
    // frame's own edges. Only the linear part of the mapping matters for a difference.
    const QTransform toOwn = sceneTransform().inverted();
    return toOwn.map(sceneTo) - toOwn.map(sceneFrom);
}

void SelectionFrame::applyBox(const QRectF& box) {
    setPos(box.topLeft());
    setSize(box.size());
}
