// SPDX-License-Identifier: MIT
// "Crop to region…": keeps any region of the picture, chosen with a frame over it or typed as x, y, width
// and height, optionally of a fixed shape (the aspect list). ("Cut/Clone" keeps crops from the top-left.)
#pragma once

#include "steps/CropRegionStep.h"
#include "toolkit/DocumentTool.h"

#include <QDialog>

class Document;
class QComboBox;
class QSpinBox;
class RegionFrame;

class CropRegionWindow : public QDialog, public DocumentTool {
    Q_OBJECT
public:
    explicit CropRegionWindow(Document& document, QWidget* parent = nullptr);

    void openOnDocument() override;
    void applyRecipe(const StepRecipe& recipe) override;

    RegionFrame* frame() const { return m_frame; }
    QComboBox* aspectList() const { return m_aspects; }
    QSpinBox* xBox() const { return m_x; }
    QSpinBox* yBox() const { return m_y; }
    QSpinBox* widthBox() const { return m_width; }
    QSpinBox* heightBox() const { return m_height; }

    // The step the controls show.
    CropRegionSettings settings() const;

private:
    void showRegion(const QRect& region);
    void regionTyped(QSpinBox* box);
    double aspectOf(int index) const;
    void cropPicture();

    Document& m_document;
    RegionFrame* m_frame;
    QComboBox* m_aspects;
    QSpinBox* m_x;
    QSpinBox* m_y;
    QSpinBox* m_width;
    QSpinBox* m_height;
};
