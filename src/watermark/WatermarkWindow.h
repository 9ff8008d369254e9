// SPDX-License-Identifier: MIT
// "Add watermark": a text (with the photo's fields) or a logo, once at an anchor or tiled at an angle, shown
// live over the document's picture; named presets chosen, saved and deleted here. "Ok" makes the step.
#pragma once

#include "steps/WatermarkStep.h"
#include "toolkit/DocumentTool.h"

#include <QDialog>

class ColourComboBox;
class Document;
class PictureItem;
class PlacementPreview;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class TextStyleGroup;
class TrackBar;

class WatermarkWindow : public QDialog, public DocumentTool {
    Q_OBJECT
public:
    explicit WatermarkWindow(Document& document, QWidget* parent = nullptr);

    void openOnDocument() override;
    void applyRecipe(const StepRecipe& recipe) override;

    // The step the controls show, its fields filled from the document's photo.
    WatermarkSettings settings() const;
    // Shows `settings` in every control.
    void showSettings(const WatermarkSettings& settings);

    PlacementPreview* preview() const { return m_preview; }
    // The marks as the preview shows them over the picture (on a reduced copy, stretched over it).
    PictureItem* marks() const { return m_marks; }
    // What the text's fields are, and which the photo lacks.
    QLabel* fieldsNote() const { return m_fieldsNote; }
    QComboBox* presetList() const { return m_presetList; }

    void merge();

private:
    void buildPanel(QWidget* panel);
    void changed();
    void updatePreview();
    void chooseLogo();
    void choosePreset(int index);
    void savePreset();
    void deletePreset();
    void fillPresetList(const QString& current = {});

    Document& m_document;
    WatermarkSettings m_settings;
    PlacementPreview* m_preview;
    PictureItem* m_marks;
    bool m_showing = false; // the controls are being set from settings: nothing to take from them

    QComboBox* m_presetList = nullptr;
    QPushButton* m_deletePreset = nullptr;
    QComboBox* m_markList = nullptr;
    QPlainTextEdit* m_text = nullptr;
    QLabel* m_fieldsNote = nullptr;
    QComboBox* m_fonts = nullptr;
    QCheckBox* m_bold = nullptr;
    QCheckBox* m_italic = nullptr;
    ColourComboBox* m_colour = nullptr;
    QLabel* m_logoName = nullptr;
    QCheckBox* m_whiteTransparent = nullptr;
    QComboBox* m_layoutList = nullptr;
    QButtonGroup* m_anchors = nullptr;
    QDoubleSpinBox* m_margin = nullptr;
    QDoubleSpinBox* m_size = nullptr;
    QDoubleSpinBox* m_spacingAcross = nullptr;
    QDoubleSpinBox* m_spacingDown = nullptr;
    QDoubleSpinBox* m_angle = nullptr;
    QCheckBox* m_shiftRows = nullptr;
    TrackBar* m_opacity = nullptr;
    TrackBar* m_zoomBar = nullptr;
    TextStyleGroup* m_styleGroup = nullptr;
};
