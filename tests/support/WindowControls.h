// SPDX-License-Identifier: MIT
// The controls tests use, window by window, named for what they do: `ui::crop.widthBox`,
// `ui::text2D.rotate90`. Their layout names are written here and nowhere else; test_app checks that each one
// is exactly one control of its type in its window.
#pragma once

#include "support/Controls.h"
#include "widgets/ColourComboBox.h"
#include "widgets/ColourPanel.h"
#include "widgets/NumberEdit.h"
#include "widgets/PictureView.h"
#include "widgets/TrackBar.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QToolButton>

enum class ShapeFigure;
enum class TextFace;

namespace ui {

// The main window's side panel and status bar.
struct MainWindowControls : ControlMap {
    MainWindowControls()
        : ControlMap(WindowId::Main) {}
    Control<TrackBar> zoomBar = named("TrackBar1");
    Control<QPushButton> restoreZoom = named("CornerButton1");
    Control<TrackBar> opacityBar = named("TrackBar2");
    Control<QPushButton> restoreOpacity = named("CornerButton2");
    Control<QPushButton> restoreOriginal = named("CornerButton3");
    Control<QPushButton> flipHorizontal = named("CornerButton4");
    Control<QPushButton> flipVertical = named("CornerButton5");
    Control<QLabel> sizeReadout = named("Label3");
    Control<QLabel> pointerReadout = named("Label4");
};
extern const MainWindowControls mainWindow;

// The main window's toolbar, in its order: each button runs a menu command.
struct ToolbarControls : ControlMap {
    ToolbarControls()
        : ControlMap(WindowId::Main) {}
    Control<QToolButton> text2D = named("SpeedButton1");
    Control<QToolButton> text3D = named("SpeedButton2");
    Control<QToolButton> borders = named("SpeedButton3");
    Control<QToolButton> imageAbove = named("SpeedButton4");
    Control<QToolButton> filterGallery = named("SpeedButton5");
    Control<QToolButton> colourFilters = named("SpeedButton6");
    Control<QToolButton> effects = named("SpeedButton7");
    Control<QToolButton> montage = named("SpeedButton8");
    Control<QToolButton> rectangle = named("SpeedButton9");
    Control<QToolButton> circle = named("SpeedButton10");
    Control<QToolButton> line = named("SpeedButton11");
    Control<QToolButton> crop = named("SpeedButton12");
    Control<QToolButton> magnifier = named("SpeedButton13");
};
extern const ToolbarControls toolbar;

// The main window's menu commands.
struct MenuCommands : ControlMap {
    MenuCommands()
        : ControlMap(WindowId::Main) {}
    Control<QAction> openImage = named("MenuItem6");
    Control<QAction> createBackground = named("MenuItem19");
    Control<QAction> save = named("MenuItem7");
    Control<QAction> openProject = named("OpenProjectItem");
    Control<QAction> saveProject = named("SaveProjectItem");
    Control<QAction> closePicture = named("CloseItem");
    Control<QAction> quit = named("QuitItem");
    Control<QAction> undo = named("UndoItem");
    Control<QAction> redo = named("RedoItem");
    Control<QAction> history = named("HistoryItem");
    Control<QAction> editAgain = named("EditAgainItem");
    Control<QAction> copyPicture = named("CopyPictureItem");
    Control<QAction> pastePicture = named("PastePictureItem");
    Control<QAction> zoomIn = named("ZoomInItem");
    Control<QAction> zoomOut = named("ZoomOutItem");
    Control<QAction> fitToWindow = named("FitToWindowItem");
    Control<QAction> borders = named("MenuItem11");
    Control<QAction> imageAbove = named("MenuItem15");
    Control<QAction> magnifier = named("MenuItem21");
    Control<QAction> effects = named("MenuItem14");
    Control<QAction> text2D = named("MenuItem4");
    Control<QAction> text3D = named("MenuItem5");
    Control<QAction> line = named("MenuItem17");
    Control<QAction> rectangle = named("MenuItem18");
    Control<QAction> circle = named("MenuItem20");
    Control<QAction> montage = named("MenuItem24");
    Control<QAction> crop = named("MenuItem25");
    Control<QAction> resize = named("ResizeImageItem");
    Control<QAction> watermark = named("WatermarkItem");
    Control<QAction> canvasSize = named("CanvasSizeItem");
    Control<QAction> cropToRegion = named("CropToRegionItem");
    Control<QAction> flipHorizontal = named("MenuItem9");
    Control<QAction> flipVertical = named("MenuItem10");
    Control<QAction> filterGallery = named("MenuItem13");
    Control<QAction> colourFilters = named("MenuItem22");
    Control<QAction> about = named("MenuItem2");
};
extern const MenuCommands menu;

// The four buttons under a rotation bar.
struct AngleButtons {
    Control<QPushButton> rotate0, rotate90, rotate180, rotate270;
};

struct Text2DControls : ControlMap {
    Text2DControls()
        : ControlMap(WindowId::Text2D) {}
    Control<QPlainTextEdit> text = named("Memo1");
    Control<TrackBar> zoomBar = named("TrackBar3");
    Control<QPushButton> restoreZoom = named("CornerButton7");
    Control<TrackBar> rotationBar = named("TrackBar2");
    Control<QPushButton> rotate0 = named("CornerButton2");
    Control<QPushButton> rotate90 = named("CornerButton3");
    Control<QPushButton> rotate180 = named("CornerButton4");
    Control<QPushButton> rotate270 = named("Button1");
    Control<QToolButton> bold = named("SpeedButton1");
    Control<QToolButton> italic = named("SpeedButton2");
    Control<QToolButton> underline = named("SpeedButton3");
    Control<QToolButton> strikeOut = named("SpeedButton4");
    Control<QToolButton> alignLeading = named("SpeedButton5");
    Control<QToolButton> alignCentre = named("SpeedButton7");
    Control<QToolButton> alignTrailing = named("SpeedButton6");
    Control<NumberEdit> sizeBox = named("Edit1");
    Control<ColourPanel> colour = named("ColourPanel1");
    Control<QPushButton> locate = named("CornerButton8");
    Control<QListWidget> fonts = named("ListBox1");
    Control<NumberEdit> gripSizeBox = named("Edit2");
    Control<QPushButton> restoreGripSize = named("CornerButton1");
    Control<QPushButton> ok = named("CornerButton5");
    Control<QPushButton> cancel = named("CornerButton6");
    // The style group under them.
    Control<QComboBox> styleList = named("StyleList");
    Control<QPushButton> saveStyle = named("SaveStyleButton");
    Control<QPushButton> deleteStyle = named("DeleteStyleButton");
    Control<ColourComboBox> outlineColour = named("OutlineColour");
    Control<NumberEdit> outlineWidth = named("OutlineWidth");
    Control<QCheckBox> shadow = named("ShadowBox");
    Control<ColourComboBox> shadowColour = named("ShadowColour");
    Control<NumberEdit> shadowX = named("ShadowX");
    Control<NumberEdit> shadowY = named("ShadowY");
    Control<NumberEdit> shadowSoftness = named("ShadowSoftness");
    Control<NumberEdit> shadowSpread = named("ShadowSpread");
    Control<ColourComboBox> glowColour = named("GlowColour");
    Control<NumberEdit> glowRadius = named("GlowRadius");
    Control<NumberEdit> letterSpacing = named("LetterSpacing");
    Control<NumberEdit> lineSpacing = named("LineSpacing");
    Control<NumberEdit> arc = named("Arc");
};
extern const Text2DControls text2D;

struct Text3DToolControls : ControlMap {
    Text3DToolControls()
        : ControlMap(WindowId::Text3D) {}
    Control<TrackBar> zoomBar = named("TrackBar1");
    Control<QPushButton> restoreZoom = named("CornerButton2");
    Control<TrackBar> opacityBar = named("TrackBar2");
    Control<QPushButton> restoreOpacity = named("CornerButton3");
    Control<TrackBar> rotationBar = named("TrackBar3");
    AngleButtons angles{named("CornerButton4"), named("CornerButton5"), named("CornerButton6"),
                        named("CornerButton7")};
    Control<QCheckBox> proportional = named("CheckBox1");
    Control<QPushButton> flipHorizontal = named("CornerButton17");
    Control<QPushButton> flipVertical = named("CornerButton18");
    Control<QPushButton> locate = named("CornerButton11");
    Control<QPushButton> filterGallery = named("CornerButton14");
    Control<QPushButton> addImage = named("CornerButton15");
    Control<QPushButton> crop = named("CornerButton16");
    Control<QPushButton> specialEffects = named("CornerButton19");
    Control<QPushButton> restoreText = named("CornerButton10");
    Control<NumberEdit> gripSizeBox = named("Edit2");
    Control<QPushButton> restoreGripSize = named("CornerButton13");
    Control<NumberEdit> marginYBox = named("Edit1");
    Control<NumberEdit> marginXBox = named("Edit3");
    Control<QPushButton> restoreMargins = named("CornerButton12");
    Control<QCheckBox> antiLag = named("CheckBox2");
    Control<QPushButton> openEditor = named("CornerButton1");
    Control<QPushButton> ok = named("CornerButton8");
    Control<QPushButton> cancel = named("CornerButton9");
};
extern const Text3DToolControls text3D;

// One face of the 3D text: its plain colour, or its lit material with a texture.
struct FaceControls {
    Control<QCheckBox> useColour;
    Control<ColourComboBox> colour;
    Control<QCheckBox> useMaterial;
    Control<PictureView> texture; // a double click loads it
    Control<ColourComboBox> ambient, diffuse, emissive, specular;
};

struct Text3DEditorControls : ControlMap {
    Text3DEditorControls()
        : ControlMap(WindowId::Text3DEditor) {}
    Control<QPlainTextEdit> text = named("Memo1");
    Control<TrackBar> verticalRotation = named("TrackBar1");
    Control<TrackBar> horizontalRotation = named("TrackBar2");
    Control<TrackBar> depth = named("TrackBar3");
    Control<TrackBar> size = named("TrackBar4");
    Control<QListWidget> fonts = named("ListBox1");
    FaceControls front{named("CheckBox4"),      named("ComboColorBox5"), named("CheckBox5"),
                       named("Image1"),         named("ComboColorBox1"), named("ComboColorBox2"),
                       named("ComboColorBox3"), named("ComboColorBox4")};
    FaceControls sides{named("CheckBox2"),       named("ComboColorBox6"), named("CheckBox6"),
                       named("Image2"),          named("ComboColorBox8"), named("ComboColorBox9"),
                       named("ComboColorBox10"), named("ComboColorBox11")};
    FaceControls back{named("CheckBox1"),       named("ComboColorBox7"),  named("CheckBox7"),
                      named("Image3"),          named("ComboColorBox15"), named("ComboColorBox14"),
                      named("ComboColorBox13"), named("ComboColorBox12")};
    Control<QPushButton> ok = named("CornerButton1");
    Control<QPushButton> cancel = named("CornerButton2");

    const FaceControls& face(TextFace face) const;
};
extern const Text3DEditorControls text3DEditor;

// The "Edit" window that places one picture over another.
struct OverlayEditorControls : ControlMap {
    OverlayEditorControls()
        : ControlMap(WindowId::OverlayEditor) {}
    Control<TrackBar> zoomBar = named("TrackBar3");
    Control<QPushButton> restoreZoom = named("CornerButton8");
    Control<TrackBar> opacityBar = named("TrackBar1");
    Control<QPushButton> restoreOpacity = named("CornerButton1");
    Control<TrackBar> rotationBar = named("TrackBar2");
    AngleButtons angles{named("CornerButton2"), named("CornerButton5"), named("CornerButton3"),
                        named("CornerButton4")};
    Control<QPushButton> flipHorizontal = named("CornerButton6");
    Control<QPushButton> flipVertical = named("CornerButton7");
    Control<QPushButton> locate = named("CornerButton11");
    Control<QPushButton> align = named("CornerButton13");
    Control<QPushButton> bringToFront = named("CornerButton15");
    Control<QPushButton> sendToBack = named("CornerButton14");
    Control<QCheckBox> proportional = named("CheckBox1");
    Control<QPushButton> filterOverlay = named("CornerButton16");
    Control<QPushButton> filterBackground = named("CornerButton17");
    Control<NumberEdit> gripSizeBox = named("Edit1");
    Control<QPushButton> restoreGripSize = named("CornerButton12");
    Control<NumberEdit> marginYBox = named("Edit2");
    Control<NumberEdit> marginXBox = named("Edit3");
    Control<QPushButton> restoreMargins = named("CornerButton18");
    Control<QCheckBox> antiLag = named("CheckBox2");
    Control<QPushButton> ok = named("CornerButton10");
    Control<QPushButton> cancel = named("CornerButton9");
};
extern const OverlayEditorControls overlayEditor;

struct FilterGalleryControls : ControlMap {
    FilterGalleryControls()
        : ControlMap(WindowId::FilterGallery) {}
    // The thumbnails; a click selects the filter. The blur's takes clicks through an area over it.
    Control<PictureView> brightnessContrast = named("Image10");
    Control<PictureView> paperSketch = named("Image2");
    Control<PictureView> pencilStroke = named("Image3");
    Control<PictureView> blackAndWhite = named("Image4");
    Control<PictureView> invert = named("Image6");
    Control<PictureView> sepia = named("Image7");
    Control<PictureView> emboss = named("Image8");
    Control<PictureView> water = named("Image9");
    Control<PictureView> blur = named("Image12");
    Control<PictureView> blurClickArea = named("Image13");
    Control<PictureView> boxBlur = named("Image11");
    Control<PictureView> radialBlur = named("Image5");
    // Each filter's settings.
    Control<TrackBar> paperSketchBrushSize = named("TrackBar1");
    Control<TrackBar> pencilStrokeBrushSize = named("TrackBar2");
    Control<TrackBar> sepiaAmount = named("TrackBar3");
    Control<TrackBar> embossAmount = named("TrackBar4");
    Control<TrackBar> embossWidth = named("TrackBar5");
    Control<TrackBar> waterTime = named("TrackBar6");
    Control<TrackBar> waterWaveSize = named("TrackBar7");
    Control<TrackBar> boxBlurAmount = named("TrackBar8");
    Control<TrackBar> radialBlurAmount = named("TrackBar9");
    Control<TrackBar> brightness = named("TrackBar10");
    Control<TrackBar> contrast = named("TrackBar11");
    Control<TrackBar> blurSoftness = named("TrackBar12");
    Control<QPushButton> resetBrightnessContrast = named("Button3");
    Control<PictureView> preview = named("Image1");
    Control<QPushButton> visualize = named("CornerButton3");
    Control<QPushButton> ok = named("CornerButton2");
    Control<QPushButton> cancel = named("CornerButton1");
};
extern const FilterGalleryControls filterGallery;

// A brush's controls: the kind list (picture, solid, gradient, none: the index is the kind), the picture
// (a double click chooses it), whether it is stretched, the colours and the gradient's style.
struct BrushControls {
    Control<QComboBox> kind;
    Control<PictureView> picture;
    Control<QCheckBox> proportional;
    Control<ColourComboBox> solidColour;
    Control<ColourComboBox> firstColour;
    Control<ColourComboBox> secondColour;
    Control<QComboBox> gradientStyle;
};

// What the line, rectangle and circle tools share.
struct ShapeToolControls : ControlMap {
    ShapeToolControls(WindowId window, const char* okName, const char* cancelName)
        : ControlMap(window)
        , ok(named(okName))
        , cancel(named(cancelName)) {}
    Control<TrackBar> zoomBar = named("TrackBar3");
    Control<QPushButton> restoreZoom = named("CornerButton8");
    Control<TrackBar> rotationBar = named("TrackBar2");
    AngleButtons angles{named("CornerButton2"), named("CornerButton5"), named("CornerButton3"),
                        named("CornerButton4")};
    Control<QPushButton> locate = named("CornerButton11");
    Control<NumberEdit> thicknessBox = named("Edit4");
    Control<NumberEdit> gripSizeBox = named("Edit1");
    Control<QPushButton> restoreGripSize = named("CornerButton12");
    Control<NumberEdit> marginYBox = named("Edit2");
    Control<NumberEdit> marginXBox = named("Edit3");
    Control<QCheckBox> antiLag = named("CheckBox2");
    Control<QPushButton> ok;
    Control<QPushButton> cancel;
};

struct LineToolControls : ShapeToolControls {
    LineToolControls()
        : ShapeToolControls(WindowId::Line, "CornerButton10", "CornerButton9") {}
    Control<QComboBox> dashList = named("ComboBox1");
    Control<QComboBox> capList = named("ComboBox2");
    BrushControls stroke{named("ComboBox3"),      named("Image2"),         named("CheckBox1"),
                         named("ComboColorBox1"), named("ComboColorBox2"), named("ComboColorBox3"),
                         named("ComboBox4")};
};
extern const LineToolControls line;

// The rectangle and the circle tools: a fill inside a border.
struct FilledShapeControls : ShapeToolControls {
    FilledShapeControls(WindowId window, const char* okName, const char* cancelName)
        : ShapeToolControls(window, okName, cancelName) {}
    BrushControls fill{named("ComboBox1"),      named("Image2"),         named("CheckBox1"),
                       named("ComboColorBox1"), named("ComboColorBox2"), named("ComboColorBox3"),
                       named("ComboBox6")};
    BrushControls stroke{named("ComboBox2"),      named("Image3"),         named("CheckBox3"),
                         named("ComboColorBox4"), named("ComboColorBox5"), named("ComboColorBox6"),
                         named("ComboBox5")};
    Control<QComboBox> dashList = named("ComboBox3");
    Control<QComboBox> capList = named("ComboBox4");
};
extern const FilledShapeControls rectangle;
extern const FilledShapeControls circle;

const ShapeToolControls& shapeTool(ShapeFigure figure);

struct BackgroundControls : ControlMap {
    BackgroundControls()
        : ControlMap(WindowId::Background) {}
    Control<TrackBar> zoomBar = named("TrackBar3");
    Control<QPushButton> restoreZoom = named("CornerButton8");
    Control<NumberEdit> heightBox = named("Edit1");
    Control<NumberEdit> widthBox = named("Edit2");
    BrushControls fill{named("ComboBox1"),      named("Image2"),         named("CheckBox1"),
                       named("ComboColorBox1"), named("ComboColorBox2"), named("ComboColorBox3"),
                       named("ComboBox5")};
    BrushControls border{named("ComboBox2"),      named("Image3"),         named("CheckBox2"),
                         named("ComboColorBox4"), named("ComboColorBox5"), named("ComboColorBox6"),
                         named("ComboBox6")};
    Control<NumberEdit> thicknessBox = named("Edit4");
    Control<QComboBox> dashList = named("ComboBox3");
    Control<QComboBox> capList = named("ComboBox4");
    Control<QPushButton> ok = named("CornerButton2");
    Control<QPushButton> cancel = named("CornerButton1");
};
extern const BackgroundControls background;

struct MagnifierControls : ControlMap {
    MagnifierControls()
        : ControlMap(WindowId::Magnifier) {}
    Control<TrackBar> zoomBar = named("TrackBar3");
    Control<QPushButton> restoreZoom = named("CornerButton8");
    Control<TrackBar> opacityBar = named("TrackBar1");
    Control<TrackBar> rotationBar = named("TrackBar2");
    Control<QPushButton> locate = named("CornerButton11");
    Control<QComboBox> shapeList = named("ComboBox1"); // circle, square
    Control<QComboBox> modeList = named("ComboBox2");  // relative, absolute
    Control<TrackBar> scaleBar = named("TrackBar4");
    Control<NumberEdit> regionXBox = named("Edit2");
    Control<NumberEdit> regionYBox = named("Edit1");
    Control<NumberEdit> marginYBox = named("Edit3");
    Control<NumberEdit> marginXBox = named("Edit4");
    Control<QLabel> sizeReadout = named("Label10");
    Control<QLabel> pointerReadout = named("Label11");
    Control<QPushButton> ok = named("CornerButton7");
    Control<QPushButton> cancel = named("CornerButton6");
};
extern const MagnifierControls magnifier;

struct ColourFiltersControls : ControlMap {
    ColourFiltersControls()
        : ControlMap(WindowId::ColourFilters) {}
    Control<TrackBar> zoomBar = named("TrackBar3");
    Control<TrackBar> rotationBar = named("TrackBar2");
    AngleButtons angles{named("CornerButton2"), named("CornerButton5"), named("CornerButton3"),
                        named("CornerButton4")};
    Control<QPushButton> locate = named("CornerButton11");
    Control<QPushButton> align = named("CornerButton13");
    Control<NumberEdit> gripSizeBox = named("Edit1");
    Control<ColourComboBox> colour = named("ComboColorBox1");
    Control<TrackBar> mergeBar = named("TrackBar1");
    Control<QPushButton> restoreMerge = named("CornerButton1");
    Control<NumberEdit> marginYBox = named("Edit2");
    Control<NumberEdit> marginXBox = named("Edit3");
    Control<QPushButton> ok = named("CornerButton10");
    Control<QPushButton> cancel = named("CornerButton9");
};
extern const ColourFiltersControls colourFilters;

struct CropControls : ControlMap {
    CropControls()
        : ControlMap(WindowId::Crop) {}
    Control<TrackBar> zoomBar = named("TrackBar1");
    Control<QPushButton> restoreZoom = named("CornerButton1");
    Control<NumberEdit> heightBox = named("Edit1");
    Control<NumberEdit> widthBox = named("Edit2");
    Control<QPushButton> flipHorizontal = named("CornerButton4");
    Control<QPushButton> flipVertical = named("CornerButton5");
    Control<NumberEdit> gripSizeBox = named("Edit3");
    Control<QPushButton> ok = named("CornerButton3");
    Control<QPushButton> cancel = named("CornerButton2");
};
extern const CropControls crop;

// The windows that change the picture's size.
struct ResizeControls : ControlMap {
    ResizeControls()
        : ControlMap(WindowId::Resize) {}
    Control<QDoubleSpinBox> widthBox = named("ResizeWidth");
    Control<QDoubleSpinBox> heightBox = named("ResizeHeight");
    Control<QComboBox> unitList = named("ResizeUnit");
    Control<QCheckBox> keepProportions = named("KeepProportions");
    Control<QPushButton> ok = named("ResizeOk");
};
extern const ResizeControls resize;

struct CanvasSizeControls : ControlMap {
    CanvasSizeControls()
        : ControlMap(WindowId::CanvasSize) {}
    Control<QDoubleSpinBox> widthBox = named("CanvasWidth");
    Control<QDoubleSpinBox> heightBox = named("CanvasHeight");
    Control<QPushButton> ok = named("CanvasSizeOk");
};
extern const CanvasSizeControls canvasSize;

struct CropRegionControls : ControlMap {
    CropRegionControls()
        : ControlMap(WindowId::CropRegion) {}
    Control<QComboBox> aspectList = named("CropAspect");
    Control<QSpinBox> xBox = named("RegionX");
    Control<QSpinBox> yBox = named("RegionY");
    Control<QSpinBox> widthBox = named("RegionWidth");
    Control<QSpinBox> heightBox = named("RegionHeight");
    Control<QPushButton> ok = named("CropRegionOk");
};
extern const CropRegionControls cropRegion;

struct WatermarkControls : ControlMap {
    WatermarkControls()
        : ControlMap(WindowId::Watermark) {}
    Control<QComboBox> presetList = named("PresetList");
    Control<QPushButton> savePreset = named("SavePresetButton");
    Control<QPushButton> deletePreset = named("DeletePresetButton");
    Control<QComboBox> markList = named("MarkList");
    Control<QPlainTextEdit> text = named("WatermarkText");
    Control<QLabel> fieldsNote = named("FieldsNote");
    Control<QComboBox> fontList = named("FontList");
    Control<ColourComboBox> colour = named("TextColour");
    Control<QPushButton> chooseLogo = named("ChooseLogoButton");
    Control<QCheckBox> whiteTransparent = named("WhiteTransparentBox");
    Control<QComboBox> layoutList = named("LayoutList");
    Control<QToolButton> anchorTopLeft = named("AnchorTopLeft");
    Control<QToolButton> anchorBottomRight = named("AnchorBottomRight");
    Control<QDoubleSpinBox> marginBox = named("MarginBox");
    Control<QDoubleSpinBox> sizeBox = named("SizeBox");
    Control<QDoubleSpinBox> spacingAcrossBox = named("SpacingAcrossBox");
    Control<QDoubleSpinBox> spacingDownBox = named("SpacingDownBox");
    Control<QDoubleSpinBox> angleBox = named("AngleBox");
    Control<QCheckBox> shiftRows = named("ShiftRowsBox");
    Control<TrackBar> opacityBar = named("OpacityBar");
    Control<NumberEdit> outlineWidth = named("OutlineWidth");
    Control<QPushButton> ok = named("WatermarkOk");
    Control<QPushButton> cancel = named("WatermarkCancel");
};
extern const WatermarkControls watermark;

struct SaveControls : ControlMap {
    SaveControls()
        : ControlMap(WindowId::Save) {}
    Control<QComboBox> formatList = named("ComboBox1");
    Control<QSpinBox> jpegQuality = named("JpegQuality");
    Control<QComboBox> watermarkList = named("ExportWatermark");
    Control<QPushButton> save = named("CornerButton1");
};
extern const SaveControls save;

struct AboutControls : ControlMap {
    AboutControls()
        : ControlMap(WindowId::About) {}
    Control<QLabel> credits = named("Label1");
    Control<QLabel> description = named("Label2");
    Control<QLabel> contact = named("Label3");
    Control<QLabel> thanks = named("Label4");
};
extern const AboutControls about;

} // namespace ui
