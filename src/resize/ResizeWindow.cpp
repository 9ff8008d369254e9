// SPDX-License-Identifier: MIT
#include "resize/ResizeWindow.h"

#include "base/Geometry.h"
#include "base/UserError.h"
#include "document/Document.h"
#include "pictures/Resampler.h"
#include "resize/ImageToolParts.h"
#include "steps/StepUnit.h"
#include "widgets/Services.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFontMetrics>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>

#include <cmath>

namespace {

// The new size, and on a second line why a size too large cannot be made.
QString sizeReadout(QSize size) {
    QString text = QStringLiteral("%1 × %2 pixels, %3 megapixels")
                       .arg(size.width())
                       .arg(size.height())
                       .arg(double(size.width()) * size.height() / 1e6, 0, 'f', 1);
    if (!isMakeablePictureSize(size))
        text += QStringLiteral("\nToo large: at most %1 pixels a side and %2 megapixels.")
                    .arg(largestPictureSide)
                    .arg(largestPictureArea / 1'000'000);
    return text;
}

} // namespace

ResizeWindow::ResizeWindow(Document& document, QWidget* parent)
    : QDialog(parent)
    , m_document(document) {
    m_width = sideBox("ResizeWidth", this);
    m_height = sideBox("ResizeHeight", this);
    m_units = new QComboBox(this);
    m_units->setObjectName("ResizeUnit");
    m_units->addItems({"pixels", "percent"});
    m_keep = new QCheckBox("Keep proportions", this);
    m_keep->setObjectName("KeepProportions");
    m_keep->setChecked(true);
    m_readout = new QLabel(this);
    m_readout->setObjectName("ResizeResult");
    // Room for the longest readout from the start: the window never widens or grows under the pointer
    // as the readout changes.
    const QFontMetrics metrics(m_readout->font());
    int widest = 0;
    for (const QString& line : sizeReadout({largestPictureSide, largestPictureSide}).split('\n'))
        widest = std::max(widest, metrics.horizontalAdvance(line));
    m_readout->setMinimumWidth(widest);
    m_readout->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    m_readout->setFixedHeight(2 * metrics.lineSpacing());
    m_readout->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    auto* form = new QFormLayout(this);
    form->addRow("Width:", m_width);
    form->addRow("Height:", m_height);
    form->addRow("In:", m_units);
    form->addRow(m_keep);
    form->addRow("New size:", m_readout);
    QDialogButtonBox* buttons = okCancelButtons(this, "ResizeOk", [this] { resizePicture(); });
    m_ok = buttons->button(QDialogButtonBox::Ok);
    form->addRow(buttons);

    connect(m_width, &QDoubleSpinBox::valueChanged, this, [this] { sideTyped(Qt::Horizontal); });
    connect(m_height, &QDoubleSpinBox::valueChanged, this, [this] { sideTyped(Qt::Vertical); });
    connect(m_units, &QComboBox::currentIndexChanged, this, &ResizeWindow::showSize);
    connect(m_keep, &QCheckBox::toggled, this, [this](bool keep) {
        if (keep)
            sideTyped(Qt::Horizontal); // the height follows the width again
    });
}

ResizeWindow::Unit ResizeWindow::unit() const {
    return m_units->currentIndex() == 1 ? Unit::Percent : Unit::Pixels;
}

void ResizeWindow::openOnDocument() {
    m_original = m_document.image().size();
    m_size = m_original;
    showSize();
}

void ResizeWindow::setTargetSize(QSize size) {
    m_size = size.expandedTo({1, 1}).boundedTo({largestPictureSide, largestPictureSide});
    showSize();
}

void ResizeWindow::sideTyped(Qt::Orientation side) {
    if (m_original.isEmpty())
        return;
    const bool across = side == Qt::Horizontal;
    const double value = (across ? m_width : m_height)->value();
    const int own = across ? m_original.width() : m_original.height();
    const int pixels = std::max(1, int(std::lround(unit() == Unit::Percent ? value * own / 100 : value)));
    if (across)
        m_size.setWidth(pixels);
    else
        m_size.setHeight(pixels);
    if (m_keep->isChecked()) {
        if (across)
            m_size.setHeight(
                std::max(1, int(std::lround(double(pixels) * m_original.height() / m_original.width()))));
        else
            m_size.setWidth(
                std::max(1, int(std::lround(double(pixels) * m_original.width() / m_original.height()))));
    }
    showSize();
}

void ResizeWindow::showSize() {
    const QSignalBlocker blockWidth(m_width), blockHeight(m_height);
    const bool percent = unit() == Unit::Percent;
    for (QDoubleSpinBox* box : {m_width, m_height}) {
        box->setDecimals(percent ? 2 : 0);
        box->setSuffix(percent ? " %" : " px");
    }
    if (percent && !m_original.isEmpty()) {
        m_width->setValue(100.0 * m_size.width() / m_original.width());
        m_height->setValue(100.0 * m_size.height() / m_original.height());
    } else {
        m_width->setValue(m_size.width());
        m_height->setValue(m_size.height());
    }
    m_readout->setText(sizeReadout(m_size));
    m_ok->setEnabled(isMakeablePictureSize(m_size)); // a size no picture can have is refused at once
}

void ResizeWindow::resizePicture() {
    guarded(this, [this] {
        m_document.change(QStringLiteral("Resize image"),
                          madeStep<ResizeStep>({m_document.image(), m_document.controlSize()}, settings()));
        accept();
    });
}

ResizeSettings ResizeWindow::settings() const {
    return {m_size, unit(), m_keep->isChecked()};
}

void ResizeWindow::applyRecipe(const StepRecipe& recipe) {
    const ResizeSettings settings = readStep<ResizeStep>(recipe);
    {
        const QSignalBlocker blockKeep(m_keep), blockUnits(m_units);
        m_keep->setChecked(settings.keepProportions);
        m_units->setCurrentIndex(settings.unit == Unit::Percent ? 1 : 0);
    }
    if (isMakeablePictureSize(settings.size))
        setTargetSize(settings.size);
    else
        showSize();
}
