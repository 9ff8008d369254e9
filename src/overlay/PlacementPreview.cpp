// SPDX-License-Identifier: MIT
#include "overlay/PlacementPreview.h"

#include "platform/NumberEdit.h"
#include "platform/Numbers.h"
#include "platform/Services.h"
#include "platform/TrackBar.h"
#include "platform/scene/GuideLine.h"
#include "platform/scene/PictureItem.h"
#include "platform/scene/SelectionFrame.h"

#include <QCheckBox>
#include <QGraphicsScene>
#include <QPushButton>

namespace {
// Stacking inside the canvas, back to front.
constexpr double guidesBelowZ = -1;
constexpr double backgroundZ = 0;
constexpr double elementZ = 1;
constexpr double guidesAboveZ = 2;
constexpr double frameZ = 3;
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
    m_background->onPointerMoved = [this](QPointF position) { m_pointer = position; };
    m_background->onClicked = [this](QPointF position) { locateAt(position); };

    const double guidesZ = options.guides == Guides::BelowBackground ? guidesBelowZ : guidesAboveZ;
    for (GuideLine* guide : {m_horizontalGuide, m_verticalGuide}) {
        scene->addItem(guide);
        guide->setZValue(guidesZ);
        guide->setVisible(options.guides != Guides::None);
    }
    m_horizontalGuide->setPos(0, -1);
    m_verticalGuide->setPos(-1, 0);

    scene->addItem(m_frame);
    m_frame->setZValue(frameZ);
    m_frame->setHideSelection(!options.frameShown);
    m_frame->onPointerMoved = [this] { onFramePointerMoved(); };
    m_frame->onReleased = [this] { onFrameReleased(); };
}

void PlacementPreview::setElement(BoxItem* element) {
    m_element = element;
    // The element never takes the pointer: clicks and moves reach the background under it.
    element->setAcceptHoverEvents(false);
    element->setAcceptedMouseButtons(Qt::NoButton);
    if (m_options.elementParent == ElementParent::Background) {
        element->setParentItem(m_background);
    } else {
        scene()->addItem(element);
        element->setZValue(elementZ);
    }
}

void PlacementPreview::attach(const Controls& controls) {
    m_controls = controls;
    if (controls.zoom) {
        connect(controls.zoom, &TrackBar::changed, this, &PlacementPreview::applyZoom);
        applyZoom(controls.zoom->value());
    }
    if (controls.restoreZoom)
        connect(controls.restoreZoom, &QPushButton::clicked, this, [this] { m_controls.zoom->setValue(1); });
    if (controls.locate)
        connect(controls.locate, &QPushButton::clicked, this, &PlacementPreview::enterLocateMode);
    if (controls.gripSize)
        connect(controls.gripSize, &NumberEdit::confirmed, this, &PlacementPreview::confirmGripSize);
    if (controls.restoreGripSize)
        connect(controls.restoreGripSize, &QPushButton::clicked, this, [this] {
            if (m_controls.gripSize->text() == "3")
                confirmGripSize();
            else
                m_controls.gripSize->setValueText("3");
        });
    if (controls.marginY)
        connect(controls.marginY, &NumberEdit::confirmed, this,
                [this] { confirmMargin(m_controls.marginY, Qt::Vertical); });
    if (controls.marginX)
        connect(controls.marginX, &NumberEdit::confirmed, this,
                [this] { confirmMargin(m_controls.marginX, Qt::Horizontal); });
    if (controls.restoreMargins)
        connect(controls.restoreMargins, &QPushButton::clicked, this, [this] {
            m_controls.marginY->setValueText("0");
            m_controls.marginX->setValueText("0");
        });
}

bool PlacementPreview::inLocateMode() const {
    return m_background->hasCursor() && m_background->cursor().shape() == Qt::PointingHandCursor;
}

void PlacementPreview::enterLocateMode() {
    m_background->setCursor(Qt::PointingHandCursor);
}

void PlacementPreview::locateAt(QPointF) {
    if (!inLocateMode())
        return;
    // The stored pointer position is where the last move over the background ended: the click's place.
    m_frame->setPos(m_pointer + m_margins);
    if (m_element) {
        m_element->setPos(elementPositionForFrame());
        m_element->setHeight(m_frame->size().height());
        m_element->setWidth(m_frame->size().width());
        emit elementPlaced();
    }
    m_background->unsetCursor();
}

QPointF PlacementPreview::elementPositionForFrame() const {
    return m_options.elementParent == ElementParent::Background ? m_frame->pos() - m_margins : m_frame->pos();
}

void PlacementPreview::putElementOnFrame() {
    if (!m_element)
        return;
    m_element->setPos(elementPositionForFrame());
    m_element->setSize(m_frame->size());
    emit elementPlaced();
}

void PlacementPreview::putFrameOnElement() {
    if (!m_element)
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

void PlacementPreview::applyMarginY(double value) {
    m_background->setY(value);
    m_horizontalGuide->setY(value - 1);
    m_margins.setY(value);
    if (m_options.margins == Margins::Additive) {
        if (m_element)
            m_element->setY(m_element->y() + value);
        m_frame->setY(m_frame->y() + value);
    } else if (m_options.margins == Margins::Absolute && m_element) {
        m_frame->setSize(m_element->size());
        m_frame->setY(value + m_element->y());
    }
}

void PlacementPreview::applyMarginX(double value) {
    m_background->setX(value);
    m_verticalGuide->setX(value - 1);
    m_margins.setX(value);
    if (m_options.margins == Margins::Additive) {
        if (m_element)
            m_element->setX(m_element->x() + value);
        m_frame->setX(m_frame->x() + value);
    } else if (m_options.margins == Margins::Absolute && m_element) {
        m_frame->setSize(m_element->size());
        m_frame->setX(value + m_element->x());
    }
}

void PlacementPreview::applyZoom(double zoom) {
    setTransform(QTransform::fromScale(zoom, zoom));
}
