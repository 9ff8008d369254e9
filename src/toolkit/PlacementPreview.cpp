// SPDX-License-Identifier: MIT
#include "toolkit/PlacementPreview.h"

#include "steps/RecipeValues.h"

#include "base/Numbers.h"
#include "scene/GuideLine.h"
#include "scene/PictureItem.h"
#include "scene/SelectionFrame.h"
#include "widgets/NumberEdit.h"
#include "widgets/Services.h"
#include "widgets/TrackBar.h"

#include <QCheckBox>
#include <QGraphicsScene>
#include <QJsonArray>
#include <QPushButton>

namespace {
// Stacking inside the canvas, back to front.
constexpr double guidesBelowZ = -1;
constexpr double backgroundZ = 0;
constexpr double elementZ = 1;
constexpr double guidesAboveElementZ = 2;
constexpr double frameZ = 3;
constexpr double guidesAboveFrameZ = 4;

double guidesZ(PlacementPreview::Guides guides) {
    switch (guides) {
    case PlacementPreview::Guides::BelowBackground:
        return guidesBelowZ;
    case PlacementPreview::Guides::AboveFrame:
        return guidesAboveFrameZ;
    default:
        return guidesAboveElementZ;
    }
}
} // namespace

PlacementPreview::PlacementPreview(const Options& options, QWidget* parent)
    : QGraphicsView(parent)
    , m_options(options)
    , m_background(new PictureItem)
    , m_frame(new SelectionFrame)
    , m_horizontalGuide(new GuideLine(Qt::Horizontal))
    , m_verticalGuide(new GuideLine(Qt::Vertical)) {
    auto* scene = new QGraphicsScene(0, 0, canvasSide, canvasSide, this);
    scene->setItemIndexMethod(QGraphicsScene::NoIndex); // a handful of items that move all the time
    setScene(scene);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setTransformationAnchor(QGraphicsView::NoAnchor);
    setBackgroundBrush(palette().color(QPalette::Window));
    setViewportUpdateMode(QGraphicsView::MinimalViewportUpdate);

    scene->addItem(m_background);
    m_background->setZValue(backgroundZ);
    m_background->setVisible(options.backgroundShown);
    m_background->onPointerMoved = [this](QPointF position) {
        m_pointer = position;
        emit pointerMoved(position);
    };
    m_background->onClicked = [this](QPointF) { locateAt(); };

    for (GuideLine* guide : {m_horizontalGuide, m_verticalGuide}) {
        scene->addItem(guide);
        guide->setZValue(guidesZ(options.guides));
        guide->setVisible(options.guides != Guides::None);
    }
    m_horizontalGuide->setPos(0, -1);
    m_verticalGuide->setPos(-1, 0);

    scene->addItem(m_frame);
    m_frame->setZValue(frameZ);
    m_frame->setHideSelection(options.frame == FrameLook::Hidden);
    m_frame->setVisible(options.frame != FrameLook::None);
    m_frame->onPointerMoved = [this] { onFramePointerMoved(); };
    m_frame->onReleased = [this] { onFrameReleased(); };
    m_frame->onResized = [this] { onFrameResized(); };
    m_frame->onMoved = [this] { emit frameChanged(); };
}

void PlacementPreview::setElement(BoxItem* element) {
    m_element = element;
    // The element never takes the pointer: clicks and moves reach the background or frame under it.
    element->setAcceptHoverEvents(false);
    element->setAcceptedMouseButtons(Qt::NoButton);
    switch (m_options.elementParent) {
    case ElementParent::Background:
        element->setParentItem(m_background);
        break;
    case ElementParent::Canvas:
        scene()->addItem(element);
        element->setZValue(elementZ);
        break;
    case ElementParent::Frame:
        element->setParentItem(m_frame);
        element->setFlag(QGraphicsItem::ItemStacksBehindParent); // the dashed box stays visible on top
        element->setPos(0, 0);
        element->setSize(m_frame->size());
        break;
    }
}

void PlacementPreview::attach(const Controls& controls) {
    m_controls = controls;
    if (controls.zoom) {
        connect(controls.zoom, &TrackBar::changed, this, &PlacementPreview::applyZoom);
        applyZoom(controls.zoom->value());
        if (controls.restoreZoom)
            connect(controls.restoreZoom, &QPushButton::clicked, this,
                    [this] { m_controls.zoom->setValue(1); });
    }
    if (controls.locate)
        connect(controls.locate, &QPushButton::clicked, this, &PlacementPreview::enterLocateMode);
    if (controls.gripSize) {
        connect(controls.gripSize, &NumberEdit::confirmed, this, &PlacementPreview::confirmGripSize);
        if (controls.restoreGripSize)
            connect(controls.restoreGripSize, &QPushButton::clicked, this, [this] {
                // The text is written (its change applies it) and then applied once more, as "Ok" would.
                m_controls.gripSize->setValueText("3");
                confirmGripSize();
            });
    }
    if (controls.marginY)
        connect(controls.marginY, &NumberEdit::confirmed, this,
                [this] { confirmMargin(m_controls.marginY, Qt::Vertical); });
    if (controls.marginX)
        connect(controls.marginX, &NumberEdit::confirmed, this,
                [this] { confirmMargin(m_controls.marginX, Qt::Horizontal); });
    if (controls.restoreMargins)
        connect(controls.restoreMargins, &QPushButton::clicked, this, &PlacementPreview::restoreMargins);
}

bool PlacementPreview::inLocateMode() const {
    return m_background->hasCursor() && m_background->cursor().shape() == Qt::PointingHandCursor;
}

void PlacementPreview::enterLocateMode() {
    m_background->setCursor(Qt::PointingHandCursor);
}

void PlacementPreview::locateAt() {
    if (!inLocateMode())
        return;
    // The stored pointer position is where the last move over the background ended: the click's place.
    m_frame->setPos(m_pointer + m_margins);
    putElementOnFrame();
    m_background->unsetCursor();
}

QPointF PlacementPreview::elementPositionForFrame() const {
    switch (m_options.elementParent) {
    case ElementParent::Background:
        return m_frame->pos() - m_margins;
    case ElementParent::Frame:
        return {0, 0};
    default:
        return m_frame->pos();
    }
}

void PlacementPreview::placeElement(QPointF position, QSizeF size) {
    if (m_options.sizeBeforePosition) {
        m_element->setSize(size);
        m_element->setPos(position);
    } else {
        m_element->setPos(position);
        m_element->setSize(size);
    }
}

void PlacementPreview::putElementOnFrame() {
    if (!m_element)
        return;
    placeElement(elementPositionForFrame(), m_frame->size());
    emit elementPlaced();
}

void PlacementPreview::putFrameOnElement() {
    if (!m_element || m_options.elementParent == ElementParent::Frame)
        return;
    m_frame->setSize(m_element->size());
    m_frame->setPos(m_options.elementParent == ElementParent::Background ? m_element->pos() + m_margins
                                                                         : m_element->pos());
}

bool PlacementPreview::antiLag() const {
    return m_controls.antiLag && m_controls.antiLag->isChecked();
}

void PlacementPreview::onFramePointerMoved() {
    if (!antiLag())
        putElementOnFrame();
}

void PlacementPreview::onFrameReleased() {
    if (antiLag())
        putElementOnFrame();
}

void PlacementPreview::onFrameResized() {
    if (m_element && m_options.elementParent == ElementParent::Frame)
        m_element->setSize(m_frame->size());
    emit frameResized(m_frame->size());
    emit frameChanged();
}

QRectF PlacementPreview::frameOnPicture() const {
    return {m_frame->pos() - m_background->pos(), m_frame->size()};
}

void PlacementPreview::setFrameOnPicture(const QRectF& box) {
    m_frame->setSize(box.size());
    m_frame->setPos(box.topLeft() + m_background->pos());
    putElementOnFrame();
    // An element that keeps a size of its own (a round loupe) takes the frame back to it.
    if (m_element && m_element->size() != box.size())
        putFrameOnElement();
}

void PlacementPreview::confirmGripSize() {
    guarded(this, [this] { m_frame->setGripSize(toReal(m_controls.gripSize->text())); });
}

void PlacementPreview::confirmMargin(NumberEdit* edit, Qt::Orientation orientation) {
    guarded(this, [&] {
        const double value = toReal(edit->text());
        if (orientation == Qt::Vertical)
            applyMarginY(value);
        else
            applyMarginX(value);
    });
}

void PlacementPreview::restoreMargins() {
    // Both texts go back to "0" (a change applies itself) and both margins are applied again either way,
    // so the frame is put back over the element even when the texts already read "0".
    if (m_controls.marginY)
        m_controls.marginY->setValueText("0");
    if (m_controls.marginX)
        m_controls.marginX->setValueText("0");
    applyMarginY(0);
    applyMarginX(0);
}

void PlacementPreview::applyMarginY(double value) {
    m_background->setY(value);
    m_horizontalGuide->setY(value - 1);
    m_margins.setY(value);
    if (m_options.margins == Margins::Additive) {
        m_frame->setY(m_frame->y() + value);
        if (m_element && m_options.elementParent == ElementParent::Canvas) {
            m_element->setY(m_element->y() + value);
            emit elementPlaced();
        }
    } else if (m_options.margins == Margins::Absolute && m_element &&
               m_options.elementParent == ElementParent::Background) {
        m_frame->setSize(m_element->size());
        m_frame->setY(value + m_element->y());
    }
}

void PlacementPreview::applyMarginX(double value) {
    m_background->setX(value);
    m_verticalGuide->setX(value - 1);
    m_margins.setX(value);
    if (m_options.margins == Margins::Additive) {
        m_frame->setX(m_frame->x() + value);
        if (m_element && m_options.elementParent == ElementParent::Canvas) {
            m_element->setX(m_element->x() + value);
            emit elementPlaced();
        }
    } else if (m_options.margins == Margins::Absolute && m_element &&
               m_options.elementParent == ElementParent::Background) {
        m_frame->setSize(m_element->size());
        m_frame->setX(value + m_element->x());
    }
}

void PlacementPreview::showPicture(const QImage& picture, QSizeF controlSize, double zoom) {
    m_background->setPicture(picture);
    m_background->setSize(controlSize);
    if (m_controls.zoom)
        m_controls.zoom->setValue(zoom);
    else
        applyZoom(zoom);
}

PictureState PlacementPreview::shownState() const {
    return {m_background->picture(), m_background->size()};
}

QJsonObject PlacementPreview::viewSettings() const {
    QJsonObject settings{{"margins", QJsonArray{m_margins.x(), m_margins.y()}}};
    if (m_controls.zoom)
        settings.insert("zoom", m_controls.zoom->value());
    if (m_controls.gripSize)
        settings.insert("gripSize", m_controls.gripSize->text());
    if (m_controls.antiLag)
        settings.insert("antiLag", m_controls.antiLag->isChecked());
    return settings;
}

void PlacementPreview::applyViewSettings(const QJsonObject& settings) {
    if (m_controls.zoom && settings.contains("zoom"))
        m_controls.zoom->setValue(recipe_values::toNumber(settings["zoom"], m_controls.zoom->value()));
    if (m_controls.gripSize && settings.contains("gripSize")) {
        const double grip = recipe_values::toNumber(settings["gripSize"].toString().toDouble(), 3);
        m_controls.gripSize->setValueText(QString::number(grip));
    }
    if (m_controls.antiLag && settings.contains("antiLag"))
        m_controls.antiLag->setChecked(settings["antiLag"].toBool());
    // The margins move the background and, with it, whatever is placed on it: the element keeps its place
    // on the picture.
    const QJsonArray margins = settings["margins"].toArray();
    const QRectF frame = frameOnPicture();
    const QPointF elementOnPicture = m_element ? m_element->pos() - elementOffset() : QPointF();
    const QPointF margin(recipe_values::toNumber(margins.at(0), 0),
                         recipe_values::toNumber(margins.at(1), 0));
    applyMarginY(margin.y());
    applyMarginX(margin.x());
    if (m_controls.marginY)
        m_controls.marginY->setValueText(QString::number(margin.y()));
    if (m_controls.marginX)
        m_controls.marginX->setValueText(QString::number(margin.x()));
    if (m_element && m_options.elementParent != ElementParent::Frame)
        m_element->setPos(elementOnPicture + elementOffset());
    m_frame->setSize(frame.size());
    m_frame->setPos(frame.topLeft() + m_background->pos());
}

QPointF PlacementPreview::elementOffset() const {
    // Where the element's parent puts the picture's origin.
    return m_options.elementParent == ElementParent::Canvas ? m_background->pos() : QPointF();
}

void PlacementPreview::applyZoom(double zoom) {
    setTransform(QTransform::fromScale(zoom, zoom));
    m_frame->setZoom(zoom);
}
