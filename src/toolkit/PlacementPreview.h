// SPDX-License-Identifier: MIT
// The placement preview every tool window uses: a zoomable 15000 × 15000 canvas with the background
// picture, the element being placed, guide lines at the background's top and left edges, and the selection
// frame the user drags. It tracks the pointer over the background, runs locate mode, makes the element
// follow the frame (at once, or on release in anti-lag mode), applies margin offsets and the grip size.
// Windows choose a variant through Options and hand over their panel's controls; none copies this logic.
#pragma once

#include "document/StepRecipe.h"

#include <QGraphicsView>
#include <QImage>
#include <QJsonObject>
#include <QSizeF>

class BoxItem;
class GuideLine;
class NumberEdit;
class PictureItem;
class QCheckBox;
class QPushButton;
class SelectionFrame;
class TrackBar;

class PlacementPreview : public QGraphicsView {
    Q_OBJECT
public:
    enum class ElementParent {
        Canvas,     // a sibling of the background: positions are canvas positions
        Background, // a child of the background: positions are background positions
        Frame,      // a child of the frame, filling it and following every change of its size
    };
    enum class Margins {
        None,     // the background never moves
        Additive, // a margin edit shifts element and frame again by the whole value
        Absolute, // a margin edit puts the frame back over the element, which moved with the background
    };
    enum class Guides { None, BelowBackground, AboveElement, AboveFrame };
    enum class FrameLook {
        Shown,  // the dashed box with its grips
        Hidden, // never drawn, but still moved and resized by the pointer
        None,   // no frame at all
    };

    struct Options {
        ElementParent elementParent = ElementParent::Background;
        Margins margins = Margins::Absolute;
        Guides guides = Guides::BelowBackground;
        FrameLook frame = FrameLook::Shown;
        bool backgroundShown = true;     // false: a bare zoomable canvas holding the element
        bool sizeBeforePosition = false; // the element takes the frame's size first, then its place
    };

    // The panel controls that drive the preview; any may be missing from a window.
    struct Controls {
        TrackBar* zoom = nullptr;
        QPushButton* restoreZoom = nullptr;
        QPushButton* locate = nullptr;
        NumberEdit* gripSize = nullptr;
        QPushButton* restoreGripSize = nullptr;
        NumberEdit* marginY = nullptr; // "Height:"
        NumberEdit* marginX = nullptr; // "Width:"
        QPushButton* restoreMargins = nullptr;
        QCheckBox* antiLag = nullptr;
    };

    static constexpr double canvasSide = 15000;

    explicit PlacementPreview(const Options& options, QWidget* parent = nullptr);

    void attach(const Controls& controls);
    // Takes the element into the canvas (beside the background, inside it or inside the frame).
    void setElement(BoxItem* element);

    PictureItem* background() const { return m_background; }
    // The picture the element is placed on and its control's size: what the window's step is made on.
    PictureState shownState() const;
    BoxItem* element() const { return m_element; }
    SelectionFrame* frame() const { return m_frame; }
    GuideLine* horizontalGuide() const { return m_horizontalGuide; }
    GuideLine* verticalGuide() const { return m_verticalGuide; }
    const Options& options() const { return m_options; }

    QPointF pointer() const { return m_pointer; }
    QPointF margins() const { return m_margins; }
    double zoom() const { return transform().m11(); }
    bool inLocateMode() const;

    // Puts `picture` into the background at the main image control's size and shows it at `zoom` (through
    // the zoom bar where the window has one, so bar and view agree).
    void showPicture(const QImage& picture, QSizeF controlSize, double zoom);

    // The box the frame stands for, in the background's own units (the merged picture's pixels): where the
    // element goes and how large it is. Setting it moves the frame and puts the element on it.
    QRectF frameOnPicture() const;
    void setFrameOnPicture(const QRectF& box);

    // How the window showed the picture besides the element (zoom, grip size, margins, anti-lag), kept in a
    // step's recipe so that "Edit again" opens the window as it was.
    QJsonObject viewSettings() const;
    // Sets them again; the element keeps its place on the picture.
    void applyViewSettings(const QJsonObject& settings);

    void enterLocateMode();
    // Puts the element onto the frame: its position (in its parent's coordinates) and size.
    void putElementOnFrame();
    // Puts the frame over the element (position and size).
    void putFrameOnElement();
    void applyMarginX(double value);
    void applyMarginY(double value);
    void applyZoom(double zoom);

signals:
    // The element was moved or resized by the preview (frame following, locate mode, margins).
    void elementPlaced();
    // After every change of the frame's size, by the pointer or by the program.
    void frameResized(QSizeF size);
    // After every change of the frame's place or size.
    void frameChanged();
    // The pointer moved over the background; the position is in the background's own units.
    void pointerMoved(QPointF position);

private:
    void locateAt();
    void placeElement(QPointF position, QSizeF size);
    void onFramePointerMoved();
    void onFrameReleased();
    void onFrameResized();
    void confirmGripSize();
    void confirmMargin(NumberEdit* edit, Qt::Orientation orientation);
    void restoreMargins();
    QPointF elementPositionForFrame() const;
    QPointF elementOffset() const;
    bool antiLag() const;

    Options m_options;
    Controls m_controls;
    PictureItem* m_background;
    BoxItem* m_element = nullptr;
    SelectionFrame* m_frame;
    GuideLine* m_horizontalGuide;
    GuideLine* m_verticalGuide;
    QPointF m_pointer;
    QPointF m_margins;
};
