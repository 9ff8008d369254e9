// SPDX-License-Identifier: MIT
#include "resize/CanvasSizeWindow.h"

#include "base/Geometry.h"
#include "base/UserError.h"
#include "document/Document.h"
#include "resize/ImageToolParts.h"
#include "steps/StepUnit.h"
#include "widgets/Services.h"

#include <QButtonGroup>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

namespace {

constexpr const char* anchorNames[] = {"AnchorTopLeft",    "AnchorTop",    "AnchorTopRight",
                                       "AnchorLeft",       "AnchorCentre", "AnchorRight",
                                       "AnchorBottomLeft", "AnchorBottom", "AnchorBottomRight"};
constexpr const char* anchorArrows[] = {"↖", "↑", "↗", "←", "•", "→", "↙", "↓", "↘"};

} // namespace

CanvasSizeWindow::CanvasSizeWindow(Document& document, QWidget* parent)
    : QDialog(parent)
    , m_document(document) {
    m_width = sideBox("CanvasWidth", this);
    m_height = sideBox("CanvasHeight", this);
    m_width->setSuffix(" px");
    m_height->setSuffix(" px");

    auto* anchorGrid = new QWidget(this);
    auto* grid = new QGridLayout(anchorGrid);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(2);
    m_anchors = new QButtonGroup(this);
    for (int i = 0; i < 9; ++i) {
        auto* button = new QToolButton(anchorGrid);
        button->setObjectName(anchorNames[i]);
        button->setText(QString::fromUtf8(anchorArrows[i]));
        button->setCheckable(true);
        button->setFixedSize(26, 26);
        m_anchors->addButton(button, i);
        grid->addWidget(button, i / 3, i % 3);
    }
    m_anchors->button(int(CanvasAnchor::Centre))->setChecked(true);

    m_fill = new QLineEdit("#ffffffff", this);
    m_fill->setObjectName("CanvasFill");
    m_fill->setToolTip("The colour of new area, as #aarrggbb: #00000000 leaves it transparent");
    auto* choose = new QPushButton("Choose…", this);
    choose->setObjectName("ChooseCanvasFill");
    connect(choose, &QPushButton::clicked, this, [this] {
        const QColor colour =
            QColorDialog::getColor(fillColour(), this, "Fill colour", QColorDialog::ShowAlphaChannel);
        if (colour.isValid())
            m_fill->setText(colour.name(QColor::HexArgb));
    });
    auto* fillRow = new QHBoxLayout;
    fillRow->addWidget(m_fill, 1);
    fillRow->addWidget(choose);

    auto* form = new QFormLayout(this);
    form->addRow("Width:", m_width);
    form->addRow("Height:", m_height);
    form->addRow("Anchor:", anchorGrid);
    form->addRow("Fill:", fillRow);
    form->addRow(okCancelButtons(this, "CanvasSizeOk", [this] { resizeCanvas(); }));
}

QAbstractButton* CanvasSizeWindow::anchorButton(CanvasAnchor anchor) const {
    return m_anchors->button(int(anchor));
}

CanvasAnchor CanvasSizeWindow::anchor() const {
    return CanvasAnchor(std::clamp(m_anchors->checkedId(), 0, 8));
}

QColor CanvasSizeWindow::fillColour() const {
    const QColor colour = QColor::fromString(m_fill->text().trimmed());
    return colour.isValid() ? colour : QColor(Qt::white);
}

void CanvasSizeWindow::openOnDocument() {
    const QSize size = m_document.image().size();
    m_width->setValue(size.width());
    m_height->setValue(size.height());
}

CanvasSizeSettings CanvasSizeWindow::settings() const {
    return {pictureSizeFor({m_width->value(), m_height->value()}), anchor(), fillColour()};
}

void CanvasSizeWindow::resizeCanvas() {
    guarded(this, [this] {
        if (QColor::fromString(m_fill->text().trimmed()).isValid() == false)
            throw UserError(QStringLiteral("\"%1\" is not a colour: write it as #aarrggbb, for example "
                                           "#80ffffff for half-transparent white.")
                                .arg(m_fill->text()));
        m_document.change(
            QStringLiteral("Canvas size"),
            madeStep<CanvasSizeStep>({m_document.image(), m_document.controlSize()}, settings()));
        accept();
    });
}

void CanvasSizeWindow::applyRecipe(const StepRecipe& recipe) {
    const CanvasSizeSettings settings = readStep<CanvasSizeStep>(recipe);
    if (isMakeablePictureSize(settings.size)) {
        m_width->setValue(settings.size.width());
        m_height->setValue(settings.size.height());
    }
    anchorButton(settings.anchor)->setChecked(true);
    m_fill->setText(settings.fill.name(QColor::HexArgb));
}
