// SPDX-License-Identifier: MIT
#include "toolkit/PositionSizeGroup.h"

#include "base/Numbers.h"
#include "base/UserError.h"
#include "scene/PictureItem.h"
#include "toolkit/PlacementPreview.h"
#include "toolkit/ToolPanel.h"
#include "widgets/NumberEdit.h"
#include "widgets/Panel.h"
#include "widgets/Services.h"

#include <QLocale>
#include <QPushButton>
#include <QToolButton>

#include <cmath>

namespace {

// Whole pixels as whole numbers, fractions to two places, in the user's own way of writing numbers.
QString shown(double value) {
    const double rounded = std::round(value * 100) / 100;
    return QLocale().toString(rounded, 'f', rounded == std::trunc(rounded) ? 0 : 2);
}

} // namespace

PositionSizeGroup::PositionSizeGroup(PlacementPreview* preview, QWidget* host, int top)
    : QObject(host)
    , m_preview(preview) {
    Panel p(host);
    p.label("PositionSizeLabel", "Position and size", 24, top);
    p.label("", "x:", 0, top + 20);
    m_x = p.numberEdit("PositionX", "PositionXButton", "", 12, top + 16, 58, 22);
    p.label("", "y:", 73, top + 20);
    m_y = p.numberEdit("PositionY", "PositionYButton", "", 84, top + 16, 56, 22);
    p.label("", "w:", 0, top + 44);
    m_width = p.numberEdit("PositionWidth", "PositionWidthButton", "", 12, top + 40, 58, 22);
    p.label("", "h:", 73, top + 44);
    m_height = p.numberEdit("PositionHeight", "PositionHeightButton", "", 84, top + 40, 56, 22);
    for (NumberEdit* box : {m_x, m_y, m_width, m_height}) {
        box->okButton()->resize(20, 18);
        box->setTextMargins(0, 0, 22, 0);
        connect(box, &NumberEdit::changeConfirmed, this, [this, box] { confirm(box); });
    }
    m_fit = p.button("FitToPicture", "Fit to picture", 0, top + 68, 140, 22);
    m_fit->setToolTip(QStringLiteral("Place and size the element over the whole picture"));
    connect(m_fit, &QPushButton::clicked, this, [this] {
        m_preview->setFrameOnPicture({QPointF(0, 0), m_preview->background()->size()});
    });
    connect(m_preview, &PlacementPreview::frameChanged, this, &PositionSizeGroup::showFrame);
    showFrame();
}

void PositionSizeGroup::showFrame() {
    const QRectF box = m_preview->frameOnPicture();
    m_showing = true;
    m_x->setValueText(shown(box.x()));
    m_y->setValueText(shown(box.y()));
    m_width->setValueText(shown(box.width()));
    m_height->setValueText(shown(box.height()));
    m_showing = false;
}

void PositionSizeGroup::confirm(NumberEdit* box) {
    if (m_showing)
        return;
    QWidget* window = box->window();
    const bool placed = guarded(window, [&] {
        const double value = toReal(box->text());
        QRectF frame = m_preview->frameOnPicture();
        if (box == m_x)
            frame.moveLeft(value);
        else if (box == m_y)
            frame.moveTop(value);
        else if (value <= 0)
            throw UserError(QStringLiteral("The width and height must be more than 0."));
        else if (box == m_width)
            frame.setWidth(value);
        else
            frame.setHeight(value);
        m_preview->setFrameOnPicture(frame);
    });
    if (!placed)
        showFrame(); // a refused number gives way to the frame's own
}

PositionSizeGroup* addPositionSizeStrip(PlacementPreview* preview, QWidget* scrollingPanel) {
    QWidget* strip = addStripUnderScrollingPanel(scrollingPanel, "PositionSizeStrip");
    strip->setFixedHeight(PositionSizeGroup::height - 18);
    return new PositionSizeGroup(preview, strip, 2);
}
