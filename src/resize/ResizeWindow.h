// SPDX-License-Identifier: MIT
// "Resize image…": a new width and height, in pixels or in percent of the picture's own, the proportions kept
// while "Keep proportions" is ticked; the picture is resampled to that size (see Resampler.h) in one step.
#pragma once

#include "steps/ResizeStep.h"
#include "toolkit/DocumentTool.h"

#include <QDialog>

class Document;
class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QPushButton;

class ResizeWindow : public QDialog, public DocumentTool {
    Q_OBJECT
public:
    using Unit = ResizeSettings::Unit;

    explicit ResizeWindow(Document& document, QWidget* parent = nullptr);

    void openOnDocument() override;
    void applyRecipe(const StepRecipe& recipe) override;

    QDoubleSpinBox* widthBox() const { return m_width; }
    QDoubleSpinBox* heightBox() const { return m_height; }
    QComboBox* unitList() const { return m_units; }
    QCheckBox* keepProportions() const { return m_keep; }
    QLabel* resultReadout() const { return m_readout; }
    // The size "Ok" resizes to, in pixels.
    QSize targetSize() const { return m_size; }
    void setTargetSize(QSize size);

    // The step the controls show.
    ResizeSettings settings() const;

private:
    void resizePicture();
    void sideTyped(Qt::Orientation side);
    void showSize();
    Unit unit() const;

    Document& m_document;
    QSize m_original;
    QSize m_size;
    QDoubleSpinBox* m_width;
    QDoubleSpinBox* m_height;
    QComboBox* m_units;
    QCheckBox* m_keep;
    QLabel* m_readout;
    QPushButton* m_ok;
};
