// SPDX-License-Identifier: MIT
// "Canvas size…": grows or shrinks the picture's area without scaling it. Nine anchor buttons say where the
// picture stays; new area takes the fill colour, alpha included.
#pragma once

#include "pictures/CanvasSize.h"
#include "steps/CanvasSizeStep.h"
#include "toolkit/DocumentTool.h"

#include <QDialog>

class Document;
class QAbstractButton;
class QButtonGroup;
class QDoubleSpinBox;
class QLineEdit;

class CanvasSizeWindow : public QDialog, public DocumentTool {
    Q_OBJECT
public:
    explicit CanvasSizeWindow(Document& document, QWidget* parent = nullptr);

    void openOnDocument() override;
    void applyRecipe(const StepRecipe& recipe) override;

    QDoubleSpinBox* widthBox() const { return m_width; }
    QDoubleSpinBox* heightBox() const { return m_height; }
    // "#aarrggbb" or any colour name Qt reads.
    QLineEdit* fillEdit() const { return m_fill; }
    QAbstractButton* anchorButton(CanvasAnchor anchor) const;
    CanvasAnchor anchor() const;

    // The step the controls show.
    CanvasSizeSettings settings() const;

private:
    void resizeCanvas();
    QColor fillColour() const;

    Document& m_document;
    QDoubleSpinBox* m_width;
    QDoubleSpinBox* m_height;
    QButtonGroup* m_anchors;
    QLineEdit* m_fill;
};
