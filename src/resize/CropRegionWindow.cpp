// SPDX-License-Identifier: MIT
#include "resize/CropRegionWindow.h"

#include "base/UserError.h"
#include "document/Document.h"
#include "pictures/PictureMemory.h"
#include "resize/ImageToolParts.h"
#include "resize/RegionFrame.h"
#include "steps/StepUnit.h"
#include "widgets/Services.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QSignalBlocker>
#include <QSpinBox>

#include <cmath>

namespace {

QSpinBox* coordinateBox(const char* name, QWidget* parent) {
    auto* box = new QSpinBox(parent);
    box->setObjectName(name);
    box->setRange(0, 1 << 30);
    box->setKeyboardTracking(false);
    return box;
}

} // namespace

CropRegionWindow::CropRegionWindow(Document& document, QWidget* parent)
    : QDialog(parent)
    , m_document(document) {
    resize(900, 640);
    m_frame = new RegionFrame(this);
    m_frame->setObjectName("RegionFrame");
    m_aspects = new QComboBox(this);
    m_aspects->setObjectName("CropAspect");
    m_aspects->addItems(CropRegionStep::aspectNames());
    m_x = coordinateBox("RegionX", this);
    m_y = coordinateBox("RegionY", this);
    m_width = coordinateBox("RegionWidth", this);
    m_height = coordinateBox("RegionHeight", this);

    auto* side = new QFormLayout;
    side->addRow("Shape:", m_aspects);
    side->addRow("X:", m_x);
    side->addRow("Y:", m_y);
    side->addRow("Width:", m_width);
    side->addRow("Height:", m_height);
    side->addRow(okCancelButtons(this, "CropRegionOk", [this] { cropPicture(); }));
    auto* row = new QHBoxLayout(this);
    row->addWidget(m_frame, 1);
    row->addLayout(side);

    connect(m_frame, &RegionFrame::regionChanged, this, &CropRegionWindow::showRegion);
    connect(m_aspects, &QComboBox::currentIndexChanged, this,
            [this](int index) { m_frame->setAspect(aspectOf(index)); });
    for (QSpinBox* box : {m_x, m_y, m_width, m_height})
        connect(box, &QSpinBox::valueChanged, this, [this, box] { regionTyped(box); });
}

double CropRegionWindow::aspectOf(int index) const {
    return CropRegionStep::aspectRatio(m_aspects->itemText(index), QSizeF(m_document.image().size()));
}

void CropRegionWindow::openOnDocument() {
    const QImage& picture = m_document.image();
    m_frame->setPicture(picture);
    m_frame->setAspect(aspectOf(m_aspects->currentIndex()));
    for (QSpinBox* box : {m_x, m_width})
        box->setMaximum(std::max(1, picture.width()));
    for (QSpinBox* box : {m_y, m_height})
        box->setMaximum(std::max(1, picture.height()));
    showRegion(m_frame->region());
}

void CropRegionWindow::showRegion(const QRect& region) {
    const QSignalBlocker a(m_x), b(m_y), c(m_width), d(m_height);
    m_x->setValue(region.x());
    m_y->setValue(region.y());
    m_width->setValue(region.width());
    m_height->setValue(region.height());
}

void CropRegionWindow::regionTyped(QSpinBox* box) {
    QRect region(m_x->value(), m_y->value(), m_width->value(), m_height->value());
    const double aspect = m_frame->aspect();
    // A typed position stays where it was typed: the size shrinks to fit from there (a typed size moves the
    // position back instead), so the four boxes can be typed in any order.
    const QSize picture = m_document.image().size();
    if (box == m_x)
        region.setWidth(std::max(1, std::min(region.width(), picture.width() - region.x())));
    else if (box == m_y)
        region.setHeight(std::max(1, std::min(region.height(), picture.height() - region.y())));
    if (aspect > 0) { // the typed side decides the other; a shrunk side shortens the other to the shape
        if (box == m_width)
            region.setHeight(std::max(1, int(std::lround(region.width() / aspect))));
        else if (box == m_height)
            region.setWidth(std::max(1, int(std::lround(region.height() * aspect))));
        else if (region.width() < region.height() * aspect)
            region.setHeight(std::max(1, int(std::lround(region.width() / aspect))));
        else
            region.setWidth(std::max(1, int(std::lround(region.height() * aspect))));
    }
    m_frame->setRegion(region);
    showRegion(m_frame->region()); // what the picture allows
}

CropRegionSettings CropRegionWindow::settings() const {
    return {m_frame->region(), m_aspects->currentText()};
}

void CropRegionWindow::cropPicture() {
    guarded(this, [this] {
        m_document.change(
            QStringLiteral("Crop to region"),
            madeStep<CropRegionStep>({m_document.image(), m_document.controlSize()}, settings()));
        accept();
    });
}

void CropRegionWindow::applyRecipe(const StepRecipe& recipe) {
    const CropRegionSettings settings = readStep<CropRegionStep>(recipe);
    m_aspects->setCurrentIndex(0); // the recorded region as it was, whatever its shape
    m_frame->setRegion(settings.region);
    showRegion(m_frame->region());
}
