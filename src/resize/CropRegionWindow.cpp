// SPDX-License-Identifier: MIT
#include "resize/CropRegionWindow.h"

#include "base/UserError.h"
#include "document/Document.h"
#include "pictures/PictureMemory.h"
#include "resize/ImageToolParts.h"
#include "resize/RegionFrame.h"
#include "toolkit/RecipeValues.h"
#include "widgets/Services.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QSignalBlocker>
#include <QSpinBox>

#include <cmath>

namespace {

struct Aspect {
    const char* name;
    double width; // 0: free; -1: the picture's own, -2: the picture's own turned
    double height;
};
constexpr Aspect aspects[] = {
    {"Free", 0, 1},  {"Original", -1, 1}, {"Original turned", -2, 1},
    {"1:1", 1, 1},   {"4:3", 4, 3},       {"3:4", 3, 4},
    {"3:2", 3, 2},   {"2:3", 2, 3},       {"16:9", 16, 9},
    {"9:16", 9, 16}, {"4:5", 4, 5},       {"5:4", 5, 4},
};

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
    setObjectName("CropRegionWindow");
    setWindowTitle("Crop to region");
    resize(900, 640);
    m_frame = new RegionFrame(this);
    m_frame->setObjectName("RegionFrame");
    m_aspects = new QComboBox(this);
    m_aspects->setObjectName("CropAspect");
    m_aspects->addItems(aspectNames());
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

QStringList CropRegionWindow::aspectNames() {
    QStringList names;
    for (const Aspect& aspect : aspects)
        names << QString::fromLatin1(aspect.name);
    return names;
}

double CropRegionWindow::aspectOf(int index) const {
    const Aspect& aspect = aspects[std::clamp(index, 0, int(std::size(aspects)) - 1)];
    const QSize own = m_document.image().size();
    if (aspect.width == -1)
        return own.isEmpty() ? 0 : double(own.width()) / own.height();
    if (aspect.width == -2)
        return own.isEmpty() ? 0 : double(own.height()) / own.width();
    return aspect.width / aspect.height;
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

QString CropRegionWindow::recipeTool() {
    return QStringLiteral("crop-region");
}

StepRecipe CropRegionWindow::recipe(const QRect& region) {
    StepRecipe recipe;
    recipe.tool = recipeTool();
    recipe.settings.insert("region", recipe_values::fromRect(QRectF(region)));
    return recipe;
}

PictureState CropRegionWindow::replay(PictureState before, const StepRecipe& recipe) {
    const QRect region = recipe_values::toRect(recipe.settings["region"]).toAlignedRect();
    if (region.isEmpty() || !before.picture.rect().contains(region))
        throw UserError(
            QStringLiteral("The region %1, %2, %3 x %4 does not lie within the picture of %5 x %6 "
                           "pixels.")
                .arg(region.x())
                .arg(region.y())
                .arg(region.width())
                .arg(region.height())
                .arg(before.picture.width())
                .arg(before.picture.height()));
    const QImage result = copiedPicture(before.picture, region);
    if (result.isNull())
        throw UserError(QStringLiteral("There is not enough memory to crop to %1 x %2 pixels.")
                            .arg(region.width())
                            .arg(region.height()));
    return {result, QSizeF(result.size())};
}

void CropRegionWindow::cropPicture() {
    guarded(this, [this] {
        const StepRecipe made = recipe(m_frame->region());
        const PictureState after = replay({m_document.image(), m_document.controlSize()}, made);
        m_document.change(
            QStringLiteral("Crop to region"),
            DocumentChange::picture(after.picture).withControlSize(after.controlSize).withRecipe(made));
        accept();
    });
}

void CropRegionWindow::applyRecipe(const StepRecipe& recipe) {
    m_aspects->setCurrentIndex(0); // the recorded region as it was, whatever its shape
    m_frame->setRegion(recipe_values::toRect(recipe.settings["region"]).toAlignedRect());
    showRegion(m_frame->region());
}
