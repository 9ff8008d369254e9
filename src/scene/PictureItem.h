// SPDX-License-Identifier: MIT
// A picture drawn into its box, fitted (reduced to fit, never enlarged, centred) or stretched. Copies of an
// item share its picture and its cache of reduced copies. It can report pointer moves and clicks in its own
// unscaled coordinates.
#pragma once

#include "pictures/PicturePyramid.h"
#include "scene/BoxItem.h"

#include <functional>
#include <memory>

class PictureItem : public BoxItem {
public:
    enum class Wrap { Fit, Stretch };

    explicit PictureItem(QGraphicsItem* parent = nullptr);

    const QImage& picture() const { return m_pyramid->picture(); }
    void setPicture(QImage picture);
    // The picture, which the item lets go of: it is left with none (copies of the item keep theirs, shared).
    QImage takePicture();
    Wrap wrap() const { return m_wrap; }
    void setWrap(Wrap wrap);
    // Where the picture is drawn inside the box.
    QRectF pictureRect() const;

    // A new item with the same picture (shared), box, wrap, rotation and opacity.
    std::unique_ptr<PictureItem> copy(QGraphicsItem* parent = nullptr) const;

    std::function<void(QPointF)> onPointerMoved;
    std::function<void(QPointF)> onClicked;

    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override;

protected:
    void hoverMoveEvent(QGraphicsSceneHoverEvent* event) override;
    void mousePressEvent(QGraphicsSceneMouseEvent* event) override;
    void mouseMoveEvent(QGraphicsSceneMouseEvent* event) override;
    void mouseReleaseEvent(QGraphicsSceneMouseEvent* event) override;

private:
    std::shared_ptr<PicturePyramid> m_pyramid;
    Wrap m_wrap = Wrap::Fit;
};
